// What every control has beyond layout and painting, through the form's routing
// on a fake platform: drag and drop (events and their order, drop, refusal,
// cancel), size constraints, the context menu on a right click, and the choice
// between the plain and the skinned hint window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/EventLoop.h"
#include "public/rdcontrol/framework/PopupMenu.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/SkinHintWindow.h"
#include "tests/unit/framework/FakeFormWindow.h"

namespace {

std::string At(int x, int y) { return "@" + std::to_string(x) + "," + std::to_string(y); }

struct ControlBehaviourTest : ::testing::Test {
    ControlBehaviourTest() : Loop(MakeEventLoop()) {
        auto platform = std::make_unique<TFakePlatform>();
        Platform = platform.get();
        App = std::make_unique<TApplication>(*Loop, std::move(platform));
        Form = App->CreateForm<TCustomForm>();
        Form->SetBounds(100, 100, 300, 200);
        Form->Show();
    }
    TControl* Box(TWinControl* parent, TRect bounds, const std::string& name) {
        auto* c = new TControl(Form);
        c->SetName(name);
        c->SetBoundsRect(bounds);
        c->SetParent(parent);
        return c;
    }
    void Press(int x, int y, TMouseButton b = mbLeft) {
        Form->HandleMouseMove(0, x, y);
        Form->HandleMouseDown(b, b == mbLeft ? ssLeft : ssRight, x, y, false);
    }
    void Release(int x, int y, TMouseButton b = mbLeft) {
        Form->HandleMouseMove(0, x, y);
        Form->HandleMouseUp(b, 0, x, y);
    }

    std::unique_ptr<EventLoop> Loop;
    TFakePlatform* Platform = nullptr;
    std::unique_ptr<TApplication> App;
    TCustomForm* Form = nullptr;
};

}  // namespace

