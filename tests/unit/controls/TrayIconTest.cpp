// TCCTrayIcon and TRdBalloonHint on the host, with a fake notification area: adding
// and deleting the icon, the notification version, the 255-character tip, the shell
// restarting, the icon list check and its animation, which click restores or opens
// the menu, minimising to the tray, the session messages; the balloon's opacity
// steps on the UI thread's timer, its automatic hiding and its placement.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/EventLoop.h"
#include "public/rdcontrol/controls/common/Icon.h"
#include "public/rdcontrol/controls/tray/CCTrayIcon.h"
#include "public/rdcontrol/controls/tray/RdBalloonHint.h"
#include "tests/unit/framework/FakeFormWindow.h"

namespace {

using Strings = std::vector<std::string>;

struct TFakeTray;

struct TFakeTrayHost final : TTrayHost {
    TFakeTrayHost(TFakeTray& tray, TTrayHostEvents events) : Tray(tray), Events(std::move(events)) {}
    bool Add(const TTrayIconData& data) override;
    bool Modify(const TTrayIconData& data) override;
    bool Delete() override;
    bool SetVersion(unsigned version) override;
    bool ShowBalloon(const std::string& title, const std::string&, TBalloonIcon, unsigned) override;
    unsigned ShellVersion() const override;
    TPoint CursorPos() const override { return TPoint{700, 750}; }
    TShiftState ShiftState() const override { return ssShift; }
    void SetForeground() override;
    int TrackMenu(const std::vector<std::string>& captions, const std::vector<bool>&, TPoint at) override;
    void PostEmpty() override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void HideTaskbarWindow(TWindowHandle) override;
    void ShowTaskbarWindowRestored(TWindowHandle) override;

