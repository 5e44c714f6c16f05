#include "public/rdcontrol/pictures/RdgImage.h"

#include <algorithm>
#include <chrono>
#include <vector>


namespace {

constexpr const char* kPlayImgName = "PlayImgName";
constexpr const char* kPlayScript = "PlayScript";

TPixelStretchFilter DrawFilter(int smooth) {
    return smooth >= psfDefault && smooth <= psfSmooth ? static_cast<TPixelStretchFilter>(smooth) : psfDefault;
}

}  // namespace

TRdgImage::TRdgImage() = default;

TRdgImage::TRdgImage(const TRdgImage& other)
    : TRdGraphic(other), FDesc(other.FDesc), FResolver(other.FResolver), FClock(other.FClock),
      FBaseImgName(other.FBaseImgName), FHasFrames(other.FHasFrames), FPattern(other.FPattern),
      FPlayPattern(other.FPlayPattern), FPlayScript(other.FPlayScript), FAnim(other.FAnim) {}

TRdgImage::~TRdgImage() = default;

std::shared_ptr<TRdGraphic> TRdgImage::Clone() const { return std::make_shared<TRdgImage>(*this); }

std::int64_t TRdgImage::Now() const {
    if (FClock) return FClock();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void TRdgImage::LoadFromBytes(std::string_view bytes) {
    TRdgDescriptor desc;
    desc.LoadFromBytes(bytes);
    FDesc = std::move(desc);
    ForgetBase();
    DescriptorChanged();
}

void TRdgImage::ForgetBase() {
    FBaseImgName.clear();
    FPlayPattern.clear();
    FPlayScript.clear();
}

void TRdgImage::SetText(std::string_view utf8) {
    TRdgDescriptor desc;
    desc.LoadFromText(utf8);
    FDesc = std::move(desc);
    ForgetBase();
    DescriptorChanged();
}

std::string TRdgImage::Text() const {
    const std::string text = FDesc.SaveToText();
    if (FPlayPattern.empty()) return text;
    TStringValueList values;
    values.SetText(text);
    if (values.IndexOfName(kPlayImgName) < 0) values.SetValue(kPlayImgName, FPlayPattern);
    if (values.IndexOfName(kPlayScript) < 0) values.SetValue(kPlayScript, FPlayScript);
    return values.Text();
}

TStringValueList TRdgImage::Values() const {
    TStringValueList values;
    values.SetText(Text());
    return values;
}

std::string TRdgImage::SaveToBytes() const { return "\xEF\xBB\xBF" + Text(); }

void TRdgImage::SetImgName(std::string_view value) {
    FDesc.SetImgName(value);
    DescriptorChanged();
}

void TRdgImage::SetImgRect(const TRdgRect& value) {
    FDesc.SetImgRect(value, true);
    DescriptorChanged();
}

void TRdgImage::SetImgOpt(const TDesignRect& value) {
    FDesc.SetImgOpt(value, true);
    DescriptorChanged();
}

void TRdgImage::SetAlphaBlendValue(int value) {
    FDesc.SetImgAlpha(value, true);
    DescriptorChanged();
}

void TRdgImage::SetSmoothFilter(int value) {
    FDesc.SetImgSmooth(value);
    DescriptorChanged();
}

void TRdgImage::SetDuration(int value) {
    FDesc.SetDuration(value, true);
    DescriptorChanged();
}

void TRdgImage::SetResolver(TRdgResolver resolver) {
    FResolver = std::move(resolver);
    FSourceValid = false;
    Changed();
}

void TRdgImage::DescriptorChanged() {
    FSourceValid = false;
    FSource = TSource{};
    FTimer.reset();
    LoadAnimation();
    Changed();
}

void TRdgImage::LoadAnimation() {
    // Lines win; without them what AssignFrom recorded stays.
    if (auto v = FDesc.Value(kPlayImgName)) FPlayPattern = *v;
    if (auto v = FDesc.Value(kPlayScript)) FPlayScript = *v;
    FAnim = TRdgAnimation();
    if (FDesc.HasScript()) {
        FHasFrames = true;
        FPattern = FDesc.ImagePattern();
        FAnim = FDesc.MakeAnimation(Now());
    } else if (FDesc.ImagePattern().empty() && !FPlayPattern.empty()) {
        FHasFrames = true;
        FPattern = FPlayPattern;
        FAnim = TRdgAnimation::FromScript(FPlayScript, FDesc.Duration(), FDesc.DurationExplicit(), Now());
    } else {
        FHasFrames = false;
        FPattern.clear();
    }
}

void TRdgImage::AssignFrom(const TRdgImage& base) {
    FDesc.InheritFrom(base.FDesc);
    FSourceValid = false;
    FSource = TSource{};
    FTimer.reset();
    LoadAnimation();
    FBaseImgName.clear();
    if (FDesc.ImagePattern().empty() && !FHasFrames) {
        if (base.FHasFrames) {
            // The base's animation goes on where it is; its pattern and script are
            // kept so that the saved descriptor can play it again.
            FHasFrames = true;
            FPattern = base.FPattern;
            FPlayPattern = base.FPattern;
            FPlayScript = base.FDesc.HasScript() ? base.FDesc.Script() : base.FPlayScript;
            FAnim = base.FAnim;
        } else {
            FBaseImgName = base.CurrentImageName();
        }
    }
    Changed();
}

std::string TRdgImage::CurrentImageName() const {
    if (FHasFrames) return FormatFrameName(FPattern, FAnim.Frame());
    if (!FDesc.ImagePattern().empty()) return FDesc.ImagePattern();
    return FBaseImgName;
}

const TRdgImage::TSource& TRdgImage::Source() const {
    if (FSourceValid) return FSource;
    FSource = TSource{};
    FSourceValid = true;
    std::string name = CurrentImageName();
    if (name.empty() || !FResolver) return FSource;

    TRdgRect rect = FDesc.ImgRect();
    int alpha = FDesc.ImgAlpha();
    // Every RDG image met, this one first: meeting one again is a cycle. They are
    // held until the walk ends, so no address is reused for another picture on the
    // way. The depth bound catches resolvers that hand out a new object every call.
    std::vector<const TRdGraphic*> visited{this};
    std::vector<std::shared_ptr<TRdGraphic>> held;
    std::shared_ptr<TRdGraphic> graphic = FResolver(name);
    for (int depth = 0; graphic && depth < MaxChain; ++depth) {
        if (auto png = std::dynamic_pointer_cast<TPngGraphic>(graphic)) {
            const TRect bounds{0, 0, png->Width(), png->Height()};
            TRect part = rect.WholePicture() ? bounds
                                             : TRect{rect.Left, rect.Top, rect.Right, rect.Bottom}.Intersect(bounds);
            if (part.IsEmpty()) return FSource;
            FSource.Picture = std::move(png);
            FSource.Rect = part;
            FSource.Alpha = alpha < 0 ? FSource.Picture->AlphaBlendValue() : static_cast<std::uint8_t>(alpha);
            return FSource;
        }
        const auto* rdg = dynamic_cast<const TRdgImage*>(graphic.get());
        if (!rdg || std::find(visited.begin(), visited.end(), rdg) != visited.end()) break;
        visited.push_back(rdg);
        held.push_back(graphic);
        if (rect.WholePicture()) rect = rdg->FDesc.ImgRect();
        if (alpha < 0) alpha = rdg->FDesc.ImgAlpha();
        name = rdg->CurrentImageName();
        if (name.empty()) break;
        graphic = (rdg->FResolver ? rdg->FResolver : FResolver)(name);
    }
    return FSource;
}

void TRdgImage::Draw(TRdCanvas& canvas, const TRect& dest) {
    if (Animated()) {
        FAnim.Drawn(Now());
        EnsureTimer();
    }
    const TSource& source = Source();
    if (!source.Picture || dest.IsEmpty()) return;
    const TArgbSurface& picture = source.Picture->Surface();
    const TPixelStretchFilter filter = DrawFilter(FDesc.ImgSmooth());
    TCanvasStateSaver saved(canvas);
    if (source.Picture->GrayMode()) canvas.SetDrawGray(true);
    if (FDesc.ImgOpt().Empty()) {
        canvas.StretchDraw(dest, picture, source.Rect, filter, source.Alpha);
        return;
    }
    // The nine-slice rule works on a whole picture: give it a read-only view of the
    // source rectangle. Nothing writes through it.
    const TRect& r = source.Rect;
    const TArgbSurface part = TArgbSurface::View(const_cast<std::uint32_t*>(picture.Row(r.Top)) + r.Left,
                                                 r.Width(), r.Height(), picture.Stride());
    canvas.DrawDesign(FDesc.ImgOpt(), part, dest, filter, source.Alpha);
}

void TRdgImage::EnsureTimer() {
    if (FTimer) {
        try {
            FTimer->SetEnabled(true);
        } catch (...) {
            FTimer.reset();  // the next Draw asks again
            throw;
        }
        return;
    }
    // Without a loop there is nothing to tick: the current frame stays.
    if (!TRdTimer::DefaultLoop()) return;
    auto timer = std::make_unique<TRdTimer>();
    timer->SetInterval(static_cast<unsigned>(FAnim.Interval()));
    timer->SetOnTimer([this](TRdTimer*) { Tick(); });
    FTimer = std::move(timer);
}

void TRdgImage::Tick() {
    const bool changed = FAnim.Tick(Now());
    if (!FAnim.Running()) {
        FTimer->SetEnabled(false);
        return;
    }
    if (FTimer->Interval() != static_cast<unsigned>(FAnim.Interval()))
        FTimer->SetInterval(static_cast<unsigned>(FAnim.Interval()));
    if (!changed) return;
    FSourceValid = false;
    // Last: the owner may free this image while repainting.
    Changed();
}
