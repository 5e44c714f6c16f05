#pragma once
// The raster operations the controls paint with, on TArgbSurface: source-over
// compositing of premultiplied pixels with a constant alpha, stretching with three
// filters, tiling and filling.
//
// Arithmetic: every product of two 8-bit values is divided by 255 rounding to
// nearest (Div255), so a constant alpha of 255 copies a source exactly, alpha 0
// leaves the destination exactly as it was, and an opaque source replaces what is
// under it. Pixels are expected to be valid premultiplied values (no colour
// channel above alpha); others are composited without overflow but meaninglessly.
//
// Clipping: destination rectangles may lie partly or wholly outside the
// destination surface; only the pixels inside are written, and what they receive
// does not depend on the clipping (a stretched picture is cut, not squeezed). A
// source rectangle is first cut to its surface. Source and destination must not
// be the same memory.
//
// Portable, no allocation except the stretch filters' small per-axis tables. Any
// thread, on surfaces no other thread writes.
#include <cstdint>

#include "public/rdcontrol/drawing/ArgbSurface.h"

enum TPixelStretchFilter : std::uint8_t {
    psfDefault,     // nearest pixel: fastest, blocky, exact for whole-number scales
    psfFastSmooth,  // bilinear between the four nearest pixels (centre-aligned)
    psfSmooth       // area average when shrinking an axis (every source pixel
                    // counts), bilinear when growing it
};

// round(x / 255) for x in [0, 255 * 255].
constexpr std::uint32_t Div255(std::uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// A premultiplied pixel with every channel multiplied by coverage / 255 (rounded as
// Div255): red/blue and alpha/green each take one 32-bit multiply, every lane
// staying below 2^16 so no carry crosses lanes.
constexpr std::uint32_t ScalePixel(std::uint32_t pixel, std::uint32_t coverage) {
    std::uint32_t rb = (pixel & 0x00FF00FFu) * coverage + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    std::uint32_t ag = ((pixel >> 8) & 0x00FF00FFu) * coverage + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

// Source-over of a valid premultiplied source (no channel above its alpha): the
// same values as BlendPixel with alpha 255, without branches, so loops of it
// vectorise. Invalid sources overflow into the next channel; use BlendPixel for
// pixels from outside.
constexpr std::uint32_t OverValidPixel(std::uint32_t dest, std::uint32_t source) {
    return source + ScalePixel(dest, 255 - (source >> 24));
}

// Source-over of one premultiplied pixel, the source first scaled by alpha.
std::uint32_t BlendPixel(std::uint32_t dest, std::uint32_t source, std::uint8_t alpha = 255);

// Composites the source rectangle of source onto dest with its top-left at (x, y).
void BlendSurface(TArgbSurface& dest, int x, int y, const TArgbSurface& source, const TRect& sourceRect,
                  std::uint8_t alpha = 255);
// The whole source.
void BlendSurface(TArgbSurface& dest, int x, int y, const TArgbSurface& source, std::uint8_t alpha = 255);

// Stretches the source rectangle of source over destRect and composites it. Equal
// sizes copy 1:1 with every filter.
void StretchBlend(TArgbSurface& dest, const TRect& destRect, const TArgbSurface& source, const TRect& sourceRect,
                  TPixelStretchFilter filter, std::uint8_t alpha = 255);

// Repeats the source rectangle over destRect, the first copy at destRect's top-left,
// and composites it.
void TileBlend(TArgbSurface& dest, const TRect& destRect, const TArgbSurface& source, const TRect& sourceRect,
               std::uint8_t alpha = 255);

// Composites a premultiplied colour over rect.
void FillRectBlend(TArgbSurface& dest, const TRect& rect, std::uint32_t color);
