// Gallery page "layered": the layered family of skinned controls on two skinned
// forms with shadows, every control in each of its states, with pictures drawn
// here (button faces, check boxes, icons, progress track and fill, the shadow):
//
// frmLayered (640 x 390, the installer's size, at 120,120; dragged by its empty
// background): push buttons normal / disabled / selected / with an icon and a hover
// fade, check boxes unchecked / half checked / disabled checked, progress bars
// empty / under way with the moving highlight / full, a notebook switched by
// buttons that act as tabs (selected state), an image note and a label note
// stepped by a button, a balloon hint, minimise (to the notification area) and
// close. frmDialog (360 x 200 at 820,140): rounded corners, a border line, and a
// button that restores the main form.
//
// Every control event is one line: "event <ControlName> <EventName> [detail]";
// "event btnInstall HoverFaded ms=N" gives the time from the mouse entering the
// button to the first paint after its fade ended. --selftest checks a few painted
// pixels and writes the main form's back buffer to DIR/layered-backbuffer.png.
#include <windows.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "public/rdcontrol/controls/common/Icon.h"
#include "public/rdcontrol/controls/form/RdFormSkin.h"
#include "public/rdcontrol/controls/imagebutton/RdImageButton.h"
#include "public/rdcontrol/controls/notebook/ImageNote.h"
#include "public/rdcontrol/controls/notebook/LabelNote.h"
#include "public/rdcontrol/controls/notebook/PageNote.h"
#include "public/rdcontrol/controls/progress/RdProgressBar.h"
#include "public/rdcontrol/controls/tray/CCTrayIcon.h"
#include "public/rdcontrol/controls/tray/RdBalloonHint.h"
#include "public/rdcontrol/png/PngImage.h"
#include "tools/gallery/GalleryPages.h"

namespace {

// --- Pictures ---------------------------------------------------------------------------

std::shared_ptr<TPngGraphic> Picture(const TArgbSurface& s) { return TPngGraphic::FromSurface(s); }

// A 24 x 24 button face: rounded, a vertical gradient, a darker border.
TArgbSurface ButtonFace(TColor top, TColor bottom, TColor border) {
    TArgbSurface s(24, 24);
    TArgbSurface fill(24, 24);
    TRdCanvas f(fill);
    f.GradientFill(fill.Bounds(), top, bottom, true);
    TRdCanvas c(s);
    c.RoundRect(s.Bounds(), 6, 6, RGB(255, 255, 255), clNone);
    // Keep the gradient only inside the rounded shape.
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const std::uint32_t mask = s.Pixel(x, y) >> 24, p = fill.Pixel(x, y);
            auto ch = [&](int shift) { return ((p >> shift) & 0xFF) * mask / 255; };
            s.SetPixel(x, y, mask << 24 | ch(16) << 16 | ch(8) << 8 | ch(0));
        }
    c.RoundRect(s.Bounds(), 6, 6, clNone, border);
    return s;
}

// A 16 x 16 check box: kind 0 empty, 1 ticked, 2 half; hover draws a blue border,
// grayed fades everything.
TArgbSurface CheckBoxPicture(int kind, bool hover, bool grayed) {
    TArgbSurface s(16, 16);
    TRdCanvas c(s);
    const std::uint8_t a = grayed ? 110 : 255;
    const TColor fill = kind == 0 ? RGB(255, 255, 255) : RGB(40, 120, 230);
    c.RoundRect(s.Bounds(), 3, 3, fill, hover ? RGB(20, 90, 220) : RGB(130, 130, 140), a);
    if (kind == 1) {
        const TPoint tick[] = {{3, 8}, {6, 11}, {12, 4}};
        c.Polyline(tick, clWhite, a);
        const TPoint tick2[] = {{3, 9}, {6, 12}, {12, 5}};
        c.Polyline(tick2, clWhite, a);
    } else if (kind == 2) {
        c.FillRect(TRect{4, 7, 12, 9}, clWhite, a);
    }
    return s;
}

// A 12 x 12 arrow pointing down.
TArgbSurface ArrowIcon(TColor color) {
    TArgbSurface s(12, 12);
    TRdCanvas c(s);
    for (int i = 0; i < 6; ++i) c.FillRect(TRect{i, 3 + i, 12 - i, 4 + i}, color);
    return s;
}

