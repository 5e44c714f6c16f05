// TRdComboBox: face geometry and painting, the list window's size and placement,
// and its behaviour while open (hot tracking, choosing, keys, the hook's press and
// wheel rules), on fake windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "public/rdcontrol/controls/input/ComboGeometry.h"
#include "public/rdcontrol/controls/input/RdComboBox.h"
#include "public/rdcontrol/pictures/RdGraphic.h"
#include "tests/unit/input/InputFixture.h"

namespace {

TEST(ComboGeometry, FaceHeight) {
    struct {
        int ComboboxHeight;
        bool OptionEmpty;
        int BackgroundHeight, ItemHeight, Expected;
    } cases[] = {
        {30, false, 24, 16, 30},  // given
        {0, true, 24, 16, 24},    // from the picture when the option is empty
        {0, false, 24, 16, 16},   // an option with margins: 0, so ItemHeight
        {-1, false, 24, 16, 24},  // -1 asks for the picture's height anyway
        {0, true, 8, 16, 16},     // below 10: ItemHeight
        {0, true, 0, 18, 18},     // no picture
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComboFaceHeight(c.ComboboxHeight, c.OptionEmpty, c.BackgroundHeight, c.ItemHeight), c.Expected)
            << c.ComboboxHeight << " " << c.OptionEmpty << " " << c.BackgroundHeight;
}

TEST(ComboGeometry, ListPlacement) {
    struct Case {
        const char* Name;
        TPoint Face;
        int Items;
        TRect Form, Screen, Expected;
        bool Upwards;
    } cases[] = {
        {"below", {120, 150}, 33, {100, 100, 500, 400}, {0, 0, 1024, 768}, TRect::FromSize(120, 166, 200, 130), false},
        {"no_items", {120, 150}, 0, {100, 100, 500, 400}, {0, 0, 1024, 768}, TRect::FromSize(120, 166, 200, 18), false},
        {"upwards_near_form_bottom", {120, 380}, 33, {100, 100, 500, 400}, {0, 0, 1024, 768},
         TRect::FromSize(120, 250, 200, 130), true},
        {"stays_below_when_above_is_outside_form", {120, 180}, 33, {100, 100, 500, 200}, {0, 0, 1024, 768},
         TRect::FromSize(120, 196, 200, 130), false},
        {"pushed_up_at_screen_bottom", {120, 700}, 33, {100, 100, 500, 900}, {0, 0, 1024, 768},
         TRect::FromSize(120, 638, 200, 130), false},
        {"pushed_down_at_screen_top", {120, 60}, 33, {0, -200, 500, 100}, {0, 0, 1024, 768},
         TRect::FromSize(120, 0, 200, 130), true},
        {"cut_to_screen_height", {120, 20}, 33, {0, 0, 500, 900}, {0, 0, 1024, 100},
         TRect::FromSize(120, 0, 200, 100), false},
    };
    for (const Case& c : cases) {
        TComboListRequest r;
        r.FaceScreen = c.Face;
        r.FaceWidth = 200;
        r.FaceHeight = 16;
        r.ItemCount = c.Items;
        r.DropDownCount = 8;
        r.ItemHeight = 16;
        r.BorderWidth = 1;
        r.FormScreen = c.Form;
        r.Screen = c.Screen;
        const TComboListPlacement p = PlaceComboList(r);
        EXPECT_EQ(p.Bounds, c.Expected) << c.Name;
        EXPECT_EQ(p.Upwards, c.Upwards) << c.Name;
    }
}

struct ComboTest : InputFixture {
    ComboTest() {
        Combo = new TRdComboBox(Form);
        Combo->SetName("cbxLang");
        Combo->SetParent(Form);
        Combo->SetBounds(20, 40, 200, 32);
        Combo->SetItemHeight(16);
        std::vector<std::string> items;
        for (int i = 0; i < 33; ++i) items.push_back("Language " + std::to_string(i));
        Combo->SetItems(items);
        Combo->OnChange = [this](TControl*) { Log.push_back("change " + std::to_string(Combo->ItemIndex())); };
        Combo->OnClick = [this](TControl*) { Log.push_back("click"); };
        Combo->OnDropDown = [this](TControl*) { Log.push_back("dropdown"); };
        Combo->OnDropDownShow = [this](TControl*) { Log.push_back("show"); };
        Combo->OnCloseUp = [this](TControl*) { Log.push_back("closeup"); };
    }
    TRdComboboxListForm& List() { return Combo->ListForm(); }
    // Mouse on the list window (its client coordinates).
    void ListMove(int x, int y) { List().HandleMouseMove(0, x, y); }
    void ListClick(int x, int y) {
        List().HandleMouseMove(0, x, y);
        List().HandleMouseDown(mbLeft, ssLeft, x, y, false);
        List().HandleMouseUp(mbLeft, 0, x, y);
    }
    // The centre of the face (form coordinates).
    TPoint FaceCentre() {
        const TRect f = Combo->FaceBounds();
        return TPoint{(f.Left + f.Right) / 2, (f.Top + f.Bottom) / 2};
    }
    void Open() {
        const TPoint f = FaceCentre();
        Click(f.X, f.Y);
        ASSERT_TRUE(Combo->DroppedDown());
        Log.clear();
    }
    bool Hook(TComboHookMessage::TKind kind, TPoint screen, int delta = 0) {
        TComboHookMessage m;
        m.Kind = kind;
        m.Screen = screen;
        m.WheelDelta = delta;
        return Combo->HookMessage(m);
    }

