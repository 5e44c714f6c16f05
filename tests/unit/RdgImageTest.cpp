#include "public/rdcontrol/pictures/ImageCache.h"
#include "public/rdcontrol/pictures/Picture.h"
#include "public/rdcontrol/pictures/RdgImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// A loop that only records timers; the test fires them.
class TFakeLoop : public EventLoop {
public:
    std::map<TimerId, std::pair<std::chrono::milliseconds, Callback>> Timers;

    TimerId StartTimer(std::chrono::milliseconds interval, bool, Callback call) override {
        Timers[FNext] = {interval, std::move(call)};
        return FNext++;
    }
    void StopTimer(TimerId id) override { Timers.erase(id); }
    void Post(Callback) override {}
    void WatchSocket(SocketHandle, int, SocketCallback) override {}
    void UnwatchSocket(SocketHandle) override {}
    void ProcessMessages() override {}
    void RunOnce(std::chrono::milliseconds) override {}

    std::chrono::milliseconds Interval() const { return Timers.begin()->second.first; }
    void Fire() {
        ASSERT_EQ(Timers.size(), 1u);
        Callback call = Timers.begin()->second.second;
        call();
    }

private:
    TimerId FNext = 1;
};

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

// Every pixel tells where it is: opaque, red = x, green = y.
TArgbSurface Coded(int w, int h) {
    TArgbSurface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, 0xFF000000u | std::uint32_t(x) << 16 | std::uint32_t(y) << 8);
    return s;
}

std::string PngBytes(const TArgbSurface& s, int alphaBlendValue = 255) {
    auto png = TPngGraphic::FromSurface(s);
    png->SetAlphaBlendValue(static_cast<std::uint8_t>(alphaBlendValue));
    return png->SaveToBytes();
}

// Skin files in memory behind an image cache, a fake loop as the process default and
// a clock the test moves.
class RdgImageTest : public ::testing::Test {
protected:
    void SetUp() override { TRdTimer::SetDefaultLoop(&Loop); }
    void TearDown() override { TRdTimer::SetDefaultLoop(nullptr); }

    std::shared_ptr<TRdgImage> Image(const std::string& text) {
        auto image = std::make_shared<TRdgImage>();
        image->SetClock([this] { return Now; });
        image->SetResolver(Cache.Resolver());
        image->SetText(text);
        return image;
    }
    // Draws onto a fresh transparent canvas and returns it.
    TArgbSurface DrawOn(TRdgImage& image, const TRect& dest, int w = 40, int h = 40) {
        TArgbSurface surface(w, h);
        TRdCanvas canvas(surface);
        image.Draw(canvas, dest);
        return surface;
    }

    std::map<std::string, std::string> Files;
    TImageCache Cache{[this](const std::string& path) -> std::optional<std::string> {
        const auto it = Files.find(path);
        if (it == Files.end()) return std::nullopt;
        return it->second;
    }};
    TFakeLoop Loop;
    std::int64_t Now = 0;
};

bool AllTransparent(const TArgbSurface& s) {
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.Pixel(x, y) != 0) return false;
    return true;
}

}  // namespace

struct TRectCase {
    const char* Name;
    const char* Rect;
    int Left, Top;
};

class RdgImageRect : public RdgImageTest, public ::testing::WithParamInterface<TRectCase> {};

