// TRdLabel on the host, through its form: the caption's accelerator focusing the
// FocusControl, the drag events of a label, and where a wrapped text cut by its
// height ends with its ellipsis (compared pixel for pixel with a label showing the
// expected text), with the fixed text renderer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "public/rdcontrol/controls/label/RdLabel.h"
#include "tests/unit/input/InputFixture.h"

namespace {

constexpr int kChar = 6, kLine = 15;

class TFocusable : public TWinControl {
public:
    TFocusable(TComponent* owner, TWinControl* parent, TRect bounds) : TWinControl(owner) {
        SetBoundsRect(bounds);
        SetParent(parent);
        SetTabStop(true);
    }
};

struct LabelTest : InputFixture {
    LabelTest() {
        Label = new TRdLabel(Form);
        Label->SetParent(Form);
        Label->SetBounds(10, 10, 100, kLine);
        Label->Font().SetColor(clBlack);
    }
    // The pixels of a label's rectangle, row by row.
    std::vector<std::uint32_t> Pixels(const TControl* c) {
        Form->PaintAll();
        std::vector<std::uint32_t> out;
        for (int y = c->Top(); y < c->Top() + c->Height(); ++y)
            for (int x = c->Left(); x < c->Left() + c->Width(); ++x) out.push_back(Form->BackBuffer().Pixel(x, y));
        return out;
    }
    TRdLabel* Label = nullptr;
};

}  // namespace

TEST_F(LabelTest, TheAcceleratorFocusesTheFocusControl) {
    struct Case {
        const char* name;
        const char* caption;
        bool showAccel;
        int key;  // with Alt
        bool targetEnabled;
        bool focused;  // the target took the focus (the key was used)
    };
    const Case cases[] = {
        {"its letter", "&Search", true, 'S', true, true},
        {"a letter inside the caption", "Sea&rch", true, 'R', true, true},
        {"without ShowAccelChar", "&Search", false, 'S', true, false},
        {"another letter", "&Search", true, 'E', true, false},
        {"a target that cannot take the focus", "&Search", true, 'S', false, false},
        {"an escaped ampersand is no accelerator", "&&Search", true, 'S', true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* other = new TFocusable(Form, Form, TRect::FromSize(10, 100, 50, 20));
        auto* target = new TFocusable(Form, Form, TRect::FromSize(10, 130, 50, 20));
        target->SetEnabled(c.targetEnabled);
        other->SetFocus();
        Label->SetShowAccelChar(c.showAccel);
        Label->SetCaption(c.caption);
        Label->SetFocusControl(target);
        EXPECT_EQ(Form->HandleKeyDown(c.key, ssAlt), c.focused);
        EXPECT_EQ(Form->ActiveControl(), c.focused ? static_cast<TWinControl*>(target) : other);
        delete target;  // the label forgets it
        EXPECT_EQ(Label->FocusControl(), nullptr);
        delete other;
    }
}

TEST_F(LabelTest, ADragStartedOnTheLabelRunsTheDragEvents) {
    std::vector<std::string> events;
    auto* target = new TFocusable(Form, Form, TRect::FromSize(200, 10, 80, 40));
    Label->SetCaption("Drag me");
    Label->OnMouseDown = [](TControl* s, TMouseButton, TShiftState, int, int) { s->BeginDrag(); };
    Label->OnStartDrag = [&](TControl*) { events.push_back("start"); };
    Label->OnEndDrag = [&](TControl*, TControl* t, int x, int y) {
        events.push_back(std::string("end:") + (t == target ? "target" : "none") + "@" + std::to_string(x) + "," +
                         std::to_string(y));
    };
    Label->OnClick = [&](TControl*) { events.push_back("click"); };
    target->OnDragOver = [&](TControl*, TControl* source, int, int, bool& accept) {
        accept = source == Label;
        events.push_back("over");
    };
    target->OnDragDrop = [&](TControl*, TControl* source, int x, int y) {
        events.push_back(std::string("drop:") + (source == Label ? "label" : "?") + "@" + std::to_string(x) + "," +
                         std::to_string(y));
    };
    Press(15, 15);
    Move(220, 25);
    Release(230, 30);
    EXPECT_EQ(events, (std::vector<std::string>{"start", "over", "over", "drop:label@30,20", "end:target@30,20"}));
}

TEST_F(LabelTest, AWrappedTextCutByHeightEndsItsLastLineByWrapChar) {
    struct Case {
        TEllipsisPosition position;
        bool wrapChar;
        const char* shown;  // what the cut label draws
    };
    // Ten characters wide, one line high.
    const Case cases[] = {
        {epWordEllipsis, true, "aaaa bb..."},
        {epWordEllipsis, false, "aaaa..."},
        {epEndEllipsis, true, "aaaa bb..."},
        {epEndEllipsis, false, "aaaa..."},
    };
    auto* expected = new TRdLabel(Form);
    expected->SetParent(Form);
    expected->Font().SetColor(clBlack);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        Label->SetAutoSize(false);
        Label->SetWordWrap(true);
        Label->SetWrapChar(c.wrapChar);
        Label->SetEllipsisPosition(c.position);
        Label->SetBounds(10, 10, 10 * kChar, kLine);
        Label->SetCaption("aaaa bbbbbbbbbb cc");
        expected->SetAutoSize(false);
        expected->SetCaption(c.shown);
        expected->SetBounds(10, 60, 10 * kChar, kLine);
        EXPECT_EQ(Pixels(Label), Pixels(expected));
        EXPECT_TRUE(Label->FoundTextEllipsis());
        EXPECT_EQ(Label->FoundTextDrawLine(), 1);
    }
}