    TRdComboBox* Combo = nullptr;
    std::vector<std::string> Log;
};

TEST_F(ComboTest, FaceSitsAtTheBottomAndKeepsTheArrowRoom) {
    Combo->BackgroundOption().SetRight(25);
    EXPECT_EQ(Combo->FaceHeight(), 16);  // ComboboxHeight 0 with margins: ItemHeight
    EXPECT_EQ(Combo->Face().BoundsRect(), TRect::FromSize(20, 40 + 32 - 16, 200, 16));
    EXPECT_EQ(Combo->FaceTextRect().Right, 200 - 29);
    EXPECT_EQ(Combo->FaceTextRect().Left, 5 + 4);
    Combo->SetBounds(30, 50, 180, 40);
    EXPECT_EQ(Combo->Face().BoundsRect(), TRect::FromSize(30, 50 + 40 - 16, 180, 16));
    EXPECT_FALSE(Combo->HitTest());  // the combo itself lets the mouse through
}

TEST_F(ComboTest, FaceShowsThePromptInItsColourWhenNothingIsSelected) {
    Combo->SetTextHint("Choose");
    Combo->SetFontHintColor(RGB(0, 128, 255));
    Combo->Font().SetColor(clBlack);
    const TRect face = Combo->FaceBounds();
    const TRect text = Combo->FaceTextRect();
    // First glyph of the text: column 2 of its cell, a row inside the glyph box.
    auto ink = [&] { return Pixel(face.Left + text.Left + 2, face.Top + face.Height() / 2); };
    EXPECT_EQ(ink(), Opaque(RGB(0, 128, 255)));
    Combo->SetEnabled(false);
    EXPECT_EQ(ink(), Opaque(RGB(0, 128, 255)));  // the prompt's colour wins over the disabled colour
    Combo->SetEnabled(true);
    Combo->SetItemIndex(2);
    EXPECT_EQ(Combo->Text(), "Language 2");
    EXPECT_EQ(ink(), Opaque(clBlack));
}

TEST_F(ComboTest, FaceImageFollowsTheState) {
    auto plain = [](TColor c) {
        auto g = std::make_shared<TPngGraphic>();
        g->AssignSurface(TArgbSurface(8, 8, ColorToArgb(c)));
        return g;
    };
    Combo->Background().SetGraphic(plain(RGB(200, 200, 200)));
    Combo->BackgroundHot().SetGraphic(plain(RGB(0, 200, 0)));
    Combo->BackgroundClick().SetGraphic(plain(RGB(0, 0, 200)));
    Combo->BackgroundDisable().SetGraphic(plain(RGB(90, 90, 90)));
    const TRect face = Combo->FaceBounds();
    auto look = [&] { return Pixel(face.Left + 2, face.Top + 2); };
    EXPECT_EQ(look(), Opaque(RGB(200, 200, 200)));
    Move(face.Left + 2, face.Top + 2);
    EXPECT_EQ(look(), Opaque(RGB(0, 200, 0)));
    Open();
    EXPECT_EQ(look(), Opaque(RGB(0, 0, 200)));
    Combo->SetDroppedDown(false);
    Combo->SetEnabled(false);
    EXPECT_EQ(look(), Opaque(RGB(90, 90, 90)));
}

TEST_F(ComboTest, OpeningShowsASizedPlacedListWindow) {
    Combo->SetItemIndex(20);
    const TPoint f = FaceCentre();
    const std::size_t windowsBefore = Platform->Windows.size();
    Click(f.X, f.Y);
    ASSERT_TRUE(Combo->DroppedDown());
    EXPECT_EQ(Log, (std::vector<std::string>{"dropdown", "show"}));
    // A new top-level window for the list, shown and opaque at the end.
    ASSERT_EQ(Platform->Windows.size(), windowsBefore + 1);
    EXPECT_EQ(Platform->Windows.back(), &List());
    const TFakeWindowLog& window = *Platform->Logs.back();
    EXPECT_TRUE(window.Visible);
    EXPECT_EQ(window.Alpha, 255);
    EXPECT_EQ(window.Layering, TFormLayering::ConstantAlpha);
    // Under the face, as wide as it, 8 rows and the border.
    const TRect face = Combo->FaceScreenRect();
    EXPECT_EQ(window.Bounds, TRect::FromSize(face.Left, face.Bottom, 200, 8 * 16 + 2));
    EXPECT_EQ(Combo->ListBox().BoundsRect(), TRect::FromSize(1, 1, 200 - 2 - 12, 8 * 16));
    // The selection is the highlight and the first row shown; the list has the focus.
    EXPECT_EQ(Combo->ListBox().ItemIndex(), 20);
    EXPECT_EQ(Combo->ListBox().TopIndex(), 20);
    EXPECT_EQ(List().ActiveControl(), &Combo->ListBox());
    EXPECT_TRUE(Combo->HookInstalled());
    // The scroll bar took the list's scroll information.
    EXPECT_TRUE(Combo->VScrollBar().Visible());
    EXPECT_EQ(Combo->VScrollBar().Max(), 32);
    EXPECT_EQ(Combo->VScrollBar().PageSize(), 8);
    EXPECT_EQ(Combo->VScrollBar().Position(), 20);
}

TEST_F(ComboTest, TheListWindowCarriesItsShadowSkin) {
    EXPECT_EQ(Combo->ListFormShadow().Name(), "Bg");
    EXPECT_EQ(TRdFormSkin::SkinOf(&List()), &Combo->ListFormShadow());
    EXPECT_EQ(List().FindComponent("ListBox"), &Combo->ListBox());
    EXPECT_EQ(List().FindComponent("VScroll"), &Combo->VScrollBar());
    EXPECT_EQ(Combo->FindComponent("ListForm"), &List());
}

TEST_F(ComboTest, ANearlyEmptyListHasNoScrollBar) {
    Combo->SetItems({"one", "two"});
    Open();
    EXPECT_FALSE(Combo->VScrollBar().Visible());
    EXPECT_EQ(Combo->ListBox().Width(), 200 - 2);
    EXPECT_EQ(List().Height(), 2 * 16 + 2);
}

TEST_F(ComboTest, HoverHighlightsWithoutSelectingAndAClickChooses) {
    Combo->SetItemIndex(0);
    Open();
    ListMove(20, 1 + 3 * 16 + 5);  // row 3
    EXPECT_EQ(Combo->HotIndex(), 3);
    EXPECT_EQ(Combo->ListBox().ItemIndex(), 3);
    EXPECT_EQ(Combo->ItemIndex(), 0);
    // The highlight is drawn with the hot colours.
    List().PaintAll();
    EXPECT_EQ(List().BackBuffer().Pixel(2, 1 + 3 * 16 + 1), Opaque(Combo->ItemHotBgColor()));
    ListMove(20, 1 + 5 * 16 + 5);
    EXPECT_EQ(Combo->HotIndex(), 5);
    EXPECT_EQ(Combo->PrevHotIndex(), 3);
    EXPECT_TRUE(Log.empty());

    ListClick(20, 1 + 5 * 16 + 5);
    EXPECT_EQ(Log, (std::vector<std::string>{"click", "change 5", "closeup"}));
    EXPECT_EQ(Combo->Text(), "Language 5");
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_FALSE(Combo->HookInstalled());
}

TEST_F(ComboTest, OnSelectReplacesOnChangeWhenSet) {
    Combo->OnSelect = [this](TControl*) { Log.push_back("select " + std::to_string(Combo->ItemIndex())); };
    Open();
    ListClick(20, 1 + 2 * 16 + 5);
    EXPECT_EQ(Log, (std::vector<std::string>{"click", "select 2", "closeup"}));
}

TEST_F(ComboTest, KeysMoveTheSelectionAndEscapeKeepsIt) {
    Combo->SetItemIndex(4);
    Open();
    List().HandleKeyDown(40, 0);  // down
    List().HandleKeyDown(40, 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"click", "change 5", "click", "change 6"}));
    List().HandleKeyDown(vkEscape, 0);
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Combo->ItemIndex(), 6);
    Open();
    List().HandleKeyDown(35, 0);  // End: scrolled into view
    EXPECT_EQ(Combo->ItemIndex(), 32);
    EXPECT_EQ(Combo->ListBox().TopIndex(), 32 - 7);
    List().HandleKeyDown(vkReturn, 0);
    EXPECT_FALSE(Combo->DroppedDown());
}

