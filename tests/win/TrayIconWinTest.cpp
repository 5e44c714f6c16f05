// The tray icon's Win32 side under Wine: the hidden window gets the icon's callback
// messages, the shell's "TaskbarCreated" broadcast and the session messages and
// hands them to the component; the taskbar button's progress goes to
// ITaskbarList3 (which Wine may only accept).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/EventLoop.h"
#include "public/rdcontrol/controls/common/Icon.h"
#include "public/rdcontrol/controls/progress/RdProgressBar.h"
#include "public/rdcontrol/controls/tray/CCTrayIcon.h"
#include "public/rdcontrol/framework/RdControls.h"
#include "public/rdcontrol/framework/Win32Platform.h"

namespace {

struct TrayIconWinTest : ::testing::Test {
    TrayIconWinTest() : Loop(MakeEventLoop()), App(*Loop, MakeWin32ApplicationPlatform()) {
        Form = App.CreateForm<TRdLayerForm>();
        Form->SetBounds(100, 100, 200, 100);
        Form->Show();
    }
    static HWND TrayWindow() { return FindWindowW(L"QartoTrayWindow", nullptr); }
    std::unique_ptr<EventLoop> Loop;
    TApplication App;
    TCustomForm* Form;
};

TEST_F(TrayIconWinTest, HiddenWindowHandsMessagesToTheComponent) {
    auto* icon = new TCCTrayIcon(Form);
    icon->Icon().SetGraphic(TIcon::FromSurface(TArgbSurface(16, 16, 0xFF2060C0u)));
    icon->SetHint("Qarto Private Browser setup");
    const bool added = icon->Enabled();
    std::printf("Shell_NotifyIcon add under this system: %s\n", added ? "accepted" : "refused");
    const HWND tray = TrayWindow();
    ASSERT_NE(tray, nullptr);
    EXPECT_FALSE(IsWindowVisible(tray));

    std::vector<std::string> events;
    icon->SetRestoreOn(ticNone);
    icon->OnLButtonDblClick = [&](TCCTrayIcon*) { events.push_back("dblclick"); };
    icon->OnRButtonUp = [&](TCCTrayIcon*) { events.push_back("rup"); };
    icon->OnBalloonHintClick = [&](TCCTrayIcon*) { events.push_back("balloon"); };
    SendMessageW(tray, kTrayCallbackMessage, 1, WM_LBUTTONDBLCLK);
    SendMessageW(tray, kTrayCallbackMessage, 1, WM_RBUTTONUP);
    SendMessageW(tray, kTrayCallbackMessage, 1, 0x405);
    EXPECT_EQ(events, (std::vector<std::string>{"dblclick", "rup", "balloon"}));

    bool allow = false;
    icon->OnQueryEndSession = [&](TCCTrayIcon*, bool& canEnd) { canEnd = allow; };
    EXPECT_EQ(SendMessageW(tray, WM_QUERYENDSESSION, 0, 0), 0);
    allow = true;
    EXPECT_EQ(SendMessageW(tray, WM_QUERYENDSESSION, 0, 0), 1);

    // "TaskbarCreated" while the shell still has the icon (as on a DPI change): the
    // icon stays enabled and present.
    SendMessageW(tray, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(icon->Enabled(), added);

    delete icon;
    EXPECT_EQ(TrayWindow(), nullptr);  // the hidden window went with it
}

TEST_F(TrayIconWinTest, TaskbarProgressCallsReachTheSystem) {
    auto* bar = new TRdProgressBar(Form);
    bar->SetParent(Form);
    bar->SetPosition(40);
    bar->SetShowInTaskbar(true);  // must not fail or block, whatever the system does with it
    const HWND window = static_cast<HWND>(Form->Window()->PlatformHandle());
    const bool state = CurrentTaskbarList().SetProgressState(window, TTaskbarProgressState::Normal);
    const bool value = CurrentTaskbarList().SetProgressValue(window, 40, 100);
    std::printf("ITaskbarList3 under this system: state %s, value %s\n", state ? "accepted" : "refused",
                value ? "accepted" : "refused");
    bar->SetPosition(100);
    bar->SetShowInTaskbar(false);
    SUCCEED();
}

}  // namespace