TEST_F(ControlBehaviourTest, DragRunsItsEventsInOrderAndDropsOnlyOnAnAcceptingControl) {
    struct Case {
        const char* name;
        TPoint release;  // form coordinates
        bool escape;     // cancelled before the release
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"dropped on the target", {120, 25}, false,
         {"source:start", "target:over@10,10", "target:over@20,15", "target:drop@20,15<source",
          "source:end>target@20,15"}},
        {"released where nothing accepts", {210, 20}, false,
         {"source:start", "target:over@10,10", "refuser:over@10,10", "source:end>none"}},
        {"left the target, released on the form", {280, 150}, false,
         {"source:start", "target:over@10,10", "source:end>none"}},
        {"cancelled with Escape", {120, 25}, true,
         {"source:start", "target:over@10,10", "source:end>none", "source:up"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> events;
        TControl* source = Box(Form, TRect::FromSize(10, 10, 50, 30), "source");
        TControl* target = Box(Form, TRect::FromSize(100, 10, 60, 40), "target");
        TControl* refuser = Box(Form, TRect::FromSize(200, 10, 40, 40), "refuser");
        source->OnMouseDown = [&](TControl* s, TMouseButton, TShiftState, int, int) { s->BeginDrag(); };
        source->OnMouseUp = [&](TControl*, TMouseButton, TShiftState, int, int) { events.push_back("source:up"); };
        source->OnClick = [&](TControl*) { events.push_back("source:click"); };
        source->OnStartDrag = [&](TControl* s) { events.push_back(s->Name() + ":start"); };
        source->OnEndDrag = [&](TControl* s, TControl* t, int x, int y) {
            events.push_back(s->Name() + ":end>" + (t ? t->Name() + At(x, y) : "none"));
        };
        for (TControl* over : {target, refuser})
            over->OnDragOver = [&, over](TControl* s, TControl* src, int x, int y, bool& accept) {
                EXPECT_EQ(src, source);
                events.push_back(s->Name() + ":over" + At(x, y));
                accept = over == target;
            };
        target->OnDragDrop = [&](TControl* s, TControl* src, int x, int y) {
            events.push_back(s->Name() + ":drop" + At(x, y) + "<" + src->Name());
        };
        refuser->OnDragDrop = [&](TControl*, TControl*, int, int) { events.push_back("refuser:drop"); };

        Press(20, 20);
        EXPECT_TRUE(source->Dragging());
        Form->HandleMouseMove(ssLeft, 110, 20);
        EXPECT_EQ(Form->DragTarget(), target);
        if (c.escape) {
            EXPECT_TRUE(Form->HandleKeyDown(vkEscape, 0));
        }
        Release(c.release.X, c.release.Y);
        EXPECT_EQ(events, c.events);
        EXPECT_FALSE(source->Dragging());
        EXPECT_EQ(Form->DragControl(), nullptr);
        delete source;
        delete target;
        delete refuser;
    }
}

TEST_F(ControlBehaviourTest, ASourceFreedDuringTheDragEndsItSilently) {
    TControl* source = Box(Form, TRect::FromSize(10, 10, 50, 30), "source");
    TControl* target = Box(Form, TRect::FromSize(100, 10, 60, 40), "target");
    int drops = 0;
    target->OnDragOver = [](TControl*, TControl*, int, int, bool& accept) { accept = true; };
    target->OnDragDrop = [&](TControl*, TControl*, int, int) { ++drops; };
    source->BeginDrag();
    Form->HandleMouseMove(ssLeft, 110, 20);
    delete source;
    EXPECT_EQ(Form->DragControl(), nullptr);
    Release(110, 20);  // ASan reports any use of the freed source
    EXPECT_EQ(drops, 0);
}

TEST_F(ControlBehaviourTest, ConstraintsBoundEverySize) {
    struct Case {
        TSizeConstraints constraints;
        int width, height;  // asked for
        int expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, 5, 500, 5, 500},
        {{20, 10, 0, 0}, 5, 5, 20, 10},
        {{0, 0, 50, 40}, 80, 90, 50, 40},
        {{10, 10, 50, 40}, 30, 20, 30, 20},
        {{30, 0, 20, 0}, 10, 10, 30, 10},  // a maximum below the minimum gives way
    };
    for (const Case& c : cases) {
        TControl* box = Box(Form, TRect::FromSize(0, 0, 25, 25), "box");
        box->SetConstraints(c.constraints);
        box->SetBounds(3, 4, c.width, c.height);
        EXPECT_EQ(box->BoundsRect(), TRect::FromSize(3, 4, c.expectedWidth, c.expectedHeight))
            << c.width << "x" << c.height;
        delete box;
    }
    // New constraints apply to the size the control has, and skins may set them.
    TControl* box = Box(Form, TRect::FromSize(0, 0, 100, 100), "box");
    EXPECT_EQ(box->Properties().Apply("Constraints.MaxWidth", TSkinValue::Integer(60)).Result, TApplyResult::Applied);
    EXPECT_EQ(box->Properties().Apply("Constraints.MinHeight", TSkinValue::Integer(120)).Result, TApplyResult::Applied);
    EXPECT_EQ(box->BoundsRect(), TRect::FromSize(0, 0, 60, 120));
}

