// Gallery page "input": the HTML label, skinned labels, combo boxes with their
// pop-up list, image scroll bars, skinned edits over the native edit and the
// stretch image, each in its states, on one per-pixel-alpha form, with pictures
// drawn here. Every control event is printed as "event <Name> <Event> [detail]";
// at start "layout <Name> <x> <y> <w> <h>" lines give screen rectangles of what a
// test may click (the links' boxes too).
//
// --selftest checks pixels of its own back buffer after the hold time: the skinned
// edits show their images up to their right and bottom edges (no dark band under
// the native text), text ink is there, links and prompts in their colours.
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "public/rdcontrol/controls/common/PictureDraw.h"
#include "public/rdcontrol/controls/common/RdStretchImage.h"
#include "public/rdcontrol/controls/input/RdComboBox.h"
#include "public/rdcontrol/controls/input/RdEdit.h"
#include "public/rdcontrol/controls/input/RdScrollBar.h"
#include "public/rdcontrol/controls/label/RdHtmLabel.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/NativeControl.h"
#include "public/rdcontrol/framework/RdControls.h"
#include "public/rdcontrol/pictures/RdGraphic.h"
#include "public/rdcontrol/png/PngImage.h"
#include "tools/gallery/GalleryPages.h"

namespace {

constexpr TColor kCard = RGB(248, 248, 250);
constexpr TColor kInk = RGB(40, 40, 48);
constexpr TColor kAccent = RGB(43, 120, 0);  // the combo's hot item background (0x00782B)
constexpr TColor kLink = RGB(20, 90, 200);
constexpr TColor kLinkHover = RGB(220, 60, 20);
constexpr TColor kHint = RGB(128, 128, 128);
// The edit images' colours (border, fill): what the self-test expects at the edges.
constexpr TColor kEditBorder = RGB(150, 150, 160), kEditFill = RGB(255, 255, 255);

std::shared_ptr<TPngGraphic> Picture(const TArgbSurface& s) { return TPngGraphic::FromSurface(s); }

// A rounded box: the look of faces, edits and thumbs.
TArgbSurface Box(int w, int h, TColor fill, TColor border, int radius, int borderWidth = 1) {
    TArgbSurface s(w, h);
    TRdCanvas c(s);
    c.RoundRect(s.Bounds(), radius, radius, border, clNone);
    if (borderWidth > 0)
        c.RoundRect(TRect{borderWidth, borderWidth, w - borderWidth, h - borderWidth}, std::max(1, radius - borderWidth),
                    std::max(1, radius - borderWidth), fill, clNone);
    return s;
}

// A small solid triangle pointing down (or up) centred on (cx, cy).
void Arrow(TRdCanvas& c, int cx, int cy, bool up, TColor color) {
    for (int i = 0; i < 4; ++i) {
        const int y = up ? cy + 2 - i : cy - 2 + i;
        c.FillRect(TRect{cx - 3 + i, y, cx + 4 - i, y + 1}, color);
    }
}

// The combo's face: a box with the arrow in its right 26 pixels.
TArgbSurface Face(TColor fill, TColor border, TColor arrow, bool open) {
    TArgbSurface s = Box(40, 28, fill, border, 6, open ? 2 : 1);
    TRdCanvas c(s);
    c.FillRect(TRect{40 - 26, 6, 40 - 25, 22}, border, 120);
    Arrow(c, 40 - 13, 14, open, arrow);
    return s;
}

TArgbSurface EditImage(TColor fill, TColor border, int borderWidth = 1) { return Box(30, 30, fill, border, 6, borderWidth); }

TArgbSurface Solid(int w, int h, TColor c, std::uint8_t alpha = 255) { return TArgbSurface(w, h, ColorToArgb(c, alpha)); }

// A 16 x 16 picture for <IMG SRC="IDX:0">: a green disc with a white tick.
TArgbSurface Icon() {
    TArgbSurface s(16, 16);
    TRdCanvas c(s);
    c.Ellipse(s.Bounds(), RGB(40, 160, 80), RGB(20, 110, 50));
    c.Line(4, 8, 7, 11, clWhite);
    c.Line(7, 11, 12, 5, clWhite);
    return s;
}

// The drop-down list's shadow: 18 x 18, a 6-pixel band fading outwards around a
// transparent middle, laid by the frame mode around the list window.
constexpr int kListShadow = 6;
TArgbSurface ListShadow() {
    const int n = 3 * kListShadow;
    TArgbSurface s(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int dx = x < kListShadow ? kListShadow - x : x >= 2 * kListShadow ? x - 2 * kListShadow + 1 : 0;
            const int dy = y < kListShadow ? kListShadow - y : y >= 2 * kListShadow ? y - 2 * kListShadow + 1 : 0;
            const int d = std::max(dx, dy);
            if (d == 0) continue;
            const int alpha = 70 * (kListShadow + 1 - d) / (kListShadow + 1);
            s.SetPixel(x, y, static_cast<std::uint32_t>(alpha) << 24);
        }
    return s;
}

void SkinScrollBar(TRdScrollBarImages& im, TColor thumb, TColor thumbHot, int thickness) {
    im.ScrollBg.SetGraphic(Picture(Box(thickness, 20, RGB(232, 232, 236), RGB(232, 232, 236), thickness / 2, 0)));
    im.ScrollBg_Option.SetTop(thickness / 2);
    im.ScrollBg_Option.SetBottom(thickness / 2);
    im.TrackTop.SetGraphic(Picture(Solid(thickness - 2, 3, thumb)));
    im.TrackCenter.SetGraphic(Picture(Solid(thickness - 2, 6, thumb)));
    im.TrackBottom.SetGraphic(Picture(Solid(thickness - 2, 3, thumb)));
    im.TrackTopHot.SetGraphic(Picture(Solid(thickness - 2, 3, thumbHot)));
    im.TrackCenterHot.SetGraphic(Picture(Solid(thickness - 2, 6, thumbHot)));
    im.TrackBottomHot.SetGraphic(Picture(Solid(thickness - 2, 3, thumbHot)));
}

void SkinArrows(TRdScrollBarImages& im, bool vertical) {
    auto arrow = [vertical](bool first, TColor color) {
        TArgbSurface s = Box(12, 12, RGB(225, 225, 230), RGB(190, 190, 200), 3);
        TRdCanvas c(s);
        if (vertical) {
            Arrow(c, 6, 6, first, color);
        } else {
            for (int i = 0; i < 4; ++i) {
                const int x = first ? 4 + i : 7 - i;
                c.FillRect(TRect{x, 3 + i, x + 1, 9 - i}, color);
            }
        }
        return Picture(s);
    };
    im.BtnLeft.SetGraphic(arrow(true, RGB(80, 80, 90)));
    im.BtnRight.SetGraphic(arrow(false, RGB(80, 80, 90)));
    im.BtnLeftHot.SetGraphic(arrow(true, kLink));
    im.BtnRightHot.SetGraphic(arrow(false, kLink));
}

class TInputForm : public TRdLayerForm {
public:
    explicit TInputForm(TComponent* owner) : TRdLayerForm(owner) {
        SetBounds(100, 100, 700, 470);
        SetCaption("Input controls");
        Font().SetName("Tahoma");
        Font().SetHeight(-13);
        Font().SetColor(kInk);

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
        title->Font().SetColor(RGB(20, 20, 90));
        title->SetCaption("Input controls");

        BuildLabels();
        BuildCombos();
        BuildEdits();
        BuildScrollBars();
    }

