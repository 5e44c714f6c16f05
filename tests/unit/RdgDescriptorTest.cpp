#include "public/rdcontrol/pictures/RdgDescriptor.h"
#include "public/rdcontrol/base/TextCodec.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using K = TRdgEntryKind;

TRdgDescriptor Load(const std::string& text) {
    TRdgDescriptor d;
    d.LoadFromText(text);
    return d;
}

// Frames shown by n ticks 100 ms apart, the picture drawn after every tick.
std::vector<int> Play(TRdgAnimation& animation, int n) {
    std::vector<int> frames{animation.Frame()};
    for (int i = 1; i < n; ++i) {
        animation.Tick(i * 100);
        animation.Drawn(i * 100);
        frames.push_back(animation.Frame());
    }
    return frames;
}

}  // namespace

TEST(RdgAnimation, PingPongRangeRepeatsWithoutDoublingItsEnds) {
    const TRdgDescriptor d = Load("imgname=images/loading_%d.png<1-4r>\nduration=600");
    EXPECT_EQ(d.ImagePattern(), "images/loading_%d.png");
    EXPECT_EQ(d.FrameImageName(3), "images/loading_3.png");
    TRdgAnimation animation = d.MakeAnimation(0);
    EXPECT_TRUE(animation.Running());
    EXPECT_EQ(animation.Interval(), 100);
    EXPECT_EQ(Play(animation, 13), (std::vector<int>{1, 2, 3, 4, 3, 2, 1, 2, 3, 4, 3, 2, 1}));
    EXPECT_EQ(animation.Interval(), 100);
}

TEST(RdgAnimation, DescendingRangePlaysOnceAndHoldsItsLastFrame) {
    TRdgAnimation animation = Load("imgname=f%d.png<3-1>\nduration=300").MakeAnimation(0);
    EXPECT_EQ(Play(animation, 3), (std::vector<int>{3, 2, 1}));
    EXPECT_FALSE(animation.Tick(300));  // past the end: nothing new to paint
    EXPECT_EQ(animation.Frame(), 1);
}

TEST(RdgAnimation, ExplicitDurationSpreadsOverEveryEntry) {
    // Eight entries: the duration entry, six frames and the loop marker.
    TRdgAnimation animation = Load("imgname=f%d.png<1-4r>\nduration!=800").MakeAnimation(0);
    EXPECT_EQ(animation.Interval(), 100);
    Play(animation, 8);
    EXPECT_EQ(animation.Interval(), 100);
}

