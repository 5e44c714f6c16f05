#include "Installer/Downloader/package/PackageSignature.h"
#include "public/rdcontrol/base/HexText.h"

#include <openssl/asn1.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

#include "Installer/Downloader/package/PeSignatureLayout.h"

namespace {

constexpr char kSpcIndirectData[] = "1.3.6.1.4.1.311.2.1.4";
constexpr char kSpcPeImageData[] = "1.3.6.1.4.1.311.2.1.15";
constexpr char kSpcNestedSignature[] = "1.3.6.1.4.1.311.2.4.1";
constexpr std::uint16_t kCertRevision2 = 0x0200, kCertTypePkcsSignedData = 0x0002;

struct TPkcs7Free {
    void operator()(PKCS7* p) const { PKCS7_free(p); }
};
struct TSigFree {
    void operator()(X509_SIG* p) const { X509_SIG_free(p); }
};
struct TBioFree {
    void operator()(BIO* p) const { BIO_free(p); }
};
struct TCtxFree {
    void operator()(X509_STORE_CTX* p) const { X509_STORE_CTX_free(p); }
};
struct TMdCtxFree {
    void operator()(EVP_MD_CTX* p) const { EVP_MD_CTX_free(p); }
};

std::string Oid(const ASN1_OBJECT* object) {
    char text[80];
    const int n = OBJ_obj2txt(text, sizeof text, object, 1);
    return n > 0 && n < static_cast<int>(sizeof text) ? std::string(text, static_cast<std::size_t>(n)) : std::string();
}

std::string Hex(const unsigned char* bytes, std::size_t size) { return LowerHex(bytes, size); }

// One DER element of definite length inside [p, end); p moves past it.
struct TDerElement {
    const unsigned char* start = nullptr;  // its tag
    const unsigned char* content = nullptr;
    long length = 0;
    int tag = 0;
};
bool NextElement(const unsigned char*& p, const unsigned char* end, TDerElement& out) {
    if (p >= end) return false;
    const unsigned char* q = p;
    long length = 0;
    int tag = 0, cls = 0;
    const int flags = ASN1_get_object(&q, &length, &tag, &cls, end - p);
    if ((flags & 0x80) || (flags & 0x01) || cls != V_ASN1_UNIVERSAL || length > end - q) return false;
    out = {p, q, length, tag};
    p = q + length;
    return true;
}

// The SpcIndirectDataContent (its content octets, without the outer SEQUENCE header):
// a PE image's data, then the DigestInfo of the file. Returns the digest's algorithm
// and bytes, or the reason it is not one.
struct TIndirectDigest {
    int algorithm = NID_undef;
    std::string digest;
};
std::optional<TIndirectDigest> ReadIndirectData(const unsigned char* p, const unsigned char* end, std::string& reason) {
    TDerElement data, digestInfo;
    if (!NextElement(p, end, data) || data.tag != V_ASN1_SEQUENCE || !NextElement(p, end, digestInfo) ||
        digestInfo.tag != V_ASN1_SEQUENCE || p != end) {
        reason = "its signed content is not an indirect data content";
        return std::nullopt;
    }
    const unsigned char* inner = data.content;
    TDerElement type;
    ASN1_OBJECT* object = nullptr;
    const unsigned char* objectBytes = inner;
    if (NextElement(inner, data.content + data.length, type) && type.tag == V_ASN1_OBJECT)
        object = d2i_ASN1_OBJECT(nullptr, &objectBytes, inner - type.start);
    const std::string kind = object ? Oid(object) : std::string();
    ASN1_OBJECT_free(object);
    if (kind != kSpcPeImageData) {
        reason = "its signed content is not about a PE image";
        return std::nullopt;
    }
    const unsigned char* sigBytes = digestInfo.start;
    std::unique_ptr<X509_SIG, TSigFree> sig(d2i_X509_SIG(nullptr, &sigBytes, end - digestInfo.start));
    if (!sig || sigBytes != end) {
        reason = "its signed content has no digest";
        return std::nullopt;
    }
    const X509_ALGOR* algorithm = nullptr;
    const ASN1_OCTET_STRING* digest = nullptr;
    X509_SIG_get0(sig.get(), &algorithm, &digest);
    const ASN1_OBJECT* algorithmObject = nullptr;
    X509_ALGOR_get0(&algorithmObject, nullptr, nullptr, algorithm);
    return TIndirectDigest{OBJ_obj2nid(algorithmObject),
                           std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(digest)),
                                       static_cast<std::size_t>(ASN1_STRING_length(digest)))};
}

