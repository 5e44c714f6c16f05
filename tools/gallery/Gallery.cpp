// The control gallery: one per-pixel-alpha layered form showing every primitive
// and base control of the library (gradients, shapes, nine-slice pictures in all
// modes, an animated RDG picture, labels with wrapping, ellipsis and
// anti-aliasing, alpha text, a hint). Run by hand to look at the library, or with
// --selftest to check the painted pixels (the test under Wine does).
//
//   Gallery.exe [--page NAME] [--selftest] [--hold-ms N] [--out DIR]
// --page: another page of the gallery (GalleryPages.h) instead of the primitives.
// --selftest: after the form has been shown and animated for a while, checks
// probe pixels of its back buffer, writes it as DIR/gallery-backbuffer.png and
// exits with 0 when every probe passed, 1 otherwise. --hold-ms keeps the window up
// that long (default: until closed, or 2500 ms with --selftest).
#include <windows.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "net/EventLoop.h"
#include "os/TextConvert.h"
#include "public/rdcontrol/pictures/ImageCache.h"
#include "public/rdcontrol/png/PngImage.h"
#include "public/rdcontrol/pictures/RdGraphic.h"
#include "public/rdcontrol/framework/NativeControl.h"
#include "public/rdcontrol/framework/RdAutoAlign.h"
#include "public/rdcontrol/framework/RdControls.h"
#include "public/rdcontrol/framework/Win32Platform.h"
#include "tools/gallery/GalleryPages.h"

