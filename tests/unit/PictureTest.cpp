#include "public/rdcontrol/base/Hashes.h"
#include "public/rdcontrol/pictures/ImageCache.h"
#include "public/rdcontrol/pictures/Picture.h"
#include "public/rdcontrol/pictures/StringValueList.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "tests/unit/TempDir.h"

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;

TArgbSurface Solid(int w, int h, std::uint32_t color) { return TArgbSurface(w, h, color); }

// A PNG file of a 2 x 2 red picture whose "RDPNG" chunk holds rdText (none for "").
std::string PngWithRdText(const std::string& rdText) {
    TPngImage image;
    const std::vector<std::uint32_t> pixels(4, kRed);
    image.AssignPremultiplied(2, 2, pixels);
    if (!rdText.empty()) image.SetRdText(rdText);
    const std::vector<std::uint8_t> bytes = image.SaveToBytes();
    return std::string(bytes.begin(), bytes.end());
}

TPngImage Decode(const std::string& bytes) {
    TPngImage image;
    image.LoadFromBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    return image;
}

bool HasRdChunk(const std::string& pngBytes) {
    const TPngImage image = Decode(pngBytes);
    for (const TPngText& text : image.Metadata().Texts)
        if (text.Keyword == "RDPNG") return true;
    return false;
}

}  // namespace

// --- PNG pictures and their settings -------------------------------------------

struct TSettingsCase {
    const char* Name;
    const char* RdText;
    int Alpha;
    bool Gray;
    TPngSmoothFilter Smooth;
};

class PngSettings : public ::testing::TestWithParam<TSettingsCase> {};

