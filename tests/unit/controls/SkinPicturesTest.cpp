// Pictures and drawing options from a skin: every control's picture properties
// set by a skin class, AllSkin.Draw (DrawAlpha, DrawScale) applied where the
// pictures are drawn, ClearOwnerPic / ForceUseSkinPic, and the font's own binding.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "os/Utf8Path.h"
#include "public/rdcontrol/controls/common/RdStretchImage.h"
#include "public/rdcontrol/controls/imagebutton/RdImageButton.h"
#include "public/rdcontrol/controls/input/RdComboBox.h"
#include "public/rdcontrol/controls/input/RdEdit.h"
#include "public/rdcontrol/controls/input/RdScrollBarEx.h"
#include "public/rdcontrol/controls/label/RdLabel.h"
#include "public/rdcontrol/controls/progress/RdProgressBar.h"
#include "public/rdcontrol/controls/tray/RdBalloonHint.h"
#include "public/rdcontrol/framework/RdControls.h"
#include "public/rdcontrol/png/PngImage.h"
#include "public/rdcontrol/skin/RdFontSkin.h"
#include "public/rdcontrol/skin/RdSkinStyle.h"
#include "tests/unit/TempDir.h"
#include "tests/unit/input/InputFixture.h"

namespace fs = std::filesystem;

namespace {

// An opaque picture of one colour (0xAARRGGBB premultiplied, so opaque is plain).
std::string SolidPng(int width, int height, std::uint32_t argb) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, argb);
    TPngImage png;
    png.AssignPremultiplied(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), pixels);
    const auto bytes = png.SaveToBytes();
    return std::string(bytes.begin(), bytes.end());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// What a control holds of its own: a blue 5 x 4 picture set by code.
std::shared_ptr<TPngGraphic> OwnPicture() {
    TArgbSurface pixels(5, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) pixels.Row(y)[x] = 0xFF0000FF;
    return TPngGraphic::FromSurface(pixels);
}

std::uint8_t AlphaAt(const TArgbSurface& s, int x, int y) { return static_cast<std::uint8_t>(s.Row(y)[x] >> 24); }

// A skin package "black" with three pictures of distinct sizes, and a form to put
// controls on. Each test writes the classes it needs into main.ini.
struct SkinPicturesTest : InputFixture {
    SkinPicturesTest() {
        WriteFile(Package() / "img" / "red.png", SolidPng(3, 2, 0xFFFF0000));
        WriteFile(Package() / "img" / "green.png", SolidPng(6, 6, 0xFF00FF00));
        Style.SetProgramFolder(PathUtf8(Dir.path()));
        Style.OnLog = [this](const std::string& line) { Log.push_back(line); };
    }
    fs::path Package() const { return Dir.path() / "skin" / "black"; }
    void Classes(const std::string& ini) {
        WriteFile(Package() / "public" / "main.ini", ini);
        if (Style.SkinRccFile().empty()) Style.SetSkinRccFile("black");
        else Style.Reload();
    }
    // Binds control to the style and applies skinClass.
    void Apply(TControl& control, const std::string& skinClass) {
        control.AllSkin().SetStyle(&Style);
        control.AllSkin().SetSkinClass(skinClass);
    }

    TempDir Dir;
    TRdSkinStyle Style;
    std::vector<std::string> Log;
};

// A control made on the form and one of its pictures by its published name.
struct TPictureCase {
    const char* Property;  // as a skin names it, without ".Text"
    std::function<TControl*(TComponent* owner)> Make;
    std::function<TPicture&(TControl&)> Picture;
};

template <typename T>
std::function<TControl*(TComponent*)> Maker() {
    return [](TComponent* owner) { return new T(owner); };
}

template <typename T>
std::function<TPicture&(TControl&)> Pic(TPicture& (T::*get)()) {
    return [get](TControl& c) -> TPicture& { return (dynamic_cast<T&>(c).*get)(); };
}

std::function<TPicture&(TControl&)> BarPic(TPicture TRdScrollBarImages::*field) {
    return [field](TControl& c) -> TPicture& { return dynamic_cast<TRdScrollBarEx&>(c).AllSkinImage().*field; };
}

}  // namespace

