// The platform window behind a form: a WS_POPUP window (no caption, no edges) that
// shows the form's back buffer and hands input to the form.
//
// Opaque and constant-alpha forms paint on WM_PAINT (SetDIBitsToDevice from the
// back buffer). Per-pixel-alpha forms are layered windows updated with
// UpdateLayeredWindow from a 32-bit DIB section; they get no WM_PAINT, so an
// invalidation posts one update message that paints what is invalid and pushes the
// whole buffer (the system composes layered windows from complete images).
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "os/TextConvert.h"
#include "public/rdcontrol/framework/Win32Platform.h"

namespace {

constexpr wchar_t kClassName[] = L"QartoForm";
constexpr UINT kLayeredUpdate = WM_APP + 0x61;

TShiftState ShiftFromKeys(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TShiftState KeyboardShift() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

HCURSOR CursorHandle(TCursor cursor) {
    LPCWSTR id = IDC_ARROW;
    switch (cursor) {
        case crHandPoint: id = IDC_HAND; break;
        case crIBeam: id = IDC_IBEAM; break;
        default: break;
    }
    return LoadCursorW(nullptr, id);
}

// A native EDIT or LISTBOX child of a form's window. The form window passes the
// child's notifications (WM_COMMAND) and colour requests (WM_CTLCOLOREDIT) here;
// the font is created from the control's font and owned here. The child's window
// procedure is subclassed to let the mouse through (HitTransparent) and to tell
// the control when its look changed without a change of content (caret,
// selection), which per-pixel-alpha forms must show through a new snapshot.
class TWin32NativeChild final : public TNativeChildWindow {
public:
    TWin32NativeChild(HWND parent, const TCustomForm& form, TNativeKind kind, TNativeChildEvents events)
        : FForm(form), FKind(kind), FEvents(std::move(events)) {
        const bool edit = kind == TNativeKind::Edit;
        const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP |
                            (edit ? DWORD{ES_AUTOHSCROLL} : DWORD{LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL});
        FWindow = CreateWindowExW(WS_EX_CLIENTEDGE, edit ? L"EDIT" : L"LISTBOX", L"", style, 0, 0, 0, 0, parent,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        FOldProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWin32NativeChild::ChildProc)));
    }
    ~TWin32NativeChild() override {
        if (FWindow) {
            SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldProc));
            SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
            DestroyWindow(FWindow);
        }
        if (FFont) DeleteObject(FFont);
    }

    // From the parent's WM_COMMAND.
    void Notify(WORD code) {
        const bool changed = FKind == TNativeKind::Edit ? code == EN_CHANGE : code == LBN_SELCHANGE;
        const bool focused = FKind == TNativeKind::Edit ? code == EN_SETFOCUS : code == LBN_SETFOCUS;
        if (changed && FEvents.OnChange) FEvents.OnChange();
        if (focused && FEvents.OnFocus) FEvents.OnFocus();
    }

    // From the parent's WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC: nullptr lets the
    // platform choose (a plain child). A skinned edit draws over the form's pixels:
    // on the screen they are painted in first; in a snapshot they already are.
    HBRUSH CtlColor(HDC dc) {
        if (!FOptions.Skinned) return nullptr;
        if (!FPrinting) PaintFormPixels(dc);
        ::SetTextColor(dc, ColorToRgb(FOptions.TextColor));
        SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }

    void SetBounds(const TRect& r) override {
        FBounds = r;
        SetWindowPos(FWindow, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void SetVisible(bool visible) override { ShowWindow(FWindow, visible ? SW_SHOWNA : SW_HIDE); }
    void SetEnabled(bool enabled) override { EnableWindow(FWindow, enabled); }
    void SetFocus() override { ::SetFocus(FWindow); }
    void ReleaseFocus() override {
        if (GetFocus() == FWindow) ::SetFocus(GetParent(FWindow));
    }
    void Redraw() override { InvalidateRect(FWindow, nullptr, TRUE); }
    void SelectAll() override {
        if (FKind == TNativeKind::Edit) SendMessageW(FWindow, EM_SETSEL, 0, -1);
    }
    void SetEditOptions(const TNativeEditOptions& o) override {
        if (FKind != TNativeKind::Edit) return;
        const TNativeEditOptions old = FOptions;
        FOptions = o;
        if (o.Skinned != old.Skinned) {
            LONG_PTR ex = GetWindowLongPtrW(FWindow, GWL_EXSTYLE);
            ex = o.Skinned ? ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE) : ex | WS_EX_CLIENTEDGE;
            SetWindowLongPtrW(FWindow, GWL_EXSTYLE, ex);
            SetWindowPos(FWindow, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        if (o.CharCase != old.CharCase || o.Alignment != old.Alignment) {
            LONG_PTR style = GetWindowLongPtrW(FWindow, GWL_STYLE);
            style &= ~static_cast<LONG_PTR>(ES_UPPERCASE | ES_LOWERCASE | ES_CENTER | ES_RIGHT);
            if (o.CharCase == 1) style |= ES_UPPERCASE;
            if (o.CharCase == 2) style |= ES_LOWERCASE;
            if (o.Alignment == 1) style |= ES_RIGHT;
            if (o.Alignment == 2) style |= ES_CENTER;
            SetWindowLongPtrW(FWindow, GWL_STYLE, style);
        }
        if (o.PasswordChar != old.PasswordChar)
            SendMessageW(FWindow, EM_SETPASSWORDCHAR, o.PasswordChar < 0x10000 ? static_cast<WPARAM>(o.PasswordChar) : L'*',
                         0);
        InvalidateRect(FWindow, nullptr, TRUE);
    }
    void SetFont(const TFontSpec& font) override {
        LOGFONTW lf{};
        lf.lfHeight = font.Height;
        lf.lfWeight = font.Style & fsBold ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = font.Style & fsItalic ? TRUE : FALSE;
        lf.lfUnderline = font.Style & fsUnderline ? TRUE : FALSE;
        lf.lfStrikeOut = font.Style & fsStrikeOut ? TRUE : FALSE;
        lf.lfCharSet = static_cast<BYTE>(font.Charset);
        lf.lfQuality = font.Antialiased ? ANTIALIASED_QUALITY : DEFAULT_QUALITY;
        const std::wstring name = Widen(font.Name);
        wcsncpy(lf.lfFaceName, name.c_str(), LF_FACESIZE - 1);
        HFONT created = CreateFontIndirectW(&lf);
        if (!created) return;
        SendMessageW(FWindow, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
        if (FFont) DeleteObject(FFont);
        FFont = created;
    }
    std::string Text() const override {
        const int length = GetWindowTextLengthW(FWindow);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(FWindow, text.data(), length + 1)));
        return Narrow(text);
    }
    void SetText(const std::string& utf8) override { SetWindowTextW(FWindow, Widen(utf8).c_str()); }
    void SetItems(const std::vector<std::string>& items) override {
        SendMessageW(FWindow, LB_RESETCONTENT, 0, 0);
        for (const std::string& item : items)
            SendMessageW(FWindow, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    }
    int ItemIndex() const override { return static_cast<int>(SendMessageW(FWindow, LB_GETCURSEL, 0, 0)); }
    void SetItemIndex(int index) override { SendMessageW(FWindow, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

    // WM_PRINT is not used for the whole window: Wine paints no non-client area for
    // it and puts the client area at the DC's origin, so a framed edit came out as
    // its client shifted up-left over its frame, with an unpainted (black) band
    // along the right and bottom edges. The frame is drawn here and the client is
    // printed at its own offset, which gives the same picture on Windows.
    TArgbSurface Snapshot() override {
        RECT rc{};
        GetWindowRect(FWindow, &rc);
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        TArgbSurface result;
        if (w <= 0 || h <= 0) return result;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dib) return result;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, dib);
        auto* px = static_cast<std::uint32_t*>(bits);
        const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        result = TArgbSurface(w, h);

        POINT client{0, 0};
        ClientToScreen(FWindow, &client);
        const int cx = client.x - rc.left, cy = client.y - rc.top;
        const bool skinned = FOptions.Skinned && FKind == TNativeKind::Edit;
        std::vector<std::uint32_t> under;
        if (skinned) {
            // The form's pixels under the child, exactly; the edit draws its text
            // over them (CtlColor answers a transparent background).
            under.resize(count);
            const TArgbSurface& buffer = FForm.BackBuffer();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    under[static_cast<std::size_t>(y) * w + x] = buffer.Pixel(FBounds.Left + x, FBounds.Top + y);
            std::memcpy(px, under.data(), count * 4);
        } else {
            const std::uint32_t window = ColorToRgb(clWindow);
            const std::uint32_t bgr = (window & 0xFF) << 16 | (window & 0xFF00) | (window >> 16 & 0xFF);
            std::fill(px, px + count, bgr);
            if (GetWindowLongPtrW(FWindow, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
                RECT frame{0, 0, w, h};
                DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
            }
        }
        const POINT previous = [&] {
            POINT p{};
            SetViewportOrgEx(dc, cx, cy, &p);
            return p;
        }();
        RECT clientRect{};
        GetClientRect(FWindow, &clientRect);
        IntersectClipRect(dc, 0, 0, clientRect.right, clientRect.bottom);
        FPrinting = true;
        SendMessageW(FWindow, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT | (skinned ? 0 : PRF_ERASEBKGND) | PRF_CHILDREN);
        FPrinting = false;
        DrawCaret(dc);
        SelectClipRgn(dc, nullptr);
        SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
        GdiFlush();
        for (int y = 0; y < h; ++y) {
            std::uint32_t* out = result.Row(y);
            for (int x = 0; x < w; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * w + x;
                if (!skinned) {
                    out[x] = px[i] | 0xFF000000u;  // GDI leaves alpha 0: the native control is opaque
                    continue;
                }
                // GDI zeroes the alpha of what it writes: that is ink (text,
                // selection, caret), opaque; everything else is the form's pixel.
                const std::uint32_t was = under[i], now = px[i];
                const bool written = now != was || ((now >> 24) == 0 && (was >> 24) != 0);
                out[x] = written ? now | 0xFF000000u : was;
            }
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(dib);
        return result;
    }
    void* PlatformHandle() const override { return FWindow; }

private:
    // The form's back buffer under the child, into the child's client DC.
    void PaintFormPixels(HDC dc) {
        const TArgbSurface& buffer = FForm.BackBuffer();
        const TRect r = FBounds.Intersect(buffer.Bounds());
        if (r.IsEmpty()) return;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = buffer.Stride();
        bi.bmiHeader.biHeight = -r.Height();
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, r.Left - FBounds.Left, r.Top - FBounds.Top, static_cast<DWORD>(r.Width()),
                          static_cast<DWORD>(r.Height()), r.Left, 0, 0, static_cast<UINT>(r.Height()),
                          buffer.Row(r.Top), &bi, DIB_RGB_COLORS);
    }

    // A snapshot shows no system caret: it is drawn in, steady, while the child
    // has the focus.
    void DrawCaret(HDC dc) {
        if (GetFocus() != FWindow || FKind != TNativeKind::Edit) return;
        POINT caret{};
        if (!GetCaretPos(&caret)) return;
        TEXTMETRICW tm{};
        HGDIOBJ oldFont = SelectObject(dc, FFont ? static_cast<HGDIOBJ>(FFont) : GetStockObject(DEFAULT_GUI_FONT));
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, oldFont);
        DWORD width = 1;
        SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &width, 0);
        const COLORREF color = FOptions.Skinned ? ColorToRgb(FOptions.TextColor) : GetSysColor(COLOR_WINDOWTEXT);
        HBRUSH brush = CreateSolidBrush(color);
        RECT r{caret.x, caret.y, caret.x + static_cast<LONG>(std::max<DWORD>(width, 1)), caret.y + tm.tmHeight};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }

    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCHITTEST && FOptions.HitTransparent) return HTTRANSPARENT;
        if (msg == WM_MOUSEMOVE && !FTracking) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, FWindow, 0};
            FTracking = TrackMouseEvent(&tme) != FALSE;
            if (FEvents.OnHover) FEvents.OnHover(true);
        }
        if (msg == WM_MOUSELEAVE) {
            FTracking = false;
            if (FEvents.OnHover) FEvents.OnHover(false);
        }
        if (msg == WM_CHAR && FEvents.OnChar && wp >= 0x20 && (wp < 0xD800 || wp >= 0xE000) &&
            !FEvents.OnChar(static_cast<char32_t>(wp)))
            return 0;  // refused by the control (surrogate halves and control keys pass)
        const LRESULT result = CallWindowProcW(FOldProc, FWindow, msg, wp, lp);
        switch (msg) {
            case WM_PAINT:
            case WM_KEYDOWN:
            case WM_KEYUP:
            case WM_CHAR:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_LBUTTONDBLCLK:
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
            case EM_SETSEL:
            case WM_TIMER:  // selection scrolling while the mouse drags outside
                if (FEvents.OnRepaint) FEvents.OnRepaint();
                break;
            case WM_MOUSEMOVE:
                if ((wp & MK_LBUTTON) && FEvents.OnRepaint) FEvents.OnRepaint();
                break;
            default: break;
        }
        return result;
    }

    static LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<TWin32NativeChild*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
        return self->Handle(msg, wp, lp);
    }

    const TCustomForm& FForm;
    TNativeKind FKind;
    TNativeChildEvents FEvents;
    HWND FWindow = nullptr;
    WNDPROC FOldProc = nullptr;
    HFONT FFont = nullptr;
    TRect FBounds;
    TNativeEditOptions FOptions;
    bool FPrinting = false;
    bool FTracking = false;
};