TEST(RdgAnimation, SegmentDurationsSetTheInterval) {
    TRdgAnimation animation = Load("imgname=f%d.png<1-2,d=900,5-3>\nduration=400").MakeAnimation(0);
    EXPECT_EQ(animation.Interval(), 200);
    EXPECT_EQ(Play(animation, 3), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(animation.Interval(), 300);
    EXPECT_EQ(animation.Duration(), 900);
}

TEST(RdgAnimation, StopsWhenNotDrawnAndResumesWhenDrawnAgain) {
    TRdgAnimation animation = Load("imgname=f%d.png<1-4r>\nduration=600").MakeAnimation(0);
    EXPECT_TRUE(animation.Tick(3000));  // exactly 3 s undrawn still runs
    EXPECT_EQ(animation.Frame(), 2);
    EXPECT_FALSE(animation.Tick(3001));
    EXPECT_FALSE(animation.Running());
    EXPECT_FALSE(animation.Tick(3100));
    EXPECT_EQ(animation.Frame(), 2);
    animation.Drawn(5000);
    EXPECT_TRUE(animation.Running());
    EXPECT_TRUE(animation.Tick(5100));
    EXPECT_EQ(animation.Frame(), 3);

    // A slow animation gets three of its intervals before it stops.
    TRdgAnimation slow = Load("imgname=f%d.png<1-2>\nduration=4000").MakeAnimation(0);
    EXPECT_TRUE(slow.Tick(6000));
    EXPECT_FALSE(slow.Tick(6001));
}

TEST(RdgAnimation, PlainRangeWrapsInItsDirection) {
    struct Case {
        int first, last;
        std::vector<int> frames;
    };
    const Case cases[] = {{0, 2, {0, 1, 2, 0, 1}}, {2, 0, {2, 1, 0, 2, 1}}, {5, 5, {5, 5, 5, 5, 5}}};
    for (const Case& c : cases) {
        TRdgAnimation animation;
        animation.LoadRange(c.first, c.last, 300, 0);
        EXPECT_EQ(Play(animation, 5), c.frames) << c.first << ".." << c.last;
    }
}

TEST(RdgAnimation, AScriptOfOneWrappingRangeStepsThroughItsIndicesWithoutAList) {
    struct Case {
        const char* text;
        std::vector<int> frames;  // the first and the five after it
    };
    const Case cases[] = {
        {"imgname=f%d.png<1-3*>\nduration=300", {1, 2, 3, 1, 2, 3}},
        {"imgname=f%d.png< 3 - 1 * >\nduration=300", {3, 2, 1, 3, 2, 1}},
        // No list to build: a range far beyond the list's cap is just its bounds.
        {"imgname=f%d.png<-5-1000000000*>\nduration=300", {-5, -4, -3, -2, -1, 0}},
    };
    for (const Case& c : cases) {
        const TRdgDescriptor d = Load(c.text);
        ASSERT_TRUE(d.PlainRange()) << c.text;
        EXPECT_TRUE(d.FrameList().Entries.empty()) << c.text;
        TRdgAnimation animation = d.MakeAnimation(0);
        EXPECT_TRUE(animation.Running()) << c.text;
        EXPECT_EQ(Play(animation, 6), c.frames) << c.text;
    }
    // Only a lone "*" range is plain; inside a longer script "*" is a loop marker.
    EXPECT_FALSE(Load("imgname=f%d.png<1-2*,5>").PlainRange());
    EXPECT_FALSE(Load("imgname=f%d.png<1-3>").PlainRange());
    EXPECT_EQ(CompileFrameScript("1-2*,5", 600).Entries,
              (std::vector<TRdgFrameEntry>{{K::Duration, 600, 200}, {K::Frame, 1}, {K::Frame, 2}, {K::Loop, 1},
                                           {K::Frame, 5}}));
}

TEST(RdgFrameScript, CompilesItemsSegmentsAndMarkers) {
    struct Case {
        const char* script;
        std::vector<TRdgFrameEntry> entries;
    };
    const Case cases[] = {
        {"1-4r", {{K::Duration, 600, 100}, {K::Frame, 1}, {K::Frame, 2}, {K::Frame, 3}, {K::Frame, 4},
                  {K::Frame, 3}, {K::Frame, 2}, {K::Loop, 1}}},
        {"3-1", {{K::Duration, 600, 200}, {K::Frame, 3}, {K::Frame, 2}, {K::Frame, 1}}},
        // A lone frame needs no duration entry; loop targets follow inserted entries.
        {"5r,d=100,7-8r", {{K::Frame, 5}, {K::Loop, 0}, {K::Duration, 100, 50}, {K::Frame, 7}, {K::Frame, 8},
                           {K::Loop, 3}}},
        {" 1 , 2 , Duration = 90 , 6 - 4 ",
         {{K::Duration, 600, 300}, {K::Frame, 1}, {K::Frame, 2}, {K::Duration, 90, 30}, {K::Frame, 6},
          {K::Frame, 5}, {K::Frame, 4}}},
        // Unreadable items add nothing; an unreadable or negative time is 0.
        {"x,1-y,,2-3,d=zz,4,5,d=-50,6", {{K::Duration, 600, 300}, {K::Frame, 2}, {K::Frame, 3},
                                         {K::Duration, 0, 0}, {K::Frame, 4}, {K::Frame, 5}, {K::Frame, 6}}},
        {"-2-1", {{K::Duration, 600, 150}, {K::Frame, -2}, {K::Frame, -1}, {K::Frame, 0}, {K::Frame, 1}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const TRdgFrameList list = CompileFrameScript(c.script, 600);
        EXPECT_EQ(list.Entries, c.entries) << c.script;
        EXPECT_FALSE(list.Truncated) << c.script;
    }
}

TEST(RdgFrameScript, HugeRangesStopAtTheCap) {
    for (const char* script : {"1-1000000000", "1-1000000000r", "-2147483648-2147483647r", "1,5-1r,0-999999999"}) {
        const TRdgFrameList list = CompileFrameScript(script, 1000);
        EXPECT_TRUE(list.Truncated) << script;
        EXPECT_LE(list.Entries.size(), kRdgMaxFrameEntries) << script;
        EXPECT_GE(list.Entries.size(), kRdgMaxFrameEntries - 2) << script;
    }
}

TEST(RdgFrameScript, FormatsOnlyOneIntegerPlaceholder) {
    struct Case {
        const char* pattern;
        int k;
        const char* name;
    };
    const Case cases[] = {
        {"a_%d.png", 7, "a_7.png"},  {"a_%03d.png", 7, "a_007.png"}, {"%05i", -3, "-0003"},
        {"%4d", -12, " -12"},        {"%u", -1, "4294967295"},       {"%s_%n_%d", 1, "%s_%n_1"},
        {"%d_%d", 2, "2_%d"},        {"100%", 1, "100%"},            {"%123d", 1, "%123d"},
        {"plain.png", 5, "plain.png"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatFrameName(c.pattern, c.k), c.name) << c.pattern;
}

TEST(RdgDescriptor, ReadsValuesByTheirRules) {
    struct Case {
        const char* text;
        int (*get)(const TRdgDescriptor&);
        int expected;
    };
    const auto smooth = [](const TRdgDescriptor& d) { return d.ImgSmooth(); };
    const auto alpha = [](const TRdgDescriptor& d) { return d.ImgAlpha(); };
    const auto duration = [](const TRdgDescriptor& d) { return d.Duration(); };
    const auto rectTop = [](const TRdgDescriptor& d) { return d.ImgRect().Top; };
    const auto rectBottom = [](const TRdgDescriptor& d) { return d.ImgRect().Bottom; };
    const auto optMode = [](const TRdgDescriptor& d) { return static_cast<int>(d.ImgOpt().StretchMode()); };
    const auto optRight = [](const TRdgDescriptor& d) { return d.ImgOpt().Right(); };
    const Case cases[] = {
        {"imgsmooth=7", smooth, 7},
        {"imgsmooth=2\nimgsmooth=fast", smooth, 2},
        {"", alpha, -1},
        {"imgalpha=40\nIMGALPHA!=oops", alpha, 40},
        {"imgalpha=300", alpha, 255},
        {"imgalpha!=-7", alpha, -1},
        {"duration=500\nduration=soon", duration, 0},
        {"Duration!=$10", duration, 16},
        {"imgrect=1,x,3,4", rectTop, 0},
        {"imgrect=1,2,3", rectBottom, 0},
        {"imgrect!= 5 , 6 , 7 , 8 ", rectBottom, 8},
        {"imgopt=1,2,3,4,3", optMode, sdmFrame},
        {"imgopt=1,2,3,4,9", optMode, sdmDefault},
        {"imgopt=1,2,?,4,2", optRight, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.get(Load(c.text)), c.expected) << c.text;
}

TEST(RdgDescriptor, ExplicitRectOfAPlainPicture) {
    const TRdgDescriptor d = Load("imgname=images/btn.png\nimgrect!=0,0,20,20");
    EXPECT_EQ(d.ImgRect(), (TRdgRect{0, 0, 20, 20}));
    EXPECT_TRUE(d.ImgRectExplicit());
    EXPECT_FALSE(d.ImgAlphaExplicit());
    EXPECT_FALSE(d.HasScript());
    EXPECT_EQ(d.FrameImageName(4), "images/btn.png");
    EXPECT_FALSE(d.MakeAnimation(0).Animated());

    const TRdgDescriptor implicit = Load("imgrect=0,0,20,20");
    EXPECT_EQ(implicit.ImgRect(), (TRdgRect{0, 0, 20, 20}));
    EXPECT_FALSE(implicit.ImgRectExplicit());
}

TEST(RdgDescriptor, LoadsEveryEncoding) {
    struct Case {
        std::string bytes;
        std::string name;
    };
    const std::string cafe = "caf\xC3\xA9.png";
    const Case cases[] = {
        // Without a mark: the system code page, whichever it is where the test runs.
        {"imgname=caf\xE9.png", AnsiToUtf8("caf\xE9.png")},
        {"\xEF\xBB\xBFimgname=caf\xC3\xA9.png", cafe},
        {std::string("\xFF\xFEi\0m\0g\0n\0a\0m\0e\0=\0c\0a\0f\0\xE9\0.\0p\0n\0g\0", 34), cafe},
        {std::string("\xFE\xFF\0i\0m\0g\0n\0a\0m\0e\0=\0c\0a\0f\0\xE9\0.\0p\0n\0g", 34), cafe},
    };
    for (const Case& c : cases) {
        TRdgDescriptor d;
        d.LoadFromBytes(c.bytes);
        EXPECT_EQ(d.ImgName(), c.name);
    }
}

TEST(RdgDescriptor, SaveRewritesKnownLinesAndKeepsTheRest) {
    const TRdgDescriptor d = Load(
        "; made by hand\n"
        "ImgName = anim_%02d.png<1-3r>\n"
        "PlayScript=fade in\n"
        "imgrect=1,2,3,4\n"          // not explicit: not written back
        "IMGALPHA!=128\n"
        "imgsmooth=0\n"              // default: not written back
        "custom=kept as is\n"
        "imgopt!=4,4,4,4,2\n"
        "imgalpha!=200\n"            // repeat: the later value, at the first place
        "duration!=900\n");
    const std::string expected =
        "; made by hand\r\n"
        "imgname=anim_%02d.png<1-3r>\r\n"
        "PlayScript=fade in\r\n"
        "imgalpha!=200\r\n"
        "custom=kept as is\r\n"
        "imgopt!=4,4,4,4,2\r\n"
        "duration!=900\r\n";
    EXPECT_EQ(d.SaveToText(), expected);
    EXPECT_EQ(d.Value("playscript"), "fade in");
    EXPECT_EQ(d.Value("CUSTOM!"), "kept as is");
    EXPECT_EQ(d.Value("missing"), std::nullopt);

    const std::string bytes = d.SaveToBytes();
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + expected);
    TRdgDescriptor again;
    again.LoadFromBytes(bytes);
    EXPECT_EQ(again.SaveToBytes(), bytes);
    EXPECT_EQ(again.ImgAlpha(), 200);
    EXPECT_EQ(again.ImgOpt().StretchMode(), sdmFill);
    EXPECT_EQ(again.FrameList().Entries, d.FrameList().Entries);
    EXPECT_EQ(again.FrameImageName(3), "anim_03.png");

    // Values set in code are saved too; smoothing 0 and an empty name drop their lines.
    TRdgDescriptor edited = again;
    edited.SetImgName("");
    edited.SetImgSmooth(2);
    edited.SetImgRect({0, 0, 8, 8});
    edited.SetDuration(100, false);
    EXPECT_EQ(edited.SaveToText(),
              "; made by hand\r\nPlayScript=fade in\r\nimgalpha!=200\r\ncustom=kept as is\r\n"
              "imgopt!=4,4,4,4,2\r\nimgrect!=0,0,8,8\r\nimgsmooth=2\r\n");
}

TEST(RdgDescriptor, InheritsWhatItDoesNotSayAndSavesOnlyDifferences) {
    const TRdgDescriptor base = Load(
        "imgname=base.png\nimgrect!=1,2,3,4\nimgalpha!=100\nimgsmooth=2\nimgopt!=5,5,5,5,1\n"
        "duration!=400\nPlayScript=x\n");
    TRdgDescriptor d = Load("imgname=own_%d.png<1-2>\nimgalpha!=50\nimgrect=9,9,9,9\nimgopt!=5,5,5,5,1\n");
    d.InheritFrom(base);

    EXPECT_EQ(d.ImgName(), "own_%d.png<1-2>");
    EXPECT_EQ(d.ImgRect(), (TRdgRect{1, 2, 3, 4}));  // own value was not explicit
    EXPECT_FALSE(d.ImgRectExplicit());
    EXPECT_EQ(d.ImgAlpha(), 50);
    EXPECT_EQ(d.ImgSmooth(), 2);
    EXPECT_EQ(d.Duration(), 400);
    EXPECT_EQ(d.Value("PlayScript"), "x");
    EXPECT_EQ(d.FrameList().Entries.front(), (TRdgFrameEntry{K::Duration, 400, 200}));

    // imgopt! repeats the base, smoothing and PlayScript came from it.
    EXPECT_EQ(d.SaveToText(), "imgname=own_%d.png<1-2>\r\nimgalpha!=50\r\n");

    TRdgDescriptor same = Load("imgname=base.png\n");
    same.InheritFrom(base);
    EXPECT_EQ(same.SaveToText(), "imgname=base.png\r\n");  // never inherited, so always kept
}