// The shadow: 40 x 40, a soft dark frame 15 pixels deep around a transparent middle.
TArgbSurface ShadowPicture() {
    TArgbSurface s(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const int dx = std::max({15 - x, x - 24, 0}), dy = std::max({15 - y, y - 24, 0});
            const double d = std::sqrt(double(dx * dx + dy * dy));
            if (d <= 0 || d >= 15) continue;
            const double t = 1.0 - d / 15.0;
            const auto alpha = static_cast<std::uint32_t>(110 * t * t);
            s.SetPixel(x, y, alpha << 24);
        }
    return s;
}

TArgbSurface TrackPicture(TColor color) {
    TArgbSurface s(12, 12);
    TRdCanvas c(s);
    c.RoundRect(s.Bounds(), 5, 5, color, clNone);
    return s;
}

TArgbSurface BoosterPicture() {
    TArgbSurface s(40, 12);
    TRdCanvas c(s);
    c.GradientFill(TRect{0, 2, 20, 10}, clNone, RGB(255, 255, 255), false, 200);
    c.GradientFill(TRect{20, 2, 40, 10}, RGB(255, 255, 255), clNone, false, 200);
    return s;
}

// Status pictures: a green tick, a red cross, an orange clock.
TArgbSurface StatusPicture(int kind) {
    TArgbSurface s(48, 48);
    TRdCanvas c(s);
    const TColor colors[] = {RGB(40, 170, 80), RGB(210, 50, 50), RGB(240, 150, 30)};
    c.Ellipse(TRect{2, 2, 46, 46}, colors[kind], clNone);
    if (kind == 0) {
        for (int w = 0; w < 3; ++w) {
            const TPoint tick[] = {{13, 24 + w}, {21, 32 + w}, {35, 16 + w}};
            c.Polyline(tick, clWhite);
        }
    } else if (kind == 1) {
        for (int w = -1; w <= 1; ++w) {
            c.Line(15 + w, 15, 33 + w, 33, clWhite);
            c.Line(33 + w, 15, 15 + w, 33, clWhite);
        }
    } else {
        c.Ellipse(TRect{12, 12, 36, 36}, clWhite, clNone);
        c.Line(24, 24, 24, 15, colors[2]);
        c.Line(24, 24, 31, 24, colors[2]);
    }
    return s;
}

// Tray icon frame k of 3: a blue disc with a white dot going round.
TArgbSurface TrayFrame(int k) {
    TArgbSurface s(16, 16);
    TRdCanvas c(s);
    c.Ellipse(s.Bounds(), RGB(30, 110, 220), clNone);
    const TPoint dots[] = {{7, 2}, {11, 9}, {3, 9}};
    c.Ellipse(TRect::FromSize(dots[k].X - 1, dots[k].Y, 4, 4), clWhite, clNone);
    return s;
}

// --- The forms ------------------------------------------------------------------------------

// A skinned window dragged by its empty background: points where no control takes
// the mouse are the window's caption.
class TDraggableForm : public TRdLayerForm {
public:
    using TRdLayerForm::TRdLayerForm;
    TWindowHitArea WindowHitTest(int x, int y) const override {
        return ControlAtPos(x, y) ? TWindowHitArea::Client : TWindowHitArea::Caption;
    }
};

void Event(const TComponent* c, const std::string& event, const std::string& detail = {}) {
    PrintEvent(c->Name(), event, detail);
}

TRdFormSkin* AddSkin(TCustomForm* form) {
    auto* skin = new TRdFormSkin(form);
    skin->SetName("FormSkin");
    skin->PicShadow().SetGraphic(Picture(ShadowPicture()));
    skin->PicShadowOption().SetStretchMode(sdmFrame);
    skin->PicShadowOption().SetLeft(15);
    skin->PicShadowOption().SetTop(15);
    skin->PicShadowOption().SetRight(15);
    skin->PicShadowOption().SetBottom(15);
    skin->ShadowFrame().SetLeft(15);
    skin->ShadowFrame().SetTop(15);
    skin->ShadowFrame().SetRight(15);
    skin->ShadowFrame().SetBottom(15);
    skin->ShadowFrame().SetEnabled(true);
    skin->BorderLines().SetColor(clBlack);
    return skin;
}

