// TRdFont: points and pixels, metrics measured once per font, change events.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "public/rdcontrol/drawing/RdFont.h"
#include "public/rdcontrol/drawing/TextRenderer.h"

namespace {

// The fixed renderer, counting how often metrics are asked for.
class TCountingRenderer final : public TTextRenderer {
public:
    int MetricsCalls = 0;
    bool Broken = false;  // answers as a renderer that could not select the font
    TTextMetrics Metrics(const TFontSpec& font) override {
        ++MetricsCalls;
        return Broken ? TTextMetrics{} : FFixed.Metrics(font);
    }
    int TextWidth(const TFontSpec& font, std::string_view utf8) override { return FFixed.TextWidth(font, utf8); }
    TCoverageMask RenderLine(const TFontSpec& font, std::string_view utf8) override {
        return FFixed.RenderLine(font, utf8);
    }

private:
    TFixedTextRenderer FFixed;
};

TEST(RdFont, Defaults) {
    TRdFont font;
    EXPECT_EQ(font.Name(), "Tahoma");
    EXPECT_EQ(font.Height(), -12);
    EXPECT_EQ(font.Size(), 9);
    EXPECT_EQ(font.Style(), 0u);
    EXPECT_EQ(font.Color(), clWindowText);
    EXPECT_TRUE(font.Antialiased());
    EXPECT_EQ(font.Alpha(), 255);
    EXPECT_EQ(font.TextRenderer(), &DefaultTextRenderer());
}

struct TSizeCase {
    int Size, Height;
};

// Points at 96 pixels per inch, rounded to nearest either way.
TEST(RdFont, SizeAndHeightConvert) {
    const TSizeCase cases[] = {{9, -12}, {8, -11}, {10, -13}, {12, -16}, {7, -9}, {0, 0}, {-12, 16}};
    for (const TSizeCase& c : cases) {
        SCOPED_TRACE(c.Size);
        TRdFont font;
        font.SetSize(c.Size);
        EXPECT_EQ(font.Height(), c.Height);
        font.SetHeight(c.Height);
        EXPECT_EQ(font.Size(), c.Size);
    }
    TRdFont font;
    font.SetHeight(-15);  // 11.25 points
    EXPECT_EQ(font.Size(), 11);
    font.SetHeight(-14);  // 10.5 points: halves round away from zero
    EXPECT_EQ(font.Size(), 11);
}

TEST(RdFont, MetricsMeasuredOnceUntilTheFontChanges) {
    TCountingRenderer renderer;
    TRdFont font;
    font.SetTextRenderer(&renderer);
    EXPECT_EQ(font.FontHeight(), 15);
    EXPECT_EQ(font.FontBaseLine(), 3);
    EXPECT_EQ(font.FontTopLine(), 2);
    EXPECT_EQ(renderer.MetricsCalls, 1);

    // Colour and alpha do not select another font.
    font.SetColor(clRed);
    font.SetAlpha(100);
    EXPECT_EQ(font.FontHeight(), 15);
    EXPECT_EQ(renderer.MetricsCalls, 1);

    const std::function<void(TRdFont&)> selecting[] = {
        [](TRdFont& f) { f.SetHeight(f.Height() - 1); }, [](TRdFont& f) { f.SetName(f.Name() + "x"); },
        [](TRdFont& f) { f.SetStyle(f.Style() ^ fsBold); }, [](TRdFont& f) { f.SetCharset(f.Charset() + 1); },
        [](TRdFont& f) { f.SetAntialiased(!f.Antialiased()); }};
    int calls = 1;
    for (const auto& change : selecting) {
        change(font);
        font.FontHeight();
        font.FontTopLine();
        EXPECT_EQ(renderer.MetricsCalls, ++calls);
    }
    font.SetHeight(-20);
    EXPECT_EQ(font.FontHeight(), 23);
}

TEST(RdFont, FallbackWithoutRendererOrMetrics) {
    TRdFont font;
    font.SetHeight(-14);
    font.SetTextRenderer(nullptr);
    EXPECT_EQ(font.FontHeight(), 17);
    EXPECT_EQ(font.FontBaseLine(), 0);
    EXPECT_EQ(font.FontTopLine(), 0);

    TCountingRenderer broken;
    broken.Broken = true;
    font.SetTextRenderer(&broken);
    font.SetHeight(20);
    EXPECT_EQ(font.FontHeight(), 23);
}

TEST(RdFont, OnChangeOncePerDifferentValue) {
    TRdFont font;
    int changes = 0;
    font.OnChange = [&] { ++changes; };
    const std::function<void(TRdFont&)> setters[] = {
        [](TRdFont& f) { f.SetName("Arial"); },        [](TRdFont& f) { f.SetHeight(-20); },
        [](TRdFont& f) { f.SetSize(20); },             [](TRdFont& f) { f.SetStyle(fsItalic); },
        [](TRdFont& f) { f.SetCharset(0); },           [](TRdFont& f) { f.SetColor(clRed); },
        [](TRdFont& f) { f.SetAntialiased(false); },   [](TRdFont& f) { f.SetAlpha(10); },
        [](TRdFont& f) { f.SetParentFont(true); }};
    for (const auto& set : setters) {
        const int before = changes;
        set(font);
        EXPECT_EQ(changes, before + 1);
        set(font);  // the same value again
        EXPECT_EQ(changes, before + 1);
    }
}

TEST(RdFont, AssignCopiesTheLookOnce) {
    TCountingRenderer renderer;
    TRdFont source, target;
    source.SetName("Arial");
    source.SetHeight(-20);
    source.SetStyle(fsBold | fsUnderline);
    source.SetColor(clBlue);
    source.SetAntialiased(false);
    source.SetAlpha(77);
    source.SetParentFont(true);
    target.SetTextRenderer(&renderer);
    EXPECT_EQ(target.FontHeight(), 15);

    int changes = 0;
    target.OnChange = [&] { ++changes; };
    target.Assign(source);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(target.SameLook(source));
    EXPECT_EQ(target.Spec(), source.Spec());
    EXPECT_EQ(target.Alpha(), 77);
    EXPECT_FALSE(target.ParentFont());
    EXPECT_EQ(target.TextRenderer(), &renderer);
    EXPECT_EQ(target.FontHeight(), 23);  // measured again for the new font

    target.Assign(source);
    EXPECT_EQ(changes, 1);
    source.SetColor(clRed);
    EXPECT_FALSE(target.SameLook(source));
}

}  // namespace