TEST_P(PngSettings, AreReadFromTheRdpngChunk) {
    const TSettingsCase& c = GetParam();
    TPngGraphic png;
    png.LoadFromBytes(PngWithRdText(c.RdText));
    EXPECT_EQ(png.Width(), 2);
    EXPECT_EQ(png.AlphaBlendValue(), c.Alpha);
    EXPECT_EQ(png.GrayMode(), c.Gray);
    EXPECT_EQ(png.SmoothFilter(), c.Smooth);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PngSettings,
    ::testing::Values(TSettingsCase{"NoChunk", "", 255, false, psfDefault},
                      TSettingsCase{"All", "AlphaBlendValue=128\r\nGrayMode=1\r\nSmoothFilter=2", 128, true, psfSmooth},
                      TSettingsCase{"SmoothTooLarge", "SmoothFilter=7", 255, false, psfDefault},
                      TSettingsCase{"SmoothNegative", "SmoothFilter=-1", 255, false, psfDefault},
                      TSettingsCase{"NamesAnyCase", "smoothfilter=1\ngraymode=0", 255, false, psfFastSmooth},
                      TSettingsCase{"MissingAndUnreadable", "AlphaBlendValue=x\nOther=5", 255, false, psfDefault},
                      TSettingsCase{"AlphaCut", "AlphaBlendValue=300", 255, false, psfDefault}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(PngGraphic, DefaultSettingsAreSavedWithoutAnRdpngChunk) {
    TPngGraphic png;
    png.LoadFromBytes(PngWithRdText("SmoothFilter=0\r\nAlphaBlendValue=255"));
    EXPECT_FALSE(HasRdChunk(png.SaveToBytes()));
    EXPECT_FALSE(HasRdChunk(TPngGraphic::FromSurface(Solid(3, 3, kRed))->SaveToBytes()));
}

TEST(PngGraphic, ChangedSettingsUpdateTheChunkAndKeepItsOtherLines) {
    TPngGraphic png;
    png.LoadFromBytes(PngWithRdText("Author=me\r\nSmoothFilter=1"));
    png.SetSmoothFilter(psfSmooth);
    png.SetAlphaBlendValue(90);
    const std::string saved = png.SaveToBytes();
    TStringValueList lines;
    lines.SetText(Decode(saved).RdText());
    EXPECT_EQ(lines.Value("Author"), "me");
    EXPECT_EQ(lines.Value("SmoothFilter"), "2");
    EXPECT_EQ(lines.Value("AlphaBlendValue"), "90");
    EXPECT_EQ(lines.Value("GrayMode"), "0");
    EXPECT_EQ(lines.IndexOfName("SmoothFilter"), 1);  // updated in place

    TPngGraphic back;
    back.LoadFromBytes(saved);
    EXPECT_EQ(back.SmoothFilter(), psfSmooth);
    EXPECT_EQ(back.AlphaBlendValue(), 90);
}

TEST(PngGraphic, CopiesSharePixelsUntilOneIsEdited) {
    auto original = TPngGraphic::FromSurface(Solid(4, 4, kRed));
    auto clone = std::static_pointer_cast<TPngGraphic>(original->Clone());
    EXPECT_TRUE(clone->SharesPixels(*original));
    clone->SetAlphaBlendValue(10);  // a setting is not a pixel
    EXPECT_TRUE(clone->SharesPixels(*original));
    EXPECT_EQ(original->AlphaBlendValue(), 255);

    clone->EditSurface().SetPixel(0, 0, 0xFF00FF00);
    EXPECT_FALSE(clone->SharesPixels(*original));
    EXPECT_EQ(original->Surface().Pixel(0, 0), kRed);
    EXPECT_EQ(clone->Surface().Pixel(0, 0), 0xFF00FF00u);

    // Saving encodes the edited pixels.
    TPngGraphic back;
    back.LoadFromBytes(clone->SaveToBytes());
    EXPECT_EQ(back.Surface().Pixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(back.Surface().Pixel(1, 0), kRed);
}

TEST(PngGraphic, DrawsWithItsAlphaGreyAndFilter) {
    TArgbSurface bw(2, 1);
    bw.SetPixel(0, 0, 0xFF000000);
    bw.SetPixel(1, 0, 0xFFFFFFFF);
    auto png = TPngGraphic::FromSurface(bw);
    auto draw = [&] {
        TArgbSurface out(4, 1);
        TRdCanvas canvas(out);
        png->Draw(canvas, TRect{0, 0, 4, 1});
        EXPECT_EQ(canvas.DrawAlpha(), 255);  // the canvas's options come back
        EXPECT_FALSE(canvas.DrawGray());
        return out;
    };
    EXPECT_EQ(draw().Pixel(1, 0), 0xFF000000u);  // psfDefault: nearest
    png->SetSmoothFilter(psfFastSmooth);
    const std::uint32_t blended = draw().Pixel(1, 0);
    EXPECT_NE(blended, 0xFF000000u);
    EXPECT_NE(blended, 0xFFFFFFFFu);

    auto red = TPngGraphic::FromSurface(Solid(2, 2, kRed));
    red->SetAlphaBlendValue(128);
    red->SetGrayMode(true);
    TArgbSurface out(2, 2);
    TRdCanvas canvas(out);
    red->Draw(canvas, TRect{0, 0, 2, 2});
    const std::uint32_t p = out.Pixel(1, 1);
    EXPECT_EQ(p >> 24, 128u);
    EXPECT_EQ((p >> 16) & 0xFF, p & 0xFF);  // grey: red, green and blue alike
    EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF);
}

TEST(PngGraphic, BadBytesLeaveThePictureAsItWas) {
    TPngGraphic png;
    png.LoadFromBytes(PngWithRdText("GrayMode=1"));
    EXPECT_THROW(png.LoadFromBytes("not a png"), EPngError);
    EXPECT_EQ(png.Width(), 2);
    EXPECT_TRUE(png.GrayMode());
}

// --- The picture container -----------------------------------------------------

namespace {
std::string ShortString(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
}  // namespace

class PictureData : public ::testing::TestWithParam<const char*> {};

TEST_P(PictureData, PngClassNamesLoadAsPng) {
    TPicture picture;
    picture.SetData(ShortString(GetParam()) + PngWithRdText("SmoothFilter=2"));
    auto* png = dynamic_cast<TPngGraphic*>(picture.Graphic().get());
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->SmoothFilter(), psfSmooth);
    EXPECT_EQ(picture.StoredForm(), TPictureForm::Data);
    // Written back under the library's own name, with the same content.
    const std::string data = picture.Data();
    EXPECT_EQ(data.substr(0, 10), ShortString("TPngImage"));
    TPicture again;
    again.SetData(data);
    EXPECT_EQ(dynamic_cast<TPngGraphic&>(*again.Graphic()).SmoothFilter(), psfSmooth);
}

INSTANTIATE_TEST_SUITE_P(Names, PictureData, ::testing::Values("TPngImage", "TPNGGraphic", "TRdLitePng"));

TEST(Picture, DataThatCannotBeLoadedLeavesThePictureAsItWas) {
    TPicture picture;
    picture.SetData(ShortString("TPngImage") + PngWithRdText(""));
    const std::shared_ptr<TRdGraphic> before = picture.Graphic();
    struct TCase {
        std::string Data;
        const char* Message;
    };
    for (const TCase& c : {TCase{ShortString("TFooImage") + "xyz", "Unknown picture format: TFooImage"},
                           TCase{"\x09TPng", "Invalid picture data: class name cut short"}}) {
        try {
            picture.SetData(c.Data);
            ADD_FAILURE() << c.Message;
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(std::string(e.what()), c.Message);
        }
        EXPECT_EQ(picture.Graphic(), before);
    }
    EXPECT_THROW(picture.SetData(ShortString("TPngImage") + "broken"), EPngError);
    EXPECT_EQ(picture.Graphic(), before);
}

namespace {
class TDotGraphic : public TRdGraphic {
public:
    const char* ClassName() const override { return "TDotGraphic"; }
    int Width() const override { return static_cast<int>(FBytes.size()); }
    int Height() const override { return 1; }
    void Draw(TRdCanvas&, const TRect&) override {}
    void LoadFromBytes(std::string_view bytes) override { FBytes = bytes; }
    std::string SaveToBytes() const override { return FBytes; }
    std::shared_ptr<TRdGraphic> Clone() const override { return std::make_shared<TDotGraphic>(*this); }
    std::string FBytes;
};
}  // namespace

TEST(Picture, RegisteredClassesLoadFromData) {
    TPicture::RegisterGraphicClass("TDotGraphic", [] { return std::make_shared<TDotGraphic>(); });
    TPicture picture;
    picture.SetData(ShortString("TDotGraphic") + "abc");
    ASSERT_NE(dynamic_cast<TDotGraphic*>(picture.Graphic().get()), nullptr);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Data(), ShortString("TDotGraphic") + "abc");
}

TEST(Picture, TextFormMakesAnRdgImageWithThePicturesResolver) {
    auto png = TPngGraphic::FromSurface(Solid(30, 30, kRed));
    TPicture picture;
    int resolved = 0;
    picture.SetResolver([&](const std::string& name) -> std::shared_ptr<TRdGraphic> {
        ++resolved;
        return name == "images/btn.png" ? png : nullptr;
    });
    picture.SetText({"imgname=images/btn.png", "imgrect!=0,0,20,10", "hint=kept"});
    ASSERT_NE(dynamic_cast<TRdgImage*>(picture.Graphic().get()), nullptr);
    EXPECT_EQ(picture.Width(), 20);
    EXPECT_EQ(picture.Height(), 10);
    EXPECT_EQ(resolved, 1);
    EXPECT_EQ(picture.StoredForm(), TPictureForm::Text);
    EXPECT_EQ(picture.Text(), (std::vector<std::string>{"imgname=images/btn.png", "imgrect!=0,0,20,10", "hint=kept"}));

    picture.Assign(png.get());
    EXPECT_EQ(picture.StoredForm(), TPictureForm::Data);
    EXPECT_TRUE(picture.Text().empty());
    picture.Clear();
    EXPECT_EQ(picture.StoredForm(), TPictureForm::None);
    EXPECT_EQ(picture.Data(), "");
}

TEST(Picture, RaisesOnChangeForNewAndChangedGraphics) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TPicture* sender) {
        EXPECT_EQ(sender, &picture);
        ++changes;
    };
    auto shared = TPngGraphic::FromSurface(Solid(2, 2, kRed));
    picture.Assign(shared.get());
    EXPECT_EQ(changes, 1);
    dynamic_cast<TPngGraphic&>(*picture.Graphic()).SetGrayMode(true);
    EXPECT_EQ(changes, 2);
    shared->SetGrayMode(true);  // the source was copied: not this picture's graphic
    EXPECT_EQ(changes, 2);
    picture.SetText({"imgname=x.png"});
    EXPECT_EQ(changes, 3);
}

