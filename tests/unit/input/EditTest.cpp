// TRdEdit: which image, font and prompt each state shows, the linked state fonts,
// the text area, focus and the disabled rules; with TRdStretchImage and the plain
// skinned label's small rules.
#include <gtest/gtest.h>

#include <string>

#include "public/rdcontrol/controls/common/RdStretchImage.h"
#include "public/rdcontrol/controls/input/RdEdit.h"
#include "public/rdcontrol/controls/label/RdLabel.h"
#include "public/rdcontrol/pictures/RdGraphic.h"
#include "tests/unit/input/InputFixture.h"

namespace {

std::shared_ptr<TPngGraphic> Plain(TColor c, int w = 12, int h = 12) {
    auto g = std::make_shared<TPngGraphic>();
    g->AssignSurface(TArgbSurface(w, h, ColorToArgb(c)));
    return g;
}

TEST(EditState, ImageTable) {
    using I = TEditImage;
    const TEditImages all{true, true, true, true, true};
    const TEditImages none{};
    const TEditImages noSelected{true, false, true, true, true};
    struct Case {
        TEditState State;  // enabled, focused, error, hover, empty
        TEditImages Images;
        TEditImage Expected;
    } cases[] = {
        {{true, false, false, false, false}, all, I::Normal},
        {{true, false, false, true, false}, all, I::Over},
        {{true, false, false, true, true}, all, I::Over},  // hover before empty
        {{true, false, false, false, true}, all, I::Empty},
        {{true, true, false, true, true}, all, I::Selected},
        {{true, true, true, false, false}, all, I::Selected},  // focused error edit
        {{true, true, true, false, false}, noSelected, I::Error},
        {{true, false, true, true, true}, all, I::Error},  // no hover or empty look in error
        {{false, true, true, true, true}, all, I::Disabled},
        {{false, false, true, false, false}, noSelected, I::Disabled},
        {{true, false, false, true, true}, none, I::Normal},  // every fallback is ImageNormal
        {{false, false, true, false, false}, none, I::Normal},
    };
    for (const Case& c : cases) {
        const TEditState& s = c.State;
        EXPECT_EQ(SelectEditImage(s, c.Images), c.Expected)
            << s.Enabled << s.Focused << s.ErrorMode << s.Hover << s.Empty;
    }
    EXPECT_EQ(SelectEditFont({false, false, true, false, false}), TEditFont::Disabled);
    EXPECT_EQ(SelectEditFont({true, true, true, false, false}), TEditFont::Error);
    EXPECT_EQ(SelectEditFont({true, true, false, false, false}), TEditFont::Normal);
    EXPECT_TRUE(EditShowsPrompt({true, false, false, true, true}));
    EXPECT_FALSE(EditShowsPrompt({true, true, false, false, true}));
    EXPECT_FALSE(EditShowsPrompt({true, false, true, false, true}));
}

struct EditTest : InputFixture {
    EditTest() {
        Form->SetPerPixelAlpha(true);
        Edit = new TRdEdit(Form);
        Edit->SetName("edtPath");
        Edit->SetParent(Form);
        Edit->SetBounds(20, 20, 200, 32);
        Edit->SetColor(clNone);
        Edit->FontNormal().SetHeight(-13);  // a 16-pixel line in the fixed renderer
        Edit->FontNormal().SetColor(clBlack);
        Edit->ImageNormal().SetGraphic(Plain(RGB(200, 200, 200)));
        Edit->ImageEmpty().SetGraphic(Plain(RGB(250, 250, 200)));
        Edit->ImageSelected().SetGraphic(Plain(RGB(0, 0, 200)));
        Edit->ImageError().SetGraphic(Plain(RGB(200, 0, 0)));
        Edit->SetTextHint("Install folder");
        Other = new TNativeEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(20, 100, 100, 24);
        Form->PaintAll();  // makes the native windows
    }
    // A pixel of the frame (outside the text area) and of the prompt's first glyph.
    std::uint32_t Frame() { return Pixel(22, 22); }
    std::uint32_t PromptInk() { return Pixel(20 + Edit->TextArea().Left + 2, 20 + Edit->TextArea().Top + 6); }
    TFakeNativeChild& Native() { return *static_cast<TFakeNativeChild*>(Edit->Native()); }

