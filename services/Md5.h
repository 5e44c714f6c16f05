#pragma once
// MD5 over bytes, fed in pieces. The server names files and request parts by their
// MD5, and the download manager checks big files block by block, so the running
// digest can be read at any point without ending it.
//
// Blocking, CPU only. One object belongs to one thread at a time; separate objects
// are independent. Movable, not copyable; a moved-from object may only be assigned
// to or destroyed.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

struct evp_md_ctx_st;  // OpenSSL's EVP_MD_CTX; its headers stay out of this one

class TMd5 {
public:
    using TDigest = std::array<std::uint8_t, 16>;

    // Throws std::bad_alloc when OpenSSL cannot set up a digest context.
    TMd5();
    ~TMd5();
    TMd5(TMd5&&) noexcept;
    TMd5& operator=(TMd5&&) noexcept;
    TMd5(const TMd5&) = delete;
    TMd5& operator=(const TMd5&) = delete;

    void Update(std::span<const std::uint8_t> bytes);
    // The bytes of the text as they are (no code-page conversion).
    void Update(std::string_view bytes);

    // The digest of everything fed since construction or the last Reset(); feeding
    // may go on afterwards.
    TDigest Digest() const;
    // Digest() as 32 lower-case hex digits.
    std::string HexDigest() const;

    // Starts over as if newly constructed.
    void Reset();

private:
    struct TContextFree {
        void operator()(evp_md_ctx_st* ctx) const noexcept;
    };
    std::unique_ptr<evp_md_ctx_st, TContextFree> FContext;
};
