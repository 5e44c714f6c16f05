// TRdHtmLabel: layout of the markup (lines, wrapping, links and their boxes, lists,
// MaxLine), link clicks and hover through the form's mouse routing, AutoSize. The
// host's fixed text renderer makes every character 6 pixels wide and every line
// 15 pixels high in the default font (glyph ink in rows 2 to 11 of a line,
// columns 1 to 4 of a character cell).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "public/rdcontrol/controls/label/RdHtmLabel.h"
#include "tests/unit/input/InputFixture.h"

namespace {

constexpr int kChar = 6, kLine = 15;
const std::string kLicence =
    "By installing or using this product, you agree to its <a>EULA</a> & <a>Privacy Policy</a> <BR>";
const std::string kBeforeEula = "By installing or using this product, you agree to its ";

struct HtmLabelTest : InputFixture {
    HtmLabelTest() {
        Form->SetBounds(100, 100, 700, 300);
        Label = new TRdHtmLabel(Form);
        Label->SetParent(Form);
        Label->SetBounds(10, 10, 600, 60);
        for (const char* name : {"eula", "privacy"}) {
            TRdHtmLabelLink& link = Label->LinkItems().Add();
            link.SetName(name);
            link.Font().SetColor(clBlue);
            link.FontHover().SetColor(clRed);
            link.OnClick = [this](TRdHtmLabelLink* sender) { Clicked.push_back(sender->Name()); };
        }
        Label->SetCaption(kLicence);
    }
    // Centre of link index's first box, in form coordinates.
    TPoint LinkCentre(int index) {
        const TRect r = Label->LinkRects(index).at(0);
        return TPoint{Label->Left() + (r.Left + r.Right) / 2, Label->Top() + (r.Top + r.Bottom) / 2};
    }
    // A pixel of the first glyph of link index (form coordinates).
    std::uint32_t LinkInk(int index) {
        const TRect r = Label->LinkRects(index).at(0);
        return Pixel(Label->Left() + r.Left + 2, Label->Top() + r.Top + 6);
    }
    std::vector<const THtmlDrawItem*> Texts() {
        std::vector<const THtmlDrawItem*> out;
        for (const THtmlDrawItem& item : Label->CurrentLayout().Items)
            if (item.Kind == THtmlDrawKind::Text) out.push_back(&item);
        return out;
    }

    TRdHtmLabel* Label = nullptr;
    std::vector<std::string> Clicked;
};

TEST_F(HtmLabelTest, LicenceLineHasTwoLinksAndAnEmptySecondLine) {
    const THtmlLayoutResult& layout = Label->CurrentLayout();
    EXPECT_EQ(layout.LineCount, 2);
    EXPECT_EQ(layout.TextHeight, 2 * kLine);
    EXPECT_EQ(Label->LinkItems()[0].Caption(), "EULA");
    EXPECT_EQ(Label->LinkItems()[1].Caption(), "Privacy Policy");
    EXPECT_EQ(Label->PlainText(), kBeforeEula + "EULA & Privacy Policy \r\n");
    const int eula = static_cast<int>(kBeforeEula.size()) * kChar;
    EXPECT_EQ(Label->LinkRects(0), (std::vector<TRect>{TRect{eula, 0, eula + 4 * kChar, kLine}}));
    const int privacy = eula + static_cast<int>(std::string("EULA & ").size()) * kChar;
    EXPECT_EQ(Label->LinkRects(1), (std::vector<TRect>{TRect{privacy, 0, privacy + 14 * kChar, kLine}}));
    // The ampersand between the links is drawn as it is, in the label's font.
    bool ampersand = false;
    for (const THtmlDrawItem* t : Texts()) ampersand |= t->Text == " & " && t->Link < 0;
    EXPECT_TRUE(ampersand);
}

TEST_F(HtmLabelTest, ALinkIsClickedOnlyWhenPressedAndReleasedOnIt) {
    struct Case {
        int Press, Release;  // link index, or -1 for the plain text before them
        std::vector<std::string> Clicked;
    } cases[] = {
        {0, 0, {"eula"}},
        {1, 1, {"privacy"}},
        {0, 1, {}},
        {1, 0, {}},
        {-1, 0, {}},
    };
    for (const Case& c : cases) {
        Clicked.clear();
        const TPoint plain{Label->Left() + 3, Label->Top() + 5};
        const TPoint down = c.Press < 0 ? plain : LinkCentre(c.Press);
        const TPoint up = c.Release < 0 ? plain : LinkCentre(c.Release);
        Press(down.X, down.Y);
        Release(up.X, up.Y);
        EXPECT_EQ(Clicked, c.Clicked) << c.Press << " -> " << c.Release;
    }
}

TEST_F(HtmLabelTest, HoveringALinkRecoloursOnlyItAndSetsItsCursor) {
    Label->SetCursor(crDefault);
    TFakeWindowLog& window = *Platform->Logs.at(0);
    EXPECT_EQ(LinkInk(0), Opaque(clBlue));
    EXPECT_EQ(LinkInk(1), Opaque(clBlue));

    const TPoint eula = LinkCentre(0);
    Move(eula.X, eula.Y);
    EXPECT_EQ(Label->HoverLink(), 0);
    EXPECT_EQ(window.Cursor, crHandPoint);
    EXPECT_EQ(LinkInk(0), Opaque(clRed));
    EXPECT_EQ(LinkInk(1), Opaque(clBlue));

    // Plain text of the label: not on a link; the label's own cursor is back.
    Move(Label->Left() + 3, Label->Top() + 5);
    EXPECT_EQ(Label->HoverLink(), -1);
    EXPECT_EQ(window.Cursor, crDefault);
    EXPECT_EQ(LinkInk(0), Opaque(clBlue));

    Move(eula.X, eula.Y);
    Move(300, 250);  // off the label: the mouse left it
    EXPECT_EQ(Label->HoverLink(), -2);
    EXPECT_EQ(window.Cursor, crDefault);
}

TEST_F(HtmLabelTest, LinkHintsAreTheLinksWhileTheMouseIsOnThem) {
    Label->SetHint("label hint");
    Label->LinkItems()[0].SetHint("Read the licence");
    Label->SetCaption("<a title=\"From the title\">EULA</a> & <a>Privacy Policy</a>");
    const TPoint eula = LinkCentre(0), privacy = LinkCentre(1);
    Move(eula.X, eula.Y);
    EXPECT_EQ(Label->ActiveHint(), "Read the licence");
    Label->LinkItems()[0].SetHint("");
    Move(eula.X + 1, eula.Y);  // the same link: nothing changes until it is left
    Move(privacy.X, privacy.Y);
    EXPECT_EQ(Label->ActiveHint(), "");  // no hint of its own, no TITLE
    Move(eula.X, eula.Y);
    EXPECT_EQ(Label->ActiveHint(), "From the title");
    Move(Label->Left() + 300, Label->Top() + 5);
    EXPECT_EQ(Label->ActiveHint(), "label hint");
    EXPECT_EQ(Label->Hint(), "label hint");  // the label's own hint is never replaced
}

TEST_F(HtmLabelTest, EscapedAngleBracketsAreTextNotTags) {
    Label->SetCaption("&lt;b&gt;x&lt;/b&gt;");
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Text, "<b>x</b>");
    EXPECT_EQ(texts[0]->Font.Style & fsBold, 0u);
}

