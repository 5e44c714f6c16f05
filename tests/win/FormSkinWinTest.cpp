// The skinned form's Win32 side under Wine: a real shadow window (layered,
// click-through, never activated, owned by the form) around a real form window,
// following it through moves, minimise and restore and hiding, lying directly above
// it, fading with it; the window region; the window procedure put back on detach.
#include <windows.h>

#include <gtest/gtest.h>

#include "net/EventLoop.h"
#include "public/rdcontrol/controls/form/RdFormSkin.h"
#include "public/rdcontrol/framework/RdControls.h"
#include "public/rdcontrol/framework/Win32Platform.h"

namespace {

struct FormSkinWinTest : ::testing::Test {
    FormSkinWinTest() : Loop(MakeEventLoop()), App(*Loop, MakeWin32ApplicationPlatform()) {
        Form = App.CreateForm<TRdLayerForm>();
        Form->SetBounds(200, 150, 320, 200);
        auto* card = new TRdPaintBox(Form);
        card->SetParent(Form);
        card->SetAlign(alClient);
        card->OnPaint = [](TControl* sender, TRdCanvas& canvas) {
            canvas.FillRect(sender->ClientRect(), RGB(240, 240, 240));
        };
    }
    TRdFormSkin* MakeSkin() {
        auto* skin = new TRdFormSkin(Form);
        TArgbSurface picture(30, 30, 0x60000000u);
        skin->PicShadow().SetGraphic(TPngGraphic::FromSurface(picture));
        skin->PicShadowOption().SetStretchMode(sdmFrame);
        skin->PicShadowOption().SetLeft(10);
        skin->PicShadowOption().SetTop(10);
        skin->PicShadowOption().SetRight(10);
        skin->PicShadowOption().SetBottom(10);
        skin->ShadowFrame().SetLeft(10);
        skin->ShadowFrame().SetTop(10);
        skin->ShadowFrame().SetRight(10);
        skin->ShadowFrame().SetBottom(10);
        skin->ShadowFrame().SetEnabled(true);
        return skin;
    }
    HWND FormWindow() const { return static_cast<HWND>(Form->Window()->PlatformHandle()); }
    static HWND ShadowWindow(TRdFormSkin* skin) { return static_cast<HWND>(skin->ShadowBg().Window()->Handle()); }
    void Pump() { Loop->Sleep(std::chrono::milliseconds(60)); }
    static RECT Rect(HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return r;
    }

    std::unique_ptr<EventLoop> Loop;
    TApplication App;
    TCustomForm* Form;
};

TEST_F(FormSkinWinTest, ShadowWindowFollowsTheFormWindow) {
    auto* skin = MakeSkin();
    Form->Show();
    Pump();
    const HWND form = FormWindow(), shadow = ShadowWindow(skin);
    ASSERT_TRUE(IsWindow(shadow));
    EXPECT_TRUE(IsWindowVisible(shadow));
    EXPECT_EQ(GetWindow(shadow, GW_OWNER), form);
    const LONG_PTR ex = GetWindowLongPtrW(shadow, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(ex & WS_EX_TRANSPARENT);
    EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
    EXPECT_FALSE(ex & WS_EX_APPWINDOW);
    RECT r = Rect(shadow);
    EXPECT_EQ(r.left, 190);
    EXPECT_EQ(r.top, 140);
    EXPECT_EQ(r.right - r.left, 340);
    EXPECT_EQ(r.bottom - r.top, 220);
    EXPECT_EQ(GetWindow(form, GW_HWNDPREV), shadow);  // directly above the form

    // The system moves the form (as a drag does): the shadow follows.
    SetWindowPos(form, nullptr, 400, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    r = Rect(shadow);
    EXPECT_EQ(r.left, 390);
    EXPECT_EQ(r.top, 250);
    EXPECT_EQ(Form->Left(), 400);

    ShowWindow(form, SW_MINIMIZE);
    Pump();
    EXPECT_FALSE(IsWindowVisible(shadow));
    ShowWindow(form, SW_RESTORE);
    Pump();
    EXPECT_TRUE(IsWindowVisible(shadow));
    r = Rect(shadow);
    EXPECT_EQ(r.left, 390);

    Form->Hide();
    Pump();
    EXPECT_FALSE(IsWindowVisible(shadow));
}

TEST_F(FormSkinWinTest, RegionAndDetach) {
    Form->Show();
    Pump();
    const HWND form = FormWindow();
    const LONG_PTR before = GetWindowLongPtrW(form, GWLP_WNDPROC);
    auto* skin = MakeSkin();
    skin->EllipseSize().SetWidth(20);
    skin->EllipseSize().SetHeight(20);
    Pump();
    EXPECT_NE(GetWindowLongPtrW(form, GWLP_WNDPROC), before);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(form, rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));     // the rounded corner is cut away
    EXPECT_TRUE(PtInRegion(rgn, 160, 100));  // the middle is there
    DeleteObject(rgn);

    const HWND shadow = ShadowWindow(skin);
    // Fading the form fades the shadow: the layered windows take the same constant
    // alpha (Wine reports per-pixel windows' blend through GetLayeredWindowAttributes
    // only for SetLayeredWindowAttributes, so the skin's own state is checked).
    Form->SetAlphaBlendValue(77);
    EXPECT_EQ(skin->ShadowBg().AlphaBlendValue(), 77);

    delete skin;
    Pump();
    EXPECT_EQ(GetWindowLongPtrW(form, GWLP_WNDPROC), before);
    EXPECT_FALSE(IsWindow(shadow));
}

}  // namespace
