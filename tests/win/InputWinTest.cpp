// The input controls' Win32 side under Wine: native edit snapshots (a plain edit
// with its frame in place, a skinned edit that is the form's pixels but for its
// ink), the skinned edit drawing over its image on an opaque form, the disabled
// edit letting the mouse through, and the combo box's application hook reading
// real messages and closing the list on a press outside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "net/EventLoop.h"
#include "public/rdcontrol/controls/common/PictureDraw.h"
#include "public/rdcontrol/controls/input/ComboHook.h"
#include "public/rdcontrol/controls/input/RdComboBox.h"
#include "public/rdcontrol/controls/input/RdEdit.h"
#include "public/rdcontrol/framework/Win32Platform.h"
#include "public/rdcontrol/pictures/RdGraphic.h"

namespace {

constexpr TColor kBack = RGB(230, 235, 240), kImage = RGB(250, 240, 200), kInk = RGB(0, 0, 160);

struct InputWinTest : ::testing::Test {
    InputWinTest() : Loop(MakeEventLoop()), App(*Loop, MakeWin32ApplicationPlatform()) {
        InstallApplicationMessageHook(App);
        Form = App.CreateForm<TCustomForm>();
        Form->SetBounds(60, 60, 360, 220);
        Form->SetColor(kBack);
    }
    void Pump() { Loop->Sleep(std::chrono::milliseconds(80)); }
    TRdEdit* MakeEdit(const std::string& text) {
        auto* edit = new TRdEdit(Form);
        edit->SetParent(Form);
        edit->SetBounds(20, 20, 200, 30);
        edit->SetColor(clNone);
        edit->FontNormal().SetName("Tahoma");
        edit->FontNormal().SetHeight(-13);
        edit->FontNormal().SetColor(kInk);
        edit->ImageNormal().SetGraphic(TPngGraphic::FromSurface(TArgbSurface(8, 8, ColorToArgb(kImage))));
        edit->SetText(text);
        return edit;
    }

    std::unique_ptr<EventLoop> Loop;
    TApplication App;
    TCustomForm* Form;
};

TEST_F(InputWinTest, PlainNativeEditSnapshotHasItsFrameAndNoUnpaintedBand) {
    Form->SetPerPixelAlpha(true);
    auto* edit = new TNativeEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(20, 20, 130, 24);
    edit->SetText("Native edit");
    Form->Show();
    Pump();
    Form->PaintAll();
    const TArgbSurface& b = Form->BackBuffer();
    // The sunken edge: shadow at the top-left, highlight at the bottom-right.
    EXPECT_EQ(b.Pixel(20, 30), ColorToArgb(static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW))));
    EXPECT_EQ(b.Pixel(20 + 129, 30), ColorToArgb(static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT))));
    // Inside the frame along the right and bottom edges: the window colour, where
    // the client printed at the origin once left black.
    const std::uint32_t window = ColorToArgb(static_cast<TColor>(GetSysColor(COLOR_WINDOW)));
    for (int k = 2; k <= 4; ++k) {
        EXPECT_EQ(b.Pixel(20 + 130 - 1 - k, 32), window) << "column " << k;
        EXPECT_EQ(b.Pixel(80, 20 + 24 - 1 - k), window) << "row " << k;
    }
}

TEST_F(InputWinTest, SkinnedEditSnapshotIsTheFormsPixelsButItsInk) {
    Form->SetPerPixelAlpha(true);
    TRdEdit* edit = MakeEdit("Wide text");
    Form->Show();
    Pump();
    Form->PaintAll();
    const TArgbSurface& b = Form->BackBuffer();
    const TRect area = edit->TextArea();
    const int lineBottom = area.Top + edit->Font().FontHeight() + 2;
    int ink = 0, strays = 0, blue = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 200; ++x) {
            const std::uint32_t p = b.Pixel(20 + x, 20 + y);
            if (p == ColorToArgb(kImage)) continue;
            // Anything else is the text's ink: on its line, opaque.
            if (y >= area.Top && y < lineBottom && x >= area.Left && x < area.Left + 120 && (p >> 24) == 255) {
                ++ink;
                blue += (p & 0xFF) > 140 && ((p >> 16) & 0xFF) < 60;  // full ink: the font colour
            } else {
                ++strays;
            }
        }
    EXPECT_GT(ink, 30);
    EXPECT_GT(blue, 10);
    EXPECT_EQ(strays, 0);
}