TEST_F(ComboTest, APressOnTheFaceWhileOpenClosesForGood) {
    Open();
    const TPoint f = FaceCentre();
    // The hook sees the press first: over the face it leaves it to the face.
    EXPECT_FALSE(Hook(TComboHookMessage::TKind::ButtonDown, TPoint{Form->Left() + f.X, Form->Top() + f.Y}));
    EXPECT_TRUE(Combo->DroppedDown());
    Click(f.X, f.Y);
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Log, (std::vector<std::string>{"closeup"}));
    // The right button closes and never opens.
    Press(f.X, f.Y, mbRight);
    Release(f.X, f.Y, mbRight);
    EXPECT_FALSE(Combo->DroppedDown());
}

TEST_F(ComboTest, PressesOutsideCloseAndInsideDoNot) {
    Open();
    const TRect list = TRect::FromSize(List().Left(), List().Top(), List().Width(), List().Height());
    EXPECT_FALSE(Hook(TComboHookMessage::TKind::ButtonDown, TPoint{list.Left + 5, list.Top + 5}));
    EXPECT_TRUE(Combo->DroppedDown());
    EXPECT_FALSE(Hook(TComboHookMessage::TKind::FrameButtonDown, TPoint{5, 5}));
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_FALSE(Combo->HookInstalled());

    // The list window losing activation: the same rule at the pointer.
    Open();
    const TPoint f = FaceCentre();
    Platform->Cursor = TPoint{Form->Left() + f.X, Form->Top() + f.Y};
    List().HandleActivate(true);
    List().HandleActivate(false);
    EXPECT_TRUE(Combo->DroppedDown());  // over the face: the face decides
    Platform->Cursor = TPoint{900, 700};
    List().HandleActivate(true);
    List().HandleActivate(false);
    EXPECT_FALSE(Combo->DroppedDown());
}

