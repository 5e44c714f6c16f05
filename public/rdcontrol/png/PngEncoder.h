#pragma once
// Writing a PNG file from straight 8-bit RGBA with the metadata. Internal to the PNG
// codec; TPngImage::SaveToBytes is the interface. A pure function; any thread.
#include <cstdint>
#include <span>
#include <vector>

#include "public/rdcontrol/png/PngImage.h"

namespace png {

// width * height * 4 bytes. Throws EPngError (an empty image, an invalid text).
std::vector<std::uint8_t> Encode(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgba,
                                 const TPngMetadata& metadata);

}  // namespace png