    // Screen rectangles for tests.
    void PrintLayout() {
        auto line = [](const std::string& name, const TRect& r) {
            std::printf("layout %s %d %d %d %d\n", name.c_str(), r.Left, r.Top, r.Width(), r.Height());
        };
        auto screen = [this](const TControl* c) {
            const TPoint o = c->FormOrigin();
            return TRect::FromSize(Left() + o.X, Top() + o.Y, c->Width(), c->Height());
        };
        for (int i = 0; i < License->LinkItems().Count(); ++i)
            for (const TRect& r : License->LinkRects(i))
                line("lblLicense." + License->LinkItems()[i].Name(), r.Offset(Left() + License->Left(), Top() + License->Top()));
        for (TRdComboBox* c : {Lang, Short, Disabled}) line(c->Name(), screen(&c->Face()));
        std::printf("layout cbxLang.item %d\n", Lang->ItemHeight());
        std::printf("layout cbxLang.shadow %d\n", kListShadow);
        for (TControl* c : std::vector<TControl*>{Path, Name, Error, Off, Native, VBar, HBar, Stretch}) line(c->Name(), screen(c));
        std::fflush(stdout);
    }

    int SelfTest(const std::string& outDir);

    TRdHtmLabel *License = nullptr, *Markup = nullptr;
    TRdComboBox *Lang = nullptr, *Short = nullptr, *Disabled = nullptr;
    TRdEdit *Path = nullptr, *Name = nullptr, *Error = nullptr, *Off = nullptr;
    TNativeEdit* Native = nullptr;
    TRdScrollBar* VBar = nullptr;
    TRdScrollBarEx *HBar = nullptr, *HBarOff = nullptr;
    TRdStretchImage* Stretch = nullptr;

private:
    void BuildLabels() {
        License = new TRdHtmLabel(this);
        License->SetName("lblLicense");
        License->SetParent(this);
        License->SetBounds(20, 50, 320, 34);
        License->SetShowHint(true);
        const char* names[] = {"eula", "privacy"};
        for (int i = 0; i < 2; ++i) {
            TRdHtmLabelLink& link = License->LinkItems().Add();
            link.SetName(names[i]);
            link.Font().SetColor(kLink);
            link.FontHover().SetColor(kLinkHover);
            link.SetHint(i == 0 ? "End-user licence agreement" : "How we treat your data");
            link.OnClick = [i](TRdHtmLabelLink* sender) {
                PrintEvent("lblLicense", "LinkClick", "index=" + std::to_string(i) + " name=" + sender->Name());
            };
        }
        License->SetCaption(
            "By installing or using this product, you agree to its <a>EULA</a> & <a>Privacy Policy</a> <BR>");

        Markup = new TRdHtmLabel(this);
        Markup->SetName("lblMarkup");
        Markup->SetParent(this);
        Markup->SetBounds(20, 92, 320, 200);
        Markup->SetLineSpacing(1);
        Markup->Images().push_back(Picture(Icon()));
        TRdHtmLabelLink& more = Markup->LinkItems().Add();
        more.SetName("more");
        more.Font().SetColor(kLink);
        more.FontHover().SetColor(kLinkHover);
        more.SetMaxLine(1);
        more.SetAutoShowHint(true);
        more.OnClick = [](TRdHtmLabelLink* sender) { PrintEvent("lblMarkup", "LinkClick", "index=0 name=" + sender->Name()); };
        Markup->SetLines({
            "<b>Bold</b>, <i>italic</i>, <u>underline</u>, <s>strike</s>, <font color=#C03030 size=11>font</font>",
            "<span style=\"background-color:#FFE080\">span</span> <hi>highlight</hi> x<sup>2</sup> H<sub>2</sub>O "
            "&lt;b&gt; &copy; &euro;",
            "<img src=\"IDX:0\" align=middle> picture, <sh>shadowed</sh>",
            "<ul><li>first bullet<li type=square>square bullet</ul><ol><li>numbered<li>second</ol>",
            "<hr color=#A0A0B0><p align=center bgcolor=#E8F0FF>centred paragraph</p>",
            "<a>A link cut after one line because its text is far too long</a>",
        });
        Markup->SetShowHint(true);

        struct {
            const char* Name;
            const char* Caption;
            int Y;
        } plain[] = {
            {"lblHover", "Label: hover me (colour), press me (colour)", 300},
            {"lblDisabled", "Disabled label", 320},
            {"lblEllipsis", "A label whose text is longer than its width ends with dots", 340},
            {"lblPath", "C:\\Program Files\\Qarto\\Browser\\Application\\setup.exe", 360},
            {"lblGlow", "Glow around the text", 382},
        };
        for (const auto& p : plain) {
            auto* label = new TRdLabel(this);
            label->SetName(p.Name);
            label->SetParent(this);
            label->SetAutoSize(false);
            label->SetBounds(20, p.Y, 320, 18);
            label->SetCaption(p.Caption);
            label->SetFontHoverColor(kLink);
            label->SetFontDownColor(kLinkHover);
            const std::string name = p.Name;
            label->OnClick = [name](TControl*) { PrintEvent(name, "Click"); };
            if (name == "lblDisabled") label->SetEnabled(false);
            if (name == "lblEllipsis") label->SetEllipsisPosition(epEndEllipsis);
            if (name == "lblPath") {
                label->SetEllipsisPosition(epPathEllipsis);
                label->SetWidth(250);
            }
            if (name == "lblGlow") {
                label->SetGlowSize(2);
                label->SetTransparent(false);
                label->SetColor(RGB(120, 130, 150));
                label->Font().SetColor(RGB(20, 20, 30));
            }
        }
        Stretch = new TRdStretchImage(this);
        Stretch->SetName("imgStretch");
        Stretch->SetParent(this);
        Stretch->SetBounds(20, 408, 150, 48);
        TArgbSurface frame = Box(24, 24, clWhite, RGB(43, 120, 0), 8, 3);
        frame.FillRect(TRect{8, 8, 16, 16}, 0);
        Stretch->Picture().SetGraphic(Picture(frame));
        TArgbSurface bg(24, 24);
        TRdCanvas bc(bg);
        bc.GradientFill(bg.Bounds(), RGB(250, 220, 120), RGB(250, 150, 80), true);
        Stretch->Picture_Bg().SetGraphic(Picture(bg));
        for (auto set : {&TDesignRect::SetLeft, &TDesignRect::SetTop, &TDesignRect::SetRight, &TDesignRect::SetBottom})
            (Stretch->StretchOption().*set)(8);
    }