TEST_F(SkinPicturesTest, EveryPicturePropertyTakesTheSkinsPicture) {
    const TPictureCase cases[] = {
        {"Background", Maker<TRdComboBox>(), Pic(&TRdComboBox::Background)},
        {"BackgroundHot", Maker<TRdComboBox>(), Pic(&TRdComboBox::BackgroundHot)},
        {"BackgroundFocus", Maker<TRdComboBox>(), Pic(&TRdComboBox::BackgroundFocus)},
        {"BackgroundClick", Maker<TRdComboBox>(), Pic(&TRdComboBox::BackgroundClick)},
        {"BackgroundDisable", Maker<TRdComboBox>(), Pic(&TRdComboBox::BackgroundDisable)},
        {"ImageNormal", Maker<TRdEdit>(), Pic(&TRdEdit::ImageNormal)},
        {"ImageOver", Maker<TRdEdit>(), Pic(&TRdEdit::ImageOver)},
        {"ImageSelected", Maker<TRdEdit>(), Pic(&TRdEdit::ImageSelected)},
        {"ImageDisabled", Maker<TRdEdit>(), Pic(&TRdEdit::ImageDisabled)},
        {"ImageError", Maker<TRdEdit>(), Pic(&TRdEdit::ImageError)},
        {"ImageEmpty", Maker<TRdEdit>(), Pic(&TRdEdit::ImageEmpty)},
        {"AllSkinImage.BtnLeft", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::BtnLeft)},
        {"AllSkinImage.BtnLeftHot", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::BtnLeftHot)},
        {"AllSkinImage.BtnRight", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::BtnRight)},
        {"AllSkinImage.BtnRightHot", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::BtnRightHot)},
        {"AllSkinImage.ScrollBgTop", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::ScrollBgTop)},
        {"AllSkinImage.ScrollBg", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::ScrollBg)},
        {"AllSkinImage.ScrollBgBottom", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::ScrollBgBottom)},
        {"AllSkinImage.TrackTop", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::TrackTop)},
        {"AllSkinImage.TrackTopHot", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::TrackTopHot)},
        {"AllSkinImage.TrackCenter", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::TrackCenter)},
        {"AllSkinImage.TrackCenterHot", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::TrackCenterHot)},
        {"AllSkinImage.TrackBottom", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::TrackBottom)},
        {"AllSkinImage.TrackBottomHot", Maker<TRdScrollBarEx>(), BarPic(&TRdScrollBarImages::TrackBottomHot)},
        {"BkgNormal", Maker<TRdLabel>(), Pic(&TRdLabel::BkgNormal)},
        {"Picture", Maker<TRdStretchImage>(), Pic(&TRdStretchImage::Picture)},
        {"Picture_Bg", Maker<TRdStretchImage>(), Pic(&TRdStretchImage::Picture_Bg)},
        {"Picture", Maker<TRdImage>(), Pic(&TImage::Picture)},
        {"ImgBackground", Maker<TRdProgressBar>(), Pic(&TRdProgressBar::ImgBackground)},
        {"ImageNormal", Maker<TRdImageButton>(), Pic(&TRdImageButton::ImageNormal)},
    };
    for (const TPictureCase& c : cases) {
        SCOPED_TRACE(c.Property);
        Classes(std::string("[pic]\n") + c.Property + ".Text=('imgname=:/img/red.png')\n");
        TControl* control = c.Make(Form);
        control->SetParent(Form);
        Apply(*control, "pic");
        TPicture& picture = c.Picture(*control);
        ASSERT_FALSE(picture.Empty());
        EXPECT_EQ(picture.Width(), 3);
        EXPECT_EQ(picture.Height(), 2);
        EXPECT_EQ(picture.Text(), std::vector<std::string>{"imgname=:/img/red.png"});
        delete control;
    }
    EXPECT_TRUE(Log.empty()) << Log.front();
}

// The balloon is a form of its own: its image comes from the skin all the same.
TEST_F(SkinPicturesTest, BalloonHintTakesItsImageAndTextsFromTheSkin) {
    Classes("[balloon]\nImage.Text=('imgname=:/img/green.png')\nTitle='Ready'\n");
    TRdBalloonHint balloon(Form);
    Apply(balloon, "balloon");
    EXPECT_EQ(balloon.Image().Width(), 6);
    EXPECT_EQ(balloon.Title(), "Ready");
    EXPECT_TRUE(Log.empty()) << Log.front();
}

TEST_F(SkinPicturesTest, ComboBoxScrollBarPicturesComeThroughItsVScrollBar) {
    Classes("[combo]\nVScrollBar.AllSkinImage.TrackCenter.Text=('imgname=:/img/green.png')\n");
    // The bar reads the files through its own binding, which follows the main style.
    ASSERT_TRUE(Style.SetMainSkin(true));
    auto* combo = new TRdComboBox(Form);
    combo->SetParent(Form);
    Apply(*combo, "combo");
    EXPECT_EQ(combo->VScrollBar().AllSkinImage().TrackCenter.Width(), 6);
    delete combo;
    Style.SetMainSkin(false);
}

