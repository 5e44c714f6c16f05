#include "public/rdcontrol/drawing/RdFont.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

// a * b / c rounded to nearest, halves away from zero, as the platform's MulDiv.
int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(result);
}

int FallbackHeight(int height) {
    const std::int64_t fallback = std::llabs(std::int64_t{height}) + 3;
    return static_cast<int>(std::min<std::int64_t>(fallback, std::numeric_limits<int>::max()));
}

}  // namespace

TRdFont::TRdFont() : FRenderer(&DefaultTextRenderer()) {}

void TRdFont::SetName(const std::string& value) { Set(FSpec.Name, value, true); }
void TRdFont::SetHeight(int value) { Set(FSpec.Height, value, true); }
int TRdFont::Size() const { return -MulDiv(FSpec.Height, 72, 96); }
void TRdFont::SetSize(int value) { SetHeight(-MulDiv(value, 96, 72)); }
void TRdFont::SetStyle(unsigned value) { Set(FSpec.Style, value, true); }
void TRdFont::SetCharset(int value) { Set(FSpec.Charset, value, true); }
void TRdFont::SetColor(TColor value) { Set(FColor, value, false); }
void TRdFont::SetAntialiased(bool value) { Set(FSpec.Antialiased, value, true); }
void TRdFont::SetAlpha(std::uint8_t value) { Set(FAlpha, value, false); }
void TRdFont::SetParentFont(bool value) { Set(FParentFont, value, false); }

void TRdFont::SetTextRenderer(TTextRenderer* renderer) {
    FRenderer = renderer;
    FMeasured = false;
}

const TTextMetrics& TRdFont::Measured() const {
    if (!FMeasured) {
        FMetrics = FRenderer ? FRenderer->Metrics(FSpec) : TTextMetrics{};
        // A renderer that could not select the font reports no height; the
        // fallback keeps lines from collapsing.
        if (FMetrics.Height <= 0) FMetrics = TTextMetrics{FallbackHeight(FSpec.Height), 0, 0, 0, 0};
        FMeasured = true;
    }
    return FMetrics;
}

int TRdFont::FontHeight() const { return Measured().Height; }
int TRdFont::FontBaseLine() const { return Measured().Descent; }
int TRdFont::FontTopLine() const { return Measured().InternalLeading; }

void TRdFont::Assign(const TRdFont& source) {
    if (&source == this || SameLook(source)) return;
    if (!(FSpec == source.FSpec)) FMeasured = false;
    FSpec = source.FSpec;
    FColor = source.FColor;
    FAlpha = source.FAlpha;
    Changed();
}

bool TRdFont::SameLook(const TRdFont& other) const {
    return FSpec == other.FSpec && FColor == other.FColor && FAlpha == other.FAlpha;
}
