// The installer window on the host: its start-up sequence and refusals, the start
// language and the live switch, the pages as a user clicks through them, and the
// notice dialog's placement and answers.
#include <algorithm>
#include <fstream>

#include "Installer/Downloader/window/UnitNotice.h"
#include "Installer/Downloader/window/UnitSysSupportNoticeNew.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/controls/progress/TaskbarList.h"
#include "services/RequestSigning.h"
#include "tests/support/ApiStandIn.h"
#include "tests/unit/installer/FakeFolderSecurity.h"
#include "tests/unit/installer/WindowFixture.h"

namespace {

std::vector<std::string> WithoutPageTraces(const std::vector<std::string>& traces) {
    std::vector<std::string> kept;
    for (const std::string& t : traces)
        if (t.rfind("page:", 0) != 0) kept.push_back(t);
    return kept;
}

struct Shown {
    std::string title, text;
    TRect textBounds;  // where the message is drawn
};

}  // namespace

struct WindowTest : WindowFixture {
    // Closes the first dialog of class T that shows (through its OK button) and
    // keeps what it said.
    template <typename T>
    void CloseWhenShown(Shown& shown) {
        Timer = Loop->StartTimer(std::chrono::milliseconds(5), true, [this, &shown] {
            for (T* dialog : FormsOf<T>())
                if (dialog->Visible() && dialog->Modal()) {
                    if constexpr (std::is_same_v<T, TFormSysNotice>) shown.title = dialog->lbl_Title->Caption();
                    shown.text = dialog->lblStatusDes->Caption();
                    shown.textBounds = dialog->lblStatusDes->BoundsRect();
                    dialog->ButtonOK->OnClick(dialog->ButtonOK);
                    Loop->StopTimer(Timer);
                }
        });
    }
    void Click(TControl* control) {
        const TPoint origin = control->FormOrigin();
        const TPoint at{origin.X + control->Width() / 2, origin.Y + control->Height() / 2};
        Window->HandleMouseMove(0, at.X, at.Y);
        Window->HandleMouseDown(mbLeft, ssLeft, at.X, at.Y, false);
        Window->HandleMouseUp(mbLeft, 0, at.X, at.Y);
    }
    EventLoop::TimerId Timer = 0;
};

TEST_F(WindowTest, StartsInOrderWithItsControlsInPlace) {
    ASSERT_TRUE(Create());
    const std::string downloads = "C:\\ProgramData\\Qarto Private Browser\\Downloader\\";
    EXPECT_EQ(WithoutPageTraces(Platform.Traces),
              (std::vector<std::string>{"********** FLanguageName: English", "FormCreate: 1", "FormCreate: 2",
                                        "FormCreate: 3",
                                        "FDownloadPath + MD5_INI_FILE_NAME: " + downloads + "dl-info-zyrnew.upt",
                                        "Buf:  Result: ", "FormCreate: 4"}));
    EXPECT_EQ(Window->FDownloadPath, downloads);
    EXPECT_EQ(Window->Pages().Active(), TInstallerPage::Main);
    EXPECT_EQ(Window->edtPath->Text(), Window->FInstallPath);
    EXPECT_EQ(Window->FInstallPath, "C:\\Program Files\\Qarto Private Browser\\");
    EXPECT_EQ(Window->lbl_Option->Width(), 100);  // "Customize..." is narrower: the minimum
    EXPECT_EQ(Window->Width(), 640);
    EXPECT_EQ(Window->Height(), 390);
    // Centred by the texts' layout: 640 div 2 - 189 div 2.
    EXPECT_EQ(Window->lbl_AgreenInstall->Left(), 226);
    EXPECT_EQ(Window->lbl_AgreenInstall->Caption(), "Install Now");
    EXPECT_EQ(Window->lbl_MainpgTitle->Caption(), "Ready to install Qarto Private Browser");
    // The wrapped title keeps its width; the line below follows its height.
    EXPECT_EQ(Window->lbl_MainpgTitle->Width(), 450);
    EXPECT_EQ(Window->lbl_MainpgFunc->Top(), Window->lbl_MainpgTitle->Top() + Window->lbl_MainpgTitle->Height() + 4);
    EXPECT_EQ(Window->lblCaption->Caption(), "Qarto Private Browser Installer");
    // Every page's background lines up with the window's, behind the title strip.
    for (TRdImage* background : {Window->SubBg, Window->Image_Optionbg, Window->Image_DownloadBg})
        EXPECT_EQ(background->BoundsRect(), (TRect{0, -40, 640, 350})) << background->Name();
}