    void SkinCombo(TRdComboBox* c) {
        c->Background().SetGraphic(Picture(Face(clWhite, RGB(160, 160, 170), RGB(90, 90, 100), false)));
        c->BackgroundHot().SetGraphic(Picture(Face(RGB(236, 244, 255), kLink, kLink, false)));
        c->BackgroundClick().SetGraphic(Picture(Face(RGB(236, 244, 255), kLink, kLink, true)));
        c->BackgroundDisable().SetGraphic(Picture(Face(RGB(225, 225, 228), RGB(190, 190, 195), RGB(160, 160, 165), false)));
        c->BackgroundOption().SetLeft(6);
        c->BackgroundOption().SetTop(6);
        c->BackgroundOption().SetRight(26);
        c->BackgroundOption().SetBottom(6);
        c->SetComboboxHeight(28);
        c->SetItemHeight(22);
        c->SetColor(clWhite);
        c->SetBorderColor(RGB(120, 120, 130));
        c->SetItemHotBgColor(kAccent);
        c->SetFontHintColor(kHint);
        TRdScrollBarImages& im = c->VScrollBar().AllSkinImage();
        im.SetAllowArrow(false);
        SkinScrollBar(im, RGB(170, 170, 180), kLink, 8);
        c->VScrollBar().SetWidth(10);
        TRdFormSkin& shadow = c->ListFormShadow();
        shadow.PicShadow().SetGraphic(Picture(ListShadow()));
        shadow.PicShadowOption().SetStretchMode(sdmFrame);
        for (auto set : {&TDesignRect::SetLeft, &TDesignRect::SetTop, &TDesignRect::SetRight, &TDesignRect::SetBottom})
            (shadow.PicShadowOption().*set)(kListShadow);
        shadow.ShadowFrame().SetLeft(kListShadow);
        shadow.ShadowFrame().SetTop(kListShadow);
        shadow.ShadowFrame().SetRight(kListShadow);
        shadow.ShadowFrame().SetBottom(kListShadow);
        shadow.ShadowFrame().SetEnabled(true);
        const std::string name = c->Name();
        c->OnChange = [c, name](TControl*) {
            PrintEvent(name, "Change", "index=" + std::to_string(c->ItemIndex()) + " text=" + c->Text());
        };
        c->OnDropDown = [name](TControl*) { PrintEvent(name, "DropDown"); };
        c->OnDropDownShow = [name](TControl*) { PrintEvent(name, "DropDownShow"); };
        c->OnCloseUp = [name](TControl*) { PrintEvent(name, "CloseUp"); };
        c->OnClick = [name](TControl*) { PrintEvent(name, "Click"); };
        c->ListBox().OnScrolled = [c, name, old = c->ListBox().OnScrolled](TControl* sender) {
            if (old) old(sender);
            PrintEvent(name, "ListScroll", "top=" + std::to_string(c->ListBox().TopIndex()));
        };
    }

