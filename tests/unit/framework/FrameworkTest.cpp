// The control framework on the host: layout (align, anchors, margins, AutoAlign),
// hit testing, mouse and keyboard routing, painting into the back buffer, form
// life (close, release, modal) and hints, with fake windows and a real poll loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/EventLoop.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/HintWindow.h"
#include "public/rdcontrol/framework/NativeControl.h"
#include "public/rdcontrol/framework/RdAutoAlign.h"
#include "tests/unit/framework/FakeFormWindow.h"

namespace {

// A windowless control that fills itself with one colour and logs its events.
class TBox : public TControl {
public:
    TBox(TComponent* owner, TWinControl* parent, TRect bounds, TColor fill = clRed, std::vector<std::string>* log = nullptr)
        : TControl(owner), FFill(fill), FLog(log) {
        SetBoundsRect(bounds);
        SetParent(parent);
    }
    int Paints = 0;

protected:
    void Paint(TRdCanvas& canvas) override {
        ++Paints;
        canvas.FillRect(ClientRect(), FFill);
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        Note("down" + std::string(s & ssDouble ? "2" : "") + "@" + std::to_string(x) + "," + std::to_string(y));
        TControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        Note("up@" + std::to_string(x) + "," + std::to_string(y));
        TControl::MouseUp(b, s, x, y);
    }
    void MouseMove(TShiftState s, int x, int y) override {
        Note("move@" + std::to_string(x) + "," + std::to_string(y));
        TControl::MouseMove(s, x, y);
    }
    void Click() override { Note("click"); }
    void DblClick() override { Note("dblclick"); }
    void MouseEnter() override {
        Note("enter");
        TControl::MouseEnter();
    }
    void MouseLeave() override {
        Note("leave");
        TControl::MouseLeave();
    }

private:
    void Note(const std::string& what) {
        if (FLog) FLog->push_back(Name() + ":" + what);
    }
    TColor FFill;
    std::vector<std::string>* FLog;
};

class TContainer : public TWinControl {
public:
    TContainer(TComponent* owner, TWinControl* parent, TRect bounds) : TWinControl(owner) {
        SetBoundsRect(bounds);
        SetParent(parent);
    }
};

struct FrameworkTest : ::testing::Test {
    FrameworkTest() : Loop(MakeEventLoop()) {
        auto platform = std::make_unique<TFakePlatform>();
        Platform = platform.get();
        App = std::make_unique<TApplication>(*Loop, std::move(platform));
        Form = App->CreateForm<TCustomForm>();
        Form->SetBounds(100, 100, 300, 200);
        Form->SetColor(clWhite);
        Form->Show();
    }
    std::unique_ptr<EventLoop> Loop;
    TFakePlatform* Platform = nullptr;
    std::unique_ptr<TApplication> App;
    TCustomForm* Form = nullptr;
};

TEST_F(FrameworkTest, AlignLaysOutSidesInOrderWithMargins) {
    auto* top = new TBox(Form, Form, TRect::FromSize(0, 0, 10, 30));
    auto* bottom = new TBox(Form, Form, TRect::FromSize(0, 0, 10, 20));
    auto* left = new TBox(Form, Form, TRect::FromSize(0, 0, 50, 10));
    auto* client = new TBox(Form, Form, TRect::FromSize(0, 0, 10, 10));
    bottom->SetAlignWithMargins(true);
    bottom->SetMargins(TMargins{5, 5, 5, 5});
    top->SetAlign(alTop);
    bottom->SetAlign(alBottom);
    left->SetAlign(alLeft);
    client->SetAlign(alClient);

    EXPECT_EQ(top->BoundsRect(), TRect::FromSize(0, 0, 300, 30));
    EXPECT_EQ(bottom->BoundsRect(), TRect::FromSize(5, 175, 290, 20));
    EXPECT_EQ(left->BoundsRect(), TRect::FromSize(0, 30, 50, 140));
    EXPECT_EQ(client->BoundsRect(), TRect::FromSize(50, 30, 250, 140));

    // The form grows: aligned controls follow.
    Form->SetBounds(100, 100, 400, 300);
    EXPECT_EQ(top->BoundsRect(), TRect::FromSize(0, 0, 400, 30));
    EXPECT_EQ(bottom->BoundsRect(), TRect::FromSize(5, 275, 390, 20));
    EXPECT_EQ(client->BoundsRect(), TRect::FromSize(50, 30, 350, 240));

    // A hidden control gives its place away.
    top->Hide();
    EXPECT_EQ(left->BoundsRect(), TRect::FromSize(0, 0, 50, 270));
}

TEST_F(FrameworkTest, AnchorsKeepDistancesWhenTheParentResizes) {
    struct Case {
        TAnchors anchors;
        TRect expected;  // after the form grows by 100 x 50 from a 20,20 40x30 control
    } cases[] = {
        {akLeft | akTop, TRect::FromSize(20, 20, 40, 30)},
        {akRight | akBottom, TRect::FromSize(120, 70, 40, 30)},
        {akLeft | akRight | akTop, TRect::FromSize(20, 20, 140, 30)},
        {akLeft | akTop | akRight | akBottom, TRect::FromSize(20, 20, 140, 80)},
    };
    for (const Case& c : cases) {
        Form->SetBounds(100, 100, 300, 200);
        auto* box = new TBox(Form, Form, TRect::FromSize(20, 20, 40, 30));
        box->SetAnchors(c.anchors);
        Form->SetBounds(100, 100, 400, 250);
        EXPECT_EQ(box->BoundsRect(), c.expected) << "anchors " << c.anchors;
        delete box;
    }
}

TEST_F(FrameworkTest, AutoAlignFollowsTheSource) {
    auto* title = new TBox(Form, Form, TRect::FromSize(10, 10, 200, 20));
    auto* label = new TBox(Form, Form, TRect::FromSize(0, 0, 150, 16));
    label->SetAlignWithMargins(true);
    label->SetMargins(TMargins{0, 4, 0, 0});
    ASSERT_TRUE(label->AutoAlign().SetSource(title));  // alBottom by default

    EXPECT_EQ(label->BoundsRect(), TRect::FromSize(10, 34, 150, 16));
    title->SetHeight(40);  // a translated caption wraps
    EXPECT_EQ(label->Top(), 54);
    title->SetLeft(30);
    EXPECT_EQ(label->Left(), 30);

    // Without margins the follower sits flush; a chain follows in one pass.
    auto* third = new TBox(Form, Form, TRect::FromSize(0, 0, 100, 10));
    third->AutoAlign().SetSource(label);
    EXPECT_EQ(third->Top(), label->Top() + label->Height());
    title->SetHeight(20);
    EXPECT_EQ(label->Top(), 34);
    EXPECT_EQ(third->Top(), 50);
}

TEST_F(FrameworkTest, AutoAlignSidesAndAnchors) {
    auto* source = new TBox(Form, Form, TRect::FromSize(100, 100, 50, 40));
    auto* c = new TBox(Form, Form, TRect::FromSize(0, 0, 20, 10));
    c->AutoAlign().SetSource(source);

    c->AutoAlign().SetAlign(alTop);
    EXPECT_EQ(c->AutoAlign().Anchors(), TAnchors(akLeft | akBottom));
    EXPECT_EQ(c->BoundsRect(), TRect::FromSize(100, 90, 20, 10));
    c->AutoAlign().SetAlign(alLeft);
    EXPECT_EQ(c->BoundsRect(), TRect::FromSize(80, 100, 20, 10));
    c->AutoAlign().SetAlign(alRight);
    EXPECT_EQ(c->BoundsRect(), TRect::FromSize(150, 100, 20, 10));

    // Both horizontal anchors: the width follows the source's width.
    c->AutoAlign().SetAlign(alBottom);
    c->AutoAlign().SetAnchors(akLeft | akRight | akTop);
    source->SetWidth(80);
    EXPECT_EQ(c->BoundsRect(), TRect::FromSize(100, 140, 50, 10));

    c->AutoAlign().SetAlign(alClient);
    EXPECT_EQ(c->BoundsRect(), source->BoundsRect());
    source->SetBounds(90, 90, 100, 60);
    EXPECT_EQ(c->BoundsRect(), source->BoundsRect());
}

TEST_F(FrameworkTest, AutoAlignRefusesCyclesAndForgetsFreedSources) {
    auto* a = new TBox(Form, Form, TRect::FromSize(0, 0, 10, 10));
    auto* b = new TBox(Form, Form, TRect::FromSize(0, 50, 10, 10));
    auto* c = new TBox(Form, Form, TRect::FromSize(0, 90, 10, 10));
    ASSERT_TRUE(b->AutoAlign().SetSource(a));
    ASSERT_TRUE(c->AutoAlign().SetSource(b));
    EXPECT_FALSE(a->AutoAlign().SetSource(b));  // B follows A
    EXPECT_FALSE(a->AutoAlign().SetSource(c));  // through B
    EXPECT_FALSE(a->AutoAlign().SetSource(a));
    EXPECT_EQ(a->AutoAlign().Source(), nullptr);
    ASSERT_EQ(a->AutoAlign().Childs().size(), 1u);

    delete b;  // c's source is gone: no dangling pointer, a lost its follower
    EXPECT_EQ(c->AutoAlign().Source(), nullptr);
    EXPECT_TRUE(a->AutoAlign().Childs().empty());
    a->SetHeight(30);  // must not touch the freed control
    EXPECT_EQ(c->Top(), 20);
}

TEST_F(FrameworkTest, GeometryProperties) {
    TBox orphan(nullptr, nullptr, TRect::FromSize(5, 6, 10, 20));
    EXPECT_EQ(orphan.Left_Invert(), 0);
    EXPECT_EQ(orphan.Top_Invert(), 0);
    EXPECT_EQ(orphan.Left_Right(), 15);
    EXPECT_EQ(orphan.Top_Bottom(), 26);

    auto* box = new TBox(Form, Form, TRect::FromSize(10, 20, 30, 40));
    EXPECT_EQ(box->Left_Invert(), 300 - 40);
    EXPECT_EQ(box->Top_Invert(), 200 - 60);
    box->SetLeft_Invert(0);
    EXPECT_EQ(box->Left(), 270);
    box->SetTop_Bottom(100);
    EXPECT_EQ(box->Top(), 60);
}

TEST_F(FrameworkTest, HitTestFallsThroughTransparentControls) {
    auto* below = new TBox(Form, Form, TRect::FromSize(0, 0, 100, 100));
    auto* above = new TBox(Form, Form, TRect::FromSize(50, 50, 100, 100));
    auto* panel = new TContainer(Form, Form, TRect::FromSize(200, 0, 100, 100));
    auto* inPanel = new TBox(Form, panel, TRect::FromSize(10, 10, 20, 20));
    EXPECT_EQ(Form->ControlAtPos(60, 60), above);
    above->SetHitTest(false);
    EXPECT_EQ(Form->ControlAtPos(60, 60), below);
    EXPECT_EQ(Form->ControlAtPos(120, 120), nullptr);

    // A container that lets the mouse through still gives its hit children.
    panel->SetHitTest(false);
    EXPECT_EQ(Form->ControlAtPos(215, 15), inPanel);
    EXPECT_EQ(Form->ControlAtPos(250, 50), nullptr);

    below->SetEnabled(false);
    EXPECT_EQ(Form->ControlAtPos(10, 10), nullptr);
    EXPECT_EQ(Form->ControlAtPos(10, 10, true), below);
    below->SetEnabled(true);
    below->Hide();
    EXPECT_EQ(Form->ControlAtPos(10, 10), nullptr);
}

TEST_F(FrameworkTest, MouseRoutingCaptureClickEnterLeave) {
    std::vector<std::string> log;
    auto* a = new TBox(Form, Form, TRect::FromSize(0, 0, 50, 50), clRed, &log);
    auto* b = new TBox(Form, Form, TRect::FromSize(100, 0, 50, 50), clBlue, &log);
    a->SetName("a");
    b->SetName("b");
    a->SetCursor(crHandPoint);

    Form->HandleMouseMove(0, 10, 10);
    EXPECT_EQ(Platform->Logs[0]->Cursor, crHandPoint);
    Form->HandleMouseDown(mbLeft, ssLeft, 10, 10, false);
    EXPECT_TRUE(Platform->Logs[0]->Capture);
    Form->HandleMouseMove(ssLeft, 120, 10);  // captured: the move goes to a
    Form->HandleMouseUp(mbLeft, 0, 120, 10);  // released outside: no click
    EXPECT_FALSE(Platform->Logs[0]->Capture);
    EXPECT_EQ(log, (std::vector<std::string>{"a:enter", "a:move@10,10", "a:down@10,10", "a:leave", "b:enter",
                                             "a:move@120,10", "a:up@120,10"}));

    log.clear();
    Form->HandleMouseDown(mbLeft, ssLeft, 110, 20, false);
    Form->HandleMouseUp(mbLeft, 0, 111, 21);
    Form->HandleMouseDown(mbLeft, ssLeft, 111, 21, true);
    Form->HandleMouseUp(mbLeft, 0, 111, 21);
    EXPECT_EQ(log, (std::vector<std::string>{"b:down@10,20", "b:up@11,21", "b:click", "b:down2@11,21", "b:dblclick",
                                             "b:up@11,21"}));

    log.clear();
    Form->HandleMouseLeave();
    EXPECT_EQ(log, (std::vector<std::string>{"b:leave"}));
}

TEST_F(FrameworkTest, FreedControlsAreForgottenByTheRouting) {
    std::vector<std::string> log;
    auto* a = new TBox(Form, Form, TRect::FromSize(0, 0, 50, 50), clRed, &log);
    Form->HandleMouseMove(0, 10, 10);
    Form->HandleMouseDown(mbLeft, ssLeft, 10, 10, false);
    delete a;  // e.g. a page rebuilt while the button is held
    EXPECT_EQ(Form->CaptureControl(), nullptr);
    EXPECT_EQ(Form->MouseControl(), nullptr);
    Form->HandleMouseUp(mbLeft, 0, 10, 10);  // must not reach freed memory (ASan)
    Form->HandleMouseMove(0, 12, 12);
    EXPECT_EQ(Form->MouseControl(), Form);
}

TEST_F(FrameworkTest, PaintsOnlyWhatIsInvalid) {
    auto* red = new TBox(Form, Form, TRect::FromSize(10, 10, 20, 20), clRed);
    auto* blue = new TBox(Form, Form, TRect::FromSize(100, 10, 20, 20), clBlue);
    Form->PaintAll();
    const TArgbSurface& buffer = Form->BackBuffer();
    EXPECT_EQ(buffer.Pixel(15, 15), 0xFFFF0000u);
    EXPECT_EQ(buffer.Pixel(105, 15), 0xFF0000FFu);
    EXPECT_EQ(buffer.Pixel(50, 50), 0xFFFFFFFFu);
    EXPECT_EQ(red->Paints, 1);

    blue->Invalidate();
    const TRect painted = Form->PaintInvalid();
    EXPECT_EQ(painted, TRect::FromSize(100, 10, 20, 20));
    EXPECT_EQ(red->Paints, 1);
    EXPECT_EQ(blue->Paints, 2);
    EXPECT_EQ(Form->PaintInvalid(), TRect{});

    // Moving a control repaints where it was and where it is.
    red->SetLeft(40);
    Form->PaintInvalid();
    EXPECT_EQ(buffer.Pixel(15, 15), 0xFFFFFFFFu);
    EXPECT_EQ(buffer.Pixel(45, 15), 0xFFFF0000u);

    // A child never paints outside its parent.
    auto* panel = new TContainer(Form, Form, TRect::FromSize(200, 100, 30, 30));
    new TBox(Form, panel, TRect::FromSize(20, 20, 40, 40), clBlue);
    Form->PaintAll();
    EXPECT_EQ(buffer.Pixel(225, 125), 0xFF0000FFu);
    EXPECT_EQ(buffer.Pixel(235, 135), 0xFFFFFFFFu);
}

TEST_F(FrameworkTest, PerPixelAlphaFormsAreTransparentWhereNothingPaints) {
    Form->SetPerPixelAlpha(true);
    Form->SetAlphaBlend(true);
    Form->SetAlphaBlendValue(200);
    EXPECT_EQ(Platform->Logs[0]->Layering, TFormLayering::PerPixelAlpha);
    EXPECT_EQ(Platform->Logs[0]->Alpha, 200);
    new TBox(Form, Form, TRect::FromSize(10, 10, 20, 20), clRed);
    Form->PaintAll();
    EXPECT_EQ(Form->BackBuffer().Pixel(5, 5), 0u);
    EXPECT_EQ(Form->BackBuffer().Pixel(15, 15), 0xFFFF0000u);
}

TEST_F(FrameworkTest, CloseQueryCloseActionsAndTheMainForm) {
    auto* dialog = App->CreateForm<TCustomForm>();
    bool allow = false;
    dialog->OnCloseQuery = [&](TControl*, bool& canClose) { canClose = allow; };
    dialog->Show();
    dialog->Close();
    EXPECT_TRUE(dialog->Visible());

    allow = true;
    bool destroyed = false;
    dialog->OnClose = [](TControl*, TCloseAction& action) { action = TCloseAction::caFree; };
    dialog->OnDestroy = [&](TControl*) { destroyed = true; };
    dialog->Close();
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(destroyed);  // freed after the current event, not inside Close
    Loop->ProcessMessages();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(App->Forms().size(), 1u);

    Form->Close();
    EXPECT_TRUE(App->Terminated());
}

TEST_F(FrameworkTest, ShowModalRunsANestedLoopAndDisablesOtherForms) {
    auto* dialog = App->CreateForm<TCustomForm>();
    bool ownerDisabledMeanwhile = false;
    Loop->Post([&] {
        ownerDisabledMeanwhile = !Platform->Logs[0]->Enabled;
        dialog->SetModalResult(mrOk);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(ownerDisabledMeanwhile);
    EXPECT_TRUE(Platform->Logs[0]->Enabled);
    EXPECT_FALSE(dialog->Visible());

    Loop->Post([&] { dialog->Close(); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

TEST_F(FrameworkTest, HintsShowAfterThePauseAndGoWhenTheMouseMoves) {
    App->HintPause = std::chrono::milliseconds(30);
    auto* hinted = new TBox(Form, Form, TRect::FromSize(0, 0, 50, 50));
    auto* plain = new TBox(Form, Form, TRect::FromSize(100, 0, 50, 50));
    (void)plain;
    hinted->SetHint("Close");
    hinted->SetShowHint(true);

    Form->HandleMouseMove(0, 10, 10);
    EXPECT_EQ(App->CurrentHint(), "");
    EXPECT_TRUE(Loop->RunUntil([&] { return !App->CurrentHint().empty(); }, std::chrono::seconds(2)));
    EXPECT_EQ(App->CurrentHint(), "Close");
    ASSERT_NE(App->HintWindow(), nullptr);
    EXPECT_TRUE(App->HintWindow()->Visible());

    Form->HandleMouseMove(0, 110, 10);
    EXPECT_EQ(App->CurrentHint(), "");
    EXPECT_FALSE(App->HintWindow()->Visible());

    // ShowHint off: no hint at all.
    hinted->SetShowHint(false);
    Form->HandleMouseMove(0, 10, 10);
    Loop->Sleep(std::chrono::milliseconds(80));
    EXPECT_EQ(App->CurrentHint(), "");
}

class TFocusable : public TContainer {
public:
    TFocusable(TComponent* owner, TWinControl* parent, TRect bounds, std::vector<std::string>* log)
        : TContainer(owner, parent, bounds), FLog(log) {
        SetTabStop(true);
    }
    void KeyDown(int& key, TShiftState shift) override {
        FLog->push_back(Name() + ":key" + std::to_string(key));
        TContainer::KeyDown(key, shift);
    }
    void DoEnter() override { FLog->push_back(Name() + ":enter"); }
    void DoExit() override { FLog->push_back(Name() + ":exit"); }

private:
    std::vector<std::string>* FLog;
};

TEST_F(FrameworkTest, FocusTabOrderAndKeys) {
    std::vector<std::string> log;
    auto* first = new TFocusable(Form, Form, TRect::FromSize(0, 0, 50, 20), &log);
    auto* second = new TFocusable(Form, Form, TRect::FromSize(0, 30, 50, 20), &log);
    auto* hidden = new TFocusable(Form, Form, TRect::FromSize(0, 60, 50, 20), &log);
    first->SetName("first");
    second->SetName("second");
    hidden->Hide();

    Form->HandleMouseDown(mbLeft, ssLeft, 5, 35, false);  // clicking focuses
    Form->HandleMouseUp(mbLeft, 0, 5, 35);
    EXPECT_TRUE(second->Focused());
    EXPECT_TRUE(Form->HandleKeyDown(vkTab, 0));  // wraps past the hidden one
    EXPECT_TRUE(first->Focused());
    EXPECT_FALSE(Form->HandleKeyDown('A', 0));
    // The focused control sees Tab first (it may use it), then the focus moves.
    EXPECT_EQ(log, (std::vector<std::string>{"second:enter", "second:key9", "second:exit", "first:enter",
                                             "first:key65"}));
}

TEST_F(FrameworkTest, NativeWindowsFollowTheirControls) {
    auto* panel = new TContainer(Form, Form, TRect::FromSize(50, 40, 200, 100));
    auto* edit = new TNativeEdit(Form);
    edit->SetBounds(10, 5, 100, 20);
    edit->SetText("abc");  // before there is a native window
    edit->SetParent(panel);
    std::vector<std::string> changes;
    edit->OnChange = [&](TControl* sender) { changes.push_back(static_cast<TNativeEdit*>(sender)->Text()); };
    Form->PaintInvalid();
    TFakeWindowLog& log = *Platform->Logs[0];
    ASSERT_NE(log.Native, nullptr);
    TFakeNativeChild& native = *log.Native;
    EXPECT_EQ(native.Kind, TNativeKind::Edit);
    EXPECT_EQ(native.Bounds, TRect::FromSize(60, 45, 100, 20));  // form coordinates
    EXPECT_TRUE(native.Visible);
    EXPECT_EQ(native.TextValue, "abc");

    panel->SetLeft(70);  // a parent moves: so does the native window
    Form->PaintInvalid();
    EXPECT_EQ(native.Bounds.Left, 80);
    panel->Hide();
    Form->PaintInvalid();
    EXPECT_FALSE(native.Visible);
    panel->Show();
    panel->SetEnabled(false);
    Form->PaintInvalid();
    EXPECT_TRUE(native.Visible);
    EXPECT_FALSE(native.Enabled);
    panel->SetEnabled(true);

    changes.clear();
    native.UserTypes("d");
    EXPECT_EQ(edit->Text(), "abcd");
    EXPECT_EQ(changes, (std::vector<std::string>{"abcd"}));
    native.UserClicksInto();
    EXPECT_EQ(Form->ActiveControl(), edit);

    delete edit;
    EXPECT_FALSE(log.NativeAlive);
}

TEST_F(FrameworkTest, NativeListKeepsItemsAndReportsSelection) {
    auto* list = new TNativeListBox(Form);
    list->SetItems({"English", "Deutsch", "Português"});
    list->SetItemIndex(1);
    list->SetParent(Form);
    int changes = 0;
    list->OnChange = [&](TControl*) { ++changes; };
    Form->PaintInvalid();
    TFakeNativeChild& native = *Platform->Logs[0]->Native;
    EXPECT_EQ(native.Items.size(), 3u);
    EXPECT_EQ(native.Index, 1);
    native.UserSelects(2);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(changes, 1);
    list->SetItemIndex(7);  // out of range: no selection
    EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(FrameworkTest, PerPixelAlphaFormsPaintNativeSnapshots) {
    // Such a window shows only the image the form hands over: native children
    // must be in it.
    Form->SetPerPixelAlpha(true);
    auto* edit = new TNativeEdit(Form);
    edit->SetBounds(20, 20, 60, 20);
    edit->SetParent(Form);
    Form->PaintAll();
    EXPECT_EQ(Form->BackBuffer().Pixel(30, 30), 0xFFFFFFFFu);
    EXPECT_EQ(Form->BackBuffer().Pixel(10, 10), 0u);
}

}  // namespace