TEST_F(WindowTest, RefusesUnsupportedSystemsAndTheRestrictedRegion) {
    struct Case {
        const char* name;
        std::function<void(FakeOs&)> arrange;
        const char* text;  // the start of the system notice's text
    } cases[] = {
        {"Vista 64-bit", [](FakeOs& o) { o.system.version = {6, 0, 6002}; }, "This operating system is not supported."},
        {"Windows 7 32-bit", [](FakeOs& o) { o.system.windows64 = false; }, "This operating system is not supported."},
        {"system language Simplified Chinese",
         [](FakeOs& o) { o.locale.systemLanguageId = 0x0804; },
         "This service is unavailable"},
        {"user interface Simplified Chinese",
         [](FakeOs& o) { o.locale.userUILanguage = 0x0804; },
         "This service is unavailable"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOs fresh;
        fresh.shell.folders = os.shell.folders;
        fresh.registry.viewValues = os.registry.viewValues;
        c.arrange(fresh);
        Shown shown;
        CloseWhenShown<TFormSysNotice>(shown);
        bool ended = false;
        try {
            App->CreateForm<TfrmZYRDownloader>(TInstallerEnvironment{fresh.services, Internet, fresh.clock, Curl, Platform});
        } catch (const TProcessEnded&) {
            ended = true;
        }
        Loop->StopTimer(Timer);
        EXPECT_TRUE(ended);
        EXPECT_EQ(shown.title, "Qarto Private Browser Installer");
        EXPECT_EQ(shown.text.rfind(c.text, 0), 0u) << shown.text;
        // The message keeps its designed place; a label that sized itself to its
        // empty text before it could wrap showed nothing.
        EXPECT_EQ(shown.textBounds, TRect::FromSize(26, 53, 292, 60));
    }
}

TEST_F(WindowTest, EndsWhenTheSystemDriveIsFull) {
    os.disks.drives["C:"].freeBytes = 400ull << 20;  // below the 500 MiB the system drive needs
    os.shell.folders[Csidl::CommonAppData] = "C:\\ProgramData";
    os.disks.drives["D:"] = FakeDisks::Drive{};  // the working folder moves here
    Shown shown;
    CloseWhenShown<TForm_Notice>(shown);
    EXPECT_FALSE(Create());
    EXPECT_EQ(shown.text.rfind("This partition doesn't have enough free space", 0), 0u) << shown.text;
    EXPECT_EQ(shown.textBounds, TRect::FromSize(61, 22, 255, 72));
}

TEST_F(WindowTest, StartsInTheUsersLanguageAndSwitchesLive) {
    os.locale.userUILanguage = 0x0407;
    ASSERT_TRUE(Create());
    EXPECT_EQ(Window->FLanguageName, "German");
    EXPECT_EQ(Window->lbl_AgreenInstall->Caption(), "Jetzt installieren");
    EXPECT_EQ(Window->lbl_Option->Caption(), "Anpassen...");

    const auto& names = Window->FLanguageNames;
    const auto french = std::find(names.begin(), names.end(), "French");
    ASSERT_NE(french, names.end());
    Window->Cbx_Language->SetItemIndex(static_cast<int>(french - names.begin()));
    Window->Cbx_Language->OnChange(Window->Cbx_Language);
    EXPECT_EQ(Window->FCurLanguageName, "French");
    EXPECT_EQ(Window->FLanguageName, "German");  // the first choice is kept
    EXPECT_EQ(Window->lbl_AgreenInstall->Caption(), "Installer maintenant");
    EXPECT_EQ(Window->btnOptionInstall->Caption(), Window->lbl_AgreenInstall->Caption());
    // Re-centred for the new caption's width, never narrower than 100 pixels.
    EXPECT_EQ(Window->lbl_Option->Left(), 640 / 2 - Window->lbl_Option->Width() / 2);
    EXPECT_GE(Window->lbl_Option->Width(), 100);
}

TEST_F(WindowTest, CustomizeAndBackByTheMouse) {
    ASSERT_TRUE(Create());
    Window->Show();
    EXPECT_FALSE(Window->cbxTaskbar->Visible());
    Click(Window->lbl_Option);
    EXPECT_EQ(Window->Pages().Active(), TInstallerPage::InstallOption);
    EXPECT_TRUE(Window->PageTab_InstallOption->Visible());
    EXPECT_TRUE(Window->cbxTaskbar->Visible());
    EXPECT_EQ(Window->edtPath->Text(), Window->FInstallPath);
    Click(Window->lbl_OptionpgBack);
    EXPECT_EQ(Window->Pages().Active(), TInstallerPage::Main);
    EXPECT_TRUE(Window->PageTab_Main->Visible());
    // Only the title strip moves the window.
    Click(Window->lbl_Title);
    Click(Window->Img_MainpgLogo1);
    EXPECT_EQ(Platform.Dragged, (std::vector<std::string>{"frmZYRDownloader"}));
}

// "/ThemePage" opens the theme page at the first show, but only where the
// administrators' override key allows test hooks.
TEST_F(WindowTest, ThemePageSwitchNeedsTheOverrideKey) {
    const std::tuple<RegistryView, RegistryRoot, std::string, std::string> hooks{
        RegistryView::Bits32, RegistryRoot::LocalMachine, "SOFTWARE\\Qarto Private Browser\\InstallerDev",
        "TestHooks"};
    struct Case {
        std::vector<std::string> parameters;
        std::optional<std::string> hooksValue;
        TInstallerPage expected;
    };
    for (const Case& c : {Case{{"/ThemePage"}, std::nullopt, TInstallerPage::Main},
                          Case{{"/ThemePage"}, "0", TInstallerPage::Main},
                          Case{{}, "1", TInstallerPage::Main},
                          Case{{"/themepage"}, "1", TInstallerPage::Color}}) {
        SCOPED_TRACE(c.hooksValue.value_or("(none)"));
        Platform.Parameters = c.parameters;
        if (c.hooksValue) os.registry.viewValues[hooks] = *c.hooksValue; else os.registry.viewValues.erase(hooks);
        ASSERT_TRUE(Create());
        Window->Show();
        EXPECT_EQ(Window->Pages().Active(), c.expected);
        EXPECT_EQ(Window->PageTab_Color->Visible(), c.expected == TInstallerPage::Color);
        Window->Hide();
    }
}

// From an elevated token whose desktop shell cannot start the browser, "Run Now"
// starts nothing elevated: the success page stays, says how to start the browser, and
// its Close button ends the installer without the retry shortcut.
TEST_F(WindowTest, BrowserThatCannotStartWithTheUsersRightsIsLeftToTheUser) {
    os.shell.elevation = TokenElevationKind::Full;
    os.shell.desktopShellTakes = false;
    Platform.Parameters = {"/ThemePage"};
    os.registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine,
                            "SOFTWARE\\Qarto Private Browser\\InstallerDev", "TestHooks"}] = "1";
    Platform.UserDwords["Software\\Qarto Private Browser\\InstallFinished"] = 1;
    ASSERT_TRUE(Create());
    Window->Show();
    // The installed browser, below the test's folder like every Windows path of the window.
    const std::filesystem::path browser = Utf8Path(Window->FInstallPath + "QartoBrowser.exe");
    std::filesystem::create_directories(browser.parent_path());
    std::ofstream(browser) << "MZ";
    Click(Window->Rdbtn_ColorpgDone);
    ASSERT_TRUE(Window->btnFinished->Visible());
    Click(Window->btnFinished);  // "Run Now"

    EXPECT_TRUE(os.shell.executed.empty()) << "something was started with the installer's token";
    ASSERT_FALSE(os.shell.throughDesktopShell.empty());
    EXPECT_EQ(os.shell.throughDesktopShell.back().file, Window->FInstallPath + "QartoBrowser.exe");
    EXPECT_EQ(Window->lbl_FinishpgDes->Caption(),
              "Start Qarto Private Browser from its icon on the desktop or in the Start menu.");
    EXPECT_FALSE(Window->btnFinished->Visible());
    EXPECT_TRUE(Window->Rdbtn_FinishpgClose->Visible());
    EXPECT_NE(std::find(Platform.Traces.begin(), Platform.Traces.end(),
                        "browser not started: it cannot be started with the user's rights"),
              Platform.Traces.end());

    const std::size_t tries = os.shell.throughDesktopShell.size();
    EXPECT_THROW(Click(Window->Rdbtn_FinishpgClose), TProcessEnded);
    EXPECT_EQ(os.shell.throughDesktopShell.size(), tries);
    EXPECT_TRUE(os.shell.executed.empty());
    EXPECT_TRUE(Platform.Shortcuts.empty());
}