class TWin32FormWindow final : public TFormWindow {
public:
    TWin32FormWindow(TCustomForm& form, const std::string& title) : FForm(form) {
        static const bool registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = &TWin32FormWindow::WindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = kClassName;
            return RegisterClassExW(&wc) != 0;
        }();
        (void)registered;
        DWORD exStyle = form.ShowNoActivate() ? (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)
                        : form.TaskbarButton() ? WS_EX_APPWINDOW
                                               : WS_EX_TOOLWINDOW;
        if (form.FormStyle() == TFormStyle::fsStayOnTop) exStyle |= WS_EX_TOPMOST;
        FShowsTitle = !title.empty() && form.TaskbarButton() && form.Application() &&
                      form.Application()->MainFormShowsTitle() && form.Application()->MainForm() == &form;
        const std::wstring caption = Widen(form.Caption().empty() || FShowsTitle ? title : form.Caption());
        FWindow = CreateWindowExW(exStyle, kClassName, caption.c_str(), WS_POPUP | WS_CLIPCHILDREN, form.Left(),
                                  form.Top(), form.Width(), form.Height(), nullptr, nullptr, GetModuleHandleW(nullptr),
                                  this);
    }

    ~TWin32FormWindow() override {
        if (FWindow) {
            SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
            DestroyWindow(FWindow);
        }
        FreeDib();
    }

    void SetBounds(const TRect& r) override {
        FSettingBounds = true;
        SetWindowPos(FWindow, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        FSettingBounds = false;
        if (FLayering == TFormLayering::PerPixelAlpha) ScheduleLayeredUpdate();
    }

    void SetVisible(bool visible, bool activate) override {
        if (visible && FLayering == TFormLayering::PerPixelAlpha) PushLayered();  // content before showing
        ShowWindow(FWindow, visible ? (activate ? SW_SHOW : SW_SHOWNOACTIVATE) : SW_HIDE);
        if (visible && FLayering != TFormLayering::PerPixelAlpha) UpdateWindow(FWindow);
    }

    void SetCaption(const std::string& caption) override {
        if (!caption.empty() && !FShowsTitle) SetWindowTextW(FWindow, Widen(caption).c_str());
    }

    void SetLayering(TFormLayering layering, std::uint8_t alpha) override {
        const bool wasPerPixel = FLayering == TFormLayering::PerPixelAlpha;
        FLayering = layering;
        FAlpha = alpha;
        LONG_PTR ex = GetWindowLongPtrW(FWindow, GWL_EXSTYLE);
        if (layering == TFormLayering::Opaque) {
            SetWindowLongPtrW(FWindow, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        } else {
            // Switching between the two layered kinds needs the style off and on again.
            if (wasPerPixel != (layering == TFormLayering::PerPixelAlpha) && (ex & WS_EX_LAYERED))
                SetWindowLongPtrW(FWindow, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
            SetWindowLongPtrW(FWindow, GWL_EXSTYLE, ex | WS_EX_LAYERED);
            if (layering == TFormLayering::ConstantAlpha) SetLayeredWindowAttributes(FWindow, 0, alpha, LWA_ALPHA);
        }
        if (layering == TFormLayering::PerPixelAlpha) ScheduleLayeredUpdate();
        else InvalidateRect(FWindow, nullptr, FALSE);
    }

    void SetStayOnTop(bool stayOnTop) override {
        SetWindowPos(FWindow, stayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    void SetEnabled(bool enabled) override { EnableWindow(FWindow, enabled); }
    void SetOwnerWindow(TFormWindow* owner) override {
        auto* o = static_cast<TWin32FormWindow*>(owner);
        SetWindowLongPtrW(FWindow, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(o ? o->FWindow : nullptr));
    }
    void Activate() override { SetForegroundWindow(FWindow); }
    void Minimize() override { ShowWindow(FWindow, SW_MINIMIZE); }
    void Restore() override { ShowWindow(FWindow, SW_RESTORE); }
    bool Minimized() const override { return IsIconic(FWindow) != FALSE; }

    void Invalidate(const TRect& r) override {
        if (FLayering == TFormLayering::PerPixelAlpha) {
            ScheduleLayeredUpdate();
        } else {
            RECT rc{r.Left, r.Top, r.Right, r.Bottom};
            InvalidateRect(FWindow, &rc, FALSE);
        }
    }
    void Update() override {
        if (FLayering == TFormLayering::PerPixelAlpha) {
            FUpdatePosted = false;
            PushLayered();
        } else {
            UpdateWindow(FWindow);
        }
    }

    void SetMouseCapture(bool capture) override {
        if (capture) SetCapture(FWindow);
        else if (GetCapture() == FWindow) ReleaseCapture();
    }
    void SetCursor(TCursor cursor) override {
        FCursor = cursor;
        ::SetCursor(CursorHandle(cursor));
    }
    void TrackMouseLeave() override {
        if (FTracking) return;
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, FWindow, 0};
        FTracking = TrackMouseEvent(&tme) != FALSE;
    }
    std::unique_ptr<TNativeChildWindow> CreateNativeChild(TNativeKind kind, TNativeChildEvents events) override {
        return std::make_unique<TWin32NativeChild>(FWindow, FForm, kind, std::move(events));
    }
    void* PlatformHandle() const override { return FWindow; }

    HWND Handle() const { return FWindow; }

private:
    void ScheduleLayeredUpdate() {
        if (FUpdatePosted) return;
        FUpdatePosted = true;
        PostMessageW(FWindow, kLayeredUpdate, 0, 0);
    }

    void FreeDib() {
        if (FMemDc) {
            SelectObject(FMemDc, FOldBitmap);
            DeleteDC(FMemDc);
            FMemDc = nullptr;
        }
        if (FDib) {
            DeleteObject(FDib);
            FDib = nullptr;
        }
        FDibBits = nullptr;
        FDibW = FDibH = 0;
    }

    bool EnsureDib(int w, int h) {
        if (FDib && FDibW == w && FDibH == h) return true;
        FreeDib();
        if (w <= 0 || h <= 0) return false;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;  // top-down, like TArgbSurface
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        FDib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!FDib) return false;
        FMemDc = CreateCompatibleDC(nullptr);
        FOldBitmap = SelectObject(FMemDc, FDib);
        FDibBits = static_cast<std::uint32_t*>(bits);
        FDibW = w;
        FDibH = h;
        return true;
    }

    // Paints what is invalid and hands the whole image to the system.
    void PushLayered() {
        FForm.PaintInvalid();
        const TArgbSurface& buffer = FForm.BackBuffer();
        if (buffer.Empty() || !EnsureDib(buffer.Width(), buffer.Height())) return;
        for (int y = 0; y < buffer.Height(); ++y)
            std::memcpy(FDibBits + static_cast<std::size_t>(y) * FDibW, buffer.Row(y),
                        static_cast<std::size_t>(buffer.Width()) * 4);
        POINT pos{FForm.Left(), FForm.Top()};
        SIZE size{buffer.Width(), buffer.Height()};
        POINT origin{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, FAlpha, AC_SRC_ALPHA};
        HDC screen = GetDC(nullptr);
        UpdateLayeredWindow(FWindow, screen, &pos, &size, FMemDc, &origin, 0, &blend, ULW_ALPHA);
        ReleaseDC(nullptr, screen);
        FramePresented();
    }

    // The first frame a form hands to the screen, once, on the debugger output: the
    // start-up benchmark measures to it.
    void FramePresented() {
        if (FFramePresented) return;
        FFramePresented = true;
        OutputDebugStringA(("first frame: " + FForm.Name()).c_str());
    }

    void PaintOpaque() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(FWindow, &ps);
        FForm.PaintInvalid();
        const TArgbSurface& buffer = FForm.BackBuffer();
        if (!buffer.Empty()) {
            BITMAPINFO bi{};
            bi.bmiHeader.biSize = sizeof bi.bmiHeader;
            bi.bmiHeader.biWidth = buffer.Stride();
            bi.bmiHeader.biHeight = -buffer.Height();
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            bi.bmiHeader.biCompression = BI_RGB;
            SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(buffer.Width()), static_cast<DWORD>(buffer.Height()), 0, 0,
                              0, static_cast<UINT>(buffer.Height()), buffer.Row(0), &bi, DIB_RGB_COLORS);
        }
        EndPaint(FWindow, &ps);
        if (!buffer.Empty()) FramePresented();
    }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
        const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        switch (msg) {
            case WM_PAINT:
                if (FLayering == TFormLayering::PerPixelAlpha) {
                    ValidateRect(FWindow, nullptr);
                    ScheduleLayeredUpdate();
                } else {
                    PaintOpaque();
                }
                return 0;
            case kLayeredUpdate:
                if (FUpdatePosted) {
                    FUpdatePosted = false;
                    if (FLayering == TFormLayering::PerPixelAlpha) PushLayered();
                }
                return 0;
            case WM_ERASEBKGND: return 1;
            case WM_MOUSEMOVE: FForm.HandleMouseMove(ShiftFromKeys(wp), x, y); return 0;
            case WM_LBUTTONDOWN: FForm.HandleMouseDown(mbLeft, ShiftFromKeys(wp), x, y, false); return 0;
            case WM_RBUTTONDOWN: FForm.HandleMouseDown(mbRight, ShiftFromKeys(wp), x, y, false); return 0;
            case WM_MBUTTONDOWN: FForm.HandleMouseDown(mbMiddle, ShiftFromKeys(wp), x, y, false); return 0;
            case WM_LBUTTONDBLCLK: FForm.HandleMouseDown(mbLeft, ShiftFromKeys(wp), x, y, true); return 0;
            case WM_RBUTTONDBLCLK: FForm.HandleMouseDown(mbRight, ShiftFromKeys(wp), x, y, true); return 0;
            case WM_LBUTTONUP: FForm.HandleMouseUp(mbLeft, ShiftFromKeys(wp), x, y); return 0;
            case WM_RBUTTONUP: FForm.HandleMouseUp(mbRight, ShiftFromKeys(wp), x, y); return 0;
            case WM_MBUTTONUP: FForm.HandleMouseUp(mbMiddle, ShiftFromKeys(wp), x, y); return 0;
            case WM_MOUSELEAVE: FTracking = false; FForm.HandleMouseLeave(); return 0;
            case WM_MOUSEWHEEL: {
                POINT p{x, y};
                ScreenToClient(FWindow, &p);
                FForm.HandleMouseWheel(ShiftFromKeys(GET_KEYSTATE_WPARAM(wp)), GET_WHEEL_DELTA_WPARAM(wp), p.x, p.y);
                return 0;
            }
            case WM_CAPTURECHANGED:
                if (reinterpret_cast<HWND>(lp) != FWindow && FForm.CaptureControl()) {
                    // Someone else took the mouse: the pressed control must not stay pressed.
                    FForm.SetCaptureControl(nullptr);
                }
                return 0;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                if (FForm.HandleKeyDown(static_cast<int>(wp), KeyboardShift())) return 0;
                break;
            case WM_KEYUP:
            case WM_SYSKEYUP:
                if (FForm.HandleKeyUp(static_cast<int>(wp), KeyboardShift())) return 0;
                break;
            case WM_CHAR: {
                const auto unit = static_cast<wchar_t>(wp);
                if (unit >= 0xD800 && unit < 0xDC00) {
                    FHighSurrogate = unit;
                    return 0;
                }
                char32_t ch = unit;
                if (unit >= 0xDC00 && unit < 0xE000 && FHighSurrogate)
                    ch = 0x10000 + ((static_cast<char32_t>(FHighSurrogate) - 0xD800) << 10) + (unit - 0xDC00);
                FHighSurrogate = 0;
                FForm.HandleChar(ch);
                return 0;
            }
            case WM_ACTIVATE: FForm.HandleActivate(LOWORD(wp) != WA_INACTIVE); break;
            case WM_MOUSEACTIVATE:
                if (FForm.ShowNoActivate()) return MA_NOACTIVATE;
                break;
            case WM_CLOSE: FForm.HandleCloseRequest(); return 0;
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORSTATIC:
                if (lp)
                    if (auto* child = reinterpret_cast<TWin32NativeChild*>(
                            GetWindowLongPtrW(reinterpret_cast<HWND>(lp), GWLP_USERDATA)))
                        if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wp)))
                            return reinterpret_cast<LRESULT>(brush);
                break;
            case WM_COMMAND:
                // Notifications of our native children (edits, lists).
                if (lp)
                    if (auto* child = reinterpret_cast<TWin32NativeChild*>(
                            GetWindowLongPtrW(reinterpret_cast<HWND>(lp), GWLP_USERDATA)))
                        child->Notify(HIWORD(wp));
                return 0;
            case WM_SETCURSOR:
                if (LOWORD(lp) == HTCLIENT) {
                    ::SetCursor(CursorHandle(FCursor));
                    return TRUE;
                }
                break;
            case WM_NCHITTEST: {
                POINT p{x, y};
                ScreenToClient(FWindow, &p);
                switch (FForm.WindowHitTest(p.x, p.y)) {
                    case TWindowHitArea::Transparent: return HTTRANSPARENT;
                    case TWindowHitArea::Caption: return HTCAPTION;
                    case TWindowHitArea::Client: return HTCLIENT;
                }
                break;
            }
            case WM_WINDOWPOSCHANGED: {
                const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
                if (!FSettingBounds && !(pos->flags & SWP_NOMOVE && pos->flags & SWP_NOSIZE) && !IsIconic(FWindow)) {
                    RECT rc;
                    GetWindowRect(FWindow, &rc);
                    FForm.HandleWindowBounds(TRect{rc.left, rc.top, rc.right, rc.bottom});
                }
                break;
            }
            default: break;
        }
        return DefWindowProcW(FWindow, msg, wp, lp);
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* self = static_cast<TWin32FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            self->FWindow = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<TWin32FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
        return self->HandleMessage(msg, wp, lp);
    }

    TCustomForm& FForm;
    HWND FWindow = nullptr;
    TFormLayering FLayering = TFormLayering::Opaque;
    std::uint8_t FAlpha = 255;
    bool FUpdatePosted = false;
    bool FSettingBounds = false;
    bool FShowsTitle = false;
    bool FTracking = false;
    bool FFramePresented = false;
    TCursor FCursor = crDefault;
    wchar_t FHighSurrogate = 0;
    HBITMAP FDib = nullptr;
    HDC FMemDc = nullptr;
    HGDIOBJ FOldBitmap = nullptr;
    std::uint32_t* FDibBits = nullptr;
    int FDibW = 0, FDibH = 0;
};