TEST_F(HtmLabelTest, EveryLinesEntryIsALineAndCaptionFollows) {
    Label->SetLines({"one", "<b>two</b>", "three"});
    EXPECT_EQ(Label->CurrentLayout().LineCount, 3);
    EXPECT_EQ(Label->Caption(), "one\r\n<b>two</b>\r\nthree");
    Label->SetCaption("a\nb");
    EXPECT_EQ(Label->Lines(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Label->Markup(), "a<BR>b");
}

TEST_F(HtmLabelTest, ExtraLinksArePlainTextAndNotClickable) {
    Label->SetCaption("<a>one</a> <a>two</a> <a>three</a>");
    const THtmlLayoutResult& layout = Label->CurrentLayout();
    ASSERT_EQ(layout.Links.size(), 3u);
    EXPECT_TRUE(layout.Links[2].Rects.empty());
    EXPECT_EQ(layout.Links[2].Caption, "three");
    const int x = Label->Left() + 8 * kChar + 3;  // inside "three"
    Press(x, Label->Top() + 5);
    Release(x, Label->Top() + 5);
    EXPECT_TRUE(Clicked.empty());
}

TEST_F(HtmLabelTest, WrappingKeepsGluedWordsTogether) {
    Label->SetWidth(10 * kChar);
    Label->SetCaption("aaaaa <b>bbb</b>ccc");
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0]->Text, "aaaaa");
    EXPECT_EQ(texts[1]->Text, "bbb");
    EXPECT_EQ(texts[1]->Rect.Left, 0);
    EXPECT_EQ(texts[1]->Rect.Top, kLine);
    EXPECT_EQ(texts[2]->Text, "ccc");
    EXPECT_EQ(texts[2]->Rect.Left, 3 * kChar);
    EXPECT_EQ(texts[2]->Rect.Top, kLine);
}

TEST_F(HtmLabelTest, MaxLineCutsALinkWithAnEllipsis) {
    Label->SetWidth(10 * kChar);
    Label->LinkItems()[0].SetMaxLine(1);
    Label->SetCaption("<a>one two three four</a> end");
    const THtmlLayoutResult& layout = Label->CurrentLayout();
    EXPECT_TRUE(Label->LinkItems()[0].FoundTextEllipsis());
    EXPECT_EQ(Label->LinkItems()[0].Caption(), "one two three four");
    EXPECT_EQ(layout.Links[0].Rects.size(), 1u);
    std::string firstLine;
    for (const THtmlDrawItem* t : Texts())
        if (t->Rect.Top == 0) firstLine += t->Text;
    EXPECT_EQ(firstLine, "one two...");
    EXPECT_EQ(layout.LineCount, 2);  // the rest of the link is gone; " end" follows
}