// The base information is asked for while the window is built, but nothing waits for
// it: with an API that never answers the window is built and shown while the request
// is still out, and only "Run Now" waits for it (the start link uses its answer).
struct WindowWithApiTest : WindowTest {
    static void SetUpTestSuite() { Api = new ApiStandIn(); }
    static void TearDownTestSuite() {
        delete Api;
        Api = nullptr;
    }
    WindowWithApiTest() {
        const std::string key = "SOFTWARE\\Qarto Private Browser\\InstallerDev";
        os.registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine, key, "ApiHost"}] = Api->HttpHost();
        os.registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine, key, "RedirectHost"}] =
            "https://go.example";
    }
    static ApiStandIn* Api;
};
ApiStandIn* WindowWithApiTest::Api = nullptr;

TEST_F(WindowWithApiTest, ShowsWhileTheApiNeverAnswers) {
    Api->Configure("never=1");
    ASSERT_TRUE(Create());
    Window->Show();
    EXPECT_TRUE(Window->Visible());
    EXPECT_EQ(Window->Pages().Active(), TInstallerPage::Main);
    Loop->Sleep(std::chrono::milliseconds(1000));  // the request reaches the server and is held there
    EXPECT_EQ(Api->Requests().size(), 1u);
    EXPECT_TRUE(Window->Api().BaseInfoPending()) << "the window waited for the request (10 s time-out)";
}

