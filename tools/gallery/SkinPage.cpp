// Gallery page "skin": controls that take their pictures from a skin package and
// nothing else. At start the page writes a small package ("demo": public/main.ini
// and the PNG pictures drawn here) below DIR/gallery-skin and binds each control to
// one of its classes: a combo box face, an edit's normal image, a scroll bar's
// groove and thumb, a label's background, a stretched picture, and that picture
// again with AllSkin.Draw.DrawAlpha and with AllSkin.Draw.DrawScale.
//
// --selftest checks pixels of its own back buffer after the hold time (each
// picture where its control is, the faded one between picture and card, the scaled
// one leaving its corners to the card) and writes DIR/skin-backbuffer.png.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "os/Utf8Path.h"
#include "public/rdcontrol/controls/common/RdStretchImage.h"
#include "public/rdcontrol/controls/input/RdComboBox.h"
#include "public/rdcontrol/controls/input/RdEdit.h"
#include "public/rdcontrol/controls/input/RdScrollBarEx.h"
#include "public/rdcontrol/controls/label/RdLabel.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/RdControls.h"
#include "public/rdcontrol/png/PngImage.h"
#include "public/rdcontrol/skin/RdSkinStyle.h"
#include "tools/gallery/GalleryPages.h"

namespace {

constexpr TColor kCard = RGB(248, 248, 250);
constexpr TColor kInk = RGB(40, 40, 48);
constexpr TColor kFace = RGB(60, 50, 140), kFaceBorder = RGB(132, 118, 255);
constexpr TColor kEditFill = RGB(236, 234, 255), kEditBorder = RGB(116, 100, 250);
constexpr TColor kGroove = RGB(214, 214, 226), kThumb = RGB(85, 69, 228);
constexpr TColor kLabelBg = RGB(255, 214, 120);
constexpr TColor kTile = RGB(52, 199, 123), kTileBorder = RGB(20, 120, 70);

TArgbSurface Box(int w, int h, TColor fill, TColor border, int radius) {
    TArgbSurface s(w, h);
    TRdCanvas c(s);
    c.RoundRect(s.Bounds(), radius, radius, fill, border);
    return s;
}

std::string PngBytes(const TArgbSurface& surface) {
    TPngImage png;
    png.AssignPremultiplied(static_cast<std::uint32_t>(surface.Width()), static_cast<std::uint32_t>(surface.Height()),
                            std::span<const std::uint32_t>(surface.Row(0), static_cast<std::size_t>(surface.Width()) *
                                                                               surface.Height()));
    const auto bytes = png.SaveToBytes();
    return std::string(bytes.begin(), bytes.end());
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The package: every picture a control below shows comes from here.
constexpr const char* kMainIni = R"ini([face]
class=TRdComboBox
Background.Text=('imgname=:/combo_face.png')
BackgroundOption.Left=8
BackgroundOption.Top=8
BackgroundOption.Right=8
BackgroundOption.Bottom=8
[edit]
class=TRdEdit
ImageNormal.Text=('imgname=:/edit_normal.png')
ImageOption.Left=6
ImageOption.Top=6
ImageOption.Right=6
ImageOption.Bottom=6
[bar]
AllSkinImage.ScrollBg.Text=('imgname=:/bar_groove.png')
AllSkinImage.ScrollBg_Option.Left=5
AllSkinImage.ScrollBg_Option.Right=5
AllSkinImage.TrackCenter.Text=('imgname=:/bar_thumb.png')
AllSkinImage.Track_Option.Left=5
AllSkinImage.Track_Option.Right=5
[label_bg]
BkgNormal.Text=('imgname=:/label_bg.png')
BkgOption.Left=8
BkgOption.Top=8
BkgOption.Right=8
BkgOption.Bottom=8
[tile]
Picture.Text=('imgname=:/tile.png')
StretchOption.Left=12
StretchOption.Top=12
StretchOption.Right=12
StretchOption.Bottom=12
[tile_faded]
parent=tile
AllSkin.Draw.DrawAlpha=96
[tile_small]
parent=tile
AllSkin.Draw.DrawScale=60
)ini";

void WritePackage(const std::filesystem::path& folder) {
    WriteFile(folder / "public" / "main.ini", kMainIni);
    WriteFile(folder / "combo_face.png", PngBytes(Box(40, 30, kFace, kFaceBorder, 7)));
    WriteFile(folder / "edit_normal.png", PngBytes(Box(30, 30, kEditFill, kEditBorder, 6)));
    WriteFile(folder / "bar_groove.png", PngBytes(Box(20, 12, kGroove, kGroove, 6)));
    WriteFile(folder / "bar_thumb.png", PngBytes(Box(20, 12, kThumb, kThumb, 6)));
    WriteFile(folder / "label_bg.png", PngBytes(Box(30, 30, kLabelBg, RGB(200, 150, 40), 8)));
    WriteFile(folder / "tile.png", PngBytes(Box(40, 40, kTile, kTileBorder, 12)));
}

struct TProbes {
    int Failed = 0;
    void Check(bool ok, const std::string& what, std::uint32_t value) {
        std::printf("probe %-58s %s (0x%08X)\n", what.c_str(), ok ? "ok" : "FAILED", static_cast<unsigned>(value));
        if (!ok) ++Failed;
    }
};

int Near(std::uint32_t argb, TColor color) {
    const std::uint32_t want = ColorToArgb(color);
    int worst = 0;
    for (int shift : {0, 8, 16}) {
        const int d = std::abs(static_cast<int>((argb >> shift) & 0xFF) - static_cast<int>((want >> shift) & 0xFF));
        worst = std::max(worst, d);
    }
    return worst;
}

class TSkinForm : public TRdLayerForm {
public:
    TSkinForm(TComponent* owner, const std::string& outDir) : TRdLayerForm(owner) {
        SetBounds(100, 100, 560, 330);
        SetCaption("Pictures from a skin");
        Font().SetName("Tahoma");
        Font().SetHeight(-13);
        Font().SetColor(kInk);

        const std::filesystem::path root = Utf8Path(outDir) / "gallery-skin";
        WritePackage(root / "demo");
        FStyle.SetName("GallerySkin");
        FStyle.OnLog = [](const std::string& line) { std::printf("skin %s\n", line.c_str()); };
        FStyle.BeginUpdate();
        FStyle.SetProgramFolder(PathUtf8(Utf8Path(outDir)));
        FStyle.SetRuntimePath("gallery-skin");
        FStyle.SetSkinRccFile("demo");
        FStyle.EndUpdate();

        auto* card = new TRdPaintBox(this);
        card->SetParent(this);
        card->SetAlign(alClient);
        card->OnPaint = [](TControl* sender, TRdCanvas& canvas) {
            canvas.RoundRect(sender->ClientRect(), 14, 14, kCard, RGB(120, 120, 130));
        };
        auto* title = new TRdLabel(this);
        title->SetParent(this);
        title->SetBounds(20, 12, 400, 28);
        title->Font().SetHeight(-20);
        title->Font().SetStyle(fsBold);
        title->SetCaption("Pictures from a skin");

        Combo = new TRdComboBox(this);
        Combo->SetName("cbxSkin");
        Combo->SetParent(this);
        Combo->SetBounds(20, 56, 200, 30);
        Combo->SetComboboxHeight(30);
        Combo->Font().SetColor(RGB(255, 255, 255));
        Combo->SetItems({"Combo face from the skin", "Second"});
        Combo->SetItemIndex(0);
        Bind(*Combo, "face");

        Edit = new TRdEdit(this);
        Edit->SetName("edtSkin");
        Edit->SetParent(this);
        Edit->SetBounds(240, 56, 200, 30);
        Edit->SetTextLeftMargin(8);
        Edit->SetText("Edit image from the skin");
        Bind(*Edit, "edit");

        Bar = new TRdScrollBarEx(this);
        Bar->SetName("sbSkin");
        Bar->SetParent(this);
        Bar->SetKind(sbHorizontal);
        Bar->SetBounds(20, 104, 420, 12);
        Bar->SetMax(100);
        Bar->SetPageSize(30);
        Bar->SetPosition(35);
        Bind(*Bar, "bar");

        Label = new TRdLabel(this);
        Label->SetName("lblSkin");
        Label->SetParent(this);
        Label->SetAutoSize(false);
        Label->SetLayout(tlCenter);
        Label->SetAlignment(taCenter);
        Label->SetBounds(20, 132, 280, 32);
        Label->SetCaption("Label background from the skin");
        Bind(*Label, "label_bg");

        const char* tiles[] = {"tile", "tile_faded", "tile_small"};
        const char* captions[] = {"Picture", "DrawAlpha=96", "DrawScale=60"};
        for (int i = 0; i < 3; ++i) {
            Tiles[i] = new TRdStretchImage(this);
            Tiles[i]->SetParent(this);
            Tiles[i]->SetBounds(20 + i * 140, 184, 120, 90);
            Bind(*Tiles[i], tiles[i]);
            auto* caption = new TRdLabel(this);
            caption->SetParent(this);
            caption->SetBounds(20 + i * 140, 280, 120, 20);
            caption->SetCaption(captions[i]);
        }
    }

