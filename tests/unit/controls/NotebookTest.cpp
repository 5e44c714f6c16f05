// The notebook (TPageNote, TPageTab) and the named lists (TImageNote, TRdImageNote,
// TLabelNote) on the host: index and name rules, the order of a page switch and
// that a switch to the same page does nothing, controls dropped on the notebook,
// focus bringing a hidden page forward, EditTabs and the mouse, locked image notes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/EventLoop.h"
#include "public/rdcontrol/controls/notebook/ImageNote.h"
#include "public/rdcontrol/controls/notebook/LabelNote.h"
#include "public/rdcontrol/controls/notebook/PageNote.h"
#include "tests/unit/framework/FakeFormWindow.h"

namespace {

using Strings = std::vector<std::string>;

// A page that logs when it is shown and hidden.
class TLoggedPage : public TPageTab {
public:
    TLoggedPage(TComponent* owner, Strings& log) : TPageTab(owner), FLog(log) {}

protected:
    void VisibleChanged() override { FLog.push_back(Name() + (Visible() ? " shown" : " hidden")); }

private:
    Strings& FLog;
};

struct NotebookTest : ::testing::Test {
    NotebookTest() : Loop(MakeEventLoop()) {
        App = std::make_unique<TApplication>(*Loop, std::make_unique<TFakePlatform>());
        Form = App->CreateForm<TCustomForm>();
        Form->SetBounds(0, 0, 400, 300);
        Form->Show();
        Note = new TPageNote(Form);
        Note->SetParent(Form);
        Note->SetBounds(0, 0, 400, 300);
        for (const char* name : {"PageTab_Main", "PageTab_Options", "PageTab_Download"}) {
            auto* page = new TLoggedPage(Form, Log);
            page->SetName(name);
            page->SetParent(Note);
            Pages.push_back(page);
        }
        Note->OnChange = [this](TControl*) { Log.push_back("change " + std::to_string(Note->TabIndex())); };
    }
    std::unique_ptr<EventLoop> Loop;
    std::unique_ptr<TApplication> App;
    TCustomForm* Form = nullptr;
    TPageNote* Note = nullptr;
    std::vector<TPageTab*> Pages;
    Strings Log;
};

TEST_F(NotebookTest, TabIndexRules) {
    EXPECT_EQ(Note->TabCount(), 3);
    EXPECT_EQ(Note->TabIndex(), -1);  // adding pages selects none
    EXPECT_EQ(Note->ActivePage(), nullptr);

    struct Case {
        int set;
        int index;   // afterwards
        Strings log;  // what the switch did, in order
    } cases[] = {
        {1, 1, {"PageTab_Options shown", "change 1"}},
        {2, 2, {"PageTab_Download shown", "PageTab_Options hidden", "change 2"}},
        {2, 2, {}},  // the current index: no hide, no show, no event
        {3, 2, {}},  // TabCount: ignored
        {-1, 2, {}},
        {0, 0, {"PageTab_Main shown", "PageTab_Download hidden", "change 0"}},
    };
    for (const Case& c : cases) {
        Log.clear();
        Note->SetTabIndex(c.set);
        EXPECT_EQ(Note->TabIndex(), c.index) << "set " << c.set;
        EXPECT_EQ(Log, c.log) << "set " << c.set;
    }
    for (std::size_t i = 0; i < Pages.size(); ++i) EXPECT_EQ(Pages[i]->Visible(), i == 0);
    // The page shown lies on top of the others.
    EXPECT_EQ(Note->Controls(Note->ControlCount() - 1), Pages[0]);

    Note->SetActivePage(Pages[2]);
    EXPECT_EQ(Note->TabIndex(), 2);
    auto* stranger = new TPageTab(Form);  // a page of no notebook
    Note->SetActivePage(stranger);
    EXPECT_EQ(Note->TabIndex(), 2);

    // A page that goes away leaves the list; the index follows.
    delete Pages[0];
    EXPECT_EQ(Note->TabCount(), 2);
    EXPECT_EQ(Note->TabIndex(), 1);
    EXPECT_EQ(Note->ActivePage(), Pages[2]);
}

TEST_F(NotebookTest, ControlsGoOntoTheActivePage) {
    Note->SetTabIndex(1);
    auto* label = new TLabel(Form);
    label->SetParent(Note);
    EXPECT_EQ(label->Parent(), Pages[1]);
}

TEST_F(NotebookTest, FocusingAControlOnAHiddenPageShowsThePage) {
    Note->SetTabIndex(0);
    auto* field = new TWinControl(Form);
    field->SetParent(Pages[2]);
    field->SetBounds(10, 10, 100, 20);
    field->SetTabStop(true);
    field->SetFocus();
    EXPECT_EQ(Note->TabIndex(), 2);
    EXPECT_TRUE(field->Focused());
}

TEST_F(NotebookTest, EmptyPagePartsLetTheMouseThroughUnlessEditTabs) {
    Note->SetTabIndex(0);
    auto* button = new TLabel(Form);
    button->SetParent(Pages[0]);
    button->SetBounds(50, 50, 60, 20);
    EXPECT_EQ(Form->ControlAtPos(200, 200), nullptr);  // the window's background gets it
    EXPECT_EQ(Form->ControlAtPos(60, 55), button);     // controls on the page still do
    Note->SetEditTabs(true);
    EXPECT_EQ(Form->ControlAtPos(200, 200), Pages[0]);
}

std::shared_ptr<TPngGraphic> Solid(int w, int h, std::uint32_t argb) {
    return TPngGraphic::FromSurface(TArgbSurface(w, h, argb));
}

TEST_F(NotebookTest, ImageNoteIndexAndLock) {
    auto* note = new TImageNote(Form);
    note->SetParent(Form);
    for (std::uint32_t c : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}) note->Items().Add(Solid(24, 24, c).get());
    EXPECT_EQ(note->Items().Items(1).Name(), "Picture_1");
    EXPECT_EQ(note->ImageIndex(), -1);
    EXPECT_TRUE(note->Picture().Empty());

