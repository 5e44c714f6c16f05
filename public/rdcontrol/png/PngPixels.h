#pragma once
// Turning TPngRaster rows into the output pixel formats, and premultiplying. Internal
// to the PNG codec. Pure functions on caller-owned memory; any thread.
#include <cstddef>
#include <cstdint>

#include "public/rdcontrol/png/PngImage.h"

namespace png {

// Bytes of one pixel in TPngRaster::Samples.
std::size_t SampleBytesPerPixel(const TPngRaster& raster);

// Row y as straight RGBA: 4 * Width bytes, or 4 * Width values on the 16-bit scale.
void RowToRgba8(const TPngRaster& raster, std::uint32_t y, std::uint8_t* out);
void RowToRgba16(const TPngRaster& raster, std::uint32_t y, std::uint16_t* out);

// Straight RGBA bytes to premultiplied 0xAARRGGBB and back.
void PremultiplyRow(const std::uint8_t* rgba, std::uint32_t* argb, std::size_t pixels);
void UnpremultiplyRow(const std::uint32_t* argb, std::uint8_t* rgba, std::size_t pixels);

}  // namespace png
