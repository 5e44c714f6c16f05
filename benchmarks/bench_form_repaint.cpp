// Repainting a whole 640 x 390 skinned form: a translucent card, a dozen
// nine-slice pictures (RDG descriptors over PNG faces, as skins ship them) and a
// dozen labels, into the form's back buffer. This is what every full repaint of
// an installer page costs. Host text uses the fixed test metrics (box glyphs); the
// coverage compositing is the same code the platform's glyphs go through.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "net/EventLoop.h"
#include "public/rdcontrol/pictures/ImageCache.h"
#include "public/rdcontrol/png/PngImage.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/RdControls.h"

namespace {

class TNoWindowPlatform final : public TApplicationPlatform {
public:
    std::unique_ptr<TFormWindow> MakeWindow(TCustomForm&) override { return nullptr; }
    TRect WorkArea(TPoint) const override { return TRect{0, 0, 1280, 1024}; }
    TPoint CursorPos() const override { return TPoint{}; }
    void SetTitle(const std::string&) override {}
};

std::string FacePng() {
    TArgbSurface face(48, 48);
    TRdCanvas c(face);
    c.RoundRect(face.Bounds(), 10, 10, RGB(66, 133, 244), RGB(20, 60, 160), 230);
    TPngImage png;
    png.AssignPremultiplied(48, 48, std::span<const std::uint32_t>(face.Row(0), 48 * 48));
    const auto bytes = png.SaveToBytes();
    return std::string(bytes.begin(), bytes.end());
}

void BM_RepaintSkinnedForm(benchmark::State& state) {
    auto loop = MakeEventLoop();
    TApplication app(*loop, std::make_unique<TNoWindowPlatform>());
    auto* form = app.CreateForm<TRdLayerForm>();
    form->SetBounds(0, 0, 640, 390);

    const std::string face = FacePng();
    TImageCache cache([&](const std::string& name) -> std::optional<std::string> {
        if (name == "face.png") return face;
        return std::nullopt;
    });

    auto* card = new TRdPaintBox(form);
    card->SetParent(form);
    card->SetAlign(alClient);
    card->OnPaint = [](TControl* sender, TRdCanvas& canvas) {
        canvas.RoundRect(sender->ClientRect(), 14, 14, RGB(250, 250, 252), RGB(120, 120, 130), 240);
    };
    const char* modes[] = {"imgopt!=12,12,12,12,1", "imgopt!=12,12,12,12,2", "imgopt!=12,12,12,12,3"};
    for (int i = 0; i < 12; ++i) {
        auto* image = new TRdImage(form);
        image->SetParent(form);
        image->SetBounds(20 + (i % 4) * 150, 20 + (i / 4) * 120, 140, 70);
        image->SetStretch(true);
        image->Picture().SetResolver(cache.Resolver());
        image->Picture().SetText({"imgname=face.png", modes[i % 3]});

        auto* label = new TLabel(form);
        label->SetParent(form);
        label->SetBounds(20 + (i % 4) * 150, 95 + (i / 4) * 120, 140, 36);
        label->SetWordWrap(true);
        label->SetEndEllipsis(true);
        label->SetTag(TLabel::kAntialiasTag);
        label->SetCaption("Install for all users of this computer, label " + std::to_string(i));
    }
    form->PaintAll();  // resolve pictures and measure fonts once, as the first paint does

    for (auto _ : state) {
        form->PaintAll();
        benchmark::DoNotOptimize(form->BackBuffer().Pixel(320, 200));
    }
    state.SetLabel("640x390, 12 nine-slice pictures + 12 wrapped labels");
}
BENCHMARK(BM_RepaintSkinnedForm)->Unit(benchmark::kMicrosecond);

}  // namespace