namespace {

// Pictures a skin would ship, made here so the gallery needs no files.
std::string PngBytes(const TArgbSurface& surface) {
    TPngImage png;
    png.AssignPremultiplied(static_cast<std::uint32_t>(surface.Width()), static_cast<std::uint32_t>(surface.Height()),
                            std::span<const std::uint32_t>(surface.Row(0), static_cast<std::size_t>(surface.Width()) *
                                                                               surface.Height()));
    const auto bytes = png.SaveToBytes();
    return std::string(bytes.begin(), bytes.end());
}

// A 24 x 24 rounded button face with a 1-pixel border: what nine-slice is for.
TArgbSurface ButtonFace() {
    TArgbSurface s(24, 24);
    TRdCanvas c(s);
    c.RoundRect(s.Bounds(), 8, 8, RGB(66, 133, 244), RGB(20, 60, 160));
    c.FillRect(TRect{8, 8, 16, 16}, RGB(255, 255, 255), 120);
    return s;
}

// Frame k of a spinner: a dot going round.
TArgbSurface SpinnerFrame(int k) {
    TArgbSurface s(32, 32);
    TRdCanvas c(s);
    c.RoundRect(s.Bounds(), 16, 16, clNone, RGB(180, 180, 180));
    const int pos[8][2] = {{13, 2}, {22, 6}, {25, 13}, {22, 21}, {13, 24}, {5, 21}, {2, 13}, {5, 6}};
    c.RoundRect(TRect::FromSize(pos[k - 1][0], pos[k - 1][1], 6, 6), 3, 3, RGB(230, 80, 40), clNone);
    return s;
}

class TGalleryForm : public TRdLayerForm {
public:
    explicit TGalleryForm(TComponent* owner) : TRdLayerForm(owner) {
        SetBounds(100, 100, 640, 390);
        SetCaption("Control gallery");
        Font().SetName("Tahoma");
        Font().SetHeight(-13);
        Font().SetColor(RGB(40, 40, 48));

        for (int k = 1; k <= 8; ++k) FFiles["spin_" + std::to_string(k) + ".png"] = PngBytes(SpinnerFrame(k));
        FFiles["btn.png"] = PngBytes(ButtonFace());
        FCache = std::make_unique<TImageCache>([this](const std::string& name) -> std::optional<std::string> {
            auto it = FFiles.find(name);
            if (it == FFiles.end()) return std::nullopt;
            return it->second;
        });

        // The window itself: a translucent rounded card (the desktop shows through
        // its corners and, faintly, through its body).
        Background = new TRdPaintBox(this);
        Background->SetParent(this);
        Background->SetAlign(alClient);
        Background->OnPaint = [](TControl* sender, TRdCanvas& canvas) {
            canvas.RoundRect(sender->ClientRect(), 14, 14, RGB(250, 250, 252), RGB(120, 120, 130), 240);
        };

        Title = new TLabel(this);
        Title->SetParent(this);
        Title->SetTag(TLabel::kAntialiasTag);
        Title->SetBounds(24, 16, 400, 30);
        Title->Font().SetHeight(-24);
        Title->Font().SetStyle(fsBold);
        Title->Font().SetColor(RGB(20, 20, 90));
        Title->SetCaption("Control gallery");

        Subtitle = new TLabel(this);
        Subtitle->SetParent(this);
        Subtitle->SetBounds(24, 0, 280, 36);
        Subtitle->SetWordWrap(true);
        Subtitle->SetEndEllipsis(true);
        Subtitle->SetAlignWithMargins(true);
        Subtitle->SetMargins(TMargins{0, 4, 0, 0});
        Subtitle->SetCaption("Layered form, per-pixel alpha. This label follows the title and wraps; its last "
                             "visible line ends with an ellipsis when the text is longer than the space it has.");
        Subtitle->AutoAlign().SetSource(Title);

        Horizontal = new TRdPanel(this);
        Horizontal->SetParent(this);
        Horizontal->SetBounds(24, 110, 180, 40);
        Horizontal->SetColor(RGB(255, 0, 0));
        Horizontal->SetColorTo(RGB(0, 0, 255));
        Horizontal->SetCaption("gradient");
        Horizontal->Font().SetColor(clWhite);

        Vertical = new TRdPanel(this);
        Vertical->SetParent(this);
        Vertical->SetBounds(214, 110, 90, 40);
        Vertical->SetColor(RGB(255, 220, 0));
        Vertical->SetColorTo(RGB(0, 160, 60));
        Vertical->SetColorToVert(true);

        // The four nine-slice modes on the same 24 x 24 face.
        const char* modes[] = {"imgopt!=0,0,0,0,0", "imgopt!=8,8,8,8,1", "imgopt!=8,8,8,8,2", "imgopt!=8,8,8,8,3"};
        for (int i = 0; i < 4; ++i) {
            auto* image = new TRdImage(this);
            image->SetParent(this);
            image->SetBounds(24 + i * 100, 170, 90, 50);
            image->Picture().SetResolver(FCache->Resolver());
            image->Picture().SetText({"imgname=btn.png", modes[i]});
            image->SetStretch(true);
            Slices[i] = image;
        }

        Spinner = new TRdImage(this);
        Spinner->SetParent(this);
        Spinner->SetBounds(440, 170, 32, 32);
        Spinner->Picture().SetResolver(FCache->Resolver());
        Spinner->Picture().SetText({"imgname=spin_%d.png<1-8>", "duration=800"});
        Spinner->SetHint("An RDG animation on the library's timer");
        Spinner->SetShowHint(true);

        // A native editor inside the layered form (shown through its snapshot).
        Edit = new TNativeEdit(this);
        Edit->SetParent(this);
        Edit->SetBounds(490, 174, 130, 24);
        Edit->SetText("Native edit");

        Shapes = new TRdPaintBox(this);
        Shapes->SetParent(this);
        Shapes->SetBounds(24, 240, 280, 120);
        Shapes->OnPaint = [](TControl*, TRdCanvas& canvas) {
            canvas.FrameRect(TRect{0, 0, 280, 120}, RGB(90, 90, 90));
            for (int i = 0; i < 8; ++i) canvas.Line(10, 10 + i * 12, 120, 100 - i * 6, RGB(30 * i, 100, 200 - 20 * i));
            canvas.RoundRect(TRect{140, 10, 270, 60}, 12, 12, RGB(120, 200, 120), RGB(20, 90, 20));
            canvas.RoundRect(TRect{140, 70, 270, 110}, 20, 20, RGB(0, 0, 0), clNone, 90);
        };

        Alpha = new TLabel(this);
        Alpha->SetParent(this);
        Alpha->SetTag(TLabel::kAntialiasTag);
        Alpha->SetBounds(330, 250, 290, 24);
        Alpha->Font().SetHeight(-18);
        Alpha->Font().SetColor(RGB(200, 0, 0));
        Alpha->Font().SetAlpha(128);
        Alpha->SetCaption("Half-transparent text");

        Plain = new TLabel(this);
        Plain->SetParent(this);
        Plain->SetBounds(330, 285, 290, 20);
        Plain->SetCaption("Plain label, the platform's quality");

        Cut = new TLabel(this);
        Cut->SetParent(this);
        Cut->SetBounds(330, 315, 150, 20);
        Cut->SetEndEllipsis(true);
        Cut->SetCaption("A single line too long for its label");
    }

