#pragma once
// TRdGraphic: the common base of the library's pictures; TPngGraphic: a PNG picture
// ready to draw.
//
// Bytes in and out are the picture's own file form (a PNG file, an RDG descriptor),
// carried in std::string. ClassName() is the name a picture's Data form stores.
// OnChange runs after the picture changed in a way that needs a repaint; copies and
// clones never take it over (an event belongs to the object's owner).
//
// UI thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/Canvas.h"
#include "public/rdcontrol/png/PngImage.h"
#include "public/rdcontrol/drawing/RasterOps.h"

class TRdGraphic {
public:
    using TNotifyEvent = std::function<void(TRdGraphic* sender)>;

    virtual ~TRdGraphic() = default;

    virtual const char* ClassName() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() <= 0 || Height() <= 0; }

    // Paints the whole picture into dest (canvas coordinates), scaled to fit.
    virtual void Draw(TRdCanvas& canvas, const TRect& dest) = 0;

    // Throw on bytes the class cannot read (EPngError for PNG), leaving the picture
    // as it was. "" loads as an empty picture; an empty PNG picture saves as "".
    virtual void LoadFromBytes(std::string_view bytes) = 0;
    virtual std::string SaveToBytes() const = 0;

    // An independent picture of the same class and content (pixel blocks may be
    // shared copy-on-write), without OnChange.
    virtual std::shared_ptr<TRdGraphic> Clone() const = 0;

    TNotifyEvent OnChange;

protected:
    TRdGraphic() = default;
    TRdGraphic(const TRdGraphic&) {}
    TRdGraphic& operator=(const TRdGraphic&) { return *this; }
    // Through a copy: the handler may free the picture or replace OnChange.
    void Changed() {
        if (!OnChange) return;
        const TNotifyEvent handler = OnChange;
        handler(this);
    }
};

using TPngSmoothFilter = TPixelStretchFilter;

// A PNG picture: the decoded TPngImage (kept for saving without loss) and its
// premultiplied surface, in one pixel block shared by copies and clones until one of
// them changes its pixels (EditSurface, a load, an assign). The block is reference
// counted; sharing is for one thread.
//
// Three settings travel with the picture in the "RDPNG" text chunk as name=value
// lines: AlphaBlendValue [255] (constant opacity), GrayMode [false] (drawn in grey),
// SmoothFilter [psfDefault] (resampling when scaled). On load, missing or unreadable
// lines keep the defaults, AlphaBlendValue is cut to 0..255 and a SmoothFilter
// outside 0..2 reads as psfDefault. On save the chunk is written only when a setting
// is not its default, keeping any other lines it had; with all three at their
// defaults no "RDPNG" chunk is written.
class TPngGraphic : public TRdGraphic {
public:
    static constexpr const char* StreamClassName = "TPngImage";

    TPngGraphic();
    TPngGraphic(const TPngGraphic& other) = default;
    TPngGraphic& operator=(const TPngGraphic& other) = default;

    // A picture of the pixels of surface (copied), default settings.
    static std::shared_ptr<TPngGraphic> FromSurface(const TArgbSurface& surface);

    const char* ClassName() const override { return StreamClassName; }
    int Width() const override { return FBlock->Surface.Width(); }
    int Height() const override { return FBlock->Surface.Height(); }
    void Draw(TRdCanvas& canvas, const TRect& dest) override;
    void LoadFromBytes(std::string_view bytes) override;
    std::string SaveToBytes() const override;
    std::shared_ptr<TRdGraphic> Clone() const override;

    // Replaces the pixels by a copy of surface; settings stay.
    void AssignSurface(const TArgbSurface& surface);
    // Takes a decoded image with the settings of its "RDPNG" chunk.
    void AssignImage(TPngImage image);

    const TArgbSurface& Surface() const { return FBlock->Surface; }
    // The pixels for writing (a TRdCanvas over them draws into the picture): a block
    // shared with copies is copied first. The reference is valid until the next
    // call that changes this picture; saving encodes what it then holds.
    TArgbSurface& EditSurface();
    // Whether other and this still share one pixel block.
    bool SharesPixels(const TPngGraphic& other) const { return FBlock == other.FBlock; }

    std::uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(std::uint8_t value);
    bool GrayMode() const { return FGrayMode; }
    void SetGrayMode(bool value);
    TPngSmoothFilter SmoothFilter() const { return FSmoothFilter; }
    // Values outside psfDefault..psfSmooth count as psfDefault.
    void SetSmoothFilter(TPngSmoothFilter value);

private:
    struct TPixelBlock {
        TPngImage Image;
        TArgbSurface Surface;
        // The surface was handed out for writing: saving encodes it, not Image.
        bool Edited = false;
    };
    void ReadSettings(const TPngImage& image);

    std::shared_ptr<TPixelBlock> FBlock;
    std::uint8_t FAlphaBlendValue = 255;
    bool FGrayMode = false;
    TPngSmoothFilter FSmoothFilter = psfDefault;
};