// DrawAlpha and DrawScale from the skin, seen in what each control paints: a
// picture laid over the whole control (option empty: stretched to it).
TEST_F(SkinPicturesTest, DrawOptionsApplyWhereEachControlDrawsItsPicture) {
    const TPictureCase cases[] = {
        {"Picture", Maker<TRdStretchImage>(), Pic(&TRdStretchImage::Picture)},
        {"BkgNormal", Maker<TRdLabel>(), Pic(&TRdLabel::BkgNormal)},
        {"ImgBackground", Maker<TRdProgressBar>(), Pic(&TRdProgressBar::ImgBackground)},
        {"ImageNormal", Maker<TRdImageButton>(), Pic(&TRdImageButton::ImageNormal)},
    };
    struct TDraw {
        const char* Values;
        std::uint8_t Centre, Corner;  // alpha at (10, 10) and (2, 2) of a 20 x 20 control
    } draws[] = {
        {"", 255, 255},
        {"AllSkin.Draw.DrawAlpha=128\n", 128, 128},
        {"AllSkin.Draw.DrawScale=50\n", 255, 0},  // drawn over 5..15 only
        {"AllSkin.Draw.DrawAlpha=128\nAllSkin.Draw.DrawScale=50\n", 128, 0},
    };
    for (const TPictureCase& c : cases)
        for (const TDraw& d : draws) {
            SCOPED_TRACE(std::string(c.Property) + " with " + d.Values);
            Classes(std::string("[pic]\n") + c.Property + ".Text=('imgname=:/img/green.png')\n" + d.Values);
            std::unique_ptr<TControl> control(c.Make(nullptr));
            if (auto* label = dynamic_cast<TRdLabel*>(control.get())) label->SetAutoSize(false);
            control->SetCaption("");
            control->SetBounds(0, 0, 20, 20);
            Apply(*control, "pic");
            TArgbSurface surface(20, 20);
            TRdCanvas canvas(surface);
            control->PaintTo(canvas);
            EXPECT_NEAR(AlphaAt(surface, 10, 10), d.Centre, 1);
            EXPECT_EQ(AlphaAt(surface, 2, 2), d.Corner);
            EXPECT_EQ(AlphaAt(surface, 17, 17), d.Corner);
            // The options hold for this paint only.
            EXPECT_EQ(canvas.DrawAlpha(), 255);
            EXPECT_EQ(canvas.DrawScale(), 100);
        }
}

TEST_F(SkinPicturesTest, DrawScaleKeepsAControlsPiecesTogether) {
    // A progress bar's groove and fill shrink about the bar's centre as one.
    Classes("[bar]\nImgBackground.Text=('imgname=:/img/red.png')\nImgBar.Text=('imgname=:/img/green.png')\n"
            "AllSkin.Draw.DrawScale=50\n");
    TRdProgressBar bar(nullptr);
    bar.SetBounds(0, 0, 40, 20);
    bar.SetPosition(bar.Max());
    Apply(bar, "bar");
    TArgbSurface surface(40, 20);
    TRdCanvas canvas(surface);
    bar.PaintTo(canvas);
    EXPECT_EQ(AlphaAt(surface, 9, 10), 0);
    EXPECT_EQ(surface.Row(10)[10], 0xFF00FF00u);  // the full fill covers the groove, 10..30 x 5..15
    EXPECT_EQ(surface.Row(10)[29], 0xFF00FF00u);
    EXPECT_EQ(AlphaAt(surface, 30, 10), 0);
    EXPECT_EQ(AlphaAt(surface, 20, 4), 0);
}

TEST_F(SkinPicturesTest, DrawOptionsChangeRepaintsAndAreBoundedBySkinValues) {
    auto* image = new TRdStretchImage(Form);
    image->SetParent(Form);
    Form->PaintInvalid();
    const int before = Platform->Logs.at(0)->Invalidations;
    Classes("[pic]\nAllSkin.Draw.DrawAlpha=300\nAllSkin.Draw.DrawScale=-5\n");
    Apply(*image, "pic");
    EXPECT_EQ(image->AllSkin().Draw().DrawAlpha(), 255);
    EXPECT_EQ(image->AllSkin().Draw().DrawScale(), 1);
    image->AllSkin().Draw().SetDrawAlpha(10);
    EXPECT_GT(Platform->Logs.at(0)->Invalidations, before);
}

