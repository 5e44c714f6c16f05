// The one rule that decides whether the elevated installer may trust a folder or a
// file, on security descriptors made up as data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Installer/Downloader/flow/FolderTrust.h"
#include "tests/unit/installer/FakeFolderSecurity.h"

namespace {

struct VerdictCase {
    std::string name;
    TObjectSecurity security;
    bool trusted;
    std::string reason;  // a part of the reason
};

TObjectSecurity With(TObjectSecurity s, const std::vector<TAce>& extra) {
    s.aces.insert(s.aces.end(), extra.begin(), extra.end());
    return s;
}

TObjectSecurity OwnedBy(const std::string& sid) {
    TObjectSecurity s = AdminsOnly();
    s.owner = sid;
    return s;
}

// A child of the program-files folder as Windows makes it.
TObjectSecurity ProgramFilesChild() {
    TObjectSecurity s = AdminsOnly();
    s.owner = kSidTrustedInstaller;
    s.aces = {Allow(kSidTrustedInstaller, kFullAccess, kInherit), Allow(kSidSystem, kFullAccess, kInherit),
              Allow(kSidAdministrators, kFullAccess, kInherit), Allow(kSidUsers, kReadExecute, kInherit),
              Allow(kSidCreatorOwner, kAccessGenericAll, kInherit | kAceInheritOnly),
              Allow("S-1-15-2-1", kReadExecute, kInherit)};
    return s;
}

std::vector<VerdictCase> Cases() {
    std::vector<VerdictCase> cases = {
        {"AdministratorsOwnFolder", AdminsOnly(), true, "trusted"},
        {"AdministratorsOwnFile", AdminsOnly(false), true, "trusted"},
        {"SystemOwns", OwnedBy(kSidSystem), true, "trusted"},
        {"TrustedInstallerOwns", OwnedBy(kSidTrustedInstaller), true, "trusted"},
        {"ProgramFilesChild", ProgramFilesChild(), true, "trusted"},
        {"UserOwns", OwnedBy(kSomeUser), false, "owner " + kSomeUser},
        {"UsersGroupOwns", OwnedBy(kSidUsers), false, "owner S-1-5-32-545"},
        {"OwnerUnreadable", OwnedBy(""), false, "owner unknown"},
        {"Missing", TObjectSecurity{}, false, "missing"},
        {"ReparsePoint", [] { auto s = AdminsOnly(); s.reparsePoint = true; return s; }(), false, "reparse point"},
        {"SecurityUnreadable", [] { auto s = AdminsOnly(); s.readable = false; return s; }(), false, "unreadable"},
        {"NullDacl", [] { auto s = AdminsOnly(); s.nullDacl = true; s.aces.clear(); return s; }(), false,
         "null DACL"},
        {"UsersReadAndExecute", With(AdminsOnly(), {Allow(kSidUsers, kReadExecute, kInherit)}), true, "trusted"},
        {"EveryoneDeniedAll", With(AdminsOnly(), {Deny(kSidEveryone, kFullAccess)}), true, "trusted"},
        // A deny entry is not credited, even where it covers the same trustee first.
        {"DenyBeforeAllowForUsers",
         With(AdminsOnly(), {Deny(kSidUsers, kAccessWriteData), Allow(kSidUsers, kAccessWriteData)}), false,
         "S-1-5-32-545 may change it (0x00000002)"},
        // Inherit-only: granted to whatever is created in a folder, so it counts
        // there; a file has nothing below it.
        {"InheritOnlyWriteOnFolder",
         With(AdminsOnly(), {Allow(kSidUsers, kAccessWriteData, kAceObjectInherit | kAceInheritOnly)}), false,
         "S-1-5-32-545 may change it"},
        {"InheritOnlyWriteOnFile",
         With(AdminsOnly(false), {Allow(kSidUsers, kAccessWriteData, kAceObjectInherit | kAceInheritOnly)}), true,
         "trusted"},
        {"CreatorOwnerInheritOnly",
         With(AdminsOnly(), {Allow(kSidCreatorOwner, kAccessGenericAll, kInherit | kAceInheritOnly)}), true,
         "trusted"},
        {"EntryOfAnotherType", With(AdminsOnly(), {TAce{TAceKind::Other, "ACE type 5", kFullAccess, 0}}), false,
         "another type"},
    };
    const std::vector<std::pair<std::string, std::string>> others = {
        {"Users", kSidUsers}, {"Everyone", kSidEveryone}, {"AuthenticatedUsers", kSidAuthenticatedUsers},
        {"AUser", kSomeUser}};
    const std::vector<std::pair<std::string, std::uint32_t>> rights = {
        {"WriteData", kAccessWriteData},       {"AppendData", kAccessAppendData},
        {"WriteEa", kAccessWriteEa},           {"WriteAttributes", kAccessWriteAttributes},
        {"Delete", kAccessDelete},             {"DeleteChild", kAccessDeleteChild},
        {"WriteDac", kAccessWriteDac},         {"WriteOwner", kAccessWriteOwner},
        {"GenericWrite", kAccessGenericWrite}, {"GenericAll", kAccessGenericAll},
        {"MaximumAllowed", kAccessMaximumAllowed}};
    for (const auto& [who, sid] : others)
        for (const auto& [right, mask] : rights)
            // Read and execute beside the right, as real grants come.
            cases.push_back({who + "May" + right, With(AdminsOnly(), {Allow(sid, kReadExecute | mask, kInherit)}),
                             false, sid + " may change it"});
    return cases;
}

class Verdict : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(Verdict, JudgesOwnerEntriesAndLinks) {
    const VerdictCase& c = GetParam();
    const TTrustVerdict verdict = JudgeSecurity(c.security);
    EXPECT_EQ(verdict.trusted, c.trusted) << verdict.reason;
    EXPECT_NE(verdict.reason.find(c.reason), std::string::npos) << verdict.reason;
}

INSTANTIATE_TEST_SUITE_P(FolderTrust, Verdict, ::testing::ValuesIn(Cases()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
