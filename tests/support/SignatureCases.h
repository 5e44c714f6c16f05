#pragma once
// The setup package's signature check as a table of real files, made at build time by
// tools/signing/make-signed-cases.py (osslsigncode and the test publishers of
// tools/signing/). Shared by the host test (the test authority from its file) and the
// Windows test (the prefix's system store, which trusts the test authority).
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

struct TSignatureCase {
    const char* name;
    const char* file;
    // The pinned signers, by name: test-signer, other-publisher, expired-signer,
    // self-signed.
    std::vector<std::string> pins;
    // nullptr: accepted; else a part of the refusal's reason.
    const char* refusal;
};

// GoogleTest names a case by its name, not its bytes.
inline void PrintTo(const TSignatureCase& c, std::ostream* out) { *out << c.name; }

inline const std::vector<TSignatureCase>& SignatureCases() {
    static const std::vector<TSignatureCase> cases = {
        {"PinnedSigner", "signed.exe", {"test-signer"}, nullptr},
        {"PinnedSignerPe32Plus", "signed64.exe", {"test-signer"}, nullptr},
        // Certificate roll-over: two pins, and either signer runs.
        {"RollOverOldSigner", "signed.exe", {"other-publisher", "test-signer"}, nullptr},
        {"RollOverNewSigner", "other-publisher.exe", {"test-signer", "other-publisher"}, nullptr},
        {"Unsigned", "unsigned.exe", {"test-signer"}, "it is not signed"},
        {"OtherPublisherUnderTheSameAuthority", "other-publisher.exe", {"test-signer"}, "not the pinned publisher"},
        // Pinned, but expired: no timestamp can vouch for when it was signed.
        {"ExpiredSigner", "expired-signer.exe", {"expired-signer"}, "certificate has expired"},
        // Pinned, but under no trusted authority.
        {"SelfSignedSigner", "self-signed.exe", {"self-signed"}, "not trusted"},
        {"Sha1", "sha1.exe", {"test-signer"}, "not made with SHA-256"},
        {"ByteChangedInTheBody", "body-changed.exe", {"test-signer"}, "do not match the signed digest"},
        {"ByteChangedInTheSignature", "blob-changed.exe", {"test-signer"}, "does not verify"},
        {"NestedSecondSignature", "nested.exe", {"test-signer"}, "nested"},
        {"SecondCertificateEntry", "second-entry.exe", {"test-signer"}, "more than one entry"},
        {"DataAfterTheTable", "trailing-data.exe", {"test-signer"}, "bytes after the certificate table"},
        {"TableCutShort", "truncated.exe", {"test-signer"}, "cut short"},
    };
    return cases;
}

// The fingerprints of the named signers, as make-signed-cases.py wrote them.
inline std::vector<std::string> SignatureCasePins(const std::string& dir, const std::vector<std::string>& signers) {
    std::vector<std::string> pins;
    for (const std::string& signer : signers) {
        std::ifstream in(dir + "/" + signer + ".sha256");
        std::string pin;
        in >> pin;
        pins.push_back(pin);
    }
    return pins;
}