// The owner's own picture (blue, 5 x 4, set by code) against the skin's.
TEST_F(SkinPicturesTest, ClearOwnerPicAndForceUseSkinPicDecideBetweenOwnAndSkinPictures) {
    enum TExpect { Own, Skin, Empty };
    struct TCase {
        const char* Name;
        bool Force, Clear, OwnPicture;
        const char* SkinClass;  // in the ini below
        TExpect Picture, PictureBg;
    } cases[] = {
        {"own picture stays", false, false, true, "both", Own, Skin},
        {"skin fills an empty picture", false, false, false, "both", Skin, Skin},
        {"force: the skin replaces the own", true, false, true, "both", Skin, Skin},
        {"no skin picture: own stays", false, false, true, "bgonly", Own, Skin},
        {"clear: unsupplied own picture goes", false, true, true, "bgonly", Empty, Skin},
        {"clear keeps a supplied own picture", false, true, true, "both", Own, Skin},
        {"clear with force", true, true, true, "bgonly", Empty, Skin},
        {"clear: a class that is not there clears nothing", false, true, true, "missing", Own, Empty},
        {"clear: an ignored picture is kept", false, true, true, "ignored", Own, Skin},
    };
    Classes("[both]\nPicture.Text=('imgname=:/img/red.png')\nPicture_Bg.Text=('imgname=:/img/red.png')\n"
            "[bgonly]\nPicture_Bg.Text=('imgname=:/img/red.png')\n"
            "[ignored]\nparent=bgonly\n");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRdStretchImage image(nullptr);
        if (c.OwnPicture) image.Picture().SetGraphic(OwnPicture());
        image.AllSkin().SetForceUseSkinPic(c.Force);
        image.AllSkin().SetClearOwnerPic(c.Clear);
        if (std::string(c.SkinClass) == "ignored") image.AllSkin().SetIgnoreValues({"Picture.Text"});
        Apply(image, c.SkinClass);
        auto width = [](TExpect e) { return e == Own ? 5 : e == Skin ? 3 : 0; };
        EXPECT_EQ(image.Picture().Empty() ? 0 : image.Picture().Width(), width(c.Picture));
        EXPECT_EQ(image.Picture_Bg().Empty() ? 0 : image.Picture_Bg().Width(), width(c.PictureBg));
    }
}

TEST_F(SkinPicturesTest, ASkinPictureIsReplacedByTheNextClassButOwnPicturesAreNot) {
    Classes("[red]\nPicture.Text=('imgname=:/img/red.png')\n[green]\nPicture.Text=('imgname=:/img/green.png')\n");
    TRdStretchImage image(nullptr);
    Apply(image, "red");
    EXPECT_EQ(image.Picture().Width(), 3);
    image.AllSkin().SetSkinClass("green");
    EXPECT_EQ(image.Picture().Width(), 6);  // the skin's own earlier picture gives way
    image.Picture().SetGraphic(OwnPicture());
    image.AllSkin().SetSkinClass("red");
    EXPECT_EQ(image.Picture().Width(), 5);  // set by code since: the control's own
}

TEST_F(SkinPicturesTest, AFontsOwnSkinClassStylesItAndRepaintsItsControl) {
    Classes("[title_font]\nclass=TRdFont\nName='Segoe UI'\nSize=14\nColor=clRed\nStyle=[fsBold]\n"
            "[button]\nclass=TRdImageButton\nFont.Color=clBlue\nColor=clBlue\n"
            "[title]\nFont.AllSkin.SkinClass='title_font'\n");
    // A font alone.
    TRdFont font;
    int changes = 0;
    font.OnChange = [&changes] { ++changes; };
    FontAllSkin(font).SetStyle(&Style);
    FontAllSkin(font).SetSkinClass("title_font");
    EXPECT_EQ(font.Name(), "Segoe UI");
    EXPECT_EQ(font.Size(), 14);
    EXPECT_EQ(font.Color(), clRed);
    EXPECT_EQ(font.Style(), static_cast<unsigned>(fsBold));
    EXPECT_GT(changes, 0);
    // A class for another kind of control does not reach a font.
    FontAllSkin(font).SetSkinClass("button");
    EXPECT_EQ(font.Color(), clRed);
    EXPECT_FALSE(Log.empty());
    // A copy keeps no binding of the original's.
    TRdFont copy = font;
    EXPECT_EQ(copy.SkinSlot(), nullptr);

    // Through a control's class: its font takes the font class and the control repaints.
    auto* label = new TRdLabel(Form);
    label->SetParent(Form);
    label->SetCaption("Title");
    Form->PaintInvalid();
    const int before = Platform->Logs.at(0)->Invalidations;
    ASSERT_TRUE(TRdSkinStyle::MainStyle() == nullptr);
    ASSERT_TRUE(Style.SetMainSkin(true));  // the font's binding follows the main style
    Apply(*label, "title");
    EXPECT_EQ(label->Font().Name(), "Segoe UI");
    EXPECT_EQ(label->Font().Color(), clRed);
    EXPECT_GT(Platform->Logs.at(0)->Invalidations, before);
    delete label;
    Style.SetMainSkin(false);
}