class TLayeredPage {
public:
    TLayeredPage(TApplication& app) : FApp(app) {
        BuildMain();
        BuildDialog();
        BuildTray();
    }

    TDraggableForm* Main = nullptr;
    TDraggableForm* Dialog = nullptr;
    TRdImageButton *BtnInstall = nullptr, *ChkDesktop = nullptr;
    TRdProgressBar* PrgDownload = nullptr;

private:
    TRdImageButton* Button(TWinControl* parent, const std::string& name, const std::string& caption, TRect bounds) {
        auto* b = new TRdImageButton(parent->Form());
        b->SetName(name);
        b->SetParent(parent);
        b->SetBoundsRect(bounds);
        b->SetCaption(caption);
        b->Font().SetName("Tahoma");
        b->Font().SetHeight(-13);
        b->Font().SetColor(clWhite);
        b->SetFontDisabledColor(RGB(235, 235, 235));
        b->ImageNormal().SetGraphic(FFaceNormal);
        b->ImageOver().SetGraphic(FFaceOver);
        b->ImageDown().SetGraphic(FFaceDown);
        b->ImageDisabled().SetGraphic(FFaceDisabled);
        b->ImageSelected().SetGraphic(FFaceSelected);
        for (auto set : {&TDesignRect::SetLeft, &TDesignRect::SetTop, &TDesignRect::SetRight, &TDesignRect::SetBottom})
            (b->ImageOption().*set)(8);
        b->OnClick = [](TControl* s) { Event(s, "Click"); };
        b->OnDblClick = [](TControl* s) { Event(s, "DblClick"); };
        b->OnMouseDown = [](TControl* s, TMouseButton, TShiftState, int x, int y) {
            Event(s, "MouseDown", "x=" + std::to_string(x) + " y=" + std::to_string(y));
        };
        b->OnMouseUp = [](TControl* s, TMouseButton, TShiftState, int x, int y) {
            Event(s, "MouseUp", "x=" + std::to_string(x) + " y=" + std::to_string(y));
        };
        b->OnMouseEnter = [](TControl* s) { Event(s, "MouseEnter"); };
        b->OnMouseLeave = [](TControl* s) { Event(s, "MouseLeave"); };
        return b;
    }

    TRdImageButton* CheckBox(TWinControl* parent, const std::string& name, const std::string& caption, TRect bounds) {
        auto* b = Button(parent, name, caption, bounds);
        for (TPicture* p : {&b->ImageNormal(), &b->ImageOver(), &b->ImageDown(), &b->ImageDisabled(),
                            &b->ImageSelected()})
            p->Clear();
        b->SetShowCheckBox(true);
        b->SetButtonCaptionAlignment(taLeftJustify);
        b->SetTextOffset(24);
        b->SetCheckBoxOffset(0);
        b->Font().SetColor(RGB(40, 40, 50));
        b->SetFontHoverColor(RGB(20, 90, 220));
        b->SetFontDisabledColor(RGB(150, 150, 155));
        const std::pair<TPicture&, TArgbSurface> boxes[] = {
            {b->CheckBoxNormalImage(), CheckBoxPicture(0, false, false)},
            {b->CheckBoxUnCheckedHoverImage(), CheckBoxPicture(0, true, false)},
            {b->CheckBoxGrayedImage(), CheckBoxPicture(0, false, true)},
            {b->CheckBoxCheckedImage(), CheckBoxPicture(1, false, false)},
            {b->CheckBoxCheckedHoverImage(), CheckBoxPicture(1, true, false)},
            {b->CheckBoxCheckedGrayedImage(), CheckBoxPicture(1, false, true)},
            {b->CheckBoxHalfCheckedImage(), CheckBoxPicture(2, false, false)},
            {b->CheckBoxHalfCheckedHoverImage(), CheckBoxPicture(2, true, false)},
            {b->CheckBoxHalfCheckedGrayedImage(), CheckBoxPicture(2, false, true)},
        };
        for (const auto& [picture, pixels] : boxes) picture.SetGraphic(Picture(pixels));
        b->CheckBoxOnClick = [b](TControl* s) { Event(s, "CheckBoxOnClick", "state=" + std::to_string(b->CheckState())); };
        b->OnCheckedChanged = [b](TControl* s) { Event(s, "CheckedChanged", "state=" + std::to_string(b->CheckState())); };
        return b;
    }