    TFakeTray& Tray;
    TTrayHostEvents Events;
};

// The notification area: what is shown, and a log of every request.
struct TFakeTray final : TTrayPlatform {
    TFakeTray() { SetTrayPlatform(this); }
    ~TFakeTray() override { SetTrayPlatform(nullptr); }
    std::unique_ptr<TTrayHost> CreateHost(TTrayHostEvents events) override {
        auto host = std::make_unique<TFakeTrayHost>(*this, std::move(events));
        Host = host.get();
        return host;
    }
    // The shell's answers.
    bool AcceptAdd = true, AcceptVersion = true;
    unsigned Shell = 6;
    int MenuChoice = -1;
    // What is in the notification area now.
    bool Present = false;
    std::string Tip;
    std::uint32_t IconPixel = 0;  // top-left pixel of the icon shown
    Strings Log;
    TFakeTrayHost* Host = nullptr;
};

bool TFakeTrayHost::Add(const TTrayIconData& data) {
    Tray.Log.push_back("add");
    if (!Tray.AcceptAdd || Tray.Present) return false;  // the shell refuses a second add of one icon
    Tray.Present = true;
    return Modify(data);
}
bool TFakeTrayHost::Modify(const TTrayIconData& data) {
    if (!Tray.Present) return false;
    Tray.Tip = data.Tip;
    Tray.IconPixel = data.Icon ? data.Icon->Pixel(0, 0) : 0;
    return true;
}
bool TFakeTrayHost::Delete() {
    Tray.Log.push_back("delete");
    Tray.Present = false;
    return true;
}
bool TFakeTrayHost::SetVersion(unsigned version) {
    Tray.Log.push_back("version " + std::to_string(version));
    return Tray.AcceptVersion;
}
bool TFakeTrayHost::ShowBalloon(const std::string& title, const std::string&, TBalloonIcon, unsigned) {
    Tray.Log.push_back("balloon " + title);
    return Tray.Present;
}
unsigned TFakeTrayHost::ShellVersion() const { return Tray.Shell; }
void TFakeTrayHost::SetForeground() { Tray.Log.push_back("foreground"); }
int TFakeTrayHost::TrackMenu(const std::vector<std::string>& captions, const std::vector<bool>&, TPoint at) {
    Tray.Log.push_back("menu " + std::to_string(captions.size()) + " at " + std::to_string(at.X) + "," +
                       std::to_string(at.Y));
    return Tray.MenuChoice;
}
void TFakeTrayHost::PostEmpty() { Tray.Log.push_back("post"); }
void TFakeTrayHost::ShowMessage(const std::string& text, const std::string& caption) {
    Tray.Log.push_back("message " + caption + ": " + text);
}
void TFakeTrayHost::HideTaskbarWindow(TWindowHandle) { Tray.Log.push_back("hide taskbar window"); }
void TFakeTrayHost::ShowTaskbarWindowRestored(TWindowHandle) { Tray.Log.push_back("show taskbar window"); }

std::shared_ptr<TIcon> IconOf(std::uint32_t argb) { return TIcon::FromSurface(TArgbSurface(16, 16, argb)); }

struct TrayIconTest : ::testing::Test {
    TrayIconTest() : Loop(MakeEventLoop()) {
        App = std::make_unique<TApplication>(*Loop, std::make_unique<TFakePlatform>());
        Form = App->CreateForm<TCustomForm>();
        Form->SetBounds(100, 100, 300, 200);
        Form->Show();
    }
    TCCTrayIcon* MakeIcon() {
        auto* icon = new TCCTrayIcon(Form);
        icon->SetName("trayMain");
        for (auto [event, name] : {std::pair{&TCCTrayIcon::OnLButtonDown, "LButtonDown"},
                                   std::pair{&TCCTrayIcon::OnLButtonUp, "LButtonUp"},
                                   std::pair{&TCCTrayIcon::OnLButtonDblClick, "LButtonDblClick"},
                                   std::pair{&TCCTrayIcon::OnRButtonDown, "RButtonDown"},
                                   std::pair{&TCCTrayIcon::OnRButtonUp, "RButtonUp"},
                                   std::pair{&TCCTrayIcon::OnRButtonDblClick, "RButtonDblClick"},
                                   std::pair{&TCCTrayIcon::OnRestoreApp, "RestoreApp"},
                                   std::pair{&TCCTrayIcon::OnMinimizeApp, "MinimizeApp"},
                                   std::pair{&TCCTrayIcon::OnBalloonHintClick, "BalloonHintClick"}})
            icon->*event = [this, n = std::string(name)](TCCTrayIcon*) { Tray.Log.push_back(n); };
        return icon;
    }
    void Send(unsigned event) { Tray.Host->Events.Callback(event); }

