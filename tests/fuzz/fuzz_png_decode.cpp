// PNG decoding of arbitrary bytes. A load either fails with an error text, and then
// the one-call decoder fails too, or gives consistent pixels: as many as the size
// says, premultiplied colour never above its alpha, the one-call decoder agreeing;
// and a decoded image saves and reads back to the same pixels and texts.
//
// Mutated bytes nearly always break a chunk's CRC, which stops the decoder at that
// chunk. So each input is decoded twice: as it is, and with every CRC made right,
// which lets the mutations reach the chunk contents.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include <zlib.h>

#include "public/rdcontrol/png/PngImage.h"

namespace {

// A lower pixel limit than the default keeps every run fast; the checks are the same.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 20;

void Check(std::span<const std::uint8_t> bytes) {
    TPngImage image;
    image.SetMaxPixels(kMaxPixels);
    const std::string error = image.TryLoadFromBytes(bytes);
    if (!error.empty()) {
        try {
            (void)DecodePngToRgba8(bytes, kMaxPixels);
        } catch (const EPngError& e) {
            if (error != e.what()) std::abort();
            return;
        }
        std::abort();
    }
    const std::size_t pixels = std::size_t{image.Width()} * image.Height();
    const std::vector<std::uint8_t> rgba = image.Rgba8();
    if (image.Pixels().size() != pixels || rgba.size() != 4 * pixels || image.Rgba16().size() != 4 * pixels)
        std::abort();
    for (std::uint32_t p : image.Pixels()) {
        const std::uint32_t a = p >> 24;
        if (((p >> 16) & 0xFF) > a || ((p >> 8) & 0xFF) > a || (p & 0xFF) > a) std::abort();
    }
    if (DecodePngToRgba8(bytes, kMaxPixels).Rgba != rgba) std::abort();

    if (pixels <= 65536) {
        TPngImage back;
        back.LoadFromBytes(image.SaveToBytes());
        if (back.Rgba8() != rgba || back.Metadata().Texts != image.Metadata().Texts) std::abort();
    }
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Check({data, size});
    std::vector<std::uint8_t> fixed(data, data + size);
    bool changed = false;
    for (std::size_t pos = 8; pos + 12 <= fixed.size();) {
        const std::uint32_t length = ReadU32(&fixed[pos]);
        if (length > fixed.size() - pos - 12) break;
        const auto crc = static_cast<std::uint32_t>(crc32(0, &fixed[pos + 4], length + 4));
        std::uint8_t* at = &fixed[pos + 8 + length];
        if (ReadU32(at) != crc) {
            changed = true;
            for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        }
        pos += std::size_t{length} + 12;
    }
    if (changed) Check(fixed);
    return 0;
}