TEST_F(HtmLabelTest, ListsIndentAndMarkTheirItems) {
    Label->SetCaption("<ul><li>a<li>b</ul><ol><li>c<li>d</ol>");
    const THtmlLayoutResult& layout = Label->CurrentLayout();
    EXPECT_EQ(layout.LineCount, 4);
    int bullets = 0;
    std::vector<std::string> numbers;
    for (const THtmlDrawItem& item : layout.Items) {
        if (item.Kind == THtmlDrawKind::Bullet) ++bullets;
        if (item.Kind == THtmlDrawKind::Text && item.Text.find('.') != std::string::npos) numbers.push_back(item.Text);
        if (item.Kind == THtmlDrawKind::Text && item.Text == "a") {
            EXPECT_EQ(item.Rect.Left, kLine * 3 / 2);  // one level in
        }
    }
    EXPECT_EQ(bullets, 2);
    EXPECT_EQ(numbers, (std::vector<std::string>{"1. ", "2. "}));
}

TEST_F(HtmLabelTest, AutoSizeGrowsAWrappedLabelDownwardsOnly) {
    Label->SetWidth(20 * kChar);
    Label->SetAutoSize(true);
    Label->SetCaption("short");
    EXPECT_EQ(Label->Height(), kLine);
    Label->SetCaption("a much longer caption that needs three lines");
    EXPECT_EQ(Label->Width(), 20 * kChar);
    EXPECT_EQ(Label->Height(), 3 * kLine);
    Label->TextBorder().SetTop(4);
    Label->TextBorder().SetBottom(2);
    EXPECT_EQ(Label->Height(), 3 * kLine + 6);
    Label->SetLineSpacing(5);
    EXPECT_EQ(Label->Height(), 3 * kLine + 2 * 5 + 6);
}

TEST_F(HtmLabelTest, AutoSizeStaysWithinTheSizeConstraints) {
    struct Case {
        TSizeConstraints constraints;
        int width;  // asked for before the caption grows
        TPoint size;
    };
    const Case cases[] = {
        // Wider than MaxWidth is refused; the wrapped text then takes more lines.
        {{0, 0, 20 * kChar, 0}, 30 * kChar, {20 * kChar, 3 * kLine}},
        {{0, 0, 0, 2 * kLine}, 20 * kChar, {20 * kChar, 2 * kLine}},
        {{0, 5 * kLine, 0, 0}, 20 * kChar, {20 * kChar, 5 * kLine}},
    };
    for (const Case& c : cases) {
        Label->SetAutoSize(false);
        Label->SetCaption("short");
        Label->SetConstraints(c.constraints);
        Label->SetWidth(c.width);
        Label->SetAutoSize(true);
        Label->SetCaption("a much longer caption that needs three lines");
        EXPECT_EQ((TPoint{Label->Width(), Label->Height()}), c.size) << c.width;
        Label->SetConstraints(TSizeConstraints{});
    }
}

// Hebrew letters stand for any right-to-left script; the fixed renderer gives them
// the same 6 pixels. Logical order: alef-bet-gimel, dalet-he, the name, the link
// (vav-zayin-het), tet-yod.
TEST_F(HtmLabelTest, RightToLeftTextIsShownFromTheRightWithALatinNameKeptInOrder) {
    Label->SetCaption("\u05D0\u05D1\u05D2 \u05D3\u05D4 Qarto Browser <a>\u05D5\u05D6\u05D7</a> \u05D8\u05D9");
    std::vector<std::string> seen;  // the runs from left to right
    int right = 0;
    for (const THtmlDrawItem* item : Texts()) {
        seen.push_back(item->Text);
        EXPECT_GE(item->Rect.Left, right) << item->Text;  // no overlap, in order
        right = item->Rect.Right;
    }
    // Right-to-left runs hold their text in reading order (the renderer shows it
    // from the right); the first word is at the right end of the line, which the
    // label's alignment (left) places at its left edge.
    EXPECT_EQ(seen, (std::vector<std::string>{" \u05D8\u05D9", "\u05D5\u05D6\u05D7", " ", "Qarto Browser",
                                              "\u05D0\u05D1\u05D2 \u05D3\u05D4 "}));
    EXPECT_EQ(Texts().front()->Rect.Left, 0);
    EXPECT_EQ(right, 27 * kChar);
    const TRect link = Label->LinkRects(0).at(0);
    EXPECT_EQ(link.Left, 3 * kChar);
    EXPECT_EQ(link.Width(), 3 * kChar);

    // Text that starts in a left-to-right script keeps the left-to-right layout,
    // whatever comes later.
    Label->SetCaption("Qarto \u05D0\u05D1\u05D2 <a>x</a>");
    seen.clear();
    for (const THtmlDrawItem* item : Texts()) seen.push_back(item->Text);
    EXPECT_EQ(seen, (std::vector<std::string>{"Qarto \u05D0\u05D1\u05D2 ", "x"}));
    EXPECT_EQ(Texts().front()->Rect.Left, 0);
}

}  // namespace