TEST(Picture, LoadsFilesByExtensionInAnyCase) {
    TempDir dir;
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir.path() / name, std::ios::binary) << bytes;
        return (dir.path() / name).string();
    };
    TPicture picture;
    picture.LoadFromFile(write("a.PNG", PngWithRdText("GrayMode=1")));
    ASSERT_NE(dynamic_cast<TPngGraphic*>(picture.Graphic().get()), nullptr);
    EXPECT_TRUE(dynamic_cast<TPngGraphic&>(*picture.Graphic()).GrayMode());

    picture.LoadFromFile(write("b.Rdg", "\xEF\xBB\xBFimgname=a.png"));
    ASSERT_NE(dynamic_cast<TRdgImage*>(picture.Graphic().get()), nullptr);
    EXPECT_EQ(dynamic_cast<TRdgImage&>(*picture.Graphic()).ImgName(), "a.png");

    const std::shared_ptr<TRdGraphic> before = picture.Graphic();
    EXPECT_THROW(picture.LoadFromFile(write("c.bmp", "BM")), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile((dir.path() / "missing.png").string()), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), before);

    EXPECT_EQ(TPicture::FileFormatDescription("PNG"), "Png Image");
    EXPECT_EQ(TPicture::FileFormatDescription("rdg"), "Rdg Image");
    EXPECT_EQ(TPicture::FileFormatDescription("bmp"), "");
}