    void BuildCombos() {
        auto make = [this](const char* name, int y) {
            auto* c = new TRdComboBox(this);
            c->SetName(name);
            c->SetParent(this);
            c->SetBounds(370, y, 220, 28);
            SkinCombo(c);
            return c;
        };
        Lang = make("cbxLang", 50);
        Lang->SetItems({"English",    "Deutsch",    "Français",   "Español",    "Italiano",   "Português (Brasil)",
                        "Nederlands", "Polski",     "Русский",    "Українська", "Čeština",    "Magyar",
                        "Română",     "Ελληνικά",   "Türkçe",     "Svenska",    "Norsk",      "Dansk",
                        "Suomi",      "Slovenčina", "Hrvatski",   "Български",  "Lietuvių",   "Latviešu",
                        "Eesti",      "Slovenščina", "Srpski",    "Íslenska",   "Català",     "Euskara",
                        "Galego",     "Tiếng Việt", "Bahasa Indonesia"});
        Lang->SetItemIndex(0);
        Lang->SetDropDownCount(8);

        Short = make("cbxShort", 90);
        Short->SetItems({"Light", "Dark", "System"});
        Short->SetTextHint("Choose a theme");

        Disabled = make("cbxDisabled", 130);
        Disabled->SetItems({"Disabled choice"});
        Disabled->SetItemIndex(0);
        Disabled->SetEnabled(false);
    }

