// TRdImageButton on the host, driven through its form's mouse routing: the button
// state machine (a click, a press released outside, a press that leaves and comes
// back, double clicks, disabling while pressed), check-box mode with and without
// CheckBoxFullClick, the icon's own click, which picture and colour each state
// shows (checked in the painted pixels), the hover fade's steps, the ImageRange hit
// mask, AutoSize, caption layout and hints.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/EventLoop.h"
#include "public/rdcontrol/controls/imagebutton/RdImageButton.h"
#include "tests/unit/framework/FakeFormWindow.h"

namespace {

std::shared_ptr<TPngGraphic> Solid(int w, int h, std::uint32_t argb) {
    return TPngGraphic::FromSurface(TArgbSurface(w, h, argb));
}

constexpr std::uint32_t kNormal = 0xFF202080u, kOver = 0xFF2060F0u, kDown = 0xFF103060u, kDisabled = 0xFF808080u,
                        kSelected = 0xFF20A040u, kExpand = 0xFFA04020u;

struct ImageButtonTest : ::testing::Test {
    ImageButtonTest() : Loop(MakeEventLoop()) {
        App = std::make_unique<TApplication>(*Loop, std::make_unique<TFakePlatform>());
        Form = App->CreateForm<TCustomForm>();
        Form->SetBounds(0, 0, 400, 200);
        Form->SetColor(clWhite);
        Form->Show();
        Button = new TRdImageButton(Form);
        Button->SetName("btnInstall");
        Button->SetParent(Form);
        Button->SetBounds(20, 20, 100, 30);
        Button->SetCaption("Install");
        Button->ImageNormal().SetGraphic(Solid(8, 8, kNormal));
        Button->ImageOver().SetGraphic(Solid(8, 8, kOver));
        Button->ImageDown().SetGraphic(Solid(8, 8, kDown));
        Button->ImageDisabled().SetGraphic(Solid(8, 8, kDisabled));
        Button->ImageSelected().SetGraphic(Solid(8, 8, kSelected));
        Log(Button);
    }
    void Log(TRdImageButton* b) {
        b->OnClick = [this](TControl* s) { Events.push_back(s->Name() + ":click"); };
        b->OnDblClick = [this](TControl* s) { Events.push_back(s->Name() + ":dblclick"); };
        b->OnMouseDown = [this](TControl* s, TMouseButton, TShiftState, int, int) {
            Events.push_back(s->Name() + ":down");
        };
        b->OnMouseUp = [this](TControl* s, TMouseButton, TShiftState, int, int) {
            Events.push_back(s->Name() + ":up");
        };
        b->CheckBoxBeforeClick = [this](TControl* s) { Events.push_back(s->Name() + ":boxbefore"); };
        b->CheckBoxOnClick = [this](TControl* s) { Events.push_back(s->Name() + ":boxclick"); };
        b->IconOnClick = [this](TControl* s) { Events.push_back(s->Name() + ":iconclick"); };
        b->OnCheckedChanged = [this](TControl* s) { Events.push_back(s->Name() + ":checked"); };
    }
    // Mouse in form client coordinates, as the window hands it over.
    void Move(int x, int y) { Form->HandleMouseMove(0, x, y); }
    void Down(int x, int y, bool dbl = false) { Form->HandleMouseDown(mbLeft, ssLeft, x, y, dbl); }
    void Up(int x, int y) { Form->HandleMouseUp(mbLeft, 0, x, y); }
    void ClickAt(int x, int y) {
        Move(x, y);
        Down(x, y);
        Up(x, y);
    }
    std::uint32_t PixelAt(int x, int y) {
        Form->PaintAll();
        return Form->BackBuffer().Pixel(x, y);
    }
    void RunUntil(const std::function<bool()>& done) {
        const auto start = std::chrono::steady_clock::now();
        while (!done() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
            Loop->RunOnce(std::chrono::milliseconds(5));
    }

    std::unique_ptr<EventLoop> Loop;
    std::unique_ptr<TApplication> App;
    TCustomForm* Form = nullptr;
    TRdImageButton* Button = nullptr;
    std::vector<std::string> Events;
};

using Strings = std::vector<std::string>;
using TState = TRdImageButton::TButtonState;

TEST_F(ImageButtonTest, ClickOnlyWhenReleasedOverTheButton) {
    struct Case {
        const char* name;
        std::function<void(ImageButtonTest&)> input;
        Strings events;
    } cases[] = {
        {"click", [](ImageButtonTest& t) { t.ClickAt(50, 30); },
         {"btnInstall:down", "btnInstall:click", "btnInstall:up"}},
        {"released outside",
         [](ImageButtonTest& t) {
             t.Move(50, 30);
             t.Down(50, 30);
             t.Move(300, 150);
             t.Up(300, 150);
         },
         {"btnInstall:down", "btnInstall:up"}},
        {"leaves and comes back",
         [](ImageButtonTest& t) {
             t.Move(50, 30);
             t.Down(50, 30);
             t.Move(300, 150);
             t.Move(60, 35);
             t.Up(60, 35);
         },
         {"btnInstall:down", "btnInstall:click", "btnInstall:up"}},
        {"double click",
         [](ImageButtonTest& t) {
             t.ClickAt(50, 30);
             t.Down(50, 30, true);
             t.Up(50, 30);
         },
         {"btnInstall:down", "btnInstall:click", "btnInstall:up", "btnInstall:dblclick", "btnInstall:down",
          "btnInstall:click", "btnInstall:up"}},
        {"press beside it", [](ImageButtonTest& t) { t.ClickAt(300, 150); }, {}},
    };
    for (const Case& c : cases) {
        Events.clear();
        c.input(*this);
        EXPECT_EQ(Events, c.events) << c.name;
        EXPECT_EQ(Button->ButtonState(), TState::Normal) << c.name;
        Move(390, 190);
    }
}

TEST_F(ImageButtonTest, PressThatLeavesShowsNormalUntilReleased) {
    Move(50, 30);
    EXPECT_EQ(PixelAt(22, 22), kOver);
    Down(50, 30);
    EXPECT_EQ(Button->ButtonState(), TState::Down);
    EXPECT_EQ(PixelAt(22, 22), kDown);
    Move(300, 150);  // held and dragged off: down -> normal, not inside
    EXPECT_EQ(Button->ButtonState(), TState::Normal);
    EXPECT_FALSE(Button->MouseInside());
    EXPECT_EQ(PixelAt(22, 22), kNormal);
    Move(60, 35);  // back over it, still held: inside, but not down again
    EXPECT_TRUE(Button->MouseInside());
    EXPECT_EQ(Button->ButtonState(), TState::Normal);
    EXPECT_EQ(PixelAt(22, 22), kOver);
    Up(60, 35);
    EXPECT_EQ(Events, (Strings{"btnInstall:down", "btnInstall:click", "btnInstall:up"}));
}

TEST_F(ImageButtonTest, PicturePerState) {
    struct Case {
        const char* name;
        std::function<void(ImageButtonTest&)> setup;
        std::uint32_t pixel;
    } cases[] = {
        {"normal", [](ImageButtonTest&) {}, kNormal},
        {"over", [](ImageButtonTest& t) { t.Move(50, 30); }, kOver},
        {"down",
         [](ImageButtonTest& t) {
             t.Move(50, 30);
             t.Down(50, 30);
         },
         kDown},
        {"down without ImageDown shows over",
         [](ImageButtonTest& t) {
             t.Button->ImageDown().Clear();
             t.Move(50, 30);
             t.Down(50, 30);
         },
         kOver},
        {"down without ImageDown or ImageOver shows normal",
         [](ImageButtonTest& t) {
             t.Button->ImageDown().Clear();
             t.Button->ImageOver().Clear();
             t.Move(50, 30);
             t.Down(50, 30);
         },
         kNormal},
        {"disabled, even with the mouse over it",
         [](ImageButtonTest& t) {
             t.Button->SetEnabled(false);
             t.Move(50, 30);
         },
         kDisabled},
        {"selected ignores the mouse",
         [](ImageButtonTest& t) {
             t.Button->SetSelected(true);
             t.Move(50, 30);
         },
         kSelected},
        {"expanded",
         [](ImageButtonTest& t) {
             t.Button->ExpandImage().SetGraphic(Solid(8, 8, kExpand));
             t.Button->SetExpand(true);
         },
         kExpand},
        {"no pictures: only the caption", [](ImageButtonTest& t) { t.Button->ImageNormal().Clear(); }, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        Events.clear();
        c.setup(*this);
        EXPECT_EQ(PixelAt(22, 22), c.pixel) << c.name;
        // Back to a plain button for the next case.
        Up(390, 190);
        Move(390, 190);
        Button->SetEnabled(true);
        Button->SetSelected(false);
        Button->SetExpand(false);
        Button->ImageNormal().SetGraphic(Solid(8, 8, kNormal));
        Button->ImageOver().SetGraphic(Solid(8, 8, kOver));
        Button->ImageDown().SetGraphic(Solid(8, 8, kDown));
    }
}

TEST_F(ImageButtonTest, DisablingAPressedButtonRemembersItsState) {
    Move(50, 30);
    Down(50, 30);
    Button->SetEnabled(false);
    EXPECT_EQ(Button->ButtonState(), TState::Disabled);
    Button->SetEnabled(true);
    EXPECT_EQ(Button->ButtonState(), TState::Down);
}

TEST_F(ImageButtonTest, TextColourPerState) {
    Button->Font().SetColor(clBlack);
    Button->SetFontHoverColor(clBlue);
    Button->SetFontDownColor(clRed);
    Button->SetFontCheckedColor(clGreen);
    EXPECT_EQ(Button->CurrentTextColor(), clBlack);
    Move(50, 30);
    EXPECT_EQ(Button->CurrentTextColor(), clBlue);
    Down(50, 30);
    EXPECT_EQ(Button->CurrentTextColor(), clRed);
    Up(50, 30);
    Move(390, 190);
    Button->SetChecked(true);
    EXPECT_EQ(Button->CurrentTextColor(), clGreen);
    Button->SetEnabled(false);
    EXPECT_EQ(Button->CurrentTextColor(), cl3DDkShadow);  // the default disabled colour
    Button->SetEnabled(true);
    Button->SetSelected(true);
    EXPECT_EQ(Button->CurrentTextColor(), clGreen);  // selected: checked colour when no selected colour
    Button->SetFontSelectedColor(clWhite);
    EXPECT_EQ(Button->CurrentTextColor(), clWhite);
}

TEST_F(ImageButtonTest, CheckBoxToggles) {
    Button->SetShowCheckBox(true);
    Button->SetButtonCaptionAlignment(taLeftJustify);
    Button->SetCheckBoxOffset(0);
    Button->CheckBoxNormalImage().SetGraphic(Solid(16, 16, 0xFFFFFFFEu));
    Button->CheckBoxCheckedImage().SetGraphic(Solid(16, 16, 0xFF00A000u));
    struct Case {
        const char* name;
        bool fullClick;
        TCheckBoxState before;
        int x;  // form coordinates, y = 35
        TCheckBoxState after;
        Strings events;
    } cases[] = {
        {"full click on the caption", true, cbUnchecked, 90, cbChecked,
         {"btnInstall:boxbefore", "btnInstall:checked", "btnInstall:boxclick", "btnInstall:down", "btnInstall:click",
          "btnInstall:up"}},
        {"full click unchecks", true, cbChecked, 25, cbUnchecked,
         {"btnInstall:boxbefore", "btnInstall:checked", "btnInstall:boxclick", "btnInstall:down", "btnInstall:click",
          "btnInstall:up"}},
        {"half checked becomes checked", true, cbGrayed, 90, cbChecked,
         {"btnInstall:boxbefore", "btnInstall:checked", "btnInstall:boxclick", "btnInstall:down", "btnInstall:click",
          "btnInstall:up"}},
        {"box only: on the box toggles without a click", false, cbUnchecked, 25, cbChecked,
         {"btnInstall:boxbefore", "btnInstall:checked", "btnInstall:boxclick", "btnInstall:up"}},
        {"box only: on the caption only clicks", false, cbUnchecked, 90, cbUnchecked,
         {"btnInstall:down", "btnInstall:click", "btnInstall:up"}},
    };
    for (const Case& c : cases) {
        Button->SetCheckBoxFullClick(c.fullClick);
        Button->SetCheckState(c.before);
        Events.clear();
        ClickAt(c.x, 35);
        EXPECT_EQ(Button->CheckState(), c.after) << c.name;
        EXPECT_EQ(Events, c.events) << c.name;
        Move(390, 190);
    }
    // The box at offset 0 on the left; the caption 20 pixels (TextOffset) in, right of it.
    EXPECT_EQ(Button->CheckBoxRect(), TRect::FromSize(0, 7, 16, 16));
    EXPECT_EQ(Button->TextBlockRect().Left, 20);
    Button->SetChecked(true);
    EXPECT_EQ(PixelAt(28, 35), 0xFF00A000u);

    Events.clear();
    Button->SetChecked(true);  // the value it has: nothing fires
    EXPECT_TRUE(Events.empty());
}

TEST_F(ImageButtonTest, CheckBoxPlacementRules) {
    Button->SetShowCheckBox(true);
    Button->CheckBoxNormalImage().SetGraphic(Solid(10, 12, 0xFF000000u));
    Button->SetBounds(20, 20, 200, 40);
    Button->SetButtonCaptionAlignment(taLeftJustify);
    Button->SetTextAlignY(taAlignTop);
    const TRect t = Button->TextBlockRect();
    const int fh = Button->Font().FontHeight(), fbl = Button->Font().FontBaseLine();
    struct Case {
        TAlignment x;
        bool byText;
        TVerticalAlignment y;
        bool byFont;
        TTextLayout line;
        TPoint at;
    } cases[] = {
        {taLeftJustify, false, taVerticalCenter, false, tlBottom, {10, 14}},
        {taRightJustify, false, taVerticalCenter, false, tlBottom, {200 - 10 - 10, 14}},
        {taCenter, false, taVerticalCenter, false, tlBottom, {(200 - 10) / 2 + 10, 14}},
        {taLeftJustify, true, taAlignTop, false, tlBottom, {t.Left - 10 - 10, t.Top}},
        {taRightJustify, true, taAlignBottom, false, tlBottom, {t.Right + 10, t.Bottom - 12}},
        {taLeftJustify, false, taAlignTop, true, tlBottom, {10, t.Top + (fh - fbl) - 12}},
        {taLeftJustify, false, taAlignBottom, true, tlBottom, {10, t.Bottom - fbl - 12}},
    };
    for (const Case& c : cases) {
        Button->SetCheckBoxAlignX(c.x);
        Button->SetCheckBoxAlignXByText(c.byText);
        Button->SetCheckBoxAlignY(c.y);
        Button->SetCheckBoxAlignYByFont(c.byFont);
        Button->SetCheckBoxAlignYByFontLine(c.line);
        EXPECT_EQ(Button->CheckBoxRect(), TRect::FromSize(c.at.X, c.at.Y, 10, 12))
            << "x " << int(c.x) << " byText " << c.byText << " y " << int(c.y) << " byFont " << c.byFont;
    }
}

TEST_F(ImageButtonTest, TheBoxAndTheIconShowTheirHintsWithinTheirRectangles) {
    App->HintPause = std::chrono::milliseconds(10);
    Button->SetBounds(20, 20, 200, 30);
    Button->SetShowCheckBox(true);
    Button->SetCheckBoxFullClick(false);  // else the whole button counts as the box
    Button->SetButtonCaptionAlignment(taLeftJustify);
    Button->CheckBoxNormalImage().SetGraphic(Solid(16, 16, 0xFF000000u));
    Button->DnNormalIcon().SetGraphic(Solid(12, 12, 0xFFFF8000u));
    Button->SetHint("Install");
    Button->SetCheckBoxHint("Tick to agree");
    Button->SetIconHint("What is installed");
    Button->SetShowHint(true);
    const TRect box = Button->CheckBoxRect().Offset(20, 20), icon = Button->IconRect().Offset(20, 20);
    ASSERT_FALSE(box.IsEmpty());
    ASSERT_FALSE(icon.IsEmpty());
    struct Case {
        const char* name;
        TPoint at;  // form coordinates (the form is at 0,0 on the screen)
        const char* hint;
        TRect area;
    };
    const Case cases[] = {
        {"over the box", {box.Left + 2, box.Top + 2}, "Tick to agree", box},
        {"over the icon", {icon.Left + 2, icon.Top + 2}, "What is installed", icon},
        {"elsewhere on the button", {(box.Right + icon.Left) / 2, 30}, "Install", TRect::FromSize(20, 20, 200, 30)},
        {"back over the box", {box.Right - 2, box.Bottom - 2}, "Tick to agree", box},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Move(c.at.X, c.at.Y);
        RunUntil([&] { return App->CurrentHint() == c.hint; });
        EXPECT_EQ(App->CurrentHint(), c.hint);
        EXPECT_EQ(App->CurrentHintArea(), c.area);
    }
}

TEST_F(ImageButtonTest, IconTakesItsOwnClick) {
    Button->SetBounds(20, 20, 200, 30);
    Button->DnNormalIcon().SetGraphic(Solid(12, 12, 0xFFFF8000u));
    Button->DnDownIcon().SetGraphic(Solid(12, 12, 0xFF804000u));
    const TRect icon = Button->IconRect();  // right side, 10 from the edge
    EXPECT_EQ(icon, TRect::FromSize(200 - 12 - 10, 9, 12, 12));
    EXPECT_LE(Button->TextRect().Right, icon.Left - Button->TextOffset());
    Move(20 + icon.Left + 3, 20 + icon.Top + 3);
    Down(20 + icon.Left + 3, 20 + icon.Top + 3);
    EXPECT_EQ(Button->IconState(), TRdImageButton::TIconState::Down);
    Up(20 + icon.Left + 3, 20 + icon.Top + 3);
    EXPECT_EQ(Events, (Strings{"btnInstall:up", "btnInstall:iconclick"}));
    Events.clear();
    ClickAt(40, 35);  // beside the icon: an ordinary click
    EXPECT_EQ(Events, (Strings{"btnInstall:down", "btnInstall:click", "btnInstall:up"}));
}

TEST_F(ImageButtonTest, HoverFadesInFourteenTicks) {
    Button->SetHoverEffect(ibeSingle);
    std::vector<int> steps;
    Button->OnPaintEnd = [&](TControl*, TRdCanvas&) {
        if (Button->HoverPhase() != TRdImageButton::THoverPhase::None) steps.push_back(Button->HoverStep());
    };
    Move(50, 30);
    EXPECT_EQ(Button->HoverPhase(), TRdImageButton::THoverPhase::FadingIn);
    // Before the first tick the source picture shows unchanged.
    EXPECT_EQ(PixelAt(22, 22), kNormal);
    steps.clear();
    RunUntil([&] {
        Form->PaintInvalid();
        return Button->HoverPhase() == TRdImageButton::THoverPhase::None;
    });
    // Every tick repaints; the steps the paints saw climb by 10 from 90 to at most 210.
    ASSERT_FALSE(steps.empty());
    for (std::size_t i = 1; i < steps.size(); ++i) EXPECT_GT(steps[i], steps[i - 1]);
    EXPECT_GE(steps.front(), 90);
    EXPECT_LE(steps.back(), 210);
    for (int s : steps) EXPECT_EQ(s % 10, 0);
    EXPECT_EQ(Button->HoverStep(), 0);
    EXPECT_EQ(PixelAt(22, 22), kOver);

    // Leaving fades back; a half-way blend is between the two pictures.
    Move(390, 190);
    EXPECT_EQ(Button->HoverPhase(), TRdImageButton::THoverPhase::FadingOut);
    RunUntil([&] { return Button->HoverStep() >= 150; });
    const std::uint32_t mid = PixelAt(22, 22);
    EXPECT_NE(mid, kOver);
    EXPECT_NE(mid, kNormal);
    RunUntil([&] { return Button->HoverPhase() == TRdImageButton::THoverPhase::None; });
    EXPECT_EQ(PixelAt(22, 22), kNormal);

    // Check boxes do not fade.
    Button->SetShowCheckBox(true);
    Move(50, 30);
    EXPECT_EQ(Button->HoverPhase(), TRdImageButton::THoverPhase::None);
}

TEST_F(ImageButtonTest, ImageRangeLetsClicksThroughItsTransparentPixels) {
    auto* below = new TRdImageButton(Form);
    below->SetName("btnBelow");
    below->SetParent(Form);
    below->SetBounds(20, 20, 100, 30);
    below->SendToBack();
    Log(below);
    // The mask: the left half transparent, a black square, the rest opaque red.
    TArgbSurface mask(100, 30, 0xFFFF0000u);
    mask.FillRect(TRect{0, 0, 50, 30}, 0);
    mask.FillRect(TRect{60, 0, 70, 30}, 0xFF000000u);
    Button->ImageRange().SetGraphic(TPngGraphic::FromSurface(mask));
    struct Case {
        int x;
        const char* clicked;
    } cases[] = {{30, "btnBelow:click"}, {65, "btnBelow:click"}, {90, "btnInstall:click"}};
    for (const Case& c : cases) {
        Events.clear();
        ClickAt(20 + c.x, 35);
        EXPECT_NE(std::find(Events.begin(), Events.end(), c.clicked), Events.end()) << "x " << c.x;
        Move(390, 190);
    }
    // Laid out with ImageOption, the mask is stretched to the control first.
    Button->ImageRange().SetGraphic(TPngGraphic::FromSurface(mask));
    Button->SetBounds(20, 20, 200, 30);
    EXPECT_FALSE(Button->HitTestAt(190, 10));  // unscaled: outside the 100-pixel mask
    Button->ImageOption().SetStretchMode(sdmStretch);
    EXPECT_FALSE(Button->HitTestAt(60, 10));  // stretched: transparent left half
    EXPECT_TRUE(Button->HitTestAt(190, 10));
}

TEST_F(ImageButtonTest, AcceleratorKeyActsAsAClick) {
    auto* check = new TRdImageButton(Form);
    check->SetName("chkDesktop");
    check->SetParent(Form);
    check->SetBounds(20, 80, 200, 24);
    check->SetShowCheckBox(true);
    check->SetCaption("Create a &desktop icon");
    Log(check);
    Button->SetCaption("&Install");
    struct Case {
        bool showAccel;
        int key;
        TShiftState shift;
        Strings events;
    } cases[] = {
        {true, 'I', ssAlt, {"btnInstall:click"}},
        {true, 'D', ssAlt, {"chkDesktop:boxbefore", "chkDesktop:checked", "chkDesktop:boxclick", "chkDesktop:click"}},
        {true, 'I', 0, {}},             // without Alt it is a plain key
        {true, 'X', ssAlt, {}},         // nobody's accelerator
        {false, 'I', ssAlt, {}},        // "&" is shown as it stands
    };
    for (const Case& c : cases) {
        Button->SetShowAccelChar(c.showAccel);
        check->SetShowAccelChar(c.showAccel);
        Events.clear();
        EXPECT_EQ(Form->HandleKeyDown(c.key, c.shift), !c.events.empty()) << char(c.key);
        EXPECT_EQ(Events, c.events) << char(c.key);
    }
    EXPECT_TRUE(check->Checked());
    Button->SetShowAccelChar(true);
    Button->SetEnabled(false);
    Events.clear();
    EXPECT_FALSE(Form->HandleKeyDown('I', ssAlt));  // a disabled button does not act
    EXPECT_TRUE(Events.empty());
}

TEST_F(ImageButtonTest, AutoSizeTakesTheNormalPicturesSize) {
    Button->SetAutoSize(true);
    Button->ImageNormal().SetGraphic(Solid(189, 50, kNormal));
    EXPECT_EQ(Button->BoundsRect(), TRect::FromSize(20, 20, 189, 50));
}

TEST_F(ImageButtonTest, AutoSizeByTextKeepsTheRightEdgeOfARightAnchoredButton) {
    Button->SetAnchors(akRight | akTop);
    Button->SetButtonCaptionAlignment(taCenter);
    Button->SetAutoSizeByText(true);
    const int textWidth = DefaultTextRenderer().TextWidth(Button->Font().Spec(), "Install");
    EXPECT_EQ(Button->Width(), textWidth);
    EXPECT_EQ(Button->Left_Right(), 120);
    Button->SetCaption("Install now");
    EXPECT_EQ(Button->Left_Right(), 120);
    EXPECT_EQ(Button->Width(), DefaultTextRenderer().TextWidth(Button->Font().Spec(), "Install now"));
}

TEST_F(ImageButtonTest, CaptionLayoutAndHints) {
    Button->SetWordWrap(true);
    Button->SetCaption("Install for all users of this computer now");
    Button->SetBounds(20, 20, 100, 30);  // room for two lines
    EXPECT_TRUE(Button->FoundTextWordBreak());
    EXPECT_TRUE(Button->FoundTextEllipsis());
    EXPECT_EQ(Button->FoundTextDrawLine(), 30 / Button->Font().FontHeight());

    Button->SetShowHint(true);
    Button->SetAutoShowHint(true);
    EXPECT_EQ(Button->ActiveHint(), Button->Caption());  // cut: the caption is the hint
    Button->SetHint("Installs the browser");
    EXPECT_EQ(Button->ActiveHint(), "Installs the browser");
    Button->SetBounds(20, 20, 400, 60);  // everything fits: no hint
    EXPECT_FALSE(Button->FoundTextEllipsis());
    EXPECT_EQ(Button->ActiveHint(), "");
    Button->OnShowHint = [](TControl*, std::string& hint) { hint = "changed"; };
    EXPECT_EQ(Button->ActiveHint(), "changed");

    // Over the box, its own hint.
    Button->OnShowHint = nullptr;
    Button->SetAutoShowHint(false);
    Button->SetShowCheckBox(true);
    Button->SetCheckBoxHint("Tick to agree");
    Button->CheckBoxNormalImage().SetGraphic(Solid(16, 16, 0xFF000000u));
    Move(50, 30);
    EXPECT_EQ(Button->ActiveHint(), "Tick to agree");

    // An accelerator is taken out of the text that is drawn.
    Button->SetShowAccelChar(true);
    Button->SetWordWrap(false);
    Button->SetCaption("&Install && run");
    EXPECT_EQ(Button->TextBlockRect().Width(),
              DefaultTextRenderer().TextWidth(Button->Font().Spec(), "Install & run"));
}

}  // namespace