TEST_F(InputWinTest, SkinnedEditPaintsItsImageUnderItsTextOnAnOpaqueForm) {
    TRdEdit* edit = MakeEdit("x");
    Form->Show();
    Pump();
    const auto child = static_cast<HWND>(edit->Native()->PlatformHandle());
    EXPECT_EQ(GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    // The child's own painting: what WM_PRINT gives of it, over nothing else.
    RECT rc;
    GetClientRect(child, &rc);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF corner = GetPixel(dc, rc.right - 2, rc.bottom - 2);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(corner, static_cast<COLORREF>(ColorToRgb(kImage)));
}

TEST_F(InputWinTest, ADisabledEditLetsTheMouseThrough) {
    TRdEdit* edit = MakeEdit("x");
    Form->Show();
    Pump();
    const auto child = static_cast<HWND>(edit->Native()->PlatformHandle());
    POINT p{5, 5};
    ClientToScreen(child, &p);
    EXPECT_EQ(SendMessageW(child, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCLIENT);
    edit->SetEnabled(false);
    EXPECT_EQ(SendMessageW(child, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTTRANSPARENT);
    EXPECT_TRUE(IsWindowEnabled(child));  // never the platform's disabled look
}

TEST(ComboHookWin, ReadsTheMessagesItsRulesNeed) {
    MSG msg{};
    msg.pt = POINT{300, 200};
    TComboHookMessage m;
    msg.message = WM_RBUTTONDOWN;
    ASSERT_TRUE(ReadComboHookMessage(&msg, m));
    EXPECT_EQ(m.Kind, TComboHookMessage::TKind::ButtonDown);
    EXPECT_EQ(m.Button, mbRight);
    EXPECT_EQ(m.Screen, (TPoint{300, 200}));
    msg.message = WM_NCLBUTTONDOWN;
    ASSERT_TRUE(ReadComboHookMessage(&msg, m));
    EXPECT_EQ(m.Kind, TComboHookMessage::TKind::FrameButtonDown);
    msg.message = WM_MOUSEWHEEL;
    msg.wParam = MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-120));
    msg.lParam = MAKELPARAM(410, 320);  // the wheel's own screen position
    ASSERT_TRUE(ReadComboHookMessage(&msg, m));
    EXPECT_EQ(m.Kind, TComboHookMessage::TKind::Wheel);
    EXPECT_EQ(m.WheelDelta, -120);
    EXPECT_EQ(m.Shift, unsigned(ssShift));
    EXPECT_EQ(m.Screen, (TPoint{410, 320}));
    msg.message = WM_KEYDOWN;
    EXPECT_FALSE(ReadComboHookMessage(&msg, m));
}

TEST_F(InputWinTest, APressOutsideTheOpenListClosesItThroughTheHook) {
    auto* combo = new TRdComboBox(Form);
    combo->SetParent(Form);
    combo->SetBounds(20, 20, 200, 24);
    combo->SetItems({"one", "two", "three"});
    Form->Show();
    Pump();
    combo->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(combo->DroppedDown());
    const auto list = static_cast<HWND>(combo->ListForm().Window()->PlatformHandle());
    EXPECT_TRUE(IsWindowVisible(list));
    // A press on the list window itself keeps it open; one on the form elsewhere
    // (queued, so the application's hook sees it first) closes it. The hook goes
    // by where the pointer was when the message was posted.
    SetCursorPos(combo->ListForm().Left() + 5, combo->ListForm().Top() + 5);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Pump();
    EXPECT_TRUE(combo->DroppedDown());
    const auto form = static_cast<HWND>(Form->Window()->PlatformHandle());
    SetCursorPos(60 + 300, 60 + 180);
    PostMessageW(form, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 180));
    PostMessageW(form, WM_LBUTTONUP, 0, MAKELPARAM(300, 180));
    Pump();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_FALSE(IsWindowVisible(list));
}

}  // namespace
