#include "public/rdcontrol/pictures/RdGraphic.h"

#include <algorithm>
#include <span>
#include <vector>

#include "public/rdcontrol/base/NumberText.h"
#include "public/rdcontrol/base/TextLines.h"
#include "public/rdcontrol/pictures/StringValueList.h"

namespace {

constexpr const char* kAlphaName = "AlphaBlendValue";
constexpr const char* kGrayName = "GrayMode";
constexpr const char* kSmoothName = "SmoothFilter";

TPngSmoothFilter ValidFilter(long long value) {
    return value >= psfDefault && value <= psfSmooth ? static_cast<TPngSmoothFilter>(value) : psfDefault;
}

TArgbSurface SurfaceOf(const TPngImage& image) {
    TArgbSurface surface(static_cast<int>(image.Width()), static_cast<int>(image.Height()));
    const std::uint32_t* source = image.Pixels().data();
    for (int y = 0; y < surface.Height(); ++y, source += surface.Width())
        std::copy_n(source, surface.Width(), surface.Row(y));
    return surface;
}

std::vector<std::uint32_t> PixelsOf(const TArgbSurface& surface) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(surface.Width()) * static_cast<std::size_t>(surface.Height()));
    for (int y = 0; y < surface.Height(); ++y) pixels.insert(pixels.end(), surface.Row(y), surface.Row(y) + surface.Width());
    return pixels;
}

}  // namespace

TPngGraphic::TPngGraphic() : FBlock(std::make_shared<TPixelBlock>()) {}

std::shared_ptr<TPngGraphic> TPngGraphic::FromSurface(const TArgbSurface& surface) {
    auto graphic = std::make_shared<TPngGraphic>();
    graphic->AssignSurface(surface);
    return graphic;
}

std::shared_ptr<TRdGraphic> TPngGraphic::Clone() const { return std::make_shared<TPngGraphic>(*this); }

void TPngGraphic::AssignSurface(const TArgbSurface& surface) {
    auto block = std::make_shared<TPixelBlock>();
    if (!surface.Empty()) {
        const std::vector<std::uint32_t> pixels = PixelsOf(surface);
        block->Image.AssignPremultiplied(static_cast<std::uint32_t>(surface.Width()),
                                         static_cast<std::uint32_t>(surface.Height()), pixels);
        // The given pixels exactly, not their round trip through straight alpha.
        block->Surface = TArgbSurface(surface.Width(), surface.Height());
        for (int y = 0; y < surface.Height(); ++y) std::copy_n(surface.Row(y), surface.Width(), block->Surface.Row(y));
    }
    FBlock = std::move(block);
    Changed();
}

void TPngGraphic::AssignImage(TPngImage image) {
    auto block = std::make_shared<TPixelBlock>();
    block->Surface = SurfaceOf(image);
    ReadSettings(image);
    block->Image = std::move(image);
    FBlock = std::move(block);
    Changed();
}

void TPngGraphic::LoadFromBytes(std::string_view bytes) {
    if (bytes.empty()) {
        FBlock = std::make_shared<TPixelBlock>();
        FAlphaBlendValue = 255;
        FGrayMode = false;
        FSmoothFilter = psfDefault;
        Changed();
        return;
    }
    TPngImage image;
    image.LoadFromBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    AssignImage(std::move(image));
}

void TPngGraphic::ReadSettings(const TPngImage& image) {
    FAlphaBlendValue = 255;
    FGrayMode = false;
    FSmoothFilter = psfDefault;
    TStringValueList values;
    values.SetText(image.RdText());
    if (const auto v = ParseInteger(TrimBlanks(values.Value(kAlphaName))))
        FAlphaBlendValue = static_cast<std::uint8_t>(std::clamp<long long>(*v, 0, 255));
    if (const auto v = ParseInteger(TrimBlanks(values.Value(kGrayName)))) FGrayMode = *v != 0;
    if (const auto v = ParseInteger(TrimBlanks(values.Value(kSmoothName)))) FSmoothFilter = ValidFilter(*v);
}

std::string TPngGraphic::SaveToBytes() const {
    if (Empty()) return {};
    TPngImage image = FBlock->Image;
    if (FBlock->Edited) {
        const std::vector<std::uint32_t> pixels = PixelsOf(FBlock->Surface);
        image.AssignPremultiplied(static_cast<std::uint32_t>(Width()), static_cast<std::uint32_t>(Height()), pixels);
    }
    if (FAlphaBlendValue == 255 && !FGrayMode && FSmoothFilter == psfDefault) {
        image.SetRdText("");
    } else {
        TStringValueList values;
        values.SetText(image.RdText());
        values.SetValue(kAlphaName, FormatInteger(FAlphaBlendValue));
        values.SetValue(kGrayName, FGrayMode ? "1" : "0");
        values.SetValue(kSmoothName, FormatInteger(FSmoothFilter));
        image.SetRdText(values.Text());
    }
    const std::vector<std::uint8_t> bytes = image.SaveToBytes();
    return std::string(bytes.begin(), bytes.end());
}

TArgbSurface& TPngGraphic::EditSurface() {
    if (FBlock.use_count() > 1) FBlock = std::make_shared<TPixelBlock>(*FBlock);
    FBlock->Edited = true;
    return FBlock->Surface;
}

void TPngGraphic::SetAlphaBlendValue(std::uint8_t value) {
    if (FAlphaBlendValue == value) return;
    FAlphaBlendValue = value;
    Changed();
}

void TPngGraphic::SetGrayMode(bool value) {
    if (FGrayMode == value) return;
    FGrayMode = value;
    Changed();
}

void TPngGraphic::SetSmoothFilter(TPngSmoothFilter value) {
    value = ValidFilter(value);
    if (FSmoothFilter == value) return;
    FSmoothFilter = value;
    Changed();
}

void TPngGraphic::Draw(TRdCanvas& canvas, const TRect& dest) {
    if (Empty() || dest.IsEmpty()) return;
    TCanvasStateSaver saved(canvas);
    if (FGrayMode) canvas.SetDrawGray(true);
    canvas.StretchDraw(dest, FBlock->Surface, FBlock->Surface.Bounds(), FSmoothFilter, FAlphaBlendValue);
}
