#pragma once
// TRdFont: the font of every skinned control. An ordinary font (name, height or
// point size, style, character set, colour) plus whether text is anti-aliased and
// how opaque it is, and the line metrics controls lay text out with.
//
// Height is in pixels as the platform has it (negative = character height,
// positive = cell height); Size is in points at 96 pixels per inch:
// Height = -MulDiv(Size, 96, 72) and Size = -MulDiv(Height, 72, 96), rounded to
// nearest as MulDiv does.
//
// FontHeight, FontBaseLine and FontTopLine come from the text renderer's metrics
// for Spec(), measured on first use and kept until a property that selects the
// font (name, height, style, character set, anti-aliasing) or the renderer
// changes. Without a renderer FontHeight is |Height| + 3 and the other two are 0.
//
// ParentFont is a flag for the owning control (take the parent's font); the font
// itself does not act on it. OnChange runs after any property takes a different
// value (once for an Assign that changed anything). The renderer is not owned and
// must outlive the font. UI thread only.
//
// AllSkin, the font's own skin binding, is a skin-class object of skin/, and skin/
// builds on drawing/ (its style keeps a TRdFont), so the font cannot name it. The
// font only owns it through TRdFontSkinSlot and ends it before itself;
// skin/RdFontSkin.h makes it on first use (FontAllSkin(font)). A copy of a font,
// or a font assigned to, keeps its own binding (or none), never the other's: the
// binding is tied to the object it styles.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "public/rdcontrol/drawing/Color.h"
#include "public/rdcontrol/drawing/TextRenderer.h"

// What a TRdFont keeps of its skin binding: an owned object of skin/.
class TRdFontSkinSlot {
public:
    virtual ~TRdFontSkinSlot() = default;
};

class TRdFont {
public:
    // Tahoma, 9 points (Height -12), regular, default character set, clWindowText,
    // anti-aliased, opaque; measured with DefaultTextRenderer().
    TRdFont();

    const std::string& Name() const { return FSpec.Name; }
    void SetName(const std::string& value);
    int Height() const { return FSpec.Height; }
    void SetHeight(int value);
    int Size() const;
    void SetSize(int value);
    unsigned Style() const { return FSpec.Style; }  // TFontStyle bits
    void SetStyle(unsigned value);
    int Charset() const { return FSpec.Charset; }
    void SetCharset(int value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool Antialiased() const { return FSpec.Antialiased; }
    void SetAntialiased(bool value);
    std::uint8_t Alpha() const { return FAlpha; }
    void SetAlpha(std::uint8_t value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);

    // What the renderer needs to select this font.
    const TFontSpec& Spec() const { return FSpec; }

    // Line height; the base line's distance from the bottom of the line (descent);
    // the top of the glyphs' distance from the top of the line (internal leading).
    int FontHeight() const;
    int FontBaseLine() const;
    int FontTopLine() const;

    TTextRenderer* TextRenderer() const { return FRenderer; }
    // nullptr: no measuring (the fallback metrics above).
    void SetTextRenderer(TTextRenderer* renderer);

    // Takes every visible attribute of source (name, height, style, character set,
    // colour, anti-aliasing, alpha); not ParentFont, the renderer or OnChange.
    void Assign(const TRdFont& source);
    // The same visible attributes as other.
    bool SameLook(const TRdFont& other) const;

    std::function<void()> OnChange;

    // The skin binding's slot (see above): nullptr until skin/ makes one.
    TRdFontSkinSlot* SkinSlot() const { return FSkinSlot.Slot.get(); }
    void SetSkinSlot(std::unique_ptr<TRdFontSkinSlot> slot) { FSkinSlot.Slot = std::move(slot); }

private:
    // Copying or moving a font leaves each object's slot where it is.
    struct TSkinSlotHolder {
        TSkinSlotHolder() = default;
        TSkinSlotHolder(const TSkinSlotHolder&) {}
        TSkinSlotHolder& operator=(const TSkinSlotHolder&) { return *this; }
        std::unique_ptr<TRdFontSkinSlot> Slot;
    };

    template <typename T>
    void Set(T& field, const T& value, bool selectsFont) {
        if (field == value) return;
        field = value;
        if (selectsFont) FMeasured = false;
        Changed();
    }
    void Changed() const {
        if (OnChange) OnChange();
    }
    const TTextMetrics& Measured() const;

    TFontSpec FSpec;
    TColor FColor = clWindowText;
    std::uint8_t FAlpha = 255;
    bool FParentFont = false;
    TTextRenderer* FRenderer;
    mutable TTextMetrics FMetrics;
    mutable bool FMeasured = false;
    // Last member: the binding refers to this font, so it goes first.
    TSkinSlotHolder FSkinSlot;
};
