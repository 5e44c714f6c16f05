#include "services/DataFileCipher.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <istream>
#include <memory>
#include <ostream>
#include <stdexcept>

#include <openssl/evp.h>

namespace {

// Used as the 32 bytes of its characters, exactly as written.
constexpr char kKeyText[] = "_K7R3W9q2m0x5j11_aHtC4_93d58_Z6=";
static_assert(sizeof kKeyText - 1 == 32, "AES-256 takes a 32-byte key");
constexpr std::uint8_t kMask = 0x3D;
constexpr size_t kBlock = 16;
// Full blocks go to OpenSSL this many bytes at a time: small enough that the mask
// pass finds them still in cache, large enough that the per-call cost vanishes.
// The chaining value carries over between calls inside the cipher context.
constexpr size_t kPiece = 64 * 1024;
static_assert(kPiece % kBlock == 0);

using TBlock = std::array<std::uint8_t, kBlock>;

struct TCipherCtxFree {
    void operator()(EVP_CIPHER_CTX* ctx) const noexcept { EVP_CIPHER_CTX_free(ctx); }
};
using TCipherCtx = std::unique_ptr<EVP_CIPHER_CTX, TCipherCtxFree>;

[[noreturn]] void CipherFailed() { throw std::runtime_error("AES-256 is not available from OpenSSL"); }

const unsigned char* Key() { return reinterpret_cast<const unsigned char*>(kKeyText); }

TCipherCtx NewCipher(const EVP_CIPHER* cipher, const unsigned char* iv, bool encrypt) {
    TCipherCtx ctx(EVP_CIPHER_CTX_new());
    if (!ctx || EVP_CipherInit_ex(ctx.get(), cipher, nullptr, Key(), iv, encrypt ? 1 : 0) != 1) CipherFailed();
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    return ctx;
}

// Runs `n` bytes (whole blocks, at most kPiece) through the context; `in` may be `out`.
void CipherBlocks(EVP_CIPHER_CTX* ctx, const std::uint8_t* in, std::uint8_t* out, size_t n) {
    int written = 0;
    if (EVP_CipherUpdate(ctx, out, &written, in, static_cast<int>(n)) != 1 || static_cast<size_t>(written) != n) {
        CipherFailed();
    }
}

void XorMask(std::uint8_t* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) bytes[i] ^= kMask;
}

// One pass over a file's bytes in either direction, fed in order. Every call but
// the last must be whole blocks; the last may end in a part-block.
class TDataFilePass {
public:
    explicit TDataFilePass(bool encrypt) : FEncrypt(encrypt) {
        FEcb = NewCipher(EVP_aes_256_ecb(), nullptr, true);
        const TBlock zero{};
        CipherBlocks(FEcb.get(), zero.data(), FChain.data(), kBlock);
        FCbc = NewCipher(EVP_aes_256_cbc(), FChain.data(), encrypt);
    }

    void Run(const std::uint8_t* in, std::uint8_t* out, size_t n) {
        const size_t whole = n - n % kBlock;
        for (size_t at = 0; at < whole; at += kPiece) {
            const size_t len = std::min(kPiece, whole - at);
            if (FEncrypt) EncryptBlocks(in + at, out + at, len);
            else DecryptBlocks(in + at, out + at, len);
        }
        if (whole < n) PartBlock(in + whole, out + whole, n - whole);
    }

private:
    void EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, size_t n) {
        CipherBlocks(FCbc.get(), in, out, n);
        std::memcpy(FChain.data(), out + n - kBlock, kBlock);
        XorMask(out, n);
    }

    void DecryptBlocks(const std::uint8_t* in, std::uint8_t* out, size_t n) {
        for (size_t i = 0; i < n; ++i) out[i] = in[i] ^ kMask;
        // Decrypting in place overwrites the last ciphertext block, which a
        // part-block after it needs.
        std::memcpy(FChain.data(), out + n - kBlock, kBlock);
        CipherBlocks(FCbc.get(), out, out, n);
    }

    // The same in both directions: XOR with the encrypted chaining value and the mask.
    void PartBlock(const std::uint8_t* in, std::uint8_t* out, size_t n) {
        TBlock stream;
        CipherBlocks(FEcb.get(), FChain.data(), stream.data(), kBlock);
        for (size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(in[i] ^ stream[i] ^ kMask);
    }

    bool FEncrypt;
    TBlock FChain{};  // last ciphertext block before the mask; the IV at first
    TCipherCtx FCbc;
    TCipherCtx FEcb;
};

std::vector<std::uint8_t> RunPass(std::span<const std::uint8_t> in, bool encrypt) {
    std::vector<std::uint8_t> out(in.size());
    if (!in.empty()) TDataFilePass(encrypt).Run(in.data(), out.data(), in.size());
    return out;
}

// Streams `in` to its end through a pass into `out`, a buffer at a time.
bool RunPass(std::istream& in, std::ostream& out, bool encrypt) {
    std::unique_ptr<TDataFilePass> pass;  // set up only when there is something to do
    std::vector<std::uint8_t> buffer(4 * kPiece);
    char* const chars = reinterpret_cast<char*>(buffer.data());
    for (;;) {
        // read() only comes back short at the end of the stream, so every buffer but
        // the last holds whole blocks.
        in.read(chars, static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<size_t>(in.gcount());
        if (in.bad()) return false;
        if (got > 0) {
            if (!pass) pass = std::make_unique<TDataFilePass>(encrypt);
            pass->Run(buffer.data(), buffer.data(), got);
            if (!out.write(chars, static_cast<std::streamsize>(got))) return false;
        }
        if (got < buffer.size()) return true;
    }
}

}  // namespace

std::vector<std::uint8_t> EncryptData(std::span<const std::uint8_t> plain) { return RunPass(plain, true); }

std::vector<std::uint8_t> DecryptData(std::span<const std::uint8_t> encrypted) { return RunPass(encrypted, false); }

bool EncryptDataStream(std::istream& plain, std::ostream& out) {
    plain.clear();
    if (!plain.seekg(0)) return false;
    if (out.tellp() != std::ostream::pos_type(-1) && !out.seekp(0, std::ios::end)) return false;
    return RunPass(plain, out, true) && out.flush();
}

bool DecryptDataStream(std::istream& encrypted, std::iostream& out) {
    if (!RunPass(encrypted, out, false) || !out.flush()) return false;
    out.clear();
    return static_cast<bool>(out.seekg(0) && out.seekp(0));
}
