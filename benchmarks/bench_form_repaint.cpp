// Repainting a whole 640 x 390 skinned form: a translucent card, a dozen
// nine-slice pictures (RDG descriptors over PNG faces, as skins ship them) and a
// dozen labels, into the form's back buffer. This is what every full repaint of
// an installer page costs. Host text uses the fixed test metrics (box glyphs); the
// coverage compositing is the same code the platform's glyphs go through.
//
// BM_RepaintLayeredControls is the same for the installer's own controls: image
// buttons with nine-slice faces and captions (one with an icon), check boxes, three
// progress bars (one with its highlight), a notebook page with text and the named
// image and label lists; BM_ComposeShadow is the shadow window of such a form
// (670 x 420, a 15-pixel frame picture and a border line).
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "net/EventLoop.h"
#include "public/rdcontrol/controls/form/RdFormSkin.h"
#include "public/rdcontrol/controls/imagebutton/RdImageButton.h"
#include "public/rdcontrol/controls/notebook/ImageNote.h"
#include "public/rdcontrol/controls/notebook/LabelNote.h"
#include "public/rdcontrol/controls/notebook/PageNote.h"
#include "public/rdcontrol/controls/progress/RdProgressBar.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/RdControls.h"
#include "public/rdcontrol/pictures/ImageCache.h"
#include "public/rdcontrol/png/PngImage.h"

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


std::shared_ptr<TPngGraphic> Face(TColor top, TColor bottom) {
    TArgbSurface s(24, 24);
    TRdCanvas c(s);
    c.RoundRect(s.Bounds(), 6, 6, top, bottom);
    return TPngGraphic::FromSurface(s);
}

