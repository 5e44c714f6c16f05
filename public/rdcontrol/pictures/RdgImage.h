#pragma once
// TRdgImage: the "Rdg Image", a picture made of an RDG descriptor (see
// RdgDescriptor.h for the lines and their rules) that names another picture and says
// which part of it to show and how, optionally animating a numbered series.
//
// Names are turned into pictures by the resolver the owner sets (the skin's image
// cache): it may return a PNG picture or another RDG image, whose source is followed
// in turn. The source is found on first use and kept until the descriptor, the
// resolver or the shown frame changes:
// - the rectangle is this descriptor's imgrect when not all 0, else the first
//   non-zero imgrect along the chain, else the whole final picture (always cut to
//   the picture);
// - the alpha is this descriptor's imgalpha when not -1, else the first one set
//   along the chain, else the final picture's AlphaBlendValue;
// - the chain must end in a PNG picture. A missing name, another picture class, a
//   cycle (a -> b -> a) or a chain longer than 32 pictures gives no source: nothing
//   is drawn and the size is 0.
//
// Drawing scales the source rectangle into the destination with the effective alpha
// and SmoothFilter (values outside 0..2 draw as psfDefault), or lays it out by the
// nine-slice rule of ImgOpt when that is not empty; a final picture in GrayMode is
// drawn in grey.
//
// Animation: a descriptor whose frame list holds more than one frame animates while
// it is drawn. The first Draw creates a TRdTimer (on the process default loop; with
// none set the first frame simply stays) ticking at the animation's interval; every
// frame change raises OnChange so that the owner repaints. Not drawn for longer than
// max(3 s, 3 x interval), the timer stops; the next Draw starts it again. A
// descriptor change drops the timer; the next Draw makes a new one.
//
// Base images (AssignFrom): the descriptor takes what it does not say itself from
// the base. When this image names no picture, it shows the base's: an animated base
// passes on its frame pattern, script and current state (stored as "PlayImgName" and
// "PlayScript" lines), a still one its picture name.
//
// Saving writes the descriptor as UTF-8 text with its byte-order mark. UI thread
// only; OnChange may free the image.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "public/rdcontrol/pictures/RdGraphic.h"
#include "public/rdcontrol/base/RdTimer.h"
#include "public/rdcontrol/pictures/RdgDescriptor.h"
#include "public/rdcontrol/pictures/RdgFrameScript.h"
#include "public/rdcontrol/pictures/StringValueList.h"

using TRdgResolver = std::function<std::shared_ptr<TRdGraphic>(const std::string& name)>;
// Milliseconds from any fixed origin.
using TRdgClock = std::function<std::int64_t()>;

class TRdgImage : public TRdGraphic {
public:
    static constexpr const char* StreamClassName = "TRdgImage";
    static constexpr int MaxChain = 32;

    // What drawing uses now: the final PNG picture (nullptr: nothing to draw), the
    // part of it and the alpha.
    struct TSource {
        std::shared_ptr<TPngGraphic> Picture;
        TRect Rect;
        std::uint8_t Alpha = 255;
    };

    TRdgImage();
    // Copies the descriptor, resolver, clock and animation state; not OnChange, not
    // the timer.
    TRdgImage(const TRdgImage& other);
    TRdgImage& operator=(const TRdgImage&) = delete;
    ~TRdgImage() override;

    const char* ClassName() const override { return StreamClassName; }
    int Width() const override { return Source().Rect.Width(); }
    int Height() const override { return Source().Rect.Height(); }
    void Draw(TRdCanvas& canvas, const TRect& dest) override;
    // A byte-order mark selects UTF-8 or UTF-16, otherwise the system code page.
    // Forgets any base.
    void LoadFromBytes(std::string_view bytes) override;
    std::string SaveToBytes() const override;
    std::shared_ptr<TRdGraphic> Clone() const override;

    // The descriptor as it would be saved, lines joined with CR LF; setting it loads
    // a new descriptor (forgetting any base).
    std::string Text() const;
    void SetText(std::string_view utf8);
    TStringValueList Values() const;
    void SetValues(const TStringValueList& values) { SetText(values.Text()); }
    const TRdgDescriptor& Descriptor() const { return FDesc; }

    // The properties. Setting rect, alpha, options or duration makes them explicit.
    const std::string& ImgName() const { return FDesc.ImgName(); }
    void SetImgName(std::string_view value);
    const TRdgRect& ImgRect() const { return FDesc.ImgRect(); }
    void SetImgRect(const TRdgRect& value);
    const TDesignRect& ImgOpt() const { return FDesc.ImgOpt(); }
    void SetImgOpt(const TDesignRect& value);
    // -1: inherited along the chain.
    int AlphaBlendValue() const { return FDesc.ImgAlpha(); }
    void SetAlphaBlendValue(int value);
    // imgsmooth as written (0, 1, 2 = TPngSmoothFilter; other numbers are kept).
    int SmoothFilter() const { return FDesc.ImgSmooth(); }
    void SetSmoothFilter(int value);
    int Duration() const { return FDesc.Duration(); }
    void SetDuration(int value);

    void AssignFrom(const TRdgImage& base);

    const TRdgResolver& Resolver() const { return FResolver; }
    void SetResolver(TRdgResolver resolver);
    // The default clock is std::chrono::steady_clock.
    void SetClock(TRdgClock clock) { FClock = std::move(clock); }

    const TSource& Source() const;
    // The picture name shown now (the current frame's when animated).
    std::string CurrentImageName() const;
    int CurrentFrame() const { return FAnim.Frame(); }
    // More than one frame to show.
    bool Animated() const { return FHasFrames && FAnim.Animated(); }
    // The animation timer, nullptr until an animated image is first drawn.
    const TRdTimer* Timer() const { return FTimer.get(); }

private:
    void DescriptorChanged();
    void ForgetBase();
    void LoadAnimation();
    void EnsureTimer();
    void Tick();
    std::int64_t Now() const;

    TRdgDescriptor FDesc;
    TRdgResolver FResolver;
    TRdgClock FClock;
    // The base's picture, for a descriptor naming none.
    std::string FBaseImgName;
    // Animation: the pattern of the frames' names (own or the base's PlayImgName).
    bool FHasFrames = false;
    std::string FPattern;
    std::string FPlayPattern, FPlayScript;
    TRdgAnimation FAnim;
    std::unique_ptr<TRdTimer> FTimer;

    mutable TSource FSource;
    mutable bool FSourceValid = false;
};