TEST_F(WindowWithApiTest, StartLinkWaitsForTheAnswerAndCarriesTheDumpAddress) {
    Api->Configure("delay=0.5&data=" + UrlEncodeUtf8(R"({"pc_dump_url":"https://go.example/dump"})"));
    os.shell.elevation = TokenElevationKind::Full;
    Platform.Parameters = {"/ThemePage"};
    os.registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine,
                            "SOFTWARE\\Qarto Private Browser\\InstallerDev", "TestHooks"}] = "1";
    Platform.UserDwords["Software\\Qarto Private Browser\\InstallFinished"] = 1;
    ASSERT_TRUE(Create());
    Window->Show();
    ASSERT_TRUE(Window->Api().BaseInfoPending()) << "answered before the test could click";
    const std::filesystem::path browser = Utf8Path(Window->FInstallPath + "QartoBrowser.exe");
    std::filesystem::create_directories(browser.parent_path());
    std::ofstream(browser) << "MZ";
    Click(Window->Rdbtn_ColorpgDone);
    ASSERT_TRUE(Window->btnFinished->Visible());
    try {
        Click(Window->btnFinished);  // "Run Now": the answer is still on its way
    } catch (const TProcessEnded&) {
    }
    EXPECT_NE(std::find(Platform.Traces.begin(), Platform.Traces.end(), "waiting for the base information"),
              Platform.Traces.end());
    EXPECT_FALSE(Window->Api().BaseInfoPending());
    ASSERT_FALSE(os.shell.throughDesktopShell.empty());
    EXPECT_NE(os.shell.throughDesktopShell.back().parameters.find("https://go.example/dump/appgoto?name=zyr&"),
              std::string::npos)
        << os.shell.throughDesktopShell.back().parameters;
    EXPECT_EQ(Api->Requests().size(), 1u) << "one request in all";
}

