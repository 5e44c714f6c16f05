// The installer's page flow: every transition, the events a page does not expect,
// the shared main button and the close button per page.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Installer/Downloader/flow/PageFlow.h"

namespace {

using P = TInstallerPage;
using E = TPageEvent;

// Drives the flow from creation to `page` along the only legal paths.
TPageFlow FlowAt(P page) {
    TPageFlow flow;
    flow.Apply(E::Created);
    switch (page) {
        case P::Main: break;
        case P::InstallOption: flow.Apply(E::Customize); break;
        case P::Download: flow.Apply(E::InstallStarted); break;
        case P::Color: flow.Apply(E::InstallStarted); flow.Apply(E::SetupEndedNoTheme); break;
        case P::Finished: flow.Apply(E::InstallStarted); flow.Apply(E::SetupEndedThemeSet); break;
        default: break;
    }
    EXPECT_EQ(flow.Active(), page);
    return flow;
}

struct TransitionCase {
    P from;
    E event;
    std::optional<P> to;  // nullopt: not expected on that page
};

class PageTransitions : public ::testing::TestWithParam<TransitionCase> {};

TEST_P(PageTransitions, MovesOnlyAlongTheTable) {
    const auto& c = GetParam();
    TPageFlow flow = FlowAt(c.from);
    std::vector<std::pair<P, P>> changes;
    std::string unexpected;
    flow.OnChange = [&](P a, P b) { changes.emplace_back(a, b); };
    flow.OnUnexpected = [&](const std::string& what) { unexpected = what; };
    EXPECT_EQ(flow.Apply(c.event), c.to.has_value());
    if (c.to) {
        EXPECT_EQ(flow.Active(), *c.to);
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0], std::make_pair(c.from, *c.to));
        EXPECT_TRUE(unexpected.empty());
    } else {
        EXPECT_EQ(flow.Active(), c.from);
        EXPECT_TRUE(changes.empty());
        EXPECT_NE(unexpected.find(PageName(c.from)), std::string::npos) << unexpected;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PageTransitions,
    ::testing::Values(
        TransitionCase{P::Main, E::Customize, P::InstallOption}, TransitionCase{P::InstallOption, E::Back, P::Main},
        TransitionCase{P::Main, E::InstallStarted, P::Download},
        TransitionCase{P::InstallOption, E::InstallStarted, P::Download},
        TransitionCase{P::Main, E::PathInvalid, P::InstallOption},
        TransitionCase{P::InstallOption, E::PathInvalid, P::InstallOption},
        TransitionCase{P::Download, E::PathInvalid, P::InstallOption},
        TransitionCase{P::Download, E::SetupEndedNoTheme, P::Color},
        TransitionCase{P::Download, E::SetupEndedThemeSet, P::Finished},
        TransitionCase{P::Color, E::ThemeDone, P::Finished},
        // Not expected where they are sent.
        TransitionCase{P::Main, E::Back, std::nullopt}, TransitionCase{P::InstallOption, E::Customize, std::nullopt},
        TransitionCase{P::Download, E::Customize, std::nullopt},
        TransitionCase{P::Download, E::InstallStarted, std::nullopt},
        TransitionCase{P::Main, E::SetupEndedNoTheme, std::nullopt},
        TransitionCase{P::Finished, E::ThemeDone, std::nullopt},
        TransitionCase{P::Finished, E::Created, std::nullopt}),
    [](const auto& testCase) {
        return std::string(PageName(testCase.param.from)).substr(8) + "_" + std::to_string(int(testCase.param.event));
    });

TEST(PageFlow, StartsOnTheMainPageOnlyOnce) {
    TPageFlow flow;
    std::string unexpected;
    flow.OnUnexpected = [&](const std::string& what) { unexpected = what; };
    EXPECT_FALSE(flow.Apply(E::Customize));  // nothing before the window exists
    EXPECT_TRUE(flow.Apply(E::Created));
    EXPECT_EQ(flow.Active(), P::Main);
    EXPECT_FALSE(flow.Apply(E::Created));
    EXPECT_FALSE(unexpected.empty());
}

TEST(PageFlow, MainButtonAndCloseButtonPerPage) {
    struct Row {
        P page;
        TMainButtonAction main;
        TCloseButtonAction close;
    };
    for (const Row& r : {Row{P::Main, TMainButtonAction::InstallFromMainPage, TCloseButtonAction::CloseWindow},
                         Row{P::InstallOption, TMainButtonAction::InstallFromOptions, TCloseButtonAction::CloseWindow},
                         Row{P::Download, TMainButtonAction::None, TCloseButtonAction::CancelDownload},
                         Row{P::Color, TMainButtonAction::SaveThemeAndFinish, TCloseButtonAction::MainButton},
                         Row{P::Finished, TMainButtonAction::FinishAndExit, TCloseButtonAction::MainButton}}) {
        TPageFlow flow = FlowAt(r.page);
        EXPECT_EQ(flow.MainButtonAction(), r.main) << PageName(r.page);
        EXPECT_EQ(flow.CloseAction(), r.close) << PageName(r.page);
    }
}

}  // namespace