    TRdPaintBox* Background = nullptr;
    TLabel *Title = nullptr, *Subtitle = nullptr, *Alpha = nullptr, *Plain = nullptr, *Cut = nullptr;
    TRdPanel *Horizontal = nullptr, *Vertical = nullptr;
    TRdImage* Slices[4] = {};
    TRdImage* Spinner = nullptr;
    TNativeEdit* Edit = nullptr;
    TRdPaintBox* Shapes = nullptr;

private:
    std::map<std::string, std::string> FFiles;
    std::unique_ptr<TImageCache> FCache;
};

struct TProbeResult {
    int Failed = 0;
    void Check(bool ok, const char* what, std::uint32_t pixel) {
        std::printf("probe %-48s %s (pixel 0x%08X)\n", what, ok ? "ok" : "FAILED", static_cast<unsigned>(pixel));
        if (!ok) ++Failed;
    }
};

int Channel(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

// Checks what the form painted: transparent corners, a translucent body, the
// gradient's ends, text that kept its alpha (the point of painting text through
// coverage masks), the nine-slice frame mode leaving the centre to what is below.
int SelfTest(TGalleryForm& form) {
    const TArgbSurface& b = form.BackBuffer();
    TProbeResult r;
    r.Check(b.Pixel(0, 0) == 0, "corner outside the rounded card is transparent", b.Pixel(0, 0));
    r.Check(Channel(b.Pixel(320, 100), 24) == 240, "card body alpha 240", b.Pixel(320, 100));
    const std::uint32_t left = b.Pixel(24, 130), right = b.Pixel(24 + 179, 130);
    r.Check(Channel(left, 16) == 255 && Channel(left, 0) == 0, "horizontal gradient starts red", left);
    r.Check(Channel(right, 0) == 255 && Channel(right, 16) == 0, "horizontal gradient ends blue", right);

    // Title text: dark blue ink, and opaque: text drawn by GDI straight into the
    // surface would have zeroed the alpha of exactly these pixels.
    int ink = 0, opaque = 0;
    for (int y = 16; y < 46; ++y)
        for (int x = 24; x < 240; ++x) {
            const std::uint32_t p = b.Pixel(x, y);
            if (Channel(p, 0) > Channel(p, 16) + 60) {
                ++ink;
                opaque += Channel(p, 24) >= 250;
            }
        }
    r.Check(ink > 200 && opaque * 10 >= ink * 9, "title glyphs are dark blue and opaque",
            static_cast<std::uint32_t>(ink) << 16 | static_cast<std::uint32_t>(opaque));

    // Half-transparent red text over the card: redder than the card, not opaque red.
    int redInk = 0;
    for (int y = 250; y < 274; ++y)
        for (int x = 330; x < 600; ++x) {
            const std::uint32_t p = b.Pixel(x, y);
            if (Channel(p, 16) > Channel(p, 8) + 60 && Channel(p, 16) < 250) ++redInk;
        }
    r.Check(redInk > 100, "alpha text composited at half opacity", static_cast<std::uint32_t>(redInk));

    // Frame mode: the centre of the fourth slice shows the card, the border the face.
    const std::uint32_t frameCentre = b.Pixel(324 + 45, 195), cardNear = b.Pixel(320, 100);
    r.Check(frameCentre == cardNear, "frame mode leaves the centre untouched", frameCentre);
    const std::uint32_t frameEdge = b.Pixel(324 + 45, 170);
    r.Check(Channel(frameEdge, 0) > Channel(frameEdge, 16), "frame mode draws the border", frameEdge);

    r.Check(form.Subtitle->Top() == form.Title->Top() + form.Title->Height() + 4, "subtitle sits 4 px under the title",
            static_cast<std::uint32_t>(form.Subtitle->Top()));
    r.Check(form.Cut->TextCut(), "over-long label reports its text cut", 0);
    const std::uint32_t edit = b.Pixel(490 + 120, 174 + 12);
    r.Check(Channel(edit, 24) == 255 && Channel(edit, 8) > 200, "native edit shows opaque in the layered form", edit);
    return r.Failed;
}

}  // namespace

std::map<std::string, GalleryPageFactory>& GalleryPages() {
    static std::map<std::string, GalleryPageFactory> pages;
    return pages;
}

int wmain(int argc, wchar_t** argv) {
    bool selftest = false;
    int holdMs = -1;
    std::string outDir = ".", page;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = Narrow(argv[i]);
        if (arg == "--selftest") selftest = true;
        else if (arg == "--hold-ms" && i + 1 < argc) holdMs = std::stoi(Narrow(argv[++i]));
        else if (arg == "--out" && i + 1 < argc) outDir = Narrow(argv[++i]);
        else if (arg == "--page" && i + 1 < argc) page = Narrow(argv[++i]);
    }
    if (selftest && holdMs < 0) holdMs = 2500;