// SHA-256 over the file but its CheckSum, certificate table entry and table.
std::optional<std::string> AuthenticodeDigest(TLockedPackage& package, const TPeSignatureLayout& layout) {
    std::unique_ptr<EVP_MD_CTX, TMdCtxFree> md(EVP_MD_CTX_new());
    if (!md || EVP_DigestInit_ex(md.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
    const std::uint64_t end = layout.tableSize ? layout.tableOffset : layout.fileSize;
    const std::pair<std::uint64_t, std::uint64_t> ranges[] = {
        {0, layout.checksumOffset},
        {layout.checksumOffset + 4, layout.certEntryOffset},
        {layout.certEntryOffset + 8, end},
    };
    std::vector<unsigned char> block(1 << 20);
    for (auto [from, to] : ranges) {
        while (from < to) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(to - from, block.size()));
            if (!package.ReadAt(from, block.data(), n) || EVP_DigestUpdate(md.get(), block.data(), n) != 1)
                return std::nullopt;
            from += n;
        }
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(md.get(), digest, &size) != 1) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(digest), size);
}

TSignatureCheck Refuse(std::string reason) {
    TSignatureCheck check;
    check.reason = std::move(reason);
    return check;
}

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

TSignatureCheck CheckPackageSignature(TLockedPackage& package, X509_STORE* roots,
                                      const std::vector<std::string>& pins) {
    const std::optional<std::uint64_t> size = package.Size();
    if (!size) return Refuse("it cannot be read");
    std::string error;
    const TReadAt read = [&package](std::uint64_t offset, void* buffer, std::size_t n) {
        return package.ReadAt(offset, buffer, n);
    };
    const std::optional<TPeSignatureLayout> layout = ReadPeSignatureLayout(read, *size, error);
    if (!layout) return Refuse("not a signed program: " + error);
    if (layout->tableSize == 0) return Refuse("it is not signed");
    if (layout->tableSize > kMaxCertificateTableBytes)
        return Refuse("its certificate table has " + std::to_string(layout->tableSize) + " bytes, more than 1 MiB");

    // One WIN_CERTIFICATE, padded to 8 bytes, fills the table: a second entry (another
    // signature beside the first) is refused, as is anything after the PKCS#7 data.
    std::vector<unsigned char> table(static_cast<std::size_t>(layout->tableSize));
    if (!package.ReadAt(layout->tableOffset, table.data(), table.size())) return Refuse("it cannot be read");
    if (table.size() < 8) return Refuse("its certificate table is too short");
    const std::uint32_t length = Le32(table.data());
    const std::uint16_t revision = static_cast<std::uint16_t>(table[4] | table[5] << 8);
    const std::uint16_t type = static_cast<std::uint16_t>(table[6] | table[7] << 8);
    if (revision != kCertRevision2 || type != kCertTypePkcsSignedData)
        return Refuse("its certificate entry is not a PKCS#7 signature of revision 2.0");
    if (length <= 8 || length > table.size()) return Refuse("its certificate entry runs past the table");
    if ((std::uint64_t{length} + 7) / 8 * 8 != table.size())
        return Refuse("its certificate table holds more than one entry");
    const unsigned char* der = table.data() + 8;
    std::unique_ptr<PKCS7, TPkcs7Free> p7(d2i_PKCS7(nullptr, &der, static_cast<long>(length - 8)));
    if (!p7) return Refuse("its signature is not PKCS#7 data");
    const std::size_t rest = static_cast<std::size_t>(table.data() + table.size() - der);
    if (rest >= 8 || std::any_of(der, der + rest, [](unsigned char b) { return b != 0; }))
        return Refuse("its certificate entry has data after the signature");

    if (!PKCS7_type_is_signed(p7.get()) || !p7->d.sign || !p7->d.sign->contents ||
        Oid(p7->d.sign->contents->type) != kSpcIndirectData || !p7->d.sign->contents->d.other ||
        p7->d.sign->contents->d.other->type != V_ASN1_SEQUENCE)
        return Refuse("its signature is not an Authenticode signature");
    STACK_OF(PKCS7_SIGNER_INFO)* signerInfos = PKCS7_get_signer_info(p7.get());
    if (sk_PKCS7_SIGNER_INFO_num(signerInfos) != 1) return Refuse("its signature does not have exactly one signer");
    PKCS7_SIGNER_INFO* signerInfo = sk_PKCS7_SIGNER_INFO_value(signerInfos, 0);
    for (int i = 0; i < sk_X509_ATTRIBUTE_num(signerInfo->unauth_attr); ++i) {
        if (Oid(X509_ATTRIBUTE_get0_object(sk_X509_ATTRIBUTE_value(signerInfo->unauth_attr, i))) ==
            kSpcNestedSignature)
            return Refuse("it carries a second, nested signature");
    }
    X509_ALGOR* signerDigest = nullptr;
    PKCS7_SIGNER_INFO_get0_algs(signerInfo, nullptr, &signerDigest, nullptr);
    const ASN1_OBJECT* signerDigestObject = nullptr;
    X509_ALGOR_get0(&signerDigestObject, nullptr, nullptr, signerDigest);
    if (OBJ_obj2nid(signerDigestObject) != NID_sha256) return Refuse("its signature is not made with SHA-256");
    // The SignedData's own list of digests, which PKCS7_verify computes: SHA-256 alone
    // (OpenSSL 3.0 leaks its copy of the content when one is unknown to it).
    STACK_OF(X509_ALGOR)* digests = p7->d.sign->md_algs;
    for (int i = 0; i < sk_X509_ALGOR_num(digests); ++i) {
        const ASN1_OBJECT* digest = nullptr;
        X509_ALGOR_get0(&digest, nullptr, nullptr, sk_X509_ALGOR_value(digests, i));
        if (OBJ_obj2nid(digest) != NID_sha256) return Refuse("its signature is not made with SHA-256");
    }

    // The content the signature covers: the SpcIndirectDataContent's octets after its
    // SEQUENCE header (as Authenticode hashes them).
    const ASN1_STRING* sequence = p7->d.sign->contents->d.other->value.sequence;
    const unsigned char* contentStart = ASN1_STRING_get0_data(sequence);
    const unsigned char* contentEnd = contentStart + ASN1_STRING_length(sequence);
    TDerElement outer;
    const unsigned char* cursor = contentStart;
    if (!NextElement(cursor, contentEnd, outer) || outer.tag != V_ASN1_SEQUENCE || cursor != contentEnd)
        return Refuse("its signed content is not an indirect data content");
    std::string reason;
    const std::optional<TIndirectDigest> named = ReadIndirectData(outer.content, contentEnd, reason);
    if (!named) return Refuse(reason);
    if (named->algorithm != NID_sha256) return Refuse("its signed digest is not SHA-256");
    const std::optional<std::string> actual = AuthenticodeDigest(package, *layout);
    if (!actual) return Refuse("it cannot be read");
    if (actual->size() != named->digest.size() ||
        CRYPTO_memcmp(actual->data(), named->digest.data(), actual->size()) != 0)
        return Refuse("its bytes do not match the signed digest");

    std::unique_ptr<BIO, TBioFree> signedContent(
        BIO_new_mem_buf(outer.content, static_cast<int>(contentEnd - outer.content)));
    if (!signedContent || PKCS7_verify(p7.get(), nullptr, nullptr, signedContent.get(), nullptr, PKCS7_NOVERIFY) != 1)
        return Refuse("its signature does not verify");
    STACK_OF(X509)* signers = PKCS7_get0_signers(p7.get(), nullptr, 0);
    X509* signer = sk_X509_num(signers) == 1 ? sk_X509_value(signers, 0) : nullptr;
    sk_X509_free(signers);
    if (!signer) return Refuse("its signer certificate is missing");

    unsigned char fingerprint[EVP_MAX_MD_SIZE];
    unsigned int fingerprintSize = 0;
    if (X509_digest(signer, EVP_sha256(), fingerprint, &fingerprintSize) != 1) return Refuse("its signer is unreadable");
    TSignatureCheck check;
    check.signerSha256 = Hex(fingerprint, fingerprintSize);

    // The chain: to one of the roots, every certificate valid now. Any purpose for
    // the chain (OpenSSL 3.0 has no code-signing purpose); the signer itself must be
    // for code signing.
    if (!roots) {
        check.reason = "no trusted roots to check its signer against";
        return check;
    }
    std::unique_ptr<X509_STORE_CTX, TCtxFree> chain(X509_STORE_CTX_new());
    if (!chain || X509_STORE_CTX_init(chain.get(), roots, signer, p7->d.sign->cert) != 1 ||
        X509_STORE_CTX_set_purpose(chain.get(), X509_PURPOSE_ANY) != 1) {
        check.reason = "its signer cannot be checked";
        return check;
    }
    if (X509_verify_cert(chain.get()) != 1) {
        check.reason = std::string("its signer is not trusted: ") +
                       X509_verify_cert_error_string(X509_STORE_CTX_get_error(chain.get()));
        return check;
    }
    if (!(X509_get_extension_flags(signer) & EXFLAG_XKUSAGE) || !(X509_get_extended_key_usage(signer) & XKU_CODE_SIGN) ||
        !(X509_get_key_usage(signer) & KU_DIGITAL_SIGNATURE)) {
        check.reason = "its signer certificate is not for code signing";
        return check;
    }
    if (std::find(pins.begin(), pins.end(), check.signerSha256) == pins.end()) {
        check.reason = "signed by " + check.signerSha256 + ", not the pinned publisher";
        return check;
    }
    check.accepted = true;
    return check;
}