void BM_RepaintLayeredControls(benchmark::State& state) {
    auto loop = MakeEventLoop();
    TApplication app(*loop, std::make_unique<TNoWindowPlatform>());
    auto* form = app.CreateForm<TRdLayerForm>();
    form->SetBounds(0, 0, 640, 390);

    auto* card = new TRdPaintBox(form);
    card->SetParent(form);
    card->SetAlign(alClient);
    card->OnPaint = [](TControl* sender, TRdCanvas& canvas) {
        canvas.RoundRect(sender->ClientRect(), 14, 14, RGB(250, 250, 252), RGB(120, 120, 130), 240);
    };
    const auto normal = Face(RGB(70, 140, 240), RGB(20, 70, 170));
    const auto over = Face(RGB(110, 175, 255), RGB(30, 90, 200));
    auto button = [&](TRect r, const std::string& caption) {
        auto* b = new TRdImageButton(form);
        b->SetParent(form);
        b->SetBoundsRect(r);
        b->SetCaption(caption);
        b->ImageNormal().SetGraphic(normal);
        b->ImageOver().SetGraphic(over);
        for (auto set : {&TDesignRect::SetLeft, &TDesignRect::SetTop, &TDesignRect::SetRight, &TDesignRect::SetBottom})
            (b->ImageOption().*set)(8);
        return b;
    };
    for (int i = 0; i < 4; ++i) button(TRect::FromSize(20 + i * 150, 58, 140, 40), "Install now " + std::to_string(i));
    button(TRect::FromSize(20, 186, 90, 28), "Page 1")->SetSelected(true);
    button(TRect::FromSize(116, 186, 90, 28), "Page 2");
    auto* icon = button(TRect::FromSize(420, 282, 200, 34), "Options");
    icon->DnNormalIcon().SetGraphic(Face(RGB(255, 255, 255), RGB(200, 200, 200)));
    const auto box = Face(RGB(255, 255, 255), RGB(130, 130, 140));
    for (int i = 0; i < 3; ++i) {
        auto* check = button(TRect::FromSize(20 + i * 200, 112, 190, 24), "Create a desktop icon");
        check->ImageNormal().Clear();
        check->SetShowCheckBox(true);
        check->SetButtonCaptionAlignment(taLeftJustify);
        check->CheckBoxNormalImage().SetGraphic(box);
        check->CheckBoxCheckedImage().SetGraphic(box);
    }
    const auto track = Face(RGB(215, 218, 226), RGB(215, 218, 226));
    const auto bar = Face(RGB(40, 120, 230), RGB(40, 120, 230));
    for (int i = 0; i < 3; ++i) {
        auto* p = new TRdProgressBar(form);
        p->SetParent(form);
        p->SetBounds(20 + i * 210, 152, 190, 12);
        p->ImgBackground().SetGraphic(track);
        p->ImgBar().SetGraphic(bar);
        p->ImgBarOption().SetLeft(5);
        p->ImgBarOption().SetRight(5);
        if (i == 1) p->ImgBooster().SetGraphic(Face(RGB(255, 255, 255), RGB(255, 255, 255)));
        p->SetPosition(i * 50);
        if (i == 1)
            for (int k = 0; k < 10; ++k) p->StepBooster();
    }
    auto* note = new TPageNote(form);
    note->SetParent(form);
    note->SetBounds(20, 222, 380, 150);
    auto* page = new TPageTab(form);
    page->SetParent(note);
    page->SetColor(RGB(232, 240, 255));
    note->SetTabIndex(0);
    auto* text = new TLabel(form);
    text->SetParent(page);
    text->SetBounds(16, 16, 340, 100);
    text->SetWordWrap(true);
    text->SetCaption("Qarto Private Browser will be installed for all users of this computer. "
                     "You can change the folder and the shortcuts in the options.");
    auto* status = new TRdImageNote(form);
    status->SetParent(form);
    status->SetBounds(420, 222, 48, 48);
    status->Items().Add(Face(RGB(40, 170, 80), RGB(40, 170, 80)).get());
    status->SetImageIndex(0);
    auto* statusText = new TLabelNote(form);
    statusText->SetParent(form);
    statusText->SetBounds(480, 238, 140, 20);
    statusText->Items() = {{"Installed", "done"}};
    statusText->SetTextIndex(0);
    form->PaintAll();

    for (auto _ : state) {
        form->PaintAll();
        benchmark::DoNotOptimize(form->BackBuffer().Pixel(320, 200));
    }
    state.SetLabel("640x390, 13 image buttons (3 check boxes), 3 progress bars, notebook, lists");
}
BENCHMARK(BM_RepaintLayeredControls)->Unit(benchmark::kMicrosecond);

void BM_ComposeShadow(benchmark::State& state) {
    auto loop = MakeEventLoop();
    TApplication app(*loop, std::make_unique<TNoWindowPlatform>());
    auto* form = app.CreateForm<TRdLayerForm>();
    form->SetBounds(0, 0, 640, 390);
    auto* skin = new TRdFormSkin(form);
    TArgbSurface frame(40, 40, 0x40000000u);
    skin->PicShadow().SetGraphic(TPngGraphic::FromSurface(frame));
    skin->PicShadowOption().SetStretchMode(sdmFrame);
    for (auto set : {&TDesignRect::SetLeft, &TDesignRect::SetTop, &TDesignRect::SetRight, &TDesignRect::SetBottom})
        (skin->PicShadowOption().*set)(15);
    skin->ShadowFrame().SetLeft(15);
    skin->ShadowFrame().SetTop(15);
    skin->ShadowFrame().SetRight(15);
    skin->ShadowFrame().SetBottom(15);
    skin->BorderLines().SetEnabled(true);
    TRdFormShadowBg& shadow = skin->ShadowBg();
    shadow.SetBounds(TRect::FromSize(-15, -15, 670, 420));
    for (auto _ : state) {
        shadow.Compose();
        benchmark::DoNotOptimize(shadow.Surface().Pixel(5, 200));
    }
    state.SetLabel("670x420 shadow: frame picture and border line");
}
BENCHMARK(BM_ComposeShadow)->Unit(benchmark::kMicrosecond);

}  // namespace