    TRdProgressBar* Progress(TWinControl* parent, const std::string& name, TRect bounds, int position) {
        auto* p = new TRdProgressBar(parent->Form());
        p->SetName(name);
        p->SetParent(parent);
        p->SetBoundsRect(bounds);
        p->ImgBackground().SetGraphic(Picture(TrackPicture(RGB(215, 218, 226))));
        p->ImgBar().SetGraphic(Picture(TrackPicture(RGB(40, 120, 230))));
        for (TDesignRect* o : {&p->ImgBackgroundOption(), &p->ImgBarOption()}) {
            o->SetLeft(5);
            o->SetRight(5);
        }
        p->SetPosition(position);
        return p;
    }

    TLabel* Label(TWinControl* parent, const std::string& caption, TRect bounds, int height = -13,
                  TColor color = RGB(40, 40, 50)) {
        auto* l = new TLabel(parent->Form());
        l->SetParent(parent);
        l->SetBoundsRect(bounds);
        l->SetTag(TLabel::kAntialiasTag);
        l->Font().SetName("Tahoma");
        l->Font().SetHeight(height);
        l->Font().SetColor(color);
        l->SetCaption(caption);
        return l;
    }

    void BuildMain() {
        FFaceNormal = Picture(ButtonFace(RGB(70, 140, 240), RGB(30, 100, 210), RGB(20, 70, 170)));
        FFaceOver = Picture(ButtonFace(RGB(110, 175, 255), RGB(60, 130, 240), RGB(30, 90, 200)));
        FFaceDown = Picture(ButtonFace(RGB(20, 80, 180), RGB(30, 100, 200), RGB(10, 50, 130)));
        FFaceDisabled = Picture(ButtonFace(RGB(190, 192, 200), RGB(165, 168, 178), RGB(140, 142, 150)));
        FFaceSelected = Picture(ButtonFace(RGB(40, 170, 90), RGB(20, 130, 60), RGB(10, 100, 40)));

        Main = FApp.CreateForm<TDraggableForm>();
        Main->SetName("frmLayered");
        Main->SetCaption("Layered controls");
        Main->SetBounds(120, 120, 640, 390);
        Main->Font().SetName("Tahoma");
        Main->Font().SetHeight(-13);
        Main->OnShow = [](TControl* s) { Event(s, "Shown"); };
        auto* skin = AddSkin(Main);
        skin->SetFixFlashBlack(true);

        auto* card = new TRdPaintBox(Main);
        card->SetParent(Main);
        card->SetAlign(alClient);
        card->SetHitTest(false);  // the background drags the window
        card->OnPaint = [](TControl* sender, TRdCanvas& canvas) {
            const TRect r = sender->ClientRect();
            canvas.FillRect(r, RGB(248, 249, 252));
            canvas.GradientFill(TRect{0, 0, r.Right, 44}, RGB(232, 238, 250), RGB(248, 249, 252), true);
            canvas.Line(0, 44, r.Right - 1, 44, RGB(220, 224, 232));
        };
        Label(Main, "Layered controls", TRect::FromSize(20, 12, 300, 24), -18, RGB(20, 30, 90));

        auto* minimize = Button(Main, "btnMinimize", "_", TRect::FromSize(560, 10, 30, 24));
        minimize->OnClick = [this](TControl* s) {
            Event(s, "Click");
            FTray->Minimize();
        };
        auto* close = Button(Main, "btnClose", "x", TRect::FromSize(596, 10, 30, 24));
        close->OnClick = [this](TControl* s) {
            Event(s, "Click");
            FApp.Terminate();
        };

        // Push buttons in their states.
        BtnInstall = Button(Main, "btnInstall", "Install", TRect::FromSize(20, 58, 140, 40));
        BtnInstall->SetHoverEffect(ibeSingle);
        BtnInstall->SetHint("Starts the installation");
        BtnInstall->SetShowHint(true);
        BtnInstall->OnMouseEnter = [this](TControl* s) {
            Event(s, "MouseEnter");
            FHoverStart = std::chrono::steady_clock::now();
            FHoverWatch = true;
        };
        BtnInstall->OnPaintEnd = [this](TControl* s, TRdCanvas&) {
            if (!FHoverWatch || BtnInstall->HoverPhase() != TRdImageButton::THoverPhase::None) return;
            FHoverWatch = false;
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                                  FHoverStart);
            Event(s, "HoverFaded", "ms=" + std::to_string(ms.count()));
        };
        auto* disabled = Button(Main, "btnDisabled", "Disabled", TRect::FromSize(170, 58, 140, 40));
        disabled->SetEnabled(false);
        auto* selected = Button(Main, "btnSelected", "Selected", TRect::FromSize(320, 58, 140, 40));
        selected->SetSelected(true);
        auto* icon = Button(Main, "btnIcon", "Options", TRect::FromSize(470, 58, 150, 40));
        icon->DnNormalIcon().SetGraphic(Picture(ArrowIcon(RGB(255, 255, 255))));
        icon->DnHoverIcon().SetGraphic(Picture(ArrowIcon(RGB(255, 230, 120))));
        icon->SetIconOffset(14);
        icon->IconOnClick = [](TControl* s) { Event(s, "IconOnClick"); };