    TRdEdit* Edit = nullptr;
    TNativeEdit* Other = nullptr;
};

TEST_F(EditTest, TheTextAreaCentresOneLine) {
    EXPECT_EQ(Edit->Font().FontHeight(), 16);
    EXPECT_EQ(Edit->TextArea(), (TRect{0, 8, 200, 32}));
    Edit->SetTextLeftMargin(6);
    Edit->SetTextRightMargin(20);
    Edit->SetBorderWidth(2);
    EXPECT_EQ(Edit->TextArea(), (TRect{6, 6, 180, 32}));
    // The native window follows at once, in form coordinates.
    EXPECT_EQ(Native().Bounds, (TRect{26, 26, 200, 52}));
    EXPECT_TRUE(Native().Options.Skinned);
    EXPECT_TRUE(Native().Enabled);
}

TEST_F(EditTest, EmptyUnfocusedShowsItsImageAndPromptUntilFocused) {
    EXPECT_TRUE(Edit->EmptyFlag());
    EXPECT_EQ(Frame(), Opaque(RGB(250, 250, 200)));
    EXPECT_EQ(PromptInk(), Opaque(Edit->FontEmptyColor()));

    Edit->SetFocus();
    EXPECT_TRUE(Native().Focused);
    EXPECT_FALSE(Edit->EmptyFlag());
    EXPECT_EQ(Frame(), Opaque(RGB(0, 0, 200)));
    EXPECT_EQ(PromptInk(), Opaque(RGB(0, 0, 200)));  // no prompt, before anything is typed

    Native().UserTypes("C:\\Program Files");
    Other->SetFocus();
    EXPECT_FALSE(Native().Focused);
    EXPECT_FALSE(Edit->EmptyFlag());
    EXPECT_EQ(Frame(), Opaque(RGB(200, 200, 200)));
    // Emptied while not focused: the empty look comes back.
    Native().SetText("");
    EXPECT_TRUE(Edit->EmptyFlag());
    EXPECT_EQ(Frame(), Opaque(RGB(250, 250, 200)));
}

TEST_F(EditTest, ErrorModeKeepsTheFocusedImageButTakesTheErrorFont) {
    Edit->SetText("x");
    Edit->SetErrorMode(true);
    EXPECT_EQ(Frame(), Opaque(RGB(200, 0, 0)));
    EXPECT_EQ(Edit->Font().Color(), clRed);
    EXPECT_EQ(Native().Options.TextColor, clRed);
    Edit->SetFocus();
    EXPECT_EQ(Frame(), Opaque(RGB(0, 0, 200)));
    EXPECT_EQ(Edit->Font().Color(), clRed);
    Edit->SetErrorMode(false);
    EXPECT_EQ(Native().Options.TextColor, clBlack);
}

TEST_F(EditTest, StateFontsFollowTheNormalFontExceptWhereSet) {
    EXPECT_EQ(Edit->FontError().Height(), -13);
    EXPECT_EQ(Edit->FontDisabled().Color(), clGray);
    Edit->FontNormal().SetName("Arial");
    Edit->FontNormal().SetColor(clBlue);
    EXPECT_EQ(Edit->FontError().Name(), "Arial");
    EXPECT_EQ(Edit->FontError().Color(), clRed);  // set at creation: stays
    Edit->FontError().SetHeight(-20);             // set on the font: no longer follows
    Edit->FontNormal().SetHeight(-11);
    EXPECT_EQ(Edit->FontError().Height(), -20);
    EXPECT_EQ(Edit->FontDisabled().Height(), -11);
    // The working font changes at once with its state's font.
    Edit->SetErrorMode(true);
    EXPECT_EQ(Edit->Font().Height(), -20);
    Edit->FontError().SetStyle(fsBold);
    EXPECT_EQ(Edit->Font().Style(), unsigned(fsBold));
}

TEST_F(EditTest, ADisabledEditRefusesTheFocusAndLetsTheMouseThrough) {
    Edit->SetFocus();
    ASSERT_EQ(Form->ActiveControl(), Edit);
    Edit->SetEnabled(false);
    EXPECT_EQ(Form->ActiveControl(), Other);  // the focus moved on
    EXPECT_FALSE(Native().Focused);
    EXPECT_EQ(Edit->Font().Color(), clGray);
    EXPECT_TRUE(Native().Options.HitTransparent);
    EXPECT_TRUE(Native().Enabled);  // the native edit never looks disabled itself
    Edit->SetFocus();
    EXPECT_EQ(Form->ActiveControl(), Other);
    EXPECT_EQ(Form->ControlAtPos(30, 25), nullptr);  // clicks reach what is below
}

TEST_F(EditTest, HoverRepaintsOnlyWhenItShows) {
    Edit->SetText("x");
    Edit->ImageOver().SetGraphic(Plain(RGB(0, 200, 0)));
    Move(22, 22);
    EXPECT_TRUE(Edit->Hover());
    EXPECT_EQ(Frame(), Opaque(RGB(0, 200, 0)));
    // Into the native text area: the form loses the mouse, the native window has it.
    Form->HandleMouseLeave();
    Native().Events.OnHover(true);
    EXPECT_TRUE(Edit->Hover());
    Native().Events.OnHover(false);
    EXPECT_FALSE(Edit->Hover());
    EXPECT_EQ(Frame(), Opaque(RGB(200, 200, 200)));
}

TEST_F(EditTest, OptionMarginsFromTheNormalImage) {
    Edit->ImageNormal().SetGraphic(Plain(clGray, 30, 24));
    Edit->SetImageOptionEmpty(false);
    EXPECT_EQ(Edit->ImageOption().Left(), 10);
    EXPECT_EQ(Edit->ImageOption().Right(), 10);
    EXPECT_EQ(Edit->ImageOption().Top(), 8);
    EXPECT_EQ(Edit->ImageOption().Bottom(), 8);
}

TEST_F(EditTest, StretchImageLaysBothPicturesByItsOption) {
    auto* image = new TRdStretchImage(Form);
    image->SetParent(Form);
    image->SetBounds(250, 20, 60, 40);
    // A 9 x 9 frame picture: border 3 pixels red, transparent centre.
    TArgbSurface frame(9, 9, ColorToArgb(clRed));
    frame.FillRect(TRect{3, 3, 6, 6}, 0);
    image->Picture().SetGraphic(TPngGraphic::FromSurface(frame));
    image->Picture_Bg().SetGraphic(Plain(clBlue));
    image->StretchOption().SetLeft(3);
    image->StretchOption().SetTop(3);
    image->StretchOption().SetRight(3);
    image->StretchOption().SetBottom(3);
    EXPECT_EQ(Pixel(251, 21), Opaque(clRed));
    EXPECT_EQ(Pixel(308, 58), Opaque(clRed));
    EXPECT_EQ(Pixel(280, 40), Opaque(clBlue));  // the background through the frame
}

// The proxy page's limits: typed, pasted or set, refused characters are dropped and
// lengths count characters, not bytes.
TEST_F(EditTest, LengthAndDigitLimitsDropWhatTheyRefuse) {
    const std::string e9 = "\xC3\xA9";  // one character, two bytes
    struct Case {
        int maxLength;
        bool numbersOnly;
        std::string typed, kept;
    } cases[] = {
        {128, false, "proxy.example", "proxy.example"},
        {5, false, "abcdefgh", "abcde"},
        {3, false, e9 + e9 + e9 + e9, e9 + e9 + e9},
        {5, true, "8a0 8\t0", "8080"},
        {5, true, "1234567", "12345"},
        {0, true, "٣3", "3"},  // other scripts' digits are not port digits
        {0, false, "anything at all", "anything at all"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Edit->SetMaxLength(0);
        Edit->SetNumbersOnly(false);
        Edit->SetText("");
        Edit->SetMaxLength(c.maxLength);
        Edit->SetNumbersOnly(c.numbersOnly);
        int changes = 0;
        Edit->OnChange = [&](TControl*) { ++changes; };
        Native().UserTypes(c.typed);
        EXPECT_EQ(Edit->Text(), c.kept);
        EXPECT_EQ(Native().Text(), c.kept);
        EXPECT_EQ(changes, 1);
        Edit->SetText(c.typed);  // set by the program: the same limits
        EXPECT_EQ(Edit->Text(), c.kept);
        Edit->OnChange = nullptr;
    }
    // A limit set later cuts the text it finds.
    Edit->SetMaxLength(0);
    Edit->SetNumbersOnly(false);
    Edit->SetText("3128x");
    Edit->SetNumbersOnly(true);
    EXPECT_EQ(Edit->Text(), "3128");
}

TEST_F(EditTest, LabelTextColourFollowsItsState) {
    auto* label = new TRdLabel(Form);
    label->SetParent(Form);
    label->SetBounds(20, 150, 200, 20);
    label->SetAutoSize(false);
    label->SetCaption("Label");
    label->Font().SetColor(clBlack);
    label->SetFontHoverColor(clBlue);
    label->SetFontDownColor(clRed);
    auto ink = [&] { return Pixel(22, 156); };
    EXPECT_EQ(ink(), Opaque(clBlack));
    Move(100, 155);
    EXPECT_EQ(ink(), Opaque(clBlue));
    Press(100, 155);
    EXPECT_EQ(ink(), Opaque(clRed));
    Release(100, 155);
    label->SetEnabled(false);
    EXPECT_EQ(label->TextColor(), clGrayText);
}

TEST(RdLabelText, AcceleratorsAndPathEllipsis) {
    int accel = -1;
    EXPECT_EQ(StripAccelChars("&Install", accel), "Install");
    EXPECT_EQ(accel, 0);
    EXPECT_EQ(StripAccelChars("Save && E&xit", accel), "Save & Exit");
    EXPECT_EQ(accel, 8);
    EXPECT_EQ(StripAccelChars("&", accel), "&");
    EXPECT_EQ(accel, -1);

    TFixedTextRenderer r;
    const TFontSpec font;  // 6 pixels a character
    const std::string path = "C:\\Program Files\\Qarto\\Browser\\setup.exe";
    EXPECT_EQ(PathEllipsis(r, font, path, 40 * 6), path);
    EXPECT_EQ(PathEllipsis(r, font, path, 30 * 6), "C:\\...\\Qarto\\Browser\\setup.exe");
    EXPECT_EQ(PathEllipsis(r, font, path, 25 * 6), "C:\\...\\Browser\\setup.exe");
    EXPECT_EQ(PathEllipsis(r, font, path, 16 * 6), "C:\\...\\setup.exe");
    EXPECT_EQ(PathEllipsis(r, font, path, 14 * 6), "...\\setup.exe");
}

}  // namespace
