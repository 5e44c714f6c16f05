// The setup package's Authenticode check (PackageSignature.h) on real files signed at
// build time, and on hostile headers made from them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>

#include "Installer/Downloader/package/PackageSignature.h"
#include "tests/support/SignatureCases.h"
#include "tests/unit/TempDir.h"

namespace {

const std::string kCases = QARTO_SIGNING_CASES;

TSignatureCheck Check(const std::string& file, X509_STORE* roots, const std::vector<std::string>& pins) {
    std::unique_ptr<TLockedPackage> held = HoldFileForReading(file);
    if (!held) {
        ADD_FAILURE() << "cannot open " << file;
        return {};
    }
    return CheckPackageSignature(*held, roots, pins);
}

class PackageSignature : public ::testing::TestWithParam<TSignatureCase> {};

TEST_P(PackageSignature, AcceptsOnlyAnIntactSignatureOfAPinnedPublisher) {
    const TSignatureCase& c = GetParam();
    const TTrustedRoots roots = TrustedRootsFromFile(kCases + "/test-ca.pem");
    ASSERT_TRUE(roots);
    const TSignatureCheck check = Check(kCases + "/" + c.file, roots.get(), SignatureCasePins(kCases, c.pins));
    if (!c.refusal) {
        EXPECT_TRUE(check.accepted) << check.reason;
        EXPECT_EQ(check.reason, "");
    } else {
        EXPECT_FALSE(check.accepted);
        EXPECT_NE(check.reason.find(c.refusal), std::string::npos) << check.reason;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, PackageSignature, ::testing::ValuesIn(SignatureCases()),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

// The pinned signer's intact file, when its authority is not among the roots.
TEST(PackageSignatureRoots, APinnedSignerOutsideTheTrustedRootsIsRefused) {
    const std::vector<std::string> pins = SignatureCasePins(kCases, {"test-signer"});
    const TTrustedRoots none = SystemTrustedRoots();  // the host's: empty
    const TSignatureCheck check = Check(kCases + "/signed.exe", none.get(), pins);
    EXPECT_FALSE(check.accepted);
    EXPECT_NE(check.reason.find("not trusted"), std::string::npos) << check.reason;
    EXPECT_EQ(check.signerSha256, pins[0]) << "the signature itself verified";
    EXPECT_FALSE(Check(kCases + "/signed.exe", nullptr, pins).accepted);
}

// Headers that point outside the file or overlap the signature, made from the signed
// file; each is refused by the layout's own rule, before any digest.
TEST(PackageSignatureLayout, HostileHeadersAreRefusedByTheirRule) {
    std::ifstream in(kCases + "/signed.exe", std::ios::binary);
    const std::string signed_((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(signed_.size(), 0x2200u);
    auto put32 = [](std::string& s, size_t at, std::uint32_t v) { std::memcpy(&s[at], &v, 4); };
    const size_t optional = 0x40 + 24, directoryCount = optional + 92, section = optional + 224;
    struct Case {
        const char* name;
        std::function<void(std::string&)> change;
        const char* reason;
    } cases[] = {
        {"PeHeaderPastTheEnd", [&](std::string& s) { put32(s, 0x3c, 0xfffffff0u); }, "ends inside its headers"},
        {"NoSecurityDirectory", [&](std::string& s) { put32(s, directoryCount, 4); }, "no certificate table entry"},
        {"SectionIntoTheTable", [&](std::string& s) { put32(s, section + 16, 0x2400); }, "reaches into the certificate"},
        {"TableAmongTheHeaders", [&](std::string& s) { put32(s, optional + 60, 0x2400); }, "a table after the headers"},
        {"TooManySections", [&](std::string& s) { s[0x40 + 6] = '\x7f'; }, "section count"},
        {"NotAProgram", [&](std::string& s) { s[0] = 'X'; }, "no MZ header"},
    };
    TempDir dir;
    const TTrustedRoots roots = TrustedRootsFromFile(kCases + "/test-ca.pem");
    for (const Case& c : cases) {
        std::string bytes = signed_;
        c.change(bytes);
        const std::string file = (dir.path() / (std::string(c.name) + ".exe")).string();
        std::ofstream(file, std::ios::binary) << bytes;
        const TSignatureCheck check = Check(file, roots.get(), SignatureCasePins(kCases, {"test-signer"}));
        EXPECT_FALSE(check.accepted) << c.name;
        EXPECT_NE(check.reason.find(c.reason), std::string::npos) << c.name << ": " << check.reason;
    }
}

}  // namespace
