#pragma once
// The setup package's Authenticode signature, checked with OpenSSL on every platform:
//  - the PE file's certificate table (PeSignatureLayout.h) holds exactly one
//    WIN_CERTIFICATE (revision 2.0, PKCS#7 SignedData) and nothing after its
//    signature but the zero bytes that pad it to 8;
//  - the SignedData has one signer, no nested second signature, SHA-256 as its digest
//    and, as content, a SpcIndirectDataContent for a PE image whose SHA-256 digest is
//    the file's Authenticode digest (every byte but the CheckSum, the table's
//    directory entry and the table);
//  - the signature verifies, its signer certificate chains to one of `roots` (valid
//    now, every certificate on the chain; no timestamps are taken) and may sign code;
//  - the signer certificate's SHA-256 is one of `pins`.
// Reads the package through the held handle in pieces (blocking: a few hundred MiB
// take a second or two); the certificate table is read whole, up to 1 MiB.
#include <string>
#include <vector>

#include "Installer/Downloader/package/LockedPackage.h"
#include "Installer/Downloader/package/TrustedRoots.h"

// Bounds the certificate table read into memory; a real one holds a few KiB.
inline constexpr unsigned kMaxCertificateTableBytes = 1u << 20;

struct TSignatureCheck {
    bool accepted = false;
    // Why not (for the trace line), when not accepted.
    std::string reason;
    // The signer certificate's SHA-256, lowercase hex, once the signature verified.
    std::string signerSha256;
};

// `pins`: lowercase hex SHA-256 fingerprints of the certificates allowed to sign.
TSignatureCheck CheckPackageSignature(TLockedPackage& package, X509_STORE* roots, const std::vector<std::string>& pins);
