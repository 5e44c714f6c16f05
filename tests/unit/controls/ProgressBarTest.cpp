// TRdProgressBar on the host: the fill width (rounded up, end caps kept whole, cut
// to the client area), Position's bounds, the highlight's timer and steps, what is
// painted, and the taskbar button's progress through a fake taskbar.
#include <gtest/gtest.h>

#include <vector>

#include "net/EventLoop.h"
#include "public/rdcontrol/controls/progress/RdProgressBar.h"
#include "tests/unit/framework/FakeFormWindow.h"

namespace {

std::shared_ptr<TPngGraphic> Solid(int w, int h, std::uint32_t argb) {
    return TPngGraphic::FromSurface(TArgbSurface(w, h, argb));
}

struct ProgressBarTest : ::testing::Test {
    ProgressBarTest() : Loop(MakeEventLoop()) {
        App = std::make_unique<TApplication>(*Loop, std::make_unique<TFakePlatform>());
        Form = App->CreateForm<TCustomForm>();
        Form->SetBounds(0, 0, 500, 100);
        Form->SetColor(clWhite);
        Form->Show();
        Bar = new TRdProgressBar(Form);
        Bar->SetParent(Form);
        Bar->SetBounds(10, 10, 400, 12);
    }
    std::unique_ptr<EventLoop> Loop;
    std::unique_ptr<TApplication> App;
    TCustomForm* Form = nullptr;
    TRdProgressBar* Bar = nullptr;
};

TEST_F(ProgressBarTest, FillWidthRoundsUpAndKeepsTheEndCaps) {
    struct Case {
        int width, min, max, position, capLeft, capRight, fill;
    } cases[] = {
        {400, 0, 100, 1, 0, 0, 4},      {400, 0, 100, 1, 4, 4, 8},    {100, 0, 100, 33, 0, 0, 33},
        {200, 0, 100, 33, 0, 0, 66},    {101, 0, 100, 33, 0, 0, 34},  {100, 0, 100, 100, 0, 0, 100},
        {100, 0, 100, 0, 4, 4, 0},      {100, 10, 20, 15, 0, 0, 50},  {300, 0, 3, 1, 0, 0, 100},
        {7, 0, 1000000, 1, 0, 0, 1},    {20, 0, 100, 50, 15, 15, 20},  // caps wider than the bar: cut
        {400, -50, 50, 0, 0, 0, 200},
    };
    for (const Case& c : cases) {
        Bar->SetPosition(c.min);
        Bar->SetMin(c.min);
        Bar->SetMax(c.max);
        Bar->SetWidth(c.width);
        Bar->ImgBarOption().SetLeft(c.capLeft);
        Bar->ImgBarOption().SetRight(c.capRight);
        Bar->SetPosition(c.position);
        EXPECT_EQ(Bar->FillRect().Width(), c.fill)
            << c.position << " of " << c.min << ".." << c.max << " on " << c.width << " px";
    }
}

TEST_F(ProgressBarTest, PositionStaysWithinItsBounds) {
    Bar->SetPosition(150);
    EXPECT_EQ(Bar->Position(), 100);
    Bar->SetPosition(-5);
    EXPECT_EQ(Bar->Position(), 0);
    // Lowering Max later leaves Position where it is; the fill is cut to the bar.
    Bar->SetPosition(80);
    Bar->SetMax(50);
    EXPECT_EQ(Bar->Position(), 80);
    EXPECT_EQ(Bar->FillRect().Width(), 400);
    // Max <= Min: nothing to fill.
    Bar->SetMin(60);
    Bar->SetMax(60);
    EXPECT_TRUE(Bar->FillRect().IsEmpty());
}

TEST_F(ProgressBarTest, PaintsTrackAndFill) {
    Bar->ImgBackground().SetGraphic(Solid(4, 4, 0xFFC0C0C0u));
    Bar->ImgBar().SetGraphic(Solid(4, 4, 0xFF2080F0u));
    Bar->SetPosition(25);
    Form->PaintAll();
    const TArgbSurface& b = Form->BackBuffer();
    EXPECT_EQ(b.Pixel(10, 15), 0xFF2080F0u);
    EXPECT_EQ(b.Pixel(10 + 99, 15), 0xFF2080F0u);
    EXPECT_EQ(b.Pixel(10 + 100, 15), 0xFFC0C0C0u);
    EXPECT_EQ(b.Pixel(10 + 399, 15), 0xFFC0C0C0u);
    // Max <= Min draws only the track.
    Bar->SetMax(0);
    Form->PaintAll();
    EXPECT_EQ(Form->BackBuffer().Pixel(10, 15), 0xFFC0C0C0u);
}

TEST_F(ProgressBarTest, HighlightTimerLivesWithItsPicture) {
    EXPECT_FALSE(Bar->BoosterTimerExists());
    Bar->ImgBooster().SetGraphic(Solid(20, 12, 0xFFFFFFFFu));
    EXPECT_TRUE(Bar->BoosterTimerExists());
    EXPECT_FALSE(Bar->BoosterRunning());  // Position = Min: paused
    Bar->SetPosition(10);
    EXPECT_TRUE(Bar->BoosterRunning());
    Bar->SetPosition(0);
    EXPECT_FALSE(Bar->BoosterRunning());
    Bar->SetPosition(10);
    Bar->StepBooster();
    EXPECT_NE(Bar->BoosterOffset(), 0);
    Bar->ImgBooster().Clear();
    EXPECT_FALSE(Bar->BoosterTimerExists());
    EXPECT_EQ(Bar->BoosterOffset(), 0);
    Bar->SetImgInterval(-3);
    EXPECT_EQ(Bar->ImgInterval(), 0);
}

TEST_F(ProgressBarTest, HighlightMovesWhileItFitsThenPausesForTheRestOfTheBar) {
    // 20 pixels wide, on a 300-pixel bar filled to 100.
    Bar->SetWidth(300);
    Bar->SetMax(300);
    Bar->ImgBooster().SetGraphic(Solid(20, 12, 0xFFFFFFFFu));
    Bar->SetPosition(100);
    std::vector<int> offsets;
    for (int i = 0; i < 20; ++i) {
        Bar->StepBooster();
        offsets.push_back(Bar->BoosterOffset());
    }
    for (int i = 0; i < 20; ++i) EXPECT_EQ(offsets[static_cast<std::size_t>(i)], 4 * (i + 1));
    Bar->StepBooster();  // 80 + 20 reaches the fill's end: restart behind the left edge
    EXPECT_EQ(Bar->BoosterOffset(), 100 - 300);
    int pause = 0;
    while (Bar->BoosterOffset() < 0) {
        Bar->StepBooster();
        ++pause;
    }
    EXPECT_EQ(pause, 200 / 4);

    // Drawn where it is while it fits, not at all while the offset is <= 0.
    Bar->ImgBar().SetGraphic(Solid(4, 4, 0xFF2080F0u));
    for (int i = 0; i < 5; ++i) Bar->StepBooster();  // offset 20
    Form->PaintAll();
    EXPECT_EQ(Form->BackBuffer().Pixel(10 + 20, 12), 0xFFFFFFFFu);
    EXPECT_EQ(Form->BackBuffer().Pixel(10 + 19, 12), 0xFF2080F0u);
    // A full bar has none.
    Bar->SetPosition(300);
    Form->PaintAll();
    EXPECT_EQ(Form->BackBuffer().Pixel(10 + 20, 12), 0xFF2080F0u);
}

TEST_F(ProgressBarTest, HighlightRunsOnItsTimer) {
    Bar->ImgBooster().SetGraphic(Solid(10, 12, 0xFFFFFFFFu));
    Bar->SetImgInterval(5);
    Bar->SetPosition(50);
    const auto start = std::chrono::steady_clock::now();
    while (Bar->BoosterOffset() < 20 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        Loop->RunOnce(std::chrono::milliseconds(5));
    EXPECT_GE(Bar->BoosterOffset(), 20);
}

struct TFakeTaskbar final : TTaskbarList {
    TFakeTaskbar() { SetTaskbarList(this); }
    ~TFakeTaskbar() override { SetTaskbarList(nullptr); }
    bool SetProgressState(TWindowHandle, TTaskbarProgressState state) override {
        Calls.push_back("state " + std::to_string(int(state)));
        return true;
    }
    bool SetProgressValue(TWindowHandle, std::uint64_t completed, std::uint64_t total) override {
        Calls.push_back("value " + std::to_string(completed) + "/" + std::to_string(total));
        return true;
    }
    std::vector<std::string> Calls;
};

TEST_F(ProgressBarTest, TaskbarButtonMirrorsTheBar) {
    TFakeTaskbar taskbar;
    Bar->SetPosition(30);
    EXPECT_TRUE(taskbar.Calls.empty());  // off by default
    Bar->SetMin(10);
    Bar->SetMax(70);
    Bar->SetShowInTaskbar(true);
    EXPECT_EQ(taskbar.Calls, (std::vector<std::string>{"state 2", "value 20/60"}));
    taskbar.Calls.clear();
    Bar->SetPosition(70);
    Bar->SetPosition(10);
    EXPECT_EQ(taskbar.Calls, (std::vector<std::string>{"state 2", "value 60/60", "state 0"}));
    taskbar.Calls.clear();
    Bar->SetShowInTaskbar(false);
    Bar->SetPosition(40);
    EXPECT_EQ(taskbar.Calls, (std::vector<std::string>{"state 0"}));
}

}  // namespace