// An unverified package's run ends with the bottom bar full, shown on the taskbar
// button as the download page's bar is.
TEST_F(WindowTest, BottomBarAtItsEndIsMirroredOnTheTaskbar) {
    struct Taskbar final : TTaskbarList {
        Taskbar() { SetTaskbarList(this); }
        ~Taskbar() override { SetTaskbarList(nullptr); }
        bool SetProgressState(TWindowHandle, TTaskbarProgressState) override { return true; }
        bool SetProgressValue(TWindowHandle, std::uint64_t completed, std::uint64_t total) override {
            values.push_back(std::to_string(completed) + "/" + std::to_string(total));
            return true;
        }
        std::vector<std::string> values;
    } taskbar;
    ASSERT_TRUE(Create());
    Window->Show();
    taskbar.values.clear();
    Window->imgProgress->SetPosition(Window->imgProgress->Max());  // what that run does
    EXPECT_EQ(taskbar.values, (std::vector<std::string>{"10000/10000"}));
    Window->imgProgress_DP->SetPosition(2500);
    EXPECT_EQ(taskbar.values.back(), "2500/10000");
}

// The notification-area icon's menu has one item, "Open", which brings the
// installer back from the taskbar or the notification area.
TEST_F(WindowTest, TrayMenuOpenBringsTheInstallerBack) {
    ASSERT_TRUE(Create());
    Window->Show();
    TPopupMenu* menu = Window->Tray->PopupMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Items().size(), 1u);
    EXPECT_EQ(menu->Items()[0].Caption, "Open");
    App->Minimize();
    ASSERT_TRUE(App->Minimized());
    menu->Choose(0);
    EXPECT_FALSE(App->Minimized());
}

// The window reads the consent once and hands it to the install flow and the API
// client; "Testupdate.ini" beside the program (the user's Downloads folder) redirects
// the API only with it, and is reported when it lies there unread.
TEST_F(WindowTest, TestFilesCountOnlyWithTheTestHooks) {
    const std::tuple<RegistryView, RegistryRoot, std::string, std::string> hooks{
        RegistryView::Bits32, RegistryRoot::LocalMachine, "SOFTWARE\\Qarto Private Browser\\InstallerDev",
        "TestHooks"};
    os.system.programPath = (Work / "Setup.exe").string();
    std::ofstream(Work / "Testupdate.ini") << "[api-test]\r\nURL=http://127.0.0.1:9/planted/\r\n";
    const std::string ignored = "Testupdate.ini ignored: test hooks are off";
    for (const bool allowed : {false, true}) {
        SCOPED_TRACE(allowed ? "hooks on" : "hooks off");
        Platform.Traces.clear();
        if (allowed) os.registry.viewValues[hooks] = "1"; else os.registry.viewValues.erase(hooks);
        ASSERT_TRUE(Create());
        EXPECT_EQ(Window->Flow().TestHooks, allowed);
        EXPECT_EQ(Window->Api().ReadTestFile, allowed);
        EXPECT_EQ(Window->Api().GetBaseURL(), allowed ? "http://127.0.0.1:9/planted/" : "http://127.0.0.1:9/");
        EXPECT_EQ(std::count(Platform.Traces.begin(), Platform.Traces.end(), ignored), allowed ? 0 : 1);
    }
    // No file, no line.
    std::filesystem::remove(Work / "Testupdate.ini");
    os.registry.viewValues.erase(hooks);
    Platform.Traces.clear();
    ASSERT_TRUE(Create());
    EXPECT_EQ(std::count(Platform.Traces.begin(), Platform.Traces.end(), ignored), 0);
}

