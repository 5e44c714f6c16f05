#pragma once
// The installer window's pages as a state machine: which page is active, the only
// transitions allowed between them, what the shared main button does on each page
// and what the close button does. Portable; the window binds its notebook to it.
// UI thread only.
#include <functional>
#include <string>

enum class TInstallerPage { Main, InstallOption, Color, Download, Finished, Install, Proxy };

const char* PageName(TInstallerPage page);

// What the shared main button ("Install Now", "Install", "Done", "Run Now") does on
// the active page.
enum class TMainButtonAction {
    None,                 // no action on this page
    InstallFromMainPage,  // "Install Now": folder checks, then the install start
    InstallFromOptions,   // "Install": disable the button, then the options checks
    SaveThemeAndFinish,   // "Done": store the theme, outcome page, usage report
    FinishAndExit,        // "Run Now" / "Close" on the finish page
};

// What the close button does on the active page.
enum class TCloseButtonAction {
    CancelDownload,  // same as "Cancel" on the download page
    MainButton,      // the page's main action (theme page, finish page)
    CloseWindow,     // close the window: the cancel question
};

// Events that move the flow.
enum class TPageEvent {
    Created,          // window creation
    Customize,        // "Customize..."
    Back,             // "Back" on the options page
    InstallStarted,   // an install button passed its checks: the download page
    PathInvalid,      // a folder check failed: back to the options page
    SetupEndedNoTheme,   // the setup run ended, no theme chosen yet: the theme page
    SetupEndedThemeSet,  // the setup run ended, theme chosen before: the finish page
    ThemeDone,        // "Done" or the close button on the theme page: the finish page
};

class TPageFlow {
public:
    TInstallerPage Active() const { return FActive; }
    // Applies `event`. An event the active page does not expect changes nothing, is
    // reported to OnUnexpected and returns false.
    bool Apply(TPageEvent event);

    TMainButtonAction MainButtonAction() const;
    TCloseButtonAction CloseAction() const;

    // Called after every change of the active page.
    std::function<void(TInstallerPage from, TInstallerPage to)> OnChange;
    // Called with a description of an event the active page does not expect.
    std::function<void(const std::string&)> OnUnexpected;

private:
    TInstallerPage FActive = TInstallerPage::Main;
    bool FCreated = false;
};
