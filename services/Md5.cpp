#include "services/Md5.h"
#include "public/rdcontrol/base/HexText.h"

#include <new>

#include <openssl/evp.h>

namespace {

void StartMd5(EVP_MD_CTX* ctx) {
    if (EVP_DigestInit_ex(ctx, EVP_md5(), nullptr) != 1) throw std::bad_alloc();
}

}  // namespace

void TMd5::TContextFree::operator()(evp_md_ctx_st* ctx) const noexcept { EVP_MD_CTX_free(ctx); }

TMd5::TMd5() : FContext(EVP_MD_CTX_new()) {
    if (!FContext) throw std::bad_alloc();
    StartMd5(FContext.get());
}

TMd5::~TMd5() = default;
TMd5::TMd5(TMd5&&) noexcept = default;
TMd5& TMd5::operator=(TMd5&&) noexcept = default;

void TMd5::Update(std::span<const std::uint8_t> bytes) {
    // EVP_DigestUpdate cannot fail for MD5 once the context is set up.
    EVP_DigestUpdate(FContext.get(), bytes.data(), bytes.size());
}

void TMd5::Update(std::string_view bytes) {
    EVP_DigestUpdate(FContext.get(), bytes.data(), bytes.size());
}

TMd5::TDigest TMd5::Digest() const {
    // Finish a copy so the running digest can be fed further.
    std::unique_ptr<EVP_MD_CTX, TContextFree> copy(EVP_MD_CTX_new());
    if (!copy || EVP_MD_CTX_copy_ex(copy.get(), FContext.get()) != 1) throw std::bad_alloc();
    TDigest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(copy.get(), digest.data(), &length);
    return digest;
}

std::string TMd5::HexDigest() const {
    const auto digest = Digest();
    return LowerHex(digest.data(), digest.size());
}

void TMd5::Reset() { StartMd5(FContext.get()); }
