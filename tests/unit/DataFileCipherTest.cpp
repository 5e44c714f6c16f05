#include "services/DataFileCipher.h"

#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "services/Md5.h"
#include "tests/unit/CryptoVectors.h"

namespace {

std::string ToHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (std::uint8_t b : bytes) {
        hex += kHex[b >> 4];
        hex += kHex[b & 0x0F];
    }
    return hex;
}

std::string AsString(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::vector<std::uint8_t> AsBytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace

TEST(DataFileCipher, KnownAnswersThroughSpansAndStreams) {
    for (const auto& c : CryptoVectors().at("data_file").at("cases")) {
        const auto length = c.at("length").get<size_t>();
        SCOPED_TRACE("length " + std::to_string(length));
        const auto plain = LcgBytes(c.at("seed").get<std::uint32_t>(), length);

        const auto cipher = EncryptData(plain);
        ASSERT_EQ(cipher.size(), length);
        if (c.contains("cipher_hex")) {
            EXPECT_EQ(ToHex(cipher), c.at("cipher_hex"));
        } else {
            TMd5 md5;
            md5.Update(cipher);
            EXPECT_EQ(md5.HexDigest(), c.at("cipher_md5"));
            EXPECT_EQ(ToHex(std::span(cipher).last(48)), c.at("cipher_tail_hex"));
        }
        EXPECT_EQ(DecryptData(cipher), plain);

        // The stream functions read in buffers of their own; the largest case spans several.
        std::stringstream plainStream(AsString(plain)), cipherStream;
        ASSERT_TRUE(EncryptDataStream(plainStream, cipherStream));
        EXPECT_EQ(cipherStream.str(), AsString(cipher));
        std::stringstream decrypted;
        ASSERT_TRUE(DecryptDataStream(cipherStream, decrypted));
        EXPECT_EQ(decrypted.str(), AsString(plain));
    }
}

TEST(DataFileCipher, RoundTripKeepsLengthAndIsDeterministic) {
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 100; ++n) lengths.push_back(n);
    lengths.push_back(1'048'576 + 7);
    for (size_t n : lengths) {
        const auto plain = LcgBytes(7, n);
        const auto cipher = EncryptData(plain);
        ASSERT_EQ(cipher.size(), n);
        EXPECT_EQ(EncryptData(plain), cipher) << n;
        EXPECT_EQ(DecryptData(cipher), plain) << n;
    }
}

TEST(DataFileCipher, EncryptStreamRewindsInputAndAppendsToOutput) {
    const std::string text = "{\"homepage\":\"caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87\"}";
    std::stringstream plain;
    plain << text;  // left at its end, as after the caller wrote it
    std::stringstream out("HEADER");
    ASSERT_TRUE(EncryptDataStream(plain, out));
    EXPECT_EQ(out.str(), "HEADER" + AsString(EncryptData(AsBytes(text))));

    std::stringstream empty, untouched("kept");
    ASSERT_TRUE(EncryptDataStream(empty, untouched));
    EXPECT_EQ(untouched.str(), "kept");
}

TEST(DataFileCipher, DecryptStreamReadsFromCurrentPositionAndRewindsOutput) {
    const std::string text = "caf\xC3\xA9 \xD0\xBC\xD0\xB8\xD1\x80 0123456789";
    std::stringstream encrypted("skip" + AsString(EncryptData(AsBytes(text))));
    encrypted.seekg(4);
    std::stringstream out;
    ASSERT_TRUE(DecryptDataStream(encrypted, out));
    std::string readBack;
    std::getline(out, readBack, '\0');
    EXPECT_EQ(readBack, text);
    EXPECT_EQ(out.tellp(), 0);
}

TEST(DataFileCipher, StreamFailuresAreReported) {
    std::istream unreadable(nullptr);
    std::stringstream out;
    EXPECT_FALSE(EncryptDataStream(unreadable, out));
    EXPECT_FALSE(DecryptDataStream(unreadable, out));

    std::stringstream plain("some content");
    std::ofstream notOpen;
    EXPECT_FALSE(EncryptDataStream(plain, notOpen));
    std::fstream notOpenEither;
    std::stringstream encrypted("some content");
    EXPECT_FALSE(DecryptDataStream(encrypted, notOpenEither));
}
