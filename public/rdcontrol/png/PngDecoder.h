#pragma once
// Reading a PNG file into a TPngRaster (the samples as stored, unfiltered and
// de-interlaced) with its metadata. Internal to the PNG codec; TPngImage and
// DecodePngToRgba8 are the interface. A pure function; any thread.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "public/rdcontrol/png/PngImage.h"

namespace png {

struct TDecoded {
    TPngRaster Raster;
    TPngMetadata Metadata;
    std::vector<std::string> Warnings;
};

// Throws EPngError, or std::bad_alloc when an image within maxPixels does not fit.
TDecoded Decode(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels);

}  // namespace png