// --- The image cache -----------------------------------------------------------

TEST(ImageCache, ReadsEachNameOnceAndRemembersMissingOnes) {
    std::map<std::string, std::string> files{{"ok.png", PngWithRdText("")},
                                             {"broken.png", "not a png"},
                                             {"Anim.RDG", "imgname=ok.png\nimgrect!=0,0,1,1"}};
    std::map<std::string, int> reads;
    TImageCache cache([&](const std::string& path) -> std::optional<std::string> {
        ++reads[path];
        const auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    });
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_NE(dynamic_cast<TPngGraphic*>(cache.Get("ok.png").get()), nullptr);
        EXPECT_EQ(cache.Get("broken.png"), nullptr);
        EXPECT_EQ(cache.Get("none.png"), nullptr);
        auto* rdg = dynamic_cast<TRdgImage*>(cache.Get("Anim.RDG").get());
        ASSERT_NE(rdg, nullptr);
        EXPECT_EQ(rdg->Width(), 1);  // resolved through the cache itself
    }
    EXPECT_EQ(reads, (std::map<std::string, int>{{"ok.png", 1}, {"broken.png", 1}, {"none.png", 1}, {"Anim.RDG", 1}}));
    EXPECT_EQ(cache.Count(), 4u);

    cache.Clear();
    EXPECT_EQ(cache.Count(), 0u);
    files["none.png"] = PngWithRdText("");
    EXPECT_NE(cache.Get("none.png"), nullptr);
    EXPECT_EQ(reads["none.png"], 2);
}

TEST(ImageCache, ImagesOutlivingTheirCacheResolveNothing) {
    TRdgImage image;
    {
        TImageCache cache([](const std::string&) -> std::optional<std::string> { return PngWithRdText(""); });
        image.SetResolver(cache.Resolver());
        image.SetText("imgname=a.png");
        EXPECT_EQ(image.Width(), 2);
    }
    image.SetText("imgname=b.png");
    EXPECT_EQ(image.Width(), 0);
}

// --- Lists and hashes ----------------------------------------------------------

TEST(StringValueList, LooksUpNamesInAnyCaseAndRemovesEmptyValues) {
    TStringValueList list;
    list.SetText("ImgName=a.png\r\nplain line\nimgrect!=1,2,3,4\rx=1=2\r\n");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Value("IMGNAME"), "a.png");
    EXPECT_EQ(list.Value("x"), "1=2");
    EXPECT_EQ(list.IndexOfName("plain line"), -1);  // no "=": not a name
    EXPECT_EQ(list.Value("missing"), "");

    list.SetValue("imgname", "b.png");
    EXPECT_EQ(list.Strings(0), "imgname=b.png");
    list.SetValue("new", "v");
    EXPECT_EQ(list.Strings(4), "new=v");
    list.SetValue("IMGNAME", "");
    EXPECT_EQ(list.IndexOfName("imgname"), -1);
    list.SetValue("absent", "");
    EXPECT_EQ(list.Text(), "plain line\r\nimgrect!=1,2,3,4\r\nx=1=2\r\nnew=v");
    EXPECT_EQ(list.IndexOf("PLAIN LINE"), 0);
    list.Delete(0);
    list.Delete(99);
    EXPECT_EQ(list.Count(), 3);
}

TEST(Hashes, KeepEveryEntryWhateverTheBucketCount) {
    for (std::size_t buckets : {std::size_t{1}, std::size_t{512}}) {
        TStringHash<int> strings(buckets);
        EXPECT_EQ(strings.BucketCount(), buckets);
        for (int i = 0; i < 100; ++i) strings.Set("k" + std::to_string(i), i);
        strings.Set("k7", 70);
        EXPECT_EQ(strings.Count(), 100u);
        EXPECT_EQ(*strings.Find(std::string("k7")), 70);
        EXPECT_EQ(strings.Find(std::string("K7")), nullptr);  // case counts
        EXPECT_TRUE(strings.Remove(std::string("k7")));
        EXPECT_FALSE(strings.Remove(std::string("k7")));
        EXPECT_EQ(strings.Find(std::string("k7")), nullptr);
        EXPECT_EQ(*strings.Find(std::string("k99")), 99);

        int values[3] = {};
        TPointerHash<std::string> pointers(buckets);
        pointers.Set(&values[0], "a");
        pointers.Set(&values[2], "c");
        EXPECT_EQ(*pointers.Find(&values[2]), "c");
        EXPECT_EQ(pointers.Find(&values[1]), nullptr);
        pointers.Clear();
        EXPECT_EQ(pointers.Count(), 0u);
        EXPECT_EQ(pointers.Find(&values[0]), nullptr);
    }
}