    TRdEdit* MakeEdit(const char* name, int y) {
        auto* e = new TRdEdit(this);
        e->SetName(name);
        e->SetParent(this);
        e->SetBounds(370, y, 260, 30);
        e->SetColor(clNone);
        e->FontNormal().SetName("Tahoma");
        e->FontNormal().SetHeight(-13);
        e->FontNormal().SetColor(kInk);
        e->ImageNormal().SetGraphic(Picture(EditImage(kEditFill, kEditBorder)));
        e->ImageOver().SetGraphic(Picture(EditImage(kEditFill, RGB(90, 140, 220))));
        e->ImageSelected().SetGraphic(Picture(EditImage(RGB(252, 253, 255), kLink, 2)));
        e->ImageDisabled().SetGraphic(Picture(EditImage(RGB(232, 232, 235), RGB(200, 200, 205))));
        e->ImageError().SetGraphic(Picture(EditImage(RGB(255, 244, 244), RGB(220, 40, 40), 2)));
        e->ImageEmpty().SetGraphic(Picture(EditImage(RGB(255, 253, 238), kEditBorder)));
        for (auto set : {&TDesignRect::SetLeft, &TDesignRect::SetTop, &TDesignRect::SetRight, &TDesignRect::SetBottom})
            (e->ImageOption().*set)(6);
        e->SetTextLeftMargin(8);
        e->SetTextRightMargin(8);
        const std::string n = name;
        e->OnChange = [e, n](TControl*) { PrintEvent(n, "Change", "text=" + e->Text()); };
        e->OnEnter = [n](TControl*) { PrintEvent(n, "Enter"); };
        e->OnExit = [n](TControl*) { PrintEvent(n, "Exit"); };
        return e;
    }