class TWin32ApplicationPlatform final : public TApplicationPlatform {
public:
    std::unique_ptr<TFormWindow> MakeWindow(TCustomForm& form) override {
        return std::make_unique<TWin32FormWindow>(form, FTitle);
    }
    TRect WorkArea(TPoint point) const override {
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        HMONITOR monitor = MonitorFromPoint(POINT{point.X, point.Y}, MONITOR_DEFAULTTONEAREST);
        if (!GetMonitorInfoW(monitor, &mi)) return TRect{0, 0, 1024, 768};
        return TRect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
    }
    TPoint CursorPos() const override {
        POINT p{};
        GetCursorPos(&p);
        return TPoint{p.x, p.y};
    }
    void SetTitle(const std::string& title) override { FTitle = title; }
    int TrackMenu(const std::vector<std::string>& captions, const std::vector<bool>& enabled,
                  TPoint screen) override {
        return TrackWin32PopupMenu(nullptr, captions, enabled, screen);
    }

private:
    std::string FTitle;
};

}  // namespace

std::unique_ptr<TApplicationPlatform> MakeWin32ApplicationPlatform() {
    return std::make_unique<TWin32ApplicationPlatform>();
}

void InstallApplicationMessageHook(TApplication& app) {
    SetPlatformMessageFilter([&app](void* message) {
        auto* msg = static_cast<MSG*>(message);
        if (msg->message == WM_QUIT) {
            app.Terminate();
            return true;
        }
        return app.OnMessage && app.OnMessage(message);
    });
}