        // Check boxes in their states.
        ChkDesktop = CheckBox(Main, "chkDesktop", "Create a desktop icon", TRect::FromSize(20, 112, 200, 24));
        auto* half = CheckBox(Main, "chkHalf", "Half checked", TRect::FromSize(230, 112, 170, 24));
        half->SetCheckState(cbGrayed);
        auto* dimmed = CheckBox(Main, "chkDisabled", "Disabled, checked", TRect::FromSize(410, 112, 210, 24));
        dimmed->SetChecked(true);
        dimmed->SetEnabled(false);

        // Progress: empty, under way (with the moving highlight), full.
        Progress(Main, "prgEmpty", TRect::FromSize(20, 152, 180, 12), 0);
        PrgDownload = Progress(Main, "prgDownload", TRect::FromSize(220, 152, 200, 12), 45);
        PrgDownload->ImgBooster().SetGraphic(Picture(BoosterPicture()));
        PrgDownload->SetShowInTaskbar(true);
        Progress(Main, "prgFull", TRect::FromSize(440, 152, 180, 12), 100);

        // A notebook switched by buttons that behave like tabs.
        auto* note = new TPageNote(Main);
        note->SetName("pgMain");
        note->SetParent(Main);
        note->SetBounds(20, 222, 380, 150);
        const char* pageText[] = {"Main page: the install button and the licence.",
                                  "Options: the folder, the desktop icon, the taskbar.",
                                  "Download: the progress of the package."};
        const TColor pageColor[] = {RGB(232, 240, 255), RGB(235, 248, 238), RGB(255, 243, 228)};
        for (int i = 0; i < 3; ++i) {
            auto* page = new TPageTab(Main);
            page->SetName("PageTab_" + std::to_string(i + 1));
            page->SetParent(note);
            auto* face = new TRdPaintBox(Main);
            face->SetParent(page);
            face->SetBounds(0, 0, 380, 150);
            face->SetHitTest(false);
            face->OnPaint = [color = pageColor[i]](TControl* sender, TRdCanvas& canvas) {
                canvas.RoundRect(sender->ClientRect(), 10, 10, color, RGB(200, 205, 215));
            };
            auto* text = Label(page, pageText[i], TRect::FromSize(16, 16, 340, 40));
            text->SetWordWrap(true);
            text->SetHitTest(false);
        }
        note->OnChange = [](TControl* s) {
            Event(s, "Change", "index=" + std::to_string(static_cast<TPageNote*>(s)->TabIndex()));
        };
        for (int i = 0; i < 3; ++i) {
            auto* tab = Button(Main, "btnPage" + std::to_string(i + 1), "Page " + std::to_string(i + 1),
                               TRect::FromSize(20 + i * 96, 186, 90, 28));
            FTabs[i] = tab;
            tab->OnClick = [this, note, i](TControl* s) {
                Event(s, "Click");
                for (int k = 0; k < 3; ++k) FTabs[k]->SetSelected(k == i);
                note->SetTabIndex(i);
            };
        }
        FTabs[0]->SetSelected(true);
        note->SetTabIndex(0);