    void BuildEdits() {
        Path = MakeEdit("edtPath", 180);
        Path->SetTextHint("Install folder (type here, any script)");
        Name = MakeEdit("edtName", 220);
        Name->SetText("Qarto Private Browser");
        Error = MakeEdit("edtError", 260);
        Error->SetText("C:\\Windows\\System32 is not allowed");
        Error->SetErrorMode(true);
        Off = MakeEdit("edtDisabled", 300);
        Off->SetText("Disabled edit");
        Off->SetEnabled(false);

        // The framework's plain native edit: its frame and client in their places.
        Native = new TNativeEdit(this);
        Native->SetName("edtNative");
        Native->SetParent(this);
        Native->SetBounds(370, 340, 260, 24);
        Native->SetText("Plain native edit");
        Native->OnChange = [this](TControl*) { PrintEvent("edtNative", "Change", "text=" + Native->Text()); };
    }

    void BuildScrollBars() {
        VBar = new TRdScrollBar(this);
        VBar->SetName("sbVert");
        VBar->SetParent(this);
        VBar->SetBounds(660, 50, 12, 300);
        SkinArrows(VBar->AllSkinImage(), true);
        SkinScrollBar(VBar->AllSkinImage(), RGB(150, 150, 165), kLink, 12);
        VBar->SetParams(0, 99, 10, 0);
        VBar->SetLargeChange(10);
        VBar->Bar().OnScroll = [](TControl*, TScrollCode code, int& pos) {
            PrintEvent("sbVert", "Scroll", "code=" + std::to_string(code) + " position=" + std::to_string(pos));
        };
        VBar->Bar().OnTrackEnd = [this](TControl*) {
            PrintEvent("sbVert", "TrackEnd", "position=" + std::to_string(VBar->Position()));
        };

        HBar = new TRdScrollBarEx(this);
        HBar->SetName("sbHorz");
        HBar->SetParent(this);
        HBar->SetKind(sbHorizontal);
        HBar->SetBounds(370, 380, 260, 12);
        SkinArrows(HBar->AllSkinImage(), false);
        HBar->AllSkinImage().ScrollBg.SetGraphic(Picture(Box(20, 12, RGB(232, 232, 236), RGB(232, 232, 236), 6, 0)));
        HBar->AllSkinImage().ScrollBg_Option.SetLeft(6);
        HBar->AllSkinImage().ScrollBg_Option.SetRight(6);
        HBar->SetParams(0, 50, 0, 10);
        HBar->OnChange = [this](TControl*) { PrintEvent("sbHorz", "Change", "position=" + std::to_string(HBar->Position())); };

        HBarOff = new TRdScrollBarEx(this);
        HBarOff->SetName("sbDisabled");
        HBarOff->SetParent(this);
        HBarOff->SetKind(sbHorizontal);
        HBarOff->SetBounds(370, 400, 260, 12);
        SkinArrows(HBarOff->AllSkinImage(), false);
        HBarOff->SetParams(0, 50, 10, 0);
        HBarOff->SetEnabled(false);
    }
};

struct TProbes {
    int Failed = 0;
    void Check(bool ok, const std::string& what, std::uint32_t value) {
        std::printf("probe %-58s %s (0x%08X)\n", what.c_str(), ok ? "ok" : "FAILED", static_cast<unsigned>(value));
        if (!ok) ++Failed;
    }
};

int TInputForm::SelfTest(const std::string& outDir) {
    PaintAll();
    const TArgbSurface& b = BackBuffer();
    TProbes p;
    // The skinned edits up to their edges: the last four columns of the native
    // text area (and everything right of it) and the last four rows are exactly
    // the edit's current image over the card, as if nothing else were there.
    // The native text's snapshot covers those bands of its area: this is where
    // its unpainted margin showed black.
    for (TRdEdit* e : {Name, Path, Error}) {
        const TRect r = e->BoundsRect();
        const TRect area = e->TextArea();
        TArgbSurface reference(r.Width(), r.Height(), ColorToArgb(kCard));
        TRdCanvas rc(reference);
        DrawPicture(rc, e->Image(e->CurrentImage()), e->ImageOption(), reference.Bounds());
        int differ = 0, checked = 0;
        for (int y = 0; y < r.Height(); ++y)
            for (int x = 0; x < r.Width(); ++x) {
                if (x < area.Right - 4 && y < r.Height() - 4) continue;
                ++checked;
                differ += b.Pixel(r.Left + x, r.Top + y) != reference.Pixel(x, y);
            }
        p.Check(differ == 0 && checked > 0, e->Name() + " right and bottom edges are its image",
                static_cast<std::uint32_t>(differ));
    }
    // Text of the edit with text: dark ink somewhere on its first line.
    int ink = 0;
    const TRect name = Name->BoundsRect();
    for (int y = name.Top + 4; y < name.Bottom - 4; ++y)
        for (int x = name.Left + 8; x < name.Left + 120; ++x) ink += (b.Pixel(x, y) & 0xFF) < 120;
    p.Check(ink > 40, "edtName shows its text", static_cast<std::uint32_t>(ink));
    // The prompt of the empty edit, in the prompt colour (grey).
    int prompt = 0;
    const TRect path = Path->BoundsRect();
    for (int y = path.Top + 4; y < path.Bottom - 4; ++y)
        for (int x = path.Left + 8; x < path.Left + 120; ++x) {
            const std::uint32_t px = b.Pixel(x, y);
            const int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, bl = px & 0xFF;
            prompt += r < 200 && std::abs(r - g) < 12 && std::abs(g - bl) < 12;
        }
    if (Path->EmptyFlag()) p.Check(prompt > 30, "edtPath shows its grey prompt", static_cast<std::uint32_t>(prompt));
    // The plain native edit: no unpainted band along its right and bottom edges.
    const TRect n = Native->BoundsRect();
    int black = 0;
    for (int k = 1; k <= 4; ++k) {
        black += b.Pixel(n.Right - k, n.Top + n.Height() / 2) == 0xFF000000u;
        black += b.Pixel(n.Left + n.Width() / 2, n.Bottom - k) == 0xFF000000u;
    }
    p.Check(black == 0, "plain native edit has no black band", static_cast<std::uint32_t>(black));
    // Link colour on the licence line.
    const TRect eula = License->LinkRects(0).at(0).Offset(License->Left(), License->Top());
    int linkInk = 0;
    for (int y = eula.Top; y < eula.Bottom; ++y)
        for (int x = eula.Left; x < eula.Right; ++x) {
            const std::uint32_t px = b.Pixel(x, y);
            linkInk += (px & 0xFF) > ((px >> 16) & 0xFF) + 60;
        }
    p.Check(linkInk > 20, "EULA link drawn in the link colour", static_cast<std::uint32_t>(linkInk));
    // The prompt of the empty combo.
    const TRect face = Short->Face().BoundsRect();
    int hint = 0;
    for (int y = face.Top; y < face.Bottom; ++y)
        for (int x = face.Left + 10; x < face.Left + 100; ++x) {
            const std::uint32_t px = b.Pixel(x, y);
            hint += ((px >> 16) & 0xFF) < 200 && ((px >> 16) & 0xFF) > 90;
        }
    p.Check(hint > 20, "cbxShort shows its prompt", static_cast<std::uint32_t>(hint));
    try {
        TPngImage png;
        png.AssignPremultiplied(static_cast<std::uint32_t>(b.Width()), static_cast<std::uint32_t>(b.Height()),
                                std::span<const std::uint32_t>(b.Row(0), static_cast<std::size_t>(b.Width()) * b.Height()));
        png.SaveToFile(outDir + "/input-backbuffer.png");
    } catch (const std::exception& e) {
        std::printf("could not save the back buffer: %s\n", e.what());
        ++p.Failed;
    }
    std::printf("selftest %s\n", p.Failed ? "FAILED" : "passed");
    return p.Failed ? 1 : 0;
}

const GalleryPageRegistration kInputPage("input", [](TApplication& app, const GalleryPageOptions& options) {
    auto* form = app.CreateForm<TInputForm>();
    form->Show();
    form->PaintAll();
    form->PrintLayout();
    const bool selftest = options.selftest;
    const std::string out = options.outDir;
    return std::function<int()>([form, selftest, out] { return selftest ? form->SelfTest(out) : 0; });
});

}  // namespace
