#pragma once
// TArgbSurface: the pixels every control paints into. Width x Height pixels of
// 32-bit premultiplied ARGB, one std::uint32_t 0xAARRGGBB each, so that in memory
// (little-endian) a pixel is the bytes B, G, R, A: the layout of a 32-bit
// top-down Windows DIB section, which the Win32 side hands to the system as is.
//
// A surface either owns its pixels (a value: copies copy the pixels) or views
// memory someone else owns (a DIB section, a part of another surface): copies of a
// view are views of the same memory, and the viewed memory must outlive them.
// Rows may be further apart than Width pixels (Stride), which is what lets a view
// of a rectangle of a larger surface be a surface itself.
//
// Portable: no platform headers. No thread affinity; one surface must not be
// written from two threads at once.
#include <cstddef>
#include <cstdint>
#include <vector>

// A rectangle with exclusive right and bottom edges, as Windows has them: Left <= x
// < Right, Top <= y < Bottom. A rectangle whose Right <= Left or Bottom <= Top is
// empty.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;

    static constexpr TRect FromSize(int left, int top, int width, int height) {
        return TRect{left, top, left + width, top + height};
    }
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    // The common part; an empty rectangle (not necessarily all zero) when there is none.
    constexpr TRect Intersect(const TRect& other) const {
        return TRect{Left > other.Left ? Left : other.Left, Top > other.Top ? Top : other.Top,
                     Right < other.Right ? Right : other.Right, Bottom < other.Bottom ? Bottom : other.Bottom};
    }
    constexpr TRect Offset(int dx, int dy) const { return TRect{Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    bool operator==(const TRect&) const = default;
};

// The most bytes one owning surface holds: 256 MiB, an 8192 x 8192 picture (the PNG
// decoder's default limit). Sizes come from skins and pictures beside the program;
// a 32-bit process must never compute a wrapped, short buffer for them.
inline constexpr std::size_t kMaxSurfaceBytes = std::size_t{256} << 20;

class TArgbSurface {
public:
    // An empty surface (0 x 0).
    TArgbSurface() = default;
    // An owning surface of width x height pixels, all set to fill (transparent
    // black by default). Negative sizes count as 0; a size whose bytes overflow or
    // exceed kMaxSurfaceBytes gives an empty surface, never a shorter buffer.
    TArgbSurface(int width, int height, std::uint32_t fill = 0);
    // A view of caller-owned memory: height rows of width pixels, row y starting at
    // bits + y * stride (stride in pixels, >= width).
    static TArgbSurface View(std::uint32_t* bits, int width, int height, int stride);

    TArgbSurface(const TArgbSurface& other);
    TArgbSurface& operator=(const TArgbSurface& other);
    TArgbSurface(TArgbSurface&& other) noexcept;
    TArgbSurface& operator=(TArgbSurface&& other) noexcept;
    ~TArgbSurface() = default;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Stride() const { return FStride; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    bool OwnsPixels() const { return !FStorage.empty() || FBits == nullptr; }
    TRect Bounds() const { return TRect{0, 0, FWidth, FHeight}; }

    // Row y (0 <= y < Height()); no checks, these are the fast paths of the raster
    // operations.
    std::uint32_t* Row(int y) { return FBits + static_cast<std::ptrdiff_t>(y) * FStride; }
    const std::uint32_t* Row(int y) const { return FBits + static_cast<std::ptrdiff_t>(y) * FStride; }

    // Checked access: a pixel outside the surface reads as 0 (transparent) and
    // ignores writes, so painting code need not clip single pixels itself.
    std::uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t color);

    // Sets every pixel to transparent black / to color (replacing, not blending).
    void Clear() { Fill(0); }
    void Fill(std::uint32_t color);
    // Sets the pixels of rect, clipped to the surface, to color (replacing).
    void FillRect(const TRect& rect, std::uint32_t color);

    // A view of rect clipped to this surface; its pixel (0, 0) is the clipped
    // rectangle's top-left. Writing through it writes this surface's pixels.
    TArgbSurface SubSurface(const TRect& rect);

private:
    std::vector<std::uint32_t> FStorage;  // empty for a view
    std::uint32_t* FBits = nullptr;
    int FWidth = 0, FHeight = 0, FStride = 0;
};