    InstallWin32SystemColors();
    auto loop = MakeEventLoop();
    TApplication app(*loop, MakeWin32ApplicationPlatform());
    InstallApplicationMessageHook(app);
    app.SetTitle("Control gallery");
    if (!page.empty()) {
        auto it = GalleryPages().find(page);
        if (it == GalleryPages().end()) {
            std::fprintf(stderr, "no gallery page %s\n", page.c_str());
            return 2;
        }
        auto after = it->second(app, GalleryPageOptions{selftest, outDir});
        if (holdMs >= 0) loop->StartTimer(std::chrono::milliseconds(holdMs), false, [&] { app.Terminate(); });
        app.Run();
        return after ? after() : 0;
    }
    auto* form = app.CreateForm<TGalleryForm>();
    form->Show();

    if (holdMs >= 0) loop->StartTimer(std::chrono::milliseconds(holdMs), false, [&] { app.Terminate(); });
    int frameChanges = 0;
    int lastFrame = -1;
    const EventLoop::TimerId watch = loop->StartTimer(std::chrono::milliseconds(50), true, [&] {
        if (auto* rdg = dynamic_cast<TRdgImage*>(form->Spinner->Picture().Graphic().get())) {
            if (rdg->CurrentFrame() != lastFrame) ++frameChanges;
            lastFrame = rdg->CurrentFrame();
        }
    });
    app.Run();
    loop->StopTimer(watch);
    if (!selftest) return 0;

    form->PaintAll();
    int failed = SelfTest(*form);
    std::printf("probe %-48s %s (%d changes)\n", "spinner animated while shown", frameChanges >= 5 ? "ok" : "FAILED",
                frameChanges);
    if (frameChanges < 5) ++failed;
    try {
        TPngImage png;
        const TArgbSurface& b = form->BackBuffer();
        png.AssignPremultiplied(static_cast<std::uint32_t>(b.Width()), static_cast<std::uint32_t>(b.Height()),
                                std::span<const std::uint32_t>(b.Row(0), static_cast<std::size_t>(b.Width()) * b.Height()));
        png.SaveToFile(outDir + "/gallery-backbuffer.png");
    } catch (const std::exception& e) {
        std::printf("could not save the back buffer: %s\n", e.what());
        ++failed;
    }
    std::printf("selftest %s\n", failed ? "FAILED" : "passed");
    return failed ? 1 : 0;
}