// The install source from the command line reaches the install flow only as a valid
// "/insur=" switch; anything else is dropped with a trace line.
TEST_F(WindowTest, InstallSourceIsPassedOnOnlyWhenValid) {
    const std::string dropped = "/insur= dropped: the value is not 1 to 64 letters, digits, \"_\", \"-\" or \".\"";
    struct Case {
        std::vector<std::string> parameters;
        std::string source;
    };
    for (const Case& c : {Case{{"/insur=partner_7.b-2"}, "/insur=partner_7.b-2"},
                          Case{{"/insur=a\" /DIR=\"C:\\x"}, ""}, Case{{"/insur="}, ""}}) {
        SCOPED_TRACE(c.parameters[0]);
        Platform.Parameters = c.parameters;
        Platform.Traces.clear();
        ASSERT_TRUE(Create());
        EXPECT_EQ(Window->InstallSource, c.source);
        EXPECT_EQ(Window->Flow().Options.installSource, c.source);
        EXPECT_EQ(std::count(Platform.Traces.begin(), Platform.Traces.end(), dropped), c.source.empty() ? 1 : 0);
    }
}

TEST_F(WindowTest, MalformedLanguageAndSkinFilesStillShowTheWindow) {
    const auto write = [](const std::filesystem::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    };
    // A language resource that is no text of any encoding, a colour file of noise,
    // and a picture that is not one (names with the program's backslash: this is
    // the host's file system).
    write(Work / "broken.lng", std::string("\xFF\xFE\x00\xD8[\x00ZYR_M\x00", 12) + std::string(300, '\x01'));
    Platform.Resources["ENGLISH"] = Work / "broken.lng";
    os.system.programPath = (Work / "Setup.exe").string();
    write(Work / "InstallerSkin\\Color.ini", std::string("\x00\x01[Main\nWidth=wide\nHeight=\n=\n[", 30));
    write(Work / "InstallerSkin\\background.png", "\x89PNG\r\n\x1a\n not a picture");
    ASSERT_TRUE(Create());
    const TColor statusColour = Window->lblDownloadpgInstalling->Font().Color();
    Window->Show();
    EXPECT_TRUE(Window->Visible());
    EXPECT_EQ(Window->Width(), 640);
    // "lbl_Installing_Color" (white by default) names labels this design does not
    // have: the visible status line keeps its colour whatever the file says.
    EXPECT_EQ(Window->lblDownloadpgInstalling->Font().Color(), statusColour);
    EXPECT_EQ(Window->FCurLanguageName, "English");
    EXPECT_EQ(Window->lbl_AgreenInstall->Caption(), "Install Now");
    EXPECT_EQ(Window->lbl_MainpgTitle->Caption(), "Ready to install Qarto Private Browser");
    ASSERT_NE(Window->img_back->Picture().Graphic(), nullptr);  // the built-in picture stays
    EXPECT_EQ(Window->img_back->Picture().Width(), 640);
}

TEST_F(WindowTest, NoticeIsCentredOverTheWindowAndOnlyYesAnswersYes) {
    ASSERT_TRUE(Create());
    Window->Show();
    Window->SetBounds(101, 57, 640, 390);
    TNoticeEnvironment env;
    struct Case {
        const char* press;
        bool answer;
    } cases[] = {{"ButtonYes", true}, {"ButtonNO", false}, {"Btn_Close", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press);
        TPoint at{-1, -1};
        Timer = Loop->StartTimer(std::chrono::milliseconds(5), true, [&] {
            for (TForm_Notice* notice : FormsOf<TForm_Notice>())
                if (notice->Visible()) {
                    at = TPoint{notice->Left(), notice->Top()};
                    auto* button = dynamic_cast<TRdImageButton*>(notice->FindComponent(c.press));
                    button->OnClick(button);
                    Loop->StopTimer(Timer);
                }
        });
        EXPECT_EQ(ShowNotice(*App, Window, TNoticeIcon::Question, "Sure?", TNoticeMode::YesNo, env), c.answer);
        EXPECT_EQ(NoticeAnswer, c.answer);
        // 101 + (640 - 324) div 2, 57 + (390 - 152) div 2
        EXPECT_EQ(at, (TPoint{259, 176}));
        EXPECT_FALSE(NoticeShowing());
    }
    Window->Hide();
    EXPECT_EQ(TForm_Notice::PlaceOver(Window, 324, 152), std::nullopt);
}

