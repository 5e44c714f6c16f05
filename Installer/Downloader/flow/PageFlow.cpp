#include "Installer/Downloader/flow/PageFlow.h"

#include <optional>

namespace {

using P = TInstallerPage;
using E = TPageEvent;

// The complete list of transitions: (from, event) -> to. `any` marks an event that
// applies on every page.
struct Transition {
    std::optional<P> from;  // nullopt: any page
    E event;
    P to;
};

constexpr Transition kTransitions[] = {
    {P::Main, E::Customize, P::InstallOption},
    {P::InstallOption, E::Back, P::Main},
    {P::Main, E::InstallStarted, P::Download},
    {P::InstallOption, E::InstallStarted, P::Download},
    {std::nullopt, E::PathInvalid, P::InstallOption},
    {P::Download, E::SetupEndedNoTheme, P::Color},
    {P::Download, E::SetupEndedThemeSet, P::Finished},
    {P::Color, E::ThemeDone, P::Finished},
};

const char* EventName(E e) {
    switch (e) {
        case E::Created: return "Created";
        case E::Customize: return "Customize";
        case E::Back: return "Back";
        case E::InstallStarted: return "InstallStarted";
        case E::PathInvalid: return "PathInvalid";
        case E::SetupEndedNoTheme: return "SetupEndedNoTheme";
        case E::SetupEndedThemeSet: return "SetupEndedThemeSet";
        case E::ThemeDone: return "ThemeDone";
    }
    return "?";
}

}  // namespace

const char* PageName(TInstallerPage page) {
    switch (page) {
        case P::Main: return "PageTab_Main";
        case P::InstallOption: return "PageTab_InstallOption";
        case P::Color: return "PageTab_Color";
        case P::Download: return "PageTab_Download";
        case P::Finished: return "PageTab_Finished";
        case P::Install: return "PageTab_Install";
        case P::Proxy: return "PageTab_Proxy";
    }
    return "?";
}

bool TPageFlow::Apply(TPageEvent event) {
    std::optional<P> to;
    if (event == E::Created && !FCreated) {
        FCreated = true;
        to = P::Main;
    } else if (FCreated) {
        for (const Transition& t : kTransitions)
            if (t.event == event && (!t.from || *t.from == FActive)) {
                to = t.to;
                break;
            }
    }
    if (!to) {
        if (OnUnexpected) OnUnexpected(std::string("event ") + EventName(event) + " on " + PageName(FActive));
        return false;
    }
    const P from = FActive;
    FActive = *to;
    if (OnChange) OnChange(from, *to);
    return true;
}

TMainButtonAction TPageFlow::MainButtonAction() const {
    switch (FActive) {
        case P::Main: return TMainButtonAction::InstallFromMainPage;
        case P::InstallOption: return TMainButtonAction::InstallFromOptions;
        case P::Color: return TMainButtonAction::SaveThemeAndFinish;
        case P::Finished: return TMainButtonAction::FinishAndExit;
        default: return TMainButtonAction::None;
    }
}

TCloseButtonAction TPageFlow::CloseAction() const {
    switch (FActive) {
        case P::Download: return TCloseButtonAction::CancelDownload;
        case P::Finished:
        case P::Color: return TCloseButtonAction::MainButton;
        default: return TCloseButtonAction::CloseWindow;
    }
}
