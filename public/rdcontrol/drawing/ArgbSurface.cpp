#include "public/rdcontrol/drawing/ArgbSurface.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "public/rdcontrol/base/CheckedMath.h"

TArgbSurface::TArgbSurface(int width, int height, std::uint32_t fill) {
    if (width <= 0 || height <= 0) return;
    const std::optional<std::size_t> bytes = CheckedSize<std::size_t>(
        {static_cast<std::size_t>(width), static_cast<std::size_t>(height), sizeof(std::uint32_t)});
    if (!bytes || *bytes > kMaxSurfaceBytes) return;
    FStorage.assign(*bytes / sizeof(std::uint32_t), fill);
    FBits = FStorage.data();
    FWidth = width;
    FHeight = height;
    FStride = width;
}

TArgbSurface TArgbSurface::View(std::uint32_t* bits, int width, int height, int stride) {
    TArgbSurface view;
    if (bits == nullptr || width <= 0 || height <= 0 || stride < width) return view;
    view.FBits = bits;
    view.FWidth = width;
    view.FHeight = height;
    view.FStride = stride;
    return view;
}

TArgbSurface::TArgbSurface(const TArgbSurface& other)
    : FStorage(other.FStorage), FBits(other.FBits), FWidth(other.FWidth), FHeight(other.FHeight),
      FStride(other.FStride) {
    if (!FStorage.empty()) FBits = FStorage.data();
}

TArgbSurface& TArgbSurface::operator=(const TArgbSurface& other) {
    if (this != &other) {
        TArgbSurface copy(other);
        *this = std::move(copy);
    }
    return *this;
}

// Moving a std::vector keeps its buffer, so FBits stays valid for an owning
// surface; the source is left empty either way.
TArgbSurface::TArgbSurface(TArgbSurface&& other) noexcept
    : FStorage(std::move(other.FStorage)), FBits(std::exchange(other.FBits, nullptr)),
      FWidth(std::exchange(other.FWidth, 0)), FHeight(std::exchange(other.FHeight, 0)),
      FStride(std::exchange(other.FStride, 0)) {
    other.FStorage.clear();
}

TArgbSurface& TArgbSurface::operator=(TArgbSurface&& other) noexcept {
    if (this != &other) {
        FStorage = std::move(other.FStorage);
        other.FStorage.clear();
        FBits = std::exchange(other.FBits, nullptr);
        FWidth = std::exchange(other.FWidth, 0);
        FHeight = std::exchange(other.FHeight, 0);
        FStride = std::exchange(other.FStride, 0);
    }
    return *this;
}

std::uint32_t TArgbSurface::Pixel(int x, int y) const {
    return Bounds().Contains(x, y) ? Row(y)[x] : 0;
}

void TArgbSurface::SetPixel(int x, int y, std::uint32_t color) {
    if (Bounds().Contains(x, y)) Row(y)[x] = color;
}

void TArgbSurface::Fill(std::uint32_t color) { FillRect(Bounds(), color); }

void TArgbSurface::FillRect(const TRect& rect, std::uint32_t color) {
    const TRect clipped = rect.Intersect(Bounds());
    if (clipped.IsEmpty()) return;
    for (int y = clipped.Top; y < clipped.Bottom; ++y)
        std::fill(Row(y) + clipped.Left, Row(y) + clipped.Right, color);
}

TArgbSurface TArgbSurface::SubSurface(const TRect& rect) {
    const TRect clipped = rect.Intersect(Bounds());
    if (clipped.IsEmpty()) return TArgbSurface();
    return View(Row(clipped.Top) + clipped.Left, clipped.Width(), clipped.Height(), FStride);
}