TEST_F(ControlBehaviourTest, RightClickShowsTheMenuUnlessOnContextPopupHandlesIt) {
    struct Case {
        const char* name;
        bool ownMenu, parentMenu, handled;
        TMouseButton button;
        const char* shown;  // the first caption of the menu shown, "" for none
    };
    const Case cases[] = {
        {"own menu", true, true, false, mbRight, "Own"},
        {"handled by OnContextPopup", true, true, true, mbRight, ""},
        {"no menu of its own: the parent's", false, true, false, mbRight, "Parent"},
        {"no menu anywhere", false, false, false, mbRight, ""},
        {"left button", true, true, false, mbLeft, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Platform->Menus.clear();
        Platform->MenuPoints.clear();
        auto* panel = new TWinControl(Form);
        panel->SetBounds(50, 40, 200, 100);
        panel->SetParent(Form);
        TControl* box = Box(panel, TRect::FromSize(10, 10, 60, 30), "box");
        auto* own = new TPopupMenu(Form);
        own->Add("Own");
        std::vector<std::string> chosen;
        own->Add("Copy", [&](TMenuItem& item) { chosen.push_back(item.Caption); });
        auto* parentMenu = new TPopupMenu(Form);
        parentMenu->Add("Parent");
        if (c.ownMenu) box->SetPopupMenu(own);
        if (c.parentMenu) panel->SetPopupMenu(parentMenu);
        std::vector<TPoint> asked;
        box->OnContextPopup = [&](TControl*, TPoint p, bool& handled) {
            asked.push_back(p);
            handled = c.handled;
        };
        Platform->MenuChoice = 1;

        Press(65, 55, c.button);
        Release(67, 58, c.button);
        if (std::string(c.shown).empty()) {
            EXPECT_TRUE(Platform->Menus.empty());
        } else {
            ASSERT_EQ(Platform->Menus.size(), 1u);
            EXPECT_EQ(Platform->Menus[0].front(), c.shown);
            // At the release point on the screen: form 100,100 + panel 50,40 + 17,18.
            EXPECT_EQ(Platform->MenuPoints[0], (TPoint{167, 158}));
        }
        const std::vector<TPoint> expectedAsk = c.button == mbRight ? std::vector<TPoint>{{7, 8}} : std::vector<TPoint>{};
        EXPECT_EQ(asked, expectedAsk);
        const std::vector<std::string> expectedChoice =
            std::string(c.shown) == "Own" ? std::vector<std::string>{"Copy"} : std::vector<std::string>{};
        EXPECT_EQ(chosen, expectedChoice);
        delete panel;
        delete own;
        delete parentMenu;
    }
}

TEST_F(ControlBehaviourTest, AFreedMenuIsForgotten) {
    TControl* box = Box(Form, TRect::FromSize(10, 10, 60, 30), "box");
    auto* menu = new TPopupMenu(Form);
    menu->SetName("pmBox");
    menu->Add("Item");
    EXPECT_EQ(box->Properties().Apply("PopupMenu", TSkinValue::Ident("pmBox")).Result, TApplyResult::Applied);
    EXPECT_EQ(box->PopupMenu(), menu);
    delete menu;
    EXPECT_EQ(box->PopupMenu(), nullptr);
    Press(20, 20, mbRight);
    Release(20, 20, mbRight);
    EXPECT_TRUE(Platform->Menus.empty());
}

TEST_F(ControlBehaviourTest, TheSkinnedHintWindowNeedsAnEnabledRdUseSkinHintStyle) {
    App->HintPause = std::chrono::milliseconds(10);
    struct Case {
        const char* name;
        enum { None, Style, DisabledStyle, OtherClass } component;
        bool skinned;
    };
    const Case cases[] = {
        {"no such component", Case::None, false},
        {"an enabled style", Case::Style, true},
        {"a disabled style", Case::DisabledStyle, false},
        {"the name on something else", Case::OtherClass, false},
        {"the plain window again after the style went", Case::None, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TComponent* component = nullptr;
        if (c.component == Case::Style || c.component == Case::DisabledStyle) {
            auto* style = new TRdHintStyle(Form);
            style->SetEnabled(c.component == Case::Style);
            style->SetColor(RGB(10, 20, 30));
            style->SetBorderColor(RGB(200, 0, 0));
            style->Font().SetColor(RGB(1, 2, 3));
            component = style;
        } else if (c.component == Case::OtherClass) {
            component = new TComponent(Form);
        }
        if (component) component->SetName(kSkinHintStyleName);
        TControl* box = Box(Form, TRect::FromSize(10, 10, 60, 30), "box");
        box->SetHint("Tip");
        box->SetShowHint(true);
        Form->HandleMouseMove(0, 20, 20);
        ASSERT_TRUE(Loop->RunUntil([&] { return !App->CurrentHint().empty(); }, std::chrono::seconds(2)));
        THintWindow* window = App->HintWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->Visible());
        auto* skinned = dynamic_cast<TRdSkinHintWindow*>(window);
        EXPECT_EQ(skinned != nullptr, c.skinned);
        if (skinned) {
            EXPECT_EQ(skinned->Color(), RGB(10, 20, 30));
            EXPECT_EQ(skinned->BorderColor(), RGB(200, 0, 0));
            EXPECT_EQ(skinned->Font().Color(), RGB(1, 2, 3));
            // Painted in the style's look: its border at the top edge's middle.
            skinned->PaintAll();
            EXPECT_EQ(skinned->BackBuffer().Pixel(skinned->Width() / 2, 0), ColorToArgb(RGB(200, 0, 0)));
        }
        Form->HandleMouseLeave();
        EXPECT_FALSE(window->Visible());
        delete box;
        delete component;
    }
}