        // An image note and a label note stepped by a button; a balloon.
        auto* status = new TRdImageNote(Main);
        status->SetName("imgStatus");
        status->SetParent(Main);
        status->SetBounds(420, 222, 48, 48);
        status->SetLocked(true);
        for (int k = 0; k < 3; ++k) status->Items().Add(Picture(StatusPicture(k)).get());
        status->OnItemChanged = [status](TControl* s) {
            Event(s, "ItemChanged", "index=" + std::to_string(status->ImageIndex()));
        };
        status->SetImageIndex(0);
        auto* statusText = new TLabelNote(Main);
        statusText->SetName("lblStatus");
        statusText->SetParent(Main);
        statusText->SetBounds(480, 238, 150, 20);
        statusText->Items() = {{"Installed", "done"}, {"Failed", "failed"}, {"Waiting...", "wait"}};
        statusText->SetTextIndex(0);
        auto* next = Button(Main, "btnNext", "Next picture", TRect::FromSize(420, 282, 200, 34));
        next->OnClick = [status, statusText](TControl* s) {
            Event(s, "Click");
            const int i = (status->ImageIndex() + 1) % status->Items().Count();
            status->SetImageIndex(i);
            statusText->SetTextIndex(i);
            Event(statusText, "TextChanged", "name=" + statusText->NameIndex());
        };
        auto* balloonButton = Button(Main, "btnBalloon", "Show a balloon", TRect::FromSize(420, 326, 200, 34));
        balloonButton->OnClick = [this, balloonButton](TControl* s) {
            Event(s, "Click");
            FBalloon->ShowHint(balloonButton);
        };
        FBalloon = new TRdBalloonHint(&FApp);
        FBalloon->SetName("balloonInfo");
        FBalloon->SetTitle("Qarto Private Browser");
        FBalloon->SetDescription("The installation goes on in the background. Click to close.");
        FBalloon->Image().SetGraphic(Picture(StatusPicture(0)));
        FBalloon->SetHideAfter(4000);
        FBalloon->OnBalloonClick = [](TControl* s) { Event(s, "BalloonClick"); };
        FBalloon->OnHidden = [](TControl* s) { Event(s, "Hidden"); };
    }

    void BuildDialog() {
        Dialog = FApp.CreateForm<TDraggableForm>();
        Dialog->SetName("frmDialog");
        Dialog->SetCaption("Skinned dialog");
        Dialog->SetBounds(820, 140, 360, 200);
        Dialog->OnShow = [](TControl* s) { Event(s, "Shown"); };
        auto* skin = AddSkin(Dialog);
        skin->EllipseSize().SetWidth(20);
        skin->EllipseSize().SetHeight(20);
        skin->BorderLines().SetColor(RGB(60, 70, 90));
        skin->BorderLines().SetEnabled(true);
        auto* card = new TRdPaintBox(Dialog);
        card->SetParent(Dialog);
        card->SetAlign(alClient);
        card->SetHitTest(false);
        card->OnPaint = [](TControl* sender, TRdCanvas& canvas) {
            canvas.RoundRect(sender->ClientRect(), 10, 10, RGB(252, 252, 254), clNone);
        };
        Label(Dialog, "Rounded corners (a window region of 20 x 20), a border line drawn into the shadow window.",
              TRect::FromSize(20, 20, 320, 60))
            ->SetWordWrap(true);
        auto* restore = Button(Dialog, "btnRestoreMain", "Restore the main form", TRect::FromSize(20, 130, 200, 36));
        restore->OnClick = [this](TControl* s) {
            Event(s, "Click");
            FTray->Restore();
        };
        auto* ok = Button(Dialog, "btnDlgOk", "OK", TRect::FromSize(240, 130, 100, 36));
        ok->OnClick = [](TControl* s) { Event(s, "Click"); };
        Dialog->Show();
    }

    void BuildTray() {
        FTray = new TCCTrayIcon(Main);
        FTray->SetName("trayMain");
        auto* frames = new TImageNote(Main);
        for (int k = 0; k < 3; ++k) frames->Items().Add(TIcon::FromSurface(TrayFrame(k)).get());
        FTray->SetIconList(frames);
        FTray->SetHint("Qarto Private Browser setup (click to restore)");
        FTray->SetInterval(500);
        FTray->SetAnimate(true);
        FTray->SetRestoreOn(ticLeftClick);
        auto* menu = new TPopupMenu(Main);
        menu->Add("Restore", [this](TMenuItem&) { FTray->Restore(); });
        menu->Add("-");
        menu->Add("Quit", [this](TMenuItem&) { FApp.Terminate(); });
        FTray->SetPopupMenu(menu);
        FTray->OnMinimizeApp = [](TCCTrayIcon* s) { Event(s, "MinimizeApp"); };
        FTray->OnRestoreApp = [](TCCTrayIcon* s) { Event(s, "RestoreApp"); };
        FTray->OnLButtonDown = [](TCCTrayIcon* s) { Event(s, "LButtonDown"); };
        FTray->OnLButtonUp = [](TCCTrayIcon* s) { Event(s, "LButtonUp"); };
        FTray->OnRButtonUp = [](TCCTrayIcon* s) { Event(s, "RButtonUp"); };
        PrintEvent("trayMain", "Enabled", FTray->Enabled() ? "added=1" : "added=0");
    }

    TApplication& FApp;
    std::shared_ptr<TPngGraphic> FFaceNormal, FFaceOver, FFaceDown, FFaceDisabled, FFaceSelected;
    TRdImageButton* FTabs[3] = {};
    TCCTrayIcon* FTray = nullptr;
    TRdBalloonHint* FBalloon = nullptr;
    std::chrono::steady_clock::time_point FHoverStart;
    bool FHoverWatch = false;
};

