// The skinned form on the host: where its shadow window goes and when it shows
// (moves, minimise and restore, maximise, hiding, fades), its z-order next to the
// form, the window region, what is composed into the shadow (frame picture, border
// lines), FixFlashBlack's first 50 ms, the one-skin rule, detaching, and skins of
// controls inside a form through the form's message list.
#include <gtest/gtest.h>

#include <string>

#include "net/EventLoop.h"
#include "public/rdcontrol/controls/form/RdFormSkin.h"
#include "public/rdcontrol/controls/form/RdFormWndList.h"
#include "public/rdcontrol/framework/RdControls.h"
#include "tests/unit/controls/FakeSkinPlatform.h"

namespace {

constexpr std::uint32_t kShadowInk = 0x80000000u;  // premultiplied black at half opacity

// A 40 x 40 shadow picture: a 15-pixel half-transparent black frame around an
// opaque white middle (which sdmFrame must never draw).
std::shared_ptr<TPngGraphic> ShadowPicture() {
    TArgbSurface s(40, 40, kShadowInk);
    s.FillRect(TRect{15, 15, 25, 25}, 0xFFFFFFFFu);
    return TPngGraphic::FromSurface(s);
}

struct FormSkinTest : ::testing::Test {
    FormSkinTest() : Loop(MakeEventLoop()) {
        App = std::make_unique<TApplication>(*Loop, std::make_unique<TSkinAppPlatform>(Skins));
        Form = App->CreateForm<TRdLayerForm>();
        Form->SetName("frmMain");
        Form->SetBounds(100, 100, 640, 390);
    }
    // The installer's configuration: a 15-pixel frame shadow.
    TRdFormSkin* MakeSkin(TComponent* owner) {
        auto* skin = new TRdFormSkin(owner);
        skin->SetName("FormSkin1");
        skin->PicShadow().SetGraphic(ShadowPicture());
        skin->PicShadowOption().SetStretchMode(sdmFrame);
        for (auto set : {&TRdFormSkinBkgOpt::SetLeft, &TRdFormSkinBkgOpt::SetTop, &TRdFormSkinBkgOpt::SetRight,
                         &TRdFormSkinBkgOpt::SetBottom})
            (skin->PicShadowOption().*set)(15);
        skin->ShadowFrame().SetLeft(15);
        skin->ShadowFrame().SetTop(15);
        skin->ShadowFrame().SetRight(15);
        skin->ShadowFrame().SetBottom(15);
        skin->ShadowFrame().SetEnabled(true);
        return skin;
    }
    TWindowHandle FormHandle() const { return Form->Window()->PlatformHandle(); }
    TFakeShadow& Shadow() { return *Skins.Shadows.at(0); }
    void Send(TSkinMsg kind, bool flag = false) {
        TSkinMessage m;
        m.Kind = kind;
        m.Flag = flag;
        Skins.Send(FormHandle(), m);
    }