    note->SetImageIndex(1);
    const auto* shown = dynamic_cast<const TPngGraphic*>(note->Picture().Graphic().get());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->Surface().Pixel(0, 0), 0xFF00FF00u);
    EXPECT_NE(note->Picture().Graphic(), note->Items().Items(1).Picture().Graphic());  // a copy
    note->SetImageIndex(5);  // 3 items: ignored
    EXPECT_EQ(note->ImageIndex(), 1);
    EXPECT_EQ(dynamic_cast<const TPngGraphic*>(note->Picture().Graphic().get())->Surface().Pixel(0, 0), 0xFF00FF00u);
    note->SetImageIndex(-1);
    EXPECT_TRUE(note->Picture().Empty());

    // Locked at 94,430, 24 x 24: a 32 x 32 item with AutoSize keeps the place.
    note->Items().Add(Solid(32, 32, 0xFF000000u).get(), "big");
    note->SetBounds(94, 430, 24, 24);
    note->SetAutoSize(true);
    note->SetLocked(true);
    note->SetImageName("big");
    EXPECT_EQ(note->ImageIndex(), 3);
    EXPECT_EQ(note->BoundsRect(), TRect::FromSize(94, 430, 24, 24));
    note->SetLocked(false);
    note->SetImageIndex(0);
    note->SetImageIndex(3);
    EXPECT_EQ(note->BoundsRect(), TRect::FromSize(94, 430, 32, 32));

    auto* rd = new TRdImageNote(Form);
    int changes = 0;
    rd->OnItemChanged = [&](TControl*) { ++changes; };
    rd->Items().Add(Solid(8, 8, 0xFFFFFFFFu).get());
    rd->SetImageIndex(0);
    rd->SetImageIndex(0);
    rd->SetImageIndex(7);
    EXPECT_EQ(changes, 1);
}

TEST_F(NotebookTest, LabelNoteByIndexAndName) {
    auto* label = new TLabelNote(Form);
    label->SetCaption("start");
    label->Items() = {{"Installing...", "install"}, {"Done", "done"}, {"Failed", "Done"}};
    EXPECT_EQ(label->NameIndex(), "");
    struct Case {
        std::function<void()> act;
        int index;
        const char* caption;
    } cases[] = {
        {[&] { label->SetTextIndex(3); }, -1, "start"},
        {[&] { label->SetTextIndex(1); }, 1, "Done"},
        {[&] { label->SetNameIndex("DONE"); }, 1, "Done"},  // letter case counts: no match
        {[&] { label->SetNameIndex("Done"); }, 2, "Failed"},
        {[&] { label->SetNameIndex("install"); }, 0, "Installing..."},
        {[&] { label->SetTextIndex(-1); }, 0, "Installing..."},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(label->TextIndex(), c.index);
        EXPECT_EQ(label->Caption(), c.caption);
    }
    EXPECT_EQ(label->NameIndex(), "install");
}

}  // namespace
