#include "services/RequestSigning.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <new>

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include "public/rdcontrol/base/TextCodec.h"
#include "services/Md5.h"

namespace {

// The keys are used as the bytes of their characters, exactly as written.
constexpr std::string_view kScrambleKey = "q4tn7wrc2mbx9hp3fks8ya";
constexpr std::string_view kSigningKey = "3f9c0e7a51d24b86c0a7e93f1d5b2c48e6a09f17b3d5c28e4a61f0b9d7c3e25a";

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr char kLowerHex[] = "0123456789abcdef";

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string XorWithScrambleKey(std::string_view bytes) {
    std::string out(bytes.size(), '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        out[i] = static_cast<char>(bytes[i] ^ kScrambleKey[i % kScrambleKey.size()]);
    }
    return out;
}

std::string Base64Encode(std::string_view bytes) {
    // EVP_EncodeBlock counts in int; pieces of whole 3-byte groups keep it in range
    // and join without padding in between.
    constexpr size_t kPiece = 3 * 16384;
    std::string out((bytes.size() + 2) / 3 * 4, '\0');
    size_t written = 0;
    for (size_t at = 0; at < bytes.size(); at += kPiece) {
        const size_t n = std::min(kPiece, bytes.size() - at);
        written += static_cast<size_t>(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data() + written),
                                                       reinterpret_cast<const unsigned char*>(bytes.data() + at),
                                                       static_cast<int>(n)));
    }
    out.resize(written);
    return out;
}

// 0-63 for a Base64 digit, -1 for anything else ("=" included).
int Base64Value(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Strict decoder (see UnscrambleText); false for anything not canonical.
bool Base64Decode(std::string_view text, std::string& out) {
    std::string digits;
    digits.reserve(text.size());
    for (char c : text) {
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t') digits += c;
    }
    if (digits.size() % 4 != 0) return false;
    out.clear();
    out.reserve(digits.size() / 4 * 3);
    for (size_t i = 0; i < digits.size(); i += 4) {
        // "=" may close only the last group; anywhere else it fails as a non-digit below.
        size_t padding = 0;
        if (i + 4 == digits.size() && digits[i + 3] == '=') padding = digits[i + 2] == '=' ? 2 : 1;
        std::uint32_t v = 0;
        for (size_t k = 0; k < 4 - padding; ++k) {
            const int d = Base64Value(static_cast<unsigned char>(digits[i + k]));
            if (d < 0) return false;
            v = v << 6 | static_cast<std::uint32_t>(d);
        }
        v <<= 6 * padding;
        // Non-zero bits under the padding would make a second spelling of the same bytes.
        if ((padding == 1 && (v & 0xFF) != 0) || (padding == 2 && (v & 0xFFFF) != 0)) return false;
        out += static_cast<char>(v >> 16);
        if (padding < 2) out += static_cast<char>((v >> 8) & 0xFF);
        if (padding < 1) out += static_cast<char>(v & 0xFF);
    }
    return true;
}

}  // namespace

std::string UrlEncodeUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 3);
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsAsciiAlnum(c)) {
            out += ch;
        } else {
            out += '%';
            out += kUpperHex[c >> 4];
            out += kUpperHex[c & 0x0F];
        }
    }
    return out;
}

std::string ScrambleText(std::string_view utf8) { return Base64Encode(XorWithScrambleKey(utf8)); }

std::string UnscrambleText(std::string_view base64) {
    std::string bytes;
    if (!Base64Decode(base64, bytes)) return {};
    return XorWithScrambleKey(bytes);
}

std::string SignText(std::string_view ascii) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> mac{};
    unsigned int length = 0;
    if (HMAC(EVP_sha256(), kSigningKey.data(), static_cast<int>(kSigningKey.size()),
             reinterpret_cast<const unsigned char*>(ascii.data()), ascii.size(), mac.data(), &length) == nullptr) {
        throw std::bad_alloc();  // HMAC fails only when OpenSSL cannot allocate
    }
    std::string hex;
    hex.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        hex += kLowerHex[mac[i] >> 4];
        hex += kLowerHex[mac[i] & 0x0F];
    }
    return hex;
}

std::string BuildSignedBody(std::string_view requestText) {
    const std::string scrambled = ScrambleText("data=" + UrlEncodeUtf8(requestText));
    return SignText(scrambled) + "." + scrambled;
}

std::string Md5Hex(std::string_view text) {
    TMd5 md5;
    md5.Update(Utf8ToAnsi(text));
    return md5.HexDigest();
}