    int SelfTest(const std::string& outDir) {
        PaintAll();
        const TArgbSurface& b = BackBuffer();
        TProbes p;
        auto at = [&b](TControl* c, int dx, int dy) { return b.Pixel(c->Left() + dx, c->Top() + dy); };
        const TRect face = Combo->Face().BoundsRect();
        const std::uint32_t facePx = b.Pixel(face.Left + 4, face.Top + face.Height() / 2);
        p.Check(Near(facePx, kFace) < 8, "combo face is the skin's picture", facePx);
        const std::uint32_t editPx = at(Edit, Edit->Width() - 2, Edit->Height() / 2);
        p.Check(Near(editPx, kEditFill) < 8 || Near(editPx, kEditBorder) < 40, "edit shows the skin's image", editPx);
        // Position 35 of 100, page 30: the thumb covers the middle, the groove shows at a fifth.
        const std::uint32_t groovePx = at(Bar, Bar->Width() / 5, 6), thumbPx = at(Bar, Bar->Width() / 2, 6);
        p.Check(Near(groovePx, kGroove) < 8, "scroll bar groove from the skin", groovePx);
        p.Check(Near(thumbPx, kThumb) < 8, "scroll bar thumb from the skin", thumbPx);
        const std::uint32_t labelPx = at(Label, 4, Label->Height() / 2);
        p.Check(Near(labelPx, kLabelBg) < 8, "label background from the skin", labelPx);
        const std::uint32_t tile = at(Tiles[0], 60, 45), faded = at(Tiles[1], 60, 45);
        p.Check(Near(tile, kTile) < 8, "stretched picture from the skin", tile);
        // 96 / 255 of the picture over the card.
        const int cardRed = static_cast<int>((ColorToArgb(kCard) >> 16) & 0xFF);
        const int tileRed = static_cast<int>((ColorToArgb(kTile) >> 16) & 0xFF);
        const int expectRed = (96 * tileRed + (255 - 96) * cardRed) / 255;
        p.Check(std::abs(static_cast<int>((faded >> 16) & 0xFF) - expectRed) < 8, "DrawAlpha fades the picture",
                faded);
        const std::uint32_t smallCorner = at(Tiles[2], 8, 8), smallCentre = at(Tiles[2], 60, 45);
        p.Check(Near(smallCorner, kCard) < 4, "DrawScale leaves the corner to the card", smallCorner);
        p.Check(Near(smallCentre, kTile) < 8, "DrawScale keeps the picture centred", smallCentre);
        try {
            TPngImage png;
            png.AssignPremultiplied(
                static_cast<std::uint32_t>(b.Width()), static_cast<std::uint32_t>(b.Height()),
                std::span<const std::uint32_t>(b.Row(0), static_cast<std::size_t>(b.Width()) * b.Height()));
            png.SaveToFile(outDir + "/skin-backbuffer.png");
        } catch (const std::exception& e) {
            std::printf("could not save the back buffer: %s\n", e.what());
            ++p.Failed;
        }
        std::printf("selftest %s\n", p.Failed ? "FAILED" : "passed");
        return p.Failed ? 1 : 0;
    }

private:
    void Bind(TControl& control, const char* skinClass) {
        control.AllSkin().SetStyle(&FStyle);
        control.AllSkin().SetSkinClass(skinClass);
    }

    // Goes before the controls the form owns; their bindings then follow the main
    // style (none here) and keep the values applied.
    TRdSkinStyle FStyle;
    TRdComboBox* Combo = nullptr;
    TRdEdit* Edit = nullptr;
    TRdScrollBarEx* Bar = nullptr;
    TRdLabel* Label = nullptr;
    TRdStretchImage* Tiles[3] = {};
};

const GalleryPageRegistration kSkinPage("skin", [](TApplication& app, const GalleryPageOptions& options) {
    auto* form = app.CreateForm<TSkinForm>(options.outDir);
    form->Show();
    form->PaintAll();
    const bool selftest = options.selftest;
    const std::string out = options.outDir;
    return std::function<int()>([form, selftest, out] { return selftest ? form->SelfTest(out) : 0; });
});

}  // namespace