    TFakeTray Tray;
    std::unique_ptr<EventLoop> Loop;
    std::unique_ptr<TApplication> App;
    TCustomForm* Form = nullptr;
};

TEST_F(TrayIconTest, EnabledAddsTheIconAndAsksForABehaviourVersion) {
    struct Case {
        unsigned shell;
        bool acceptVersion, hintEvents;
        unsigned version;
        Strings log;
    } cases[] = {
        {6, true, false, 3, {"add", "version 3"}},
        {6, true, true, 4, {"add", "version 4"}},
        {6, false, false, 0, {"add", "version 3"}},
        {4, true, false, 0, {"add"}},  // no extended record: no version request
    };
    for (const Case& c : cases) {
        Tray.Shell = c.shell;
        Tray.AcceptVersion = c.acceptVersion;
        auto* icon = new TCCTrayIcon(Form);
        icon->SetEnabled(false);
        Tray.Log.clear();
        if (c.hintEvents) icon->OnTrayHintOpen = [](TCCTrayIcon*) {};
        icon->SetEnabled(true);
        EXPECT_EQ(Tray.Log, c.log) << "shell " << c.shell;
        EXPECT_EQ(icon->Version(), c.version) << "shell " << c.shell;
        EXPECT_TRUE(Tray.Present);
        delete icon;
        EXPECT_FALSE(Tray.Present);
    }
}

TEST_F(TrayIconTest, MadeDisabledAsksTheShellForNothingUntilEnabled) {
    auto* icon = new TCCTrayIcon(Form, false);
    EXPECT_FALSE(icon->Enabled());
    EXPECT_TRUE(Tray.Log.empty()) << Tray.Log.front();
    Tray.Host->Events.TaskbarCreated();
    EXPECT_TRUE(Tray.Log.empty());
    icon->SetEnabled(true);
    EXPECT_EQ(Tray.Log, (Strings{"add", "version 3"}));
    EXPECT_TRUE(Tray.Present);
    delete icon;
    EXPECT_FALSE(Tray.Present);
}

TEST_F(TrayIconTest, RefusedAddDisablesAndTheShellRestartLeavesItSo) {
    Tray.AcceptAdd = false;
    auto* icon = MakeIcon();
    EXPECT_FALSE(icon->Enabled());
    Tray.Log.clear();
    Tray.AcceptAdd = true;
    Tray.Host->Events.TaskbarCreated();
    EXPECT_TRUE(Tray.Log.empty());
    icon->SetEnabled(true);  // the owner may try again
    EXPECT_TRUE(Tray.Present);
}

TEST_F(TrayIconTest, TipAndIconComeBackAfterTheShellRestarts) {
    auto* icon = MakeIcon();
    icon->Icon().SetGraphic(IconOf(0xFF102030u));
    std::string hint;
    for (int i = 0; i < 300; ++i) hint += i % 2 ? "é" : "a";  // 300 characters, 450 bytes
    icon->SetHint(hint);
    ASSERT_EQ(icon->Tip().size(), 255u / 2 * 3 + 1);  // the first 255 characters
    EXPECT_EQ(icon->Tip(), hint.substr(0, icon->Tip().size()));
    EXPECT_EQ(Tray.Tip, icon->Tip());
    EXPECT_EQ(icon->Hint(), hint);

    // The broadcast while the shell still has the icon (a DPI change): still there.
    Tray.Host->Events.TaskbarCreated();
    EXPECT_TRUE(icon->Enabled());
    EXPECT_TRUE(Tray.Present);
    // The shell restarts and forgets everything.
    Tray.Present = false;
    Tray.Tip.clear();
    Tray.IconPixel = 0;
    Tray.Host->Events.TaskbarCreated();
    EXPECT_TRUE(Tray.Present);
    EXPECT_EQ(Tray.Tip, icon->Tip());
    EXPECT_EQ(Tray.IconPixel, 0xFF102030u);
}

TEST_F(TrayIconTest, IconListMustHoldIconsAndAnimates) {
    auto* icon = MakeIcon();
    auto* list = new TImageNote(Form);
    for (std::uint32_t c : {0xFF000001u, 0xFF000002u, 0xFF000003u}) list->Items().Add(IconOf(c).get());
    icon->SetIconList(list);
    EXPECT_EQ(Tray.IconPixel, 0xFF000001u);

    // A picture that is no icon: the message, nothing changes.
    Tray.Log.clear();
    list->Items().Add(TPngGraphic::FromSurface(TArgbSurface(16, 16, 0xFF00FF00u)).get());
    icon->SetIconIndex(1);
    EXPECT_EQ(Tray.IconPixel, 0xFF000001u);
    ASSERT_FALSE(Tray.Log.empty());
    EXPECT_EQ(Tray.Log.back(), "message PCCTrayIcon: All picture in TCCTrayIcon.IconList must be TIcon!");
    list->Items().Delete(3);

    // One step per Interval: 0, 1, 2, 0, ...
    icon->SetIconIndex(0);
    std::vector<std::uint32_t> shown{Tray.IconPixel};
    icon->SetInterval(15);
    icon->SetAnimate(true);
    const auto start = std::chrono::steady_clock::now();
    while (shown.size() < 5 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        Loop->RunOnce(std::chrono::milliseconds(5));
        if (Tray.IconPixel != shown.back()) shown.push_back(Tray.IconPixel);
    }
    EXPECT_EQ(shown, (std::vector<std::uint32_t>{0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000001u, 0xFF000002u}));
}

// Icons stored in a form description's Data form ("TIcon" and PNG bytes) load back
// as icons, so a tray icon's list can come from stored pictures.
TEST_F(TrayIconTest, StoredIconsLoadBackAsIconsForTheList) {
    auto* icon = MakeIcon();
    auto* list = new TImageNote(Form);
    for (std::uint32_t c : {0xFF000011u, 0xFF000022u}) {
        TPicture original;
        original.SetGraphic(IconOf(c));
        const std::string stored = original.Data();
        ASSERT_EQ(stored.substr(1, 5), "TIcon");
        TPicture loaded;
        loaded.SetData(stored);
        ASSERT_NE(dynamic_cast<const TIcon*>(loaded.Graphic().get()), nullptr);
        list->Items().Add(loaded.Graphic().get());
    }
    Tray.Log.clear();
    icon->SetIconList(list);
    icon->SetIconIndex(1);
    EXPECT_EQ(Tray.IconPixel, 0xFF000022u);
    for (const std::string& line : Tray.Log) EXPECT_EQ(line.find("must be TIcon"), std::string::npos) << line;
}

TEST_F(TrayIconTest, ClicksRestoreOrOpenTheMenuAsConfigured) {
    auto* icon = MakeIcon();
    auto* menu = new TPopupMenu(Form);
    menu->Add("Show");
    menu->Add("-");
    menu->Add("Quit", [this](TMenuItem& item) { Tray.Log.push_back("chose " + item.Caption); });
    icon->SetPopupMenu(menu);
    Tray.MenuChoice = 2;

    struct Case {
        TCCTrayIconClicks restoreOn;
        unsigned event;
        Strings log;
    } cases[] = {
        {ticNone, teLButtonDblClk, {"LButtonDblClick"}},  // only the event
        {ticLeftDblClick, teLButtonDblClk, {"show taskbar window", "RestoreApp", "LButtonDblClick"}},
        {ticLeftClick, teLButtonDown, {"show taskbar window", "RestoreApp", "LButtonDown"}},
        {ticLeftClick, teLButtonUp, {"LButtonUp"}},
        // The default menu click: foreground, track at the cursor, post, then the item.
        {ticNone, teRButtonUp, {"foreground", "menu 3 at 700,750", "post", "chose Quit", "RButtonUp"}},
        {ticNone, teRButtonDown, {"RButtonDown"}},
    };
    for (const Case& c : cases) {
        icon->SetRestoreOn(c.restoreOn);
        Tray.Log.clear();
        Send(c.event);
        EXPECT_EQ(Tray.Log, c.log) << "event " << c.event;
    }
    int moves = 0;
    icon->OnMouseMove = [&](TCCTrayIcon*, TShiftState shift, int x, int y) {
        ++moves;
        EXPECT_EQ(shift, unsigned(ssShift));
        EXPECT_EQ(x, 700);
        EXPECT_EQ(y, 750);
    };
    Send(teMouseMove);
    EXPECT_EQ(moves, 1);
}

TEST_F(TrayIconTest, MinimiseHidesTheTaskbarButtonAndRestoreBringsItBack) {
    bool previous = false;
    App->OnMinimize = [&] { previous = true; };
    auto* icon = MakeIcon();
    Tray.Log.clear();
    App->Minimize();
    EXPECT_TRUE(App->Minimized());
    EXPECT_FALSE(previous);  // the icon is the minimise handler now
    EXPECT_EQ(Tray.Log, (Strings{"hide taskbar window", "MinimizeApp"}));
    Tray.Log.clear();
    App->Restore();
    EXPECT_FALSE(App->Minimized());
    EXPECT_EQ(Tray.Log, (Strings{"show taskbar window", "RestoreApp"}));

    icon->SetHideOnMinimize(false);
    Tray.Log.clear();
    App->Minimize();
    EXPECT_EQ(Tray.Log, (Strings{"MinimizeApp"}));
    // Disabled, the application's own handlers are back.
    icon->SetEnabled(false);
    App->Minimize();
    EXPECT_TRUE(previous);
}

TEST_F(TrayIconTest, RestoreShowsAHiddenMainFormAndHideOnStartupKeepsItHidden) {
    auto* icon = MakeIcon();
    icon->SetHideOnStartup(true);
    EXPECT_FALSE(App->ShowMainForm());
    Form->Hide();
    icon->Restore();
    EXPECT_TRUE(Form->Visible());
}

TEST_F(TrayIconTest, SessionEnd) {
    auto* icon = MakeIcon();
    bool allow = true;
    icon->OnQueryEndSession = [&](TCCTrayIcon*, bool& canEnd) { canEnd = allow; };
    EXPECT_TRUE(Tray.Host->Events.QueryEndSession());
    allow = false;
    EXPECT_FALSE(Tray.Host->Events.QueryEndSession());
    int ends = 0;
    icon->OnEndSession = [&](TCCTrayIcon*) { ++ends; };
    Tray.Host->Events.EndSession(false);
    EXPECT_TRUE(Tray.Present);
    Tray.Host->Events.EndSession(true);
    EXPECT_FALSE(Tray.Present);
    EXPECT_EQ(ends, 2);
}

struct TAlphaLog final : TFormWindowListener {
    void FormAlphaApplied(TCustomForm&, std::uint8_t alpha) override { Alphas.push_back(alpha); }
    std::vector<int> Alphas;
};

TEST_F(TrayIconTest, BalloonFadesInStepsOnTheUiThreadAndHidesAfterItsTime) {
    auto* balloon = new TRdBalloonHint(App.get());
    balloon->SetTitle("Qarto Private Browser");
    balloon->SetDescription("The installation continues in the background.");
    balloon->SetHideAfter(60);
    TAlphaLog log;
    balloon->HandleNeeded();
    balloon->AddWindowListener(&log);
    bool hidden = false;
    balloon->OnHidden = [&](TControl*) { hidden = true; };
    balloon->ShowHint(TPoint{400, 300});
    EXPECT_TRUE(balloon->Visible());
    EXPECT_TRUE(balloon->StemUp());
    EXPECT_EQ(balloon->Top(), 300);
    const auto start = std::chrono::steady_clock::now();
    while (!hidden && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        Loop->RunOnce(std::chrono::milliseconds(5));
    EXPECT_TRUE(hidden);
    EXPECT_FALSE(balloon->Visible());
    // In: 0, then ten steps up to 255; out: ten steps down to 0.
    std::vector<int> expected{0};
    for (int k = 1; k <= 10; ++k) expected.push_back(255 * k / 10);
    for (int k = 1; k <= 10; ++k) expected.push_back(255 - 255 * k / 10);
    EXPECT_EQ(log.Alphas, expected);

    // Without animation: one step; a step time below 1 means 10 ms.
    balloon->SetAnimated(false);
    balloon->SetAnimationStepTime(0);
    EXPECT_EQ(balloon->Steps(), 1);
    EXPECT_EQ(balloon->StepTime(), 10u);
    balloon->SetHideAfter(0);
    log.Alphas.clear();
    balloon->ShowHint(TPoint{400, 760});  // no room below the point: above it
    EXPECT_FALSE(balloon->StemUp());
    EXPECT_EQ(balloon->Top() + balloon->Height(), 760);
    while (balloon->Fading()) Loop->RunOnce(std::chrono::milliseconds(5));
    EXPECT_EQ(log.Alphas, (std::vector<int>{255}));  // from the 0 it was hidden at, in one step
    balloon->RemoveWindowListener(&log);
}

}  // namespace
