// The servers' addresses: built in, overridden per role from the registry (default
// view only), and only by well-formed values. The test hooks' consent in the same key.
#include "services/Deployment.h"
#include "services/TestHooks.h"

#include <gtest/gtest.h>

#include "tests/unit/FakeOs.h"

namespace {

TEST(Deployment, RegistryOverridesSingleRoles) {
    FakeRegistry registry;
    registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine, kDeploymentOverrideKey, "ApiHost"}] =
        " HTTP://127.0.0.1:8080/ ";
    registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine, kDeploymentOverrideKey, "StatsHost"}] =
        "https://localhost:8443";
    registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine, kDeploymentOverrideKey, "WebHost"}] = "";
    registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine, kDeploymentOverrideKey, "UpdateHost"}] =
        "ftp://evil.example";
    // Another view is another registry: a 64-bit program's key does not redirect us.
    registry.viewValues[{RegistryView::Bits64, RegistryRoot::LocalMachine, kDeploymentOverrideKey, "DownloadHost"}] =
        "http://127.0.0.1:1";
    const TDeployment deployment(registry);
    EXPECT_EQ(deployment.Host(TServerRole::Api), "http://127.0.0.1:8080");
    EXPECT_EQ(deployment.Host(TServerRole::Stats), "https://localhost:8443");
    for (TServerRole role : {TServerRole::Web, TServerRole::Update, TServerRole::Download, TServerRole::Regional,
                             TServerRole::Redirect})
        EXPECT_EQ(deployment.Host(role), TDeployment::BuiltIn(role)) << TDeployment::ValueName(role);
}

// A release build: the servers that decide what runs are https only, overridden or not.
TEST(Deployment, ReleaseBuildRefusesHttpForTheServersThatDecideWhatRuns) {
    FakeRegistry registry;
    for (int i = 0; i < kServerRoleCount; ++i)
        registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine, kDeploymentOverrideKey,
                             std::string(TDeployment::ValueName(static_cast<TServerRole>(i)))}] =
            "http://127.0.0.1:8080";
    const TDeployment release(registry, TSchemePolicy::HttpsOnly);
    const TDeployment test(registry, TSchemePolicy::AllowHttp);
    for (int i = 0; i < kServerRoleCount; ++i) {
        const auto role = static_cast<TServerRole>(i);
        EXPECT_EQ(test.Host(role), "http://127.0.0.1:8080") << TDeployment::ValueName(role);
        EXPECT_EQ(release.Host(role), DecidesWhatRuns(role) ? std::string(TDeployment::BuiltIn(role))
                                                            : std::string("http://127.0.0.1:8080"))
            << TDeployment::ValueName(role);
    }
    TDeployment https(registry, TSchemePolicy::HttpsOnly);
    EXPECT_TRUE(https.Override(TServerRole::Download, "https://127.0.0.1:8443"));
    EXPECT_EQ(https.Host(TServerRole::Download), "https://127.0.0.1:8443");

    EXPECT_TRUE(PackageUrlAllowed("HTTPS://dl.example/p.exe", TSchemePolicy::HttpsOnly));
    EXPECT_FALSE(PackageUrlAllowed("http://dl.example/p.exe", TSchemePolicy::HttpsOnly));
    EXPECT_TRUE(PackageUrlAllowed("http://dl.example/p.exe", TSchemePolicy::AllowHttp));
}

TEST(Deployment, BuiltInAddressesAreWellFormedAndNamed) {
    const char* names[] = {"UpdateHost", "RegionalHost", "DownloadHost", "ApiHost", "StatsHost", "RedirectHost",
                           "WebHost"};
    for (int i = 0; i < kServerRoleCount; ++i) {
        const auto role = static_cast<TServerRole>(i);
        EXPECT_EQ(TDeployment::ValueName(role), names[i]);
        EXPECT_EQ(TDeployment::ParseAddress(TDeployment::BuiltIn(role)), std::string(TDeployment::BuiltIn(role)));
    }
}

TEST(Deployment, AddressesAreSchemeHostAndPortOnly) {
    struct Case {
        const char* text;
        std::optional<std::string> address;
    } cases[] = {{"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
                 {"https://localhost:8443/", "https://localhost:8443"},
                 {"HTTPS://Api.Example.com", "https://Api.Example.com"},
                 {"http://[::1]:8080", "http://[::1]:8080"},
                 {"http://[::1]", "http://[::1]"},
                 {"http://host:0", std::nullopt},
                 {"http://host:65536", std::nullopt},
                 {"http://host:80x", std::nullopt},
                 {"http://host/path", std::nullopt},
                 {"http://user@host", std::nullopt},
                 {"http://", std::nullopt},
                 {"127.0.0.1:8080", std::nullopt},
                 {"file:///etc/passwd", std::nullopt},
                 {"http://a b", std::nullopt}};
    for (const Case& c : cases) EXPECT_EQ(TDeployment::ParseAddress(c.text), c.address) << c.text;

    FakeRegistry registry;
    TDeployment deployment(registry);
    EXPECT_FALSE(deployment.Override(TServerRole::Api, "nonsense"));
    EXPECT_EQ(deployment.Host(TServerRole::Api), TDeployment::BuiltIn(TServerRole::Api));
    EXPECT_TRUE(deployment.Override(TServerRole::Api, "http://127.0.0.1:9"));
    EXPECT_EQ(deployment.Host(TServerRole::Api), "http://127.0.0.1:9");
}

// Only the administrators' key in the 32-bit view, with exactly "1", allows the test
// hooks: HKCU and the 64-bit view are writable or visible to others.
TEST(TestHooks, OnlyTheAdministratorsValueOfOneAllowsThem) {
    struct Case {
        const char* name;
        RegistryView view;
        RegistryRoot root;
        std::optional<std::string> value;
        bool enabled;
    } cases[] = {
        {"absent", RegistryView::Bits32, RegistryRoot::LocalMachine, std::nullopt, false},
        {"one", RegistryView::Bits32, RegistryRoot::LocalMachine, "1", true},
        {"zero", RegistryView::Bits32, RegistryRoot::LocalMachine, "0", false},
        {"padded", RegistryView::Bits32, RegistryRoot::LocalMachine, " 1", false},
        {"empty", RegistryView::Bits32, RegistryRoot::LocalMachine, "", false},
        {"64-bit view only", RegistryView::Bits64, RegistryRoot::LocalMachine, "1", false},
        {"the user's own key", RegistryView::Bits32, RegistryRoot::CurrentUser, "1", false},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        if (c.value) registry.viewValues[{c.view, c.root, kDeploymentOverrideKey, "TestHooks"}] = *c.value;
        EXPECT_EQ(TestHooksEnabled(registry), c.enabled) << c.name;
    }
}

}  // namespace