TEST_P(RdgImageRect, DrawsExactlyThatPartOfThePicture) {
    const TRectCase& c = GetParam();
    Files["images/btn.png"] = PngBytes(Coded(40, 40));
    auto image = Image(std::string("imgname=images/btn.png\r\nimgrect!=") + c.Rect);
    EXPECT_EQ(image->Width(), 20);
    EXPECT_EQ(image->Height(), 20);
    const TArgbSurface out = DrawOn(*image, TRect::FromSize(5, 5, 20, 20));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(out.Pixel(5 + x, 5 + y), Coded(40, 40).Pixel(c.Left + x, c.Top + y)) << x << "," << y;
    EXPECT_EQ(out.Pixel(4, 4), 0u);
    EXPECT_EQ(out.Pixel(25, 25), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, RdgImageRect,
                         ::testing::Values(TRectCase{"TopLeft", "0,0,20,20", 0, 0},
                                           TRectCase{"Inside", "10,15,30,35", 10, 15}),
                         [](const auto& p) { return std::string(p.param.Name); });

TEST_F(RdgImageTest, AllZeroRectIsTheWholePictureAndARectIsCutToIt) {
    Files["p.png"] = PngBytes(Coded(30, 10));
    EXPECT_EQ(Image("imgname=p.png")->Width(), 30);
    auto cut = Image("imgname=p.png\nimgrect!=20,5,50,50");
    EXPECT_EQ(cut->Width(), 10);
    EXPECT_EQ(cut->Height(), 5);
    EXPECT_EQ(Image("imgname=p.png\nimgrect!=100,100,120,120")->Width(), 0);
}

TEST_F(RdgImageTest, UnresolvableNameHasNoSizeAndDrawsNothing) {
    for (const char* text : {"imgname=images/none.png", "imgrect!=0,0,5,5", ""}) {
        auto image = Image(text);
        EXPECT_EQ(image->Width(), 0) << text;
        EXPECT_EQ(image->Height(), 0) << text;
        EXPECT_TRUE(image->Empty()) << text;
        EXPECT_TRUE(AllTransparent(DrawOn(*image, TRect{0, 0, 40, 40}))) << text;
    }
}

struct TChainCase {
    const char* Name;
    const char* Top;     // this image's descriptor
    const char* Middle;  // mid.rdg
    int PngAlpha;        // the PNG's AlphaBlendValue
    TRect Rect;
    int Alpha;
};

class RdgImageChain : public RdgImageTest, public ::testing::WithParamInterface<TChainCase> {};

TEST_P(RdgImageChain, TakesRectAndAlphaFromTheFirstThatSetsThem) {
    const TChainCase& c = GetParam();
    Files["p.png"] = PngBytes(Coded(40, 40), c.PngAlpha);
    Files["mid.rdg"] = c.Middle;
    auto image = Image(c.Top);
    const TRdgImage::TSource& source = image->Source();
    ASSERT_NE(source.Picture, nullptr);
    EXPECT_EQ(source.Rect, c.Rect);
    EXPECT_EQ(source.Alpha, c.Alpha);
    // An opaque picture drawn on transparent black keeps the effective alpha.
    const TArgbSurface out = DrawOn(*image, TRect{0, 0, 10, 10});
    EXPECT_EQ(out.Pixel(3, 3) >> 24, std::uint32_t(c.Alpha));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RdgImageChain,
    ::testing::Values(
        TChainCase{"FromMiddle", "imgname=mid.rdg", "imgname=p.png\nimgrect!=5,5,15,15\nimgalpha!=100", 255,
                   TRect{5, 5, 15, 15}, 100},
        TChainCase{"OwnWins", "imgname=mid.rdg\nimgrect!=1,2,3,4\nimgalpha!=30",
                   "imgname=p.png\nimgrect!=5,5,15,15\nimgalpha!=100", 255, TRect{1, 2, 3, 4}, 30},
        TChainCase{"FromPng", "imgname=mid.rdg", "imgname=p.png", 77, TRect{0, 0, 40, 40}, 77},
        TChainCase{"Direct", "imgname=p.png", "", 200, TRect{0, 0, 40, 40}, 200}),
    [](const auto& p) { return std::string(p.param.Name); });

namespace {
// A picture class of no use to an RDG image.
class TOtherGraphic : public TRdGraphic {
public:
    const char* ClassName() const override { return "TOther"; }
    int Width() const override { return 8; }
    int Height() const override { return 8; }
    void Draw(TRdCanvas&, const TRect&) override {}
    void LoadFromBytes(std::string_view) override {}
    std::string SaveToBytes() const override { return {}; }
    std::shared_ptr<TRdGraphic> Clone() const override { return std::make_shared<TOtherGraphic>(); }
};
}  // namespace

TEST_F(RdgImageTest, AChainThatDoesNotEndInAPngHasNoSource) {
    TRdgImage image;
    image.SetResolver([](const std::string&) { return std::make_shared<TOtherGraphic>(); });
    image.SetText("imgname=other");
    EXPECT_EQ(image.Source().Picture, nullptr);
    EXPECT_EQ(image.Width(), 0);
}

TEST_F(RdgImageTest, CyclesEndWithoutASource) {
    Files["a.rdg"] = "imgname=b.rdg";
    Files["b.rdg"] = "imgname=a.rdg";
    Files["self.rdg"] = "imgname=self.rdg";
    for (const char* text : {"imgname=a.rdg", "imgname=self.rdg"}) {
        auto image = Image(text);
        EXPECT_EQ(image->Width(), 0) << text;
        EXPECT_TRUE(AllTransparent(DrawOn(*image, TRect{0, 0, 40, 40}))) << text;
    }
    // The cached pictures themselves, as a control showing "a.rdg" would use them.
    EXPECT_EQ(Cache.Get("a.rdg")->Width(), 0);

    // A resolver that makes a new picture on every call cannot be caught by identity.
    TRdgImage endless;
    int calls = 0;
    endless.SetResolver([&](const std::string&) {
        ++calls;
        auto next = std::make_shared<TRdgImage>();
        next->SetText("imgname=again.rdg");
        return next;
    });
    endless.SetText("imgname=again.rdg");
    EXPECT_EQ(endless.Width(), 0);
    EXPECT_LE(calls, TRdgImage::MaxChain + 1);
}

TEST_F(RdgImageTest, NineSliceLaysOutTheSourceRectOnly) {
    // A 6 x 6 part at (10, 10): a red border 2 pixels wide round a green centre, in a
    // blue picture.
    TArgbSurface s(40, 40, kBlue);
    for (int y = 10; y < 16; ++y)
        for (int x = 10; x < 16; ++x) s.SetPixel(x, y, (x >= 12 && x < 14 && y >= 12 && y < 14) ? kGreen : kRed);
    Files["frame.png"] = PngBytes(s);
    auto image = Image("imgname=frame.png\nimgrect!=10,10,16,16\nimgopt!=2,2,2,2,1");
    EXPECT_EQ(image->ImgOpt().Left(), 2);
    EXPECT_EQ(image->ImgOpt().StretchMode(), sdmStretch);
    const TArgbSurface out = DrawOn(*image, TRect{0, 0, 20, 20}, 20, 20);
    for (auto [x, y] : {std::pair{0, 0}, {1, 10}, {10, 1}, {19, 19}, {18, 10}, {10, 18}})
        EXPECT_EQ(out.Pixel(x, y), kRed) << x << "," << y;
    for (auto [x, y] : {std::pair{2, 2}, {10, 10}, {17, 17}}) EXPECT_EQ(out.Pixel(x, y), kGreen) << x << "," << y;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_NE(out.Pixel(x, y), kBlue) << x << "," << y;
}

TEST_F(RdgImageTest, UnknownSmoothValueIsKeptAndDrawsNearest) {
    TArgbSurface s(2, 1);
    s.SetPixel(0, 0, 0xFF000000);
    s.SetPixel(1, 0, 0xFFFFFFFF);
    Files["bw.png"] = PngBytes(s);
    auto image = Image("imgname=bw.png\nimgsmooth=7");
    EXPECT_EQ(image->SmoothFilter(), 7);
    EXPECT_NE(image->Text().find("imgsmooth=7"), std::string::npos);
    const TArgbSurface out = DrawOn(*image, TRect{0, 0, 4, 1}, 4, 1);
    EXPECT_EQ(out.Pixel(1, 0), 0xFF000000u);  // nearest pixel: no grey in between
    EXPECT_EQ(out.Pixel(2, 0), 0xFFFFFFFFu);
}

TEST_F(RdgImageTest, SavesUtf8WithMarkAndLoadsUtf16) {
    auto image = Image("imgname=a.png\nimgrect!=1,2,3,4\nfoo=bar");
    const std::string bytes = image->SaveToBytes();
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    TRdgImage back;
    back.LoadFromBytes(bytes);
    EXPECT_EQ(back.Text(), image->Text());
    EXPECT_EQ(back.ImgRect(), (TRdgRect{1, 2, 3, 4}));

    std::string utf16 = "\xFF\xFE";
    for (char16_t ch : std::u16string(u"imgname=\u00E9.png")) {
        utf16 += static_cast<char>(ch & 0xFF);
        utf16 += static_cast<char>(ch >> 8);
    }
    back.LoadFromBytes(utf16);
    EXPECT_EQ(back.ImgName(), "\xC3\xA9.png");
}

// --- Animation -----------------------------------------------------------------

namespace {
std::uint32_t FrameColor(int k) { return 0xFF000000u | std::uint32_t(k) * 0x101010u; }
}  // namespace

class RdgImageAnimation : public RdgImageTest {
protected:
    void SetUp() override {
        RdgImageTest::SetUp();
        for (int k = 1; k <= 4; ++k) Files["images/loading_" + std::to_string(k) + ".png"] = PngBytes(TArgbSurface(4, 4, FrameColor(k)));
    }
    // Fires the timer n times 100 ms apart, drawing after each change as an owner
    // repainting on OnChange would; returns the colour drawn each time.
    std::vector<int> Play(TRdgImage& image, int n, int& repaints) {
        std::vector<int> frames;
        image.OnChange = [&](TRdGraphic*) { ++repaints; };
        for (int i = 0; i < n; ++i) {
            Now += 100;
            Loop.Fire();
            const TArgbSurface out = DrawOn(image, TRect{0, 0, 4, 4}, 4, 4);
            frames.push_back(static_cast<int>(out.Pixel(0, 0) & 0xFF) / 0x10);
        }
        return frames;
    }
};

TEST_F(RdgImageAnimation, PingPongPlaysEachFrameFor100Ms) {
    auto image = Image("imgname=images/loading_%d.png<1-4r>\nduration=600");
    EXPECT_TRUE(image->Animated());
    EXPECT_EQ(image->Timer(), nullptr);  // nothing runs before the first draw
    EXPECT_TRUE(Loop.Timers.empty());
    EXPECT_EQ(DrawOn(*image, TRect{0, 0, 4, 4}, 4, 4).Pixel(0, 0), FrameColor(1));
    ASSERT_EQ(Loop.Timers.size(), 1u);
    EXPECT_EQ(Loop.Interval(), 100ms);

    int repaints = 0;
    EXPECT_EQ(Play(*image, 12, repaints), (std::vector<int>{2, 3, 4, 3, 2, 1, 2, 3, 4, 3, 2, 1}));
    EXPECT_EQ(repaints, 12);
    EXPECT_EQ(Loop.Interval(), 100ms);
}

TEST_F(RdgImageAnimation, DescendingScriptPlaysOnceAndStays) {
    auto image = Image("imgname=images/loading_%d.png<3-1>\nduration=300");
    EXPECT_EQ(DrawOn(*image, TRect{0, 0, 4, 4}, 4, 4).Pixel(0, 0), FrameColor(3));
    int repaints = 0;
    EXPECT_EQ(Play(*image, 4, repaints), (std::vector<int>{2, 1, 1, 1}));
    EXPECT_EQ(repaints, 2);
}

TEST_F(RdgImageAnimation, APlainRangeScriptWrapsBackwardOnTheTimer) {
    auto image = Image("imgname=images/loading_%d.png<3-1*>\nduration=300");
    EXPECT_TRUE(image->Animated());
    EXPECT_EQ(DrawOn(*image, TRect{0, 0, 4, 4}, 4, 4).Pixel(0, 0), FrameColor(3));
    EXPECT_EQ(Loop.Interval(), 100ms);
    int repaints = 0;
    EXPECT_EQ(Play(*image, 5, repaints), (std::vector<int>{2, 1, 3, 2, 1}));
    EXPECT_EQ(repaints, 5);
}

TEST_F(RdgImageAnimation, StopsWhenNotDrawnFor3SecondsAndADrawRestartsIt) {
    auto image = Image("imgname=images/loading_%d.png<1-4r>\nduration=600");
    DrawOn(*image, TRect{0, 0, 4, 4}, 4, 4);  // at 0 ms
    int repaints = 0;
    image->OnChange = [&](TRdGraphic*) { ++repaints; };
    Now = 3000;
    Loop.Fire();  // exactly 3 s: still running
    EXPECT_EQ(repaints, 1);
    Now = 3100;
    Loop.Fire();
    EXPECT_EQ(repaints, 1);
    EXPECT_TRUE(Loop.Timers.empty());
    EXPECT_FALSE(image->Timer()->Armed());

    Now = 9000;
    DrawOn(*image, TRect{0, 0, 4, 4}, 4, 4);
    ASSERT_EQ(Loop.Timers.size(), 1u);
    const int frame = image->CurrentFrame();
    Now = 9100;
    Loop.Fire();
    EXPECT_EQ(repaints, 2);
    EXPECT_NE(image->CurrentFrame(), frame);
}

TEST_F(RdgImageAnimation, OwnerMayFreeTheImageWhileRepainting) {
    auto image = Image("imgname=images/loading_%d.png<1-4r>\nduration=600");
    DrawOn(*image, TRect{0, 0, 4, 4}, 4, 4);
    int repaints = 0;
    image->OnChange = [&](TRdGraphic*) {
        ++repaints;
        image.reset();
    };
    Now = 100;
    Loop.Fire();  // ASan reports any use of the image or its timer afterwards
    EXPECT_EQ(repaints, 1);
    EXPECT_TRUE(Loop.Timers.empty());
}

TEST_F(RdgImageAnimation, AControlMayFreeItsPictureWhileRepainting) {
    auto picture = std::make_unique<TPicture>();
    picture->SetResolver(Cache.Resolver());
    picture->SetText({"imgname=images/loading_%d.png<1-4r>", "duration=600"});
    TArgbSurface surface(4, 4);
    TRdCanvas canvas(surface);
    picture->Draw(canvas, TRect{0, 0, 4, 4});
    picture->OnChange = [&](TPicture*) { picture.reset(); };
    Loop.Fire();  // ASan reports any use of the picture, its image or their timer
    EXPECT_EQ(picture, nullptr);
    EXPECT_TRUE(Loop.Timers.empty());
}

TEST_F(RdgImageAnimation, ADescriptorChangeDropsTheTimer) {
    auto image = Image("imgname=images/loading_%d.png<1-4r>\nduration=600");
    DrawOn(*image, TRect{0, 0, 4, 4}, 4, 4);
    ASSERT_EQ(Loop.Timers.size(), 1u);
    image->SetText("imgname=images/loading_2.png");
    EXPECT_TRUE(Loop.Timers.empty());
    EXPECT_FALSE(image->Animated());
    DrawOn(*image, TRect{0, 0, 4, 4}, 4, 4);
    EXPECT_TRUE(Loop.Timers.empty());
}

TEST_F(RdgImageAnimation, WithoutALoopTheFirstFrameStays) {
    TRdTimer::SetDefaultLoop(nullptr);
    auto image = Image("imgname=images/loading_%d.png<2-4>\nduration=300");
    EXPECT_EQ(DrawOn(*image, TRect{0, 0, 4, 4}, 4, 4).Pixel(0, 0), FrameColor(2));
    EXPECT_EQ(image->Timer(), nullptr);
}

TEST_F(RdgImageAnimation, RunsOnARealPollLoop) {
    const std::unique_ptr<EventLoop> loop = MakeEventLoop();
    TRdTimer::SetDefaultLoop(loop.get());
    auto image = std::make_shared<TRdgImage>();
    image->SetResolver(Cache.Resolver());
    image->SetText("imgname=images/loading_%d.png<1-4r>\nduration=60");
    std::vector<int> frames;
    image->OnChange = [&](TRdGraphic*) { frames.push_back(image->CurrentFrame()); };
    DrawOn(*image, TRect{0, 0, 4, 4}, 4, 4);
    EXPECT_TRUE(loop->RunUntil([&] { return frames.size() >= 6; }, 3000ms));
    ASSERT_GE(frames.size(), 6u);
    EXPECT_EQ(std::vector<int>(frames.begin(), frames.begin() + 6), (std::vector<int>{2, 3, 4, 3, 2, 1}));
    image.reset();  // stops its timer before the loop goes
}

// --- Base images ----------------------------------------------------------------

TEST_F(RdgImageTest, AStillBaseLendsItsPictureAndValues) {
    Files["images/btn.png"] = PngBytes(Coded(40, 40));
    auto base = Image("imgname=images/btn.png\nimgopt!=1,1,1,1,0\nimgalpha!=50\ncolor=red");
    auto derived = Image("imgrect!=0,0,20,20");
    derived->AssignFrom(*base);
    EXPECT_EQ(derived->CurrentImageName(), "images/btn.png");
    EXPECT_EQ(derived->ImgOpt().Left(), 1);
    EXPECT_EQ(derived->AlphaBlendValue(), 50);
    EXPECT_EQ(derived->Width(), 20);
    EXPECT_EQ(derived->Source().Alpha, 50);
    // Only what differs from the base is stored.
    const std::string text = derived->Text();
    EXPECT_NE(text.find("imgrect!=0,0,20,20"), std::string::npos) << text;
    EXPECT_EQ(text.find("imgopt"), std::string::npos) << text;
    EXPECT_EQ(text.find("imgalpha"), std::string::npos) << text;
}

TEST_F(RdgImageAnimation, AnAnimatedBasePassesOnItsAnimation) {
    auto base = Image("imgname=images/loading_%d.png<1-4r>\nduration=600");
    DrawOn(*base, TRect{0, 0, 4, 4}, 4, 4);
    Now = 100;
    Loop.Fire();
    Now = 200;
    Loop.Fire();
    ASSERT_EQ(base->CurrentFrame(), 3);

    auto derived = Image("imgalpha!=200");
    derived->AssignFrom(*base);
    EXPECT_TRUE(derived->Animated());
    EXPECT_EQ(derived->CurrentFrame(), 3);
    EXPECT_EQ(derived->CurrentImageName(), "images/loading_3.png");
    EXPECT_EQ(derived->Source().Alpha, 200);
    const TStringValueList values = derived->Values();
    EXPECT_EQ(values.Value("PlayImgName"), "images/loading_%d.png");
    EXPECT_EQ(values.Value("PlayScript"), "1-4r");

    // The stored text plays the same frames on its own, from the start.
    auto reloaded = Image(derived->Text());
    EXPECT_TRUE(reloaded->Animated());
    EXPECT_EQ(reloaded->CurrentImageName(), "images/loading_1.png");
}