int Channel(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

int SelfTest(TLayeredPage& page, const GalleryPageOptions& options) {
    int failed = 0;
    auto check = [&](bool ok, const char* what, std::uint32_t pixel) {
        std::printf("probe %-48s %s (pixel 0x%08X)\n", what, ok ? "ok" : "FAILED", static_cast<unsigned>(pixel));
        if (!ok) ++failed;
    };
    page.Main->PaintAll();
    const TArgbSurface& b = page.Main->BackBuffer();
    const std::uint32_t face = b.Pixel(24, 78);
    check(Channel(face, 0) > Channel(face, 16) + 60 && Channel(face, 24) == 255, "install button face is blue", face);
    const std::uint32_t disabled = b.Pixel(174, 78);
    check(std::abs(Channel(disabled, 0) - Channel(disabled, 16)) < 20, "disabled button face is grey", disabled);
    const std::uint32_t selected = b.Pixel(324, 78);
    check(Channel(selected, 8) > Channel(selected, 16) + 60, "selected button face is green", selected);
    const std::uint32_t fill = b.Pixel(222, 158), track = b.Pixel(417, 158);
    check(Channel(fill, 0) > 200 && Channel(fill, 16) < 80, "progress fill is blue", fill);
    check(Channel(track, 0) < 240 && Channel(track, 16) > 200, "progress track is light", track);
    const std::uint32_t shadowCorner = page.Main->BackBuffer().Pixel(0, 0);
    check((shadowCorner >> 24) == 255, "the card is opaque at its corner", shadowCorner);
    try {
        TPngImage png;
        png.AssignPremultiplied(static_cast<std::uint32_t>(b.Width()), static_cast<std::uint32_t>(b.Height()),
                                std::span<const std::uint32_t>(b.Row(0), static_cast<std::size_t>(b.Width()) * b.Height()));
        png.SaveToFile(options.outDir + "/layered-backbuffer.png");
    } catch (const std::exception& e) {
        std::printf("could not save the back buffer: %s\n", e.what());
        ++failed;
    }
    std::printf("selftest %s\n", failed ? "FAILED" : "passed");
    return failed ? 1 : 0;
}

const GalleryPageRegistration registration("layered", [](TApplication& app, const GalleryPageOptions& options) {
    auto page = std::make_shared<TLayeredPage>(app);
    return std::function<int()>([page, options] { return options.selftest ? SelfTest(*page, options) : 0; });
});

}  // namespace
