// The framework's Win32 side under Wine: real windows and real messages. Mouse
// messages posted to a form's window reach the controls (enter, click, capture);
// native edit and list children follow their controls, report typing and
// selection through WM_COMMAND, and show inside per-pixel-alpha forms through
// their snapshots.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/EventLoop.h"
#include "public/rdcontrol/framework/NativeControl.h"
#include "public/rdcontrol/framework/PopupMenu.h"
#include "public/rdcontrol/framework/RdControls.h"
#include "public/rdcontrol/framework/Win32Platform.h"

namespace {

struct FrameworkWinTest : ::testing::Test {
    FrameworkWinTest() : Loop(MakeEventLoop()), App(*Loop, MakeWin32ApplicationPlatform()) {
        Form = App.CreateForm<TCustomForm>();
        Form->SetBounds(50, 50, 320, 200);
        Form->SetColor(clWhite);
    }
    HWND FormWindow() const { return static_cast<HWND>(Form->Window()->PlatformHandle()); }
    void Pump() { Loop->Sleep(std::chrono::milliseconds(50)); }

    std::unique_ptr<EventLoop> Loop;
    TApplication App;
    TCustomForm* Form;
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

TEST_F(FrameworkWinTest, MouseMessagesReachControls) {
    std::vector<std::string> log;
    auto* box = new TRdPaintBox(Form);
    box->SetParent(Form);
    box->SetBounds(20, 20, 80, 40);
    box->OnMouseEnter = [&](TControl*) { log.push_back("enter"); };
    box->OnMouseDown = [&](TControl*, TMouseButton, TShiftState, int x, int y) {
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    };
    box->OnClick = [&](TControl*) { log.push_back("click"); };
    box->OnDblClick = [&](TControl*) { log.push_back("dblclick"); };
    Form->Show();
    Pump();

    const HWND hwnd = FormWindow();
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(30, 30));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 30));
    EXPECT_EQ(GetCapture(), hwnd);  // pressed: the window holds the mouse
    SendMessageW(hwnd, WM_LBUTTONUP, 0, At(31, 31));
    EXPECT_NE(GetCapture(), hwnd);
    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, At(31, 31));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, At(31, 31));
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "down 10,10", "click", "down 11,11", "dblclick"}));

    // Closing through the system (Alt+F4, the taskbar) asks the form.
    bool asked = false;
    Form->OnCloseQuery = [&](TControl*, bool& canClose) {
        asked = true;
        canClose = false;
    };
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(IsWindowVisible(hwnd));
}

TEST_F(FrameworkWinTest, NativeEditFollowsItsControlAndReportsTyping) {
    auto* panel = new TRdPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(30, 40, 250, 100);
    auto* edit = new TNativeEdit(Form);
    edit->SetParent(panel);
    edit->SetBounds(10, 10, 150, 24);
    edit->SetText("Português");
    std::vector<std::string> changes;
    edit->OnChange = [&](TControl*) { changes.push_back(edit->Text()); };
    Form->Show();
    Pump();

    ASSERT_NE(edit->Native(), nullptr);
    const auto child = static_cast<HWND>(edit->Native()->PlatformHandle());
    EXPECT_EQ(GetParent(child), FormWindow());
    EXPECT_TRUE(IsWindowVisible(child));
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, FormWindow(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 40);
    EXPECT_EQ(rc.top, 50);
    EXPECT_EQ(edit->Text(), "Português");  // UTF-8 through the UTF-16 control

    SendMessageW(child, EM_SETSEL, 9, 9);  // the caret to the end, as a click there would
    SendMessageW(child, WM_CHAR, L'!', 0);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), "Português!");

    panel->Hide();
    Pump();
    EXPECT_FALSE(IsWindowVisible(child));
}

TEST_F(FrameworkWinTest, NativeListReportsKeyboardSelection) {
    auto* list = new TNativeListBox(Form);
    list->SetParent(Form);
    list->SetBounds(10, 10, 150, 100);
    list->SetItems({"English", "Deutsch", "中文"});
    list->SetItemIndex(0);
    int changes = 0;
    list->OnChange = [&](TControl*) { ++changes; };
    Form->Show();
    Pump();
    ASSERT_NE(list->Native(), nullptr);
    const auto child = static_cast<HWND>(list->Native()->PlatformHandle());
    EXPECT_EQ(SendMessageW(child, LB_GETCOUNT, 0, 0), 3);
    SendMessageW(child, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
}

TEST_F(FrameworkWinTest, PerPixelAlphaFormsShowNativeChildren) {
    Form->SetPerPixelAlpha(true);
    auto* edit = new TNativeEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(20, 20, 120, 24);
    edit->SetText("visible");
    Form->Show();
    Pump();
    Form->PaintAll();
    const TArgbSurface& buffer = Form->BackBuffer();
    // Outside every control: transparent; on the edit: its opaque snapshot.
    EXPECT_EQ(buffer.Pixel(200, 150), 0u);
    int opaque = 0;
    for (int x = 22; x < 138; ++x) opaque += (buffer.Pixel(x, 32) >> 24) == 255;
    EXPECT_EQ(opaque, 116);
}

TEST_F(FrameworkWinTest, RightClickTracksTheControlsPopupMenu) {
    auto* menu = new TPopupMenu(Form);
    std::vector<std::string> chosen;
    const auto record = [&](TMenuItem& item) { chosen.push_back(item.Caption); };
    menu->Add("Open", record);
    menu->Add("-");
    menu->Add("Quit", record);
    auto* box = new TRdPaintBox(Form);
    box->SetParent(Form);
    box->SetBounds(20, 20, 80, 40);
    box->SetPopupMenu(menu);
    Form->Show();
    Pump();
    const HWND hwnd = FormWindow();
    const auto rightClick = [&] {
        SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, At(30, 30));
        SendMessageW(hwnd, WM_RBUTTONUP, 0, At(30, 30));
    };

    // The keys wait in the queue for the menu's own loop: down to "Open", past the
    // separator to "Quit", choose it.
    for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(hwnd, WM_KEYDOWN, key, 0);
    rightClick();
    EXPECT_EQ(chosen, std::vector<std::string>{"Quit"});

    // Escape dismisses it: nothing is chosen.
    PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    rightClick();
    EXPECT_EQ(chosen.size(), 1u);
}

}  // namespace