// The window and its flow use the folder the folder checks chose: here the product's
// folder belongs to a user and cannot be taken over, so a new random-named one in the
// common application-data folder, with its descriptor in the trace.
TEST_F(WindowTest, DownloadFolderIsTheOneTheFolderChecksChose) {
    FakeFolderSecurity folders;
    const std::string product = "C:\\ProgramData\\Qarto Private Browser";
    folders.objects[product] = UserOwned();
    folders.objects[product + "\\Downloader"] = AdminsOnly();
    folders.refuseTakeOver.insert(product);
    Platform.Folders = &folders;
    ASSERT_TRUE(Create());
    const std::string fresh = "C:\\ProgramData\\Downloader-" + folders.random + "\\";
    EXPECT_EQ(Window->FDownloadPath, fresh);
    EXPECT_EQ(Window->Flow().DownloadPath, fresh);
    EXPECT_EQ(std::count(Platform.Traces.begin(), Platform.Traces.end(),
                         "download folder: " + fresh + " O:" + kSidAdministrators),
              1);

    // Nothing can be made safe: the install start shows the failure page and fetches
    // nothing.
    folders.refuseCreate.insert("C:\\ProgramData\\Downloader-" + folders.random);
    folders.objects.erase("C:\\ProgramData\\Downloader-" + folders.random);
    ASSERT_TRUE(Create());
    EXPECT_EQ(Window->FDownloadPath, "");
    Window->Show();
    Click(Window->lbl_AgreenInstall);
    EXPECT_EQ(Window->Pages().Active(), TInstallerPage::Finished);
    EXPECT_EQ(Window->lbl_FinishpgTitle->Caption(), "Installation Failed!");
    EXPECT_TRUE(Window->Flow().DescriptorPhase());
    EXPECT_EQ(Window->Flow().DescriptorState(), 0);
}

// An install folder outside the program-files folders that a user owns is refused
// with a notice, and the installation does not start; a new one is made with the
// program-files rights.
TEST_F(WindowTest, UntrustedInstallFolderOutsideProgramFilesIsRefused) {
    FakeFolderSecurity folders;
    os.disks.drives["D:"] = FakeDisks::Drive{};
    folders.objects["D:\\Apps"] = UserOwned();
    folders.objects["D:\\Apps\\Qarto Private Browser"] = UserOwned();
    Platform.Folders = &folders;
    ASSERT_TRUE(Create());
    Window->Show();
    std::vector<std::string> notices;  // every notice, closed by its OK button
    Timer = Loop->StartTimer(std::chrono::milliseconds(5), true, [this, &notices] {
        for (TForm_Notice* dialog : FormsOf<TForm_Notice>())
            if (dialog->Visible() && dialog->Modal()) {
                notices.push_back(dialog->lblStatusDes->Caption());
                dialog->ButtonOK->OnClick(dialog->ButtonOK);
            }
    });
    Window->edtPath->SetText("D:\\Apps\\Qarto Private Browser\\");
    Click(Window->lbl_AgreenInstall);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].rfind("Users other than administrators can change the folder you chose", 0), 0u)
        << notices[0];
    EXPECT_EQ(Window->Pages().Active(), TInstallerPage::InstallOption);
    EXPECT_NE(std::find(Platform.Traces.begin(), Platform.Traces.end(),
                        "install folder refused: D:\\Apps\\Qarto Private Browser\\: owner " + kSomeUser),
              Platform.Traces.end());

    folders.objects.erase("D:\\Apps\\Qarto Private Browser");
    folders.log.clear();
    // The made-up folders are not on disk, where the options look whether the folder
    // is there after its creation (relative to the test's folder here).
    std::filesystem::create_directories(Work / "D:" / "Apps" / "Qarto Private Browser");
    Window->edtPath->SetText("D:\\Apps\\Qarto Private Browser\\");
    Click(Window->btnOptionInstall);
    EXPECT_EQ(notices.size(), 1u) << notices.back();
    EXPECT_EQ(folders.log,
              (std::vector<std::string>{"create D:\\Apps\\Qarto Private Browser program-files-like"}));
    EXPECT_EQ(Window->Pages().Active(), TInstallerPage::Download);
    Loop->StopTimer(Timer);
}