    TFakeSkinPlatform Skins;
    std::unique_ptr<EventLoop> Loop;
    std::unique_ptr<TApplication> App;
    TCustomForm* Form = nullptr;
};

TEST_F(FormSkinTest, ShadowWindowLiesAroundTheFormAndFollowsIt) {
    MakeSkin(Form);
    Form->Show();
    ASSERT_EQ(Skins.Shadows.size(), 1u);
    EXPECT_EQ(Shadow().Owner, FormHandle());
    EXPECT_TRUE(Shadow().IsVisible);
    EXPECT_EQ(Shadow().Bounds, TRect::FromSize(85, 85, 670, 420));
    EXPECT_EQ(Skins.WindowAbove(FormHandle()), Shadow().Handle());

    // The frame picture: the 15-pixel border of the shadow window is drawn, the
    // part over the form stays transparent (the form shows through).
    EXPECT_EQ(Shadow().Image.Pixel(5, 200), kShadowInk);
    EXPECT_EQ(Shadow().Image.Pixel(669, 419), kShadowInk);
    EXPECT_EQ(Shadow().Image.Pixel(335, 210), 0u);
    EXPECT_EQ(Shadow().Image.Pixel(15, 15), 0u);
    EXPECT_EQ(Shadow().Alpha, 255);

    Form->SetBounds(300, 40, 640, 390);  // the system moves the window (a drag)
    EXPECT_EQ(Shadow().Bounds, TRect::FromSize(285, 25, 670, 420));
    Form->SetBounds(300, 40, 500, 300);
    EXPECT_EQ(Shadow().Bounds, TRect::FromSize(285, 25, 530, 330));
    EXPECT_EQ(Shadow().Image.Width(), 530);

    // Switched off: hidden, and pushed fully transparent.
    dynamic_cast<TRdFormSkin*>(Form->FindComponent("FormSkin1"))->ShadowFrame().SetEnabled(false);
    EXPECT_FALSE(Shadow().IsVisible);
    EXPECT_EQ(Shadow().Alpha, 0);
}

TEST_F(FormSkinTest, ShadowHidesWithTheFormAndComesBackOnRestore) {
    MakeSkin(Form);
    Form->Show();
    auto* window = static_cast<TSkinFormWindow*>(Form->Window());
    ASSERT_TRUE(Shadow().IsVisible);

    window->SetState(TWindowState::wsMinimized);
    EXPECT_FALSE(Shadow().IsVisible);
    window->SetState(TWindowState::wsNormal);
    EXPECT_TRUE(Shadow().IsVisible);

    window->SetState(TWindowState::wsMaximized);
    EXPECT_FALSE(Shadow().IsVisible);
    EXPECT_EQ(Skins.Window(FormHandle()).Region.Kind, TWindowRegion::TKind::None);
    window->SetState(TWindowState::wsNormal);
    EXPECT_TRUE(Shadow().IsVisible);

    Form->Hide();
    EXPECT_FALSE(Shadow().IsVisible);
    Form->Show();
    EXPECT_TRUE(Shadow().IsVisible);
}

TEST_F(FormSkinTest, FadingTheFormFadesTheShadow) {
    MakeSkin(Form);
    Form->Show();
    for (int alpha : {255, 200, 128, 40, 0, 90}) {
        Form->SetAlphaBlendValue(static_cast<std::uint8_t>(alpha));
        EXPECT_EQ(Shadow().Alpha, alpha);
        EXPECT_EQ(Skins.Window(FormHandle()).Alpha, alpha);
    }
}

TEST_F(FormSkinTest, WindowRegionFollowsEllipseSizeAndState) {
    auto* skin = MakeSkin(Form);
    Form->Show();
    const auto& region = Skins.Window(FormHandle()).Region;
    EXPECT_EQ(region.Kind, TWindowRegion::TKind::None);

    skin->EllipseSize().SetWidth(20);
    skin->EllipseSize().SetHeight(20);
    EXPECT_EQ(region.Kind, TWindowRegion::TKind::RoundRect);
    EXPECT_EQ(region.Rect, (TRect{0, 0, 641, 391}));
    EXPECT_EQ(region.EllipseWidth, 20);
    EXPECT_EQ(region.EllipseHeight, 20);

    skin->EllipseSize().SetEllipse(false);  // 45-degree cuts of 20 pixels
    EXPECT_EQ(region.Kind, TWindowRegion::TKind::Polygon);
    EXPECT_EQ(region.Points, (std::vector<TPoint>{{20, 0}, {620, 0}, {640, 20}, {640, 370},
                                                   {620, 390}, {20, 390}, {0, 370}, {0, 20}}));

    // A move, or a size message without a new size, does not recompute it.
    const int calls = Skins.Window(FormHandle()).RegionCalls;
    Form->SetBounds(10, 10, 640, 390);
    Send(TSkinMsg::Size);
    EXPECT_EQ(Skins.Window(FormHandle()).RegionCalls, calls);
    Form->SetBounds(10, 10, 300, 200);
    Send(TSkinMsg::Size);
    EXPECT_EQ(region.Points[1], (TPoint{280, 0}));
}

TEST_F(FormSkinTest, OneSkinPerControl) {
    MakeSkin(Form);
    try {
        new TRdFormSkin(Form);
        FAIL() << "a second skin was attached";
    } catch (const ERdFormSkin& e) {
        EXPECT_STREQ(e.what(), "can not create 2rd TRdFormSkin, exists: FormSkin1");
    }
    // Pointing another skin at the form is refused the same way; it stays unattached.
    auto* panel = new TRdPanel(Form);
    panel->SetParent(Form);
    auto* other = new TRdFormSkin(panel);
    EXPECT_THROW(other->SetOwnerForm(Form), ERdFormSkin);
    EXPECT_EQ(other->OwnerForm(), panel);  // a refused assignment changes nothing
    EXPECT_EQ(TRdFormSkin::SkinOf(Form)->Name(), "FormSkin1");
}

TEST_F(FormSkinTest, DetachingUnhooksTheWindowAndRestoresOnShow) {
    Form->Show();
    int shows = 0;
    Form->OnShow = [&](TControl*) { ++shows; };
    Form->Hide();
    auto* skin = MakeSkin(Form);
    skin->SetFixFlashBlack(true);
    EXPECT_EQ(Skins.HookCount(FormHandle()), 1);
    EXPECT_EQ(Skins.Shadows.size(), 1u);

    delete skin;
    EXPECT_EQ(Skins.HookCount(FormHandle()), 0);
    EXPECT_TRUE(Skins.Shadows.empty());
    Form->Show();
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(Form->AlphaBlendValue(), 255);  // no fix without a skin
    // The form can carry a new skin.
    EXPECT_NO_THROW(MakeSkin(Form));
}

TEST_F(FormSkinTest, FixFlashBlackKeepsTheFirstShowTransparentFor50ms) {
    int shows = 0;
    Form->OnShow = [&](TControl*) { ++shows; };
    auto* skin = MakeSkin(Form);
    skin->SetFixFlashBlack(true);
    Form->Show();
    EXPECT_EQ(shows, 1);
    // The window is shown, but transparent, and its shadow is not there yet.
    EXPECT_TRUE(Skins.Window(FormHandle()).Visible);
    EXPECT_EQ(Form->AlphaBlendValue(), 0);
    EXPECT_EQ(Skins.Window(FormHandle()).Alpha, 0);
    EXPECT_TRUE(skin->FixRunning());
    EXPECT_FALSE(Shadow().IsVisible);

    const auto start = std::chrono::steady_clock::now();
    while (skin->FixRunning() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        Loop->RunOnce(std::chrono::milliseconds(10));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(45));
    EXPECT_EQ(Form->AlphaBlendValue(), 255);
    EXPECT_EQ(Skins.Window(FormHandle()).Alpha, 255);
    EXPECT_TRUE(Shadow().IsVisible);
    EXPECT_EQ(Shadow().Alpha, 255);

    // Only the first show; the form's own handler is back in place.
    Form->Hide();
    Form->Show();
    EXPECT_EQ(shows, 2);
    EXPECT_EQ(Form->AlphaBlendValue(), 255);
    EXPECT_EQ(Form->OnShow.target<TRdFormSkin::TShowHook>(), nullptr);
}

TEST_F(FormSkinTest, FixFlashBlackStartsWhenTheWindowIsShownEvenIfOnShowWasReplaced) {
    auto* skin = MakeSkin(Form);
    Form->SetAlphaBlendValue(230);
    skin->SetFixFlashBlack(true);
    int shows = 0;
    // Set after the skin hooked OnShow: the window's own show (the system asks
    // before the window appears) still starts the fix, and the handler runs once.
    Form->OnShow = [&](TControl*) { ++shows; };
    Form->Show();
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(skin->FixRunning());
    EXPECT_EQ(Skins.Window(FormHandle()).Alpha, 0);
    while (skin->FixRunning()) Loop->RunOnce(std::chrono::milliseconds(10));
    EXPECT_EQ(Form->AlphaBlendValue(), 230);
}

struct BorderCase {
    const char* name;
    int width;
    bool left, top, right, bottom;
};

class BorderLinesTest : public FormSkinTest, public ::testing::WithParamInterface<BorderCase> {};

// The line lies in the `width` pixels just outside the form, on the sides that are
// on; nothing of it on the sides that are off.
TEST_P(BorderLinesTest, LineLiesJustOutsideTheFormOnItsSides) {
    const BorderCase& c = GetParam();
    auto* skin = MakeSkin(Form);
    skin->PicShadow().Clear();  // only the line
    Form->Show();
    auto& lines = skin->BorderLines();
    lines.SetColor(clRed);
    lines.SetWidth(c.width);
    lines.SetLeft(c.left);
    lines.SetTop(c.top);
    lines.SetRight(c.right);
    lines.SetBottom(c.bottom);
    const TArgbSurface& image = Shadow().Image;
    EXPECT_EQ(image.Pixel(100, 100), 0u) << "disabled lines draw nothing";
    lines.SetEnabled(true);

    const std::uint32_t red = 0xFFFF0000u;
    const int w = std::abs(c.width);
    // Form rectangle inside the shadow window: 15..655 x 15..405.
    struct Side {
        bool on;
        int x0, y0, dx, dy;  // the pixel just outside the form, and outwards
    } sides[] = {{c.left, 14, 200, -1, 0}, {c.top, 300, 14, 0, -1}, {c.right, 655, 200, 1, 0},
                 {c.bottom, 300, 405, 0, 1}};
    for (const Side& s : sides) {
        for (int k = 0; k < w; ++k)
            EXPECT_EQ(image.Pixel(s.x0 + k * s.dx, s.y0 + k * s.dy), s.on ? red : 0u) << c.name << " k=" << k;
        EXPECT_EQ(image.Pixel(s.x0 + w * s.dx, s.y0 + w * s.dy), 0u) << c.name << " beyond the line";
        EXPECT_EQ(image.Pixel(s.x0 - s.dx, s.y0 - s.dy), 0u) << c.name << " over the form";
    }
}

INSTANTIATE_TEST_SUITE_P(Sides, BorderLinesTest,
                         ::testing::Values(BorderCase{"all1", 1, true, true, true, true},
                                           BorderCase{"all3", 3, true, true, true, true},
                                           BorderCase{"negative2", -2, true, true, true, true},
                                           BorderCase{"noTop", 2, true, false, true, true},
                                           BorderCase{"onlyLeft", 1, true, false, false, false}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(FormSkinTest, ShadowPaintEndDrawsOverTheComposedShadow) {
    auto* skin = MakeSkin(Form);
    skin->OnShadowPaintEnd = [](TRdFormSkin* sender, TRdCanvas& canvas) {
        ASSERT_EQ(sender->ShadowCanvas(), &canvas);
        canvas.FillRect(TRect{0, 0, 2000, 4}, clBlue);  // clipped to the window
    };
    Form->Show();
    EXPECT_EQ(Shadow().Image.Pixel(669, 0), 0xFF0000FFu);
    EXPECT_EQ(Shadow().Image.Pixel(0, 4), kShadowInk);
    EXPECT_EQ(skin->ShadowCanvas(), nullptr);
    EXPECT_EQ(skin->ShadowBg().Surface().Width(), 670 + TRdFormShadowBg::GrowSlack);
}

TEST_F(FormSkinTest, ZOrderKeepsTheShadowDirectlyAboveTheForm) {
    MakeSkin(Form);
    Form->Show();
    int other = 0;  // another application's window
    Skins.ZOrder.push_back(&other);
    // The form comes to the front (over the other window): the system inserts it
    // after the top; the shadow goes right below that window, i.e. above the form.
    Skins.PlaceBelow(FormHandle(), &other);
    TSkinMessage m;
    m.Kind = TSkinMsg::PosChanged;
    m.PosFlags = spNoMove | spNoSize;
    m.InsertAfter = &other;
    Skins.Send(FormHandle(), m);
    EXPECT_EQ(Skins.WindowAbove(FormHandle()), Shadow().Handle());
    EXPECT_EQ(Skins.WindowAbove(Shadow().Handle()), &other);

    // Activation re-orders the pair only when something came between them.
    const int calls = Skins.ZOrderCalls;
    Send(TSkinMsg::Activate, true);
    EXPECT_EQ(Skins.ZOrderCalls, calls);
    Skins.PlaceBelow(&other, Shadow().Handle());  // other now between form and shadow
    Send(TSkinMsg::Activate, true);
    EXPECT_EQ(Skins.WindowAbove(FormHandle()), Shadow().Handle());
}

TEST_F(FormSkinTest, OlderSystemsReorderAfterDeactivationForAWhile) {
    Skins.Version = 0x601;  // Windows 7
    MakeSkin(Form);
    Form->Show();
    EXPECT_EQ(Skins.WindowAbove(FormHandle()), Shadow().Handle());
    int other = 0;
    Skins.ZOrder.push_back(&other);
    Send(TSkinMsg::ActivateApp, false);
    EXPECT_EQ(Skins.WindowAbove(FormHandle()), Shadow().Handle());
    // Another window slips in between soon after; the 200 ms timer puts it right.
    Skins.PlaceBelow(&other, Shadow().Handle());
    const auto start = std::chrono::steady_clock::now();
    while (Skins.WindowAbove(FormHandle()) != Shadow().Handle() &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(3))
        Loop->RunOnce(std::chrono::milliseconds(20));
    EXPECT_EQ(Skins.WindowAbove(FormHandle()), Shadow().Handle());
}

TEST_F(FormSkinTest, TopmostFollowsTheForm) {
    MakeSkin(Form);
    Form->Show();
    EXPECT_FALSE(Shadow().IsTopmost);
    Form->SetFormStyle(TFormStyle::fsStayOnTop);
    Send(TSkinMsg::UpdateShadow);
    EXPECT_TRUE(Shadow().IsTopmost);
    Form->SetFormStyle(TFormStyle::fsNormal);
    Send(TSkinMsg::Activate, true);
    EXPECT_FALSE(Shadow().IsTopmost);
}

TEST_F(FormSkinTest, MaximisedBorderlessWindowLeavesTheTaskbarVisible) {
    MakeSkin(Form);
    Form->Show();
    TSkinMessage m;
    m.Kind = TSkinMsg::GetMinMaxInfo;
    m = Skins.Send(FormHandle(), m);
    EXPECT_TRUE(m.Changed);
    EXPECT_EQ(m.Bounds, (TRect{0, 0, 1280, 984}));

    m = TSkinMessage{};
    m.Kind = TSkinMsg::QueryEndSession;
    m = Skins.Send(FormHandle(), m);
    EXPECT_TRUE(m.HasResult);
    EXPECT_EQ(m.Result, 1);
}

TEST_F(FormSkinTest, ControlInsideAFormFollowsTheFormThroughItsMessageList) {
    Form->Show();
    auto* panel = new TRdPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(40, 50, 200, 100);
    auto* skin = MakeSkin(panel);
    auto* list = dynamic_cast<TRdFormWndList*>(Form->FindComponent("RdFormWndList"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Skins(), std::vector<TRdFormSkin*>{skin});
    EXPECT_TRUE(list->Hooked());
    EXPECT_EQ(Skins.HookCount(FormHandle()), 1);  // the list's hook only
    EXPECT_EQ(Shadow().Bounds, TRect::FromSize(125, 135, 230, 130));
    EXPECT_TRUE(Shadow().IsVisible);

    Form->SetBounds(200, 100, 640, 390);  // the form is dragged
    EXPECT_EQ(Shadow().Bounds, TRect::FromSize(225, 135, 230, 130));
    panel->SetBounds(60, 50, 200, 100);   // the panel moves inside the form
    Send(TSkinMsg::Paint);
    EXPECT_EQ(Shadow().Bounds, TRect::FromSize(245, 135, 230, 130));
    panel->Hide();
    Send(TSkinMsg::UpdateShadow);
    EXPECT_FALSE(Shadow().IsVisible);

    delete skin;
    EXPECT_TRUE(list->Skins().empty());
}

}  // namespace
