// The setup package's signature check as Setup.exe makes it on Windows: the roots are
// the machine's root store (TrustedRoots_win.cpp) of the test prefix, which trusts the
// test publisher's authority (the ctest fixture runs tools/signing/trust-test-ca.sh),
// and the files are the host test's table (tests/support/SignatureCases.h).
// Beside it, what Wine's WinVerifyTrust makes of the same files: the product does not
// use it (docs/security.md says why), and this test keeps that finding current.
#include <windows.h>
#include <softpub.h>
#include <wintrust.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Installer/Downloader/package/PackageSignature.h"
#include "os/TextConvert.h"
#include "tests/support/SignatureCases.h"

namespace {

const std::string kCases = QARTO_SIGNING_CASES;

class PackageSignatureWin : public ::testing::TestWithParam<TSignatureCase> {};

TEST_P(PackageSignatureWin, TheMachineRootStoreDecidesAsTheHostTestsFile) {
    const TSignatureCase& c = GetParam();
    const TTrustedRoots roots = SystemTrustedRoots();
    ASSERT_TRUE(roots);
    std::unique_ptr<TLockedPackage> held = HoldFileForReading(kCases + "/" + c.file);
    ASSERT_TRUE(held) << c.file;
    const TSignatureCheck check = CheckPackageSignature(*held, roots.get(), SignatureCasePins(kCases, c.pins));
    if (!c.refusal) {
        EXPECT_TRUE(check.accepted) << check.reason;
    } else {
        EXPECT_FALSE(check.accepted);
        EXPECT_NE(check.reason.find(c.refusal), std::string::npos) << check.reason;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, PackageSignatureWin, ::testing::ValuesIn(SignatureCases()),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

// WinVerifyTrust with the generic Authenticode policy, no user interface, revocation
// as asked (`revocation`), as Windows checks a signed program.
LONG WinTrust(const std::string& file, DWORD revocation) {
    const std::wstring path = Widen(kCases + "/" + file);
    WINTRUST_FILE_INFO info{};
    info.cbStruct = sizeof info;
    info.pcwszFilePath = path.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = revocation;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &info;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return result;
}

// Wine's WinVerifyTrust hashes the file and checks the signature (an intact file passes,
// an unsigned or changed one does not), which is what this holds; the rest of the
// table it prints. Seen with Wine 8: it also passes the expired and the self-signed
// signer, SHA-1, a nested signature and a second certificate entry.
TEST(WineWinVerifyTrust, VerifiesTheDigestButNotTheRulesThatMatterHere) {
    EXPECT_EQ(WinTrust("signed.exe", WTD_REVOKE_WHOLECHAIN), 0);
    EXPECT_EQ(WinTrust("unsigned.exe", WTD_REVOKE_WHOLECHAIN), TRUST_E_NOSIGNATURE);
    EXPECT_EQ(WinTrust("body-changed.exe", WTD_REVOKE_WHOLECHAIN), TRUST_E_BAD_DIGEST);
    for (const TSignatureCase& c : SignatureCases()) {
        std::printf("WinVerifyTrust %-22s 0x%08lx (ours: %s)\n", c.file,
                    static_cast<unsigned long>(WinTrust(c.file, WTD_REVOKE_WHOLECHAIN)),
                    c.refusal ? "refused" : "accepted");
    }
}

}  // namespace