TEST_F(ComboTest, TheWheelScrollsALongListFromAnywhere) {
    Open();
    EXPECT_TRUE(Hook(TComboHookMessage::TKind::Wheel, TPoint{5, 5}, -120));  // used up
    EXPECT_TRUE(Combo->DroppedDown());
    EXPECT_EQ(Combo->ListBox().TopIndex(), 3);
    EXPECT_EQ(Combo->VScrollBar().Position(), 3);
    EXPECT_TRUE(Hook(TComboHookMessage::TKind::Wheel, TPoint{5, 5}, 240));
    EXPECT_EQ(Combo->ListBox().TopIndex(), 0);
    EXPECT_EQ(Combo->ItemIndex(), -1);  // scrolling chooses nothing
    EXPECT_TRUE(Log.empty());
}

TEST_F(ComboTest, TheWheelClosesAShortList) {
    Combo->SetItems({"one", "two", "three"});
    Open();
    const TPoint f = FaceCentre();
    EXPECT_TRUE(Hook(TComboHookMessage::TKind::Wheel, TPoint{Form->Left() + f.X, Form->Top() + f.Y}, -120));
    EXPECT_FALSE(Combo->DroppedDown());
    Open();
    const TRect list = TRect::FromSize(List().Left(), List().Top(), List().Width(), List().Height());
    EXPECT_FALSE(Hook(TComboHookMessage::TKind::Wheel, TPoint{list.Left + 3, list.Top + 3}, -120));
    EXPECT_TRUE(Combo->DroppedDown());  // over the list: the press rule keeps it
    EXPECT_FALSE(Hook(TComboHookMessage::TKind::Wheel, TPoint{900, 700}, -120));
    EXPECT_FALSE(Combo->DroppedDown());
}

TEST_F(ComboTest, TheScrollBarDrivesTheList) {
    Open();
    Combo->VScrollBar().Bar().ScrollBy(10, scTrack);
    EXPECT_EQ(Combo->ListBox().TopIndex(), 10);
    EXPECT_EQ(Combo->VScrollBar().Position(), 10);
}

TEST_F(ComboTest, HidingTheCombosPageClosesTheList) {
    auto* page = new TRdPanel(Form);
    page->SetParent(Form);
    page->SetBounds(0, 0, 400, 300);
    Combo->SetParent(page);
    Open();
    page->Hide();
    Hook(TComboHookMessage::TKind::Paint, TPoint{});
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Log, (std::vector<std::string>{"closeup"}));
    // Hiding the combo itself closes at once.
    page->Show();
    Open();
    Combo->Hide();
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_FALSE(Combo->Face().Visible());
}

TEST_F(ComboTest, NothingOpensWithoutAParentForm) {
    auto* lonely = new TRdComboBox(Form);
    lonely->SetItems({"a"});
    lonely->SetDroppedDown(true);
    EXPECT_FALSE(lonely->DroppedDown());
}

}  // namespace
