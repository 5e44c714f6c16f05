// The image scroll bar: geometry along the bar, the parameter rules, and the
// pointer (steps, auto-repeat on the library's timer, thumb dragging, events).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "public/rdcontrol/controls/input/RdScrollBar.h"
#include "tests/unit/input/InputFixture.h"

namespace {

struct GeometryCase {
    const char* Name;
    TScrollBarMetrics In;
    bool ThumbVisible;
    int ThumbStart, ThumbLength;
};

class ScrollGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(ScrollGeometry, PlacesTheThumb) {
    const GeometryCase& c = GetParam();
    const TScrollBarGeometry g = ComputeScrollBarGeometry(c.In);
    EXPECT_EQ(g.ThumbVisible, c.ThumbVisible);
    if (c.ThumbVisible) {
        EXPECT_EQ(g.ThumbStart, c.ThumbStart);
        EXPECT_EQ(g.ThumbLength, c.ThumbLength);
    }
}

// Length, arrows, minimum thumb, Min, Max, PageSize, Position, Enabled.
INSTANTIATE_TEST_SUITE_P(
    Table, ScrollGeometry,
    ::testing::Values(
        // 100 positions, a page of 10 on a 200-pixel track: a 20-pixel thumb that
        // touches the end of the track at the last position (90).
        GeometryCase{"page_at_start", {200, 0, 0, 0, 0, 99, 10, 0, true}, true, 0, 20},
        GeometryCase{"page_at_end", {200, 0, 0, 0, 0, 99, 10, 90, true}, true, 180, 20},
        GeometryCase{"page_past_end", {200, 0, 0, 0, 0, 99, 10, 99, true}, true, 180, 20},
        GeometryCase{"page_middle", {200, 0, 0, 0, 0, 99, 10, 45, true}, true, 90, 20},
        GeometryCase{"minimum_thumb_wins", {200, 0, 0, 30, 0, 99, 10, 90, true}, true, 170, 30},
        GeometryCase{"arrows_take_the_ends", {234, 17, 17, 0, 0, 99, 10, 0, true}, true, 17, 20},
        GeometryCase{"no_page_fixed_thumb", {100, 0, 0, 17, 0, 100, 0, 50, true}, true, 42, 17},
        GeometryCase{"everything_fits", {200, 0, 0, 0, 0, 9, 10, 0, true}, false, 0, 0},
        GeometryCase{"disabled_has_no_thumb", {200, 0, 0, 0, 0, 99, 10, 0, false}, false, 0, 0},
        GeometryCase{"too_short_for_thumb_and_arrows", {40, 17, 17, 6, 0, 99, 10, 0, true}, false, 0, 0}),
    [](const ::testing::TestParamInfo<GeometryCase>& p) { return std::string(p.param.Name); });

TEST(ScrollGeometry, DraggingTheThumbGivesPositionsBack) {
    const TScrollBarMetrics m{200, 0, 0, 0, 0, 99, 10, 0, true};
    const TScrollBarGeometry g = ComputeScrollBarGeometry(m);
    EXPECT_EQ(ScrollPositionFromThumb(m, g, 0), 0);
    EXPECT_EQ(ScrollPositionFromThumb(m, g, 90), 45);
    EXPECT_EQ(ScrollPositionFromThumb(m, g, 180), 90);
    EXPECT_EQ(ScrollPositionFromThumb(m, g, 500), 90);  // held at the track's end
    EXPECT_EQ(ScrollPositionFromThumb(m, g, -5), 0);
}

struct ScrollBarTest : InputFixture {
    ScrollBarTest() {
        Bar = new TRdScrollBar(Form);
        Bar->SetParent(Form);
        Bar->SetBounds(20, 20, 12, 234);  // arrows of 12 (no images: one bar width)
        Bar->Bar().OnScroll = [this](TControl*, TScrollCode code, int& pos) {
            Log.push_back("scroll " + std::to_string(code) + " " + std::to_string(pos));
        };
        Bar->Bar().OnChange = [this](TControl*) { Log.push_back("change"); };
        Bar->Bar().OnTrackEnd = [this](TControl*) { Log.push_back("trackend"); };
        Bar->SetParams(0, 99, 10, 0);
    }
    TScrollBarPart PartAtForm(int x, int y) { return Bar->Bar().PartAt(x - 20, y - 20); }
    TRdScrollBar* Bar = nullptr;
    std::vector<std::string> Log;
};

TEST_F(ScrollBarTest, SetParamsFollowsThePlatformRules) {
    struct Case {
        int Min, Max, Page, Pos;
        int WantMax, WantPage, WantPos;
    } cases[] = {
        {0, 99, 10, 95, 99, 10, 90},  // position limited to Max - Page + 1
        {5, 3, 0, 1, 5, 0, 5},        // Max at least Min; position at least Min
        {0, 50, -4, 70, 50, 0, 50},   // no negative page; position at most Max
    };
    for (const Case& c : cases) {
        Bar->SetParams(c.Min, c.Max, c.Page, c.Pos);
        EXPECT_EQ(Bar->Max(), c.WantMax);
        EXPECT_EQ(Bar->PageSize(), c.WantPage);
        EXPECT_EQ(Bar->Position(), c.WantPos);
    }
    EXPECT_TRUE(Log.empty());  // parameters set by program raise no events
}

TEST_F(ScrollBarTest, AutoHideHidesTheBoxWhileNothingScrolls) {
    Bar->SetAutoHide(true);
    EXPECT_TRUE(Bar->Visible());
    Bar->SetParams(0, 9, 10, 0);
    EXPECT_FALSE(Bar->Visible());
    Bar->SetParams(0, 10, 10, 0);
    EXPECT_TRUE(Bar->Visible());
}

TEST_F(ScrollBarTest, ArrowsAndPagesStepAndTheThumbDrags) {
    Bar->SetSmallChange(1);
    Bar->SetLargeChange(10);
    // Track 12..222 (210 px): thumb 21 px at 12.
    EXPECT_EQ(PartAtForm(25, 25), TScrollBarPart::ArrowStart);
    EXPECT_EQ(PartAtForm(25, 35), TScrollBarPart::Thumb);
    Click(25, 250);  // the lower arrow
    EXPECT_EQ(Bar->Position(), 1);
    Click(25, 200);  // the track after the thumb
    EXPECT_EQ(Bar->Position(), 11);
    EXPECT_EQ(Log, (std::vector<std::string>{"scroll 1 1", "change", "trackend", "scroll 3 11", "change", "trackend"}));
    Log.clear();

    // Drag the thumb to the end of the track.
    const TRect thumb = Bar->Bar().PartRect(TScrollBarPart::Thumb);
    Press(25, 20 + thumb.Top + 2);
    Move(25, 20 + thumb.Top + 2 + 500);
    EXPECT_EQ(Bar->Position(), 90);
    EXPECT_EQ(Log.at(0), "scroll 5 90");  // thumb tracking
    Release(25, 20 + thumb.Top + 2 + 500);
    EXPECT_EQ(Log.back(), "trackend");

    // A press that changes nothing ends without OnTrackEnd.
    Log.clear();
    Press(25, 20 + Bar->Bar().PartRect(TScrollBarPart::Thumb).Top + 2);
    Release(25, 20 + Bar->Bar().PartRect(TScrollBarPart::Thumb).Top + 2);
    EXPECT_TRUE(Log.empty());
}

TEST_F(ScrollBarTest, HoldingAnArrowRepeatsAfterTheWait) {
    Bar->SetWaitInterval(150);
    Press(25, 250);
    EXPECT_EQ(Bar->Position(), 1);
    Loop->Sleep(std::chrono::milliseconds(100));
    EXPECT_EQ(Bar->Position(), 1);  // still waiting
    Loop->Sleep(std::chrono::milliseconds(250));
    const int held = Bar->Position();
    EXPECT_GE(held, 3);  // the first repeat, then one every 50 ms
    // Off the arrow, the repeat pauses; released, it stops.
    Move(25, 120);
    const int away = Bar->Position();
    Loop->Sleep(std::chrono::milliseconds(150));
    EXPECT_EQ(Bar->Position(), away);
    Release(25, 120);
    Loop->Sleep(std::chrono::milliseconds(150));
    EXPECT_EQ(Bar->Position(), away);
}

}  // namespace
