// The HTML label's markup: tokenising, attribute and colour reading, layout with
// links (one of them cut by MaxLine), pictures and lists at a width taken from the
// first input byte, hit testing and painting into a small surface. Checks that
// text tokens never hold a tag start the parser should have taken, that links
// are counted once each and that every link box lies on a laid-out line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "public/rdcontrol/controls/label/HtmlPaint.h"
#include "public/rdcontrol/pictures/RdGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int width = 8 + data[0];  // 8 .. 263 pixels
    const std::string_view markup(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::vector<THtmlToken> tokens = ParseHtmlMarkup(markup);
    std::size_t links = 0;
    for (const THtmlToken& t : tokens) {
        if (t.IsTag) {
            links += t.Tag == THtmlTag::Link && !t.Closing;
            for (const char* name : {"HREF", "COLOR", "BGCOLOR", "SRC", "STYLE", "SIZE", "X"})
                if (auto value = HtmlAttribute(t.Text, name)) {
                    (void)ParseHtmlColor(*value);
                    (void)ParseHtmlImageSource(*value);
                }
            (void)HtmlTagNumber(t.Text);
        } else if (t.Text.empty()) {
            std::abort();  // text runs are never empty
        }
    }

    static const auto picture = TPngGraphic::FromSurface(TArgbSurface(12, 10, 0xFF3080C0u));
    THtmlLinkLook looks[2];
    looks[0].MaxLine = 1;
    looks[1].LineSpace = 4;
    looks[1].HoverFont.Style = fsBold;
    THtmlLayoutInput in;
    in.Width = width;
    in.Height = 60;
    in.WordWrap = (data[0] & 1) != 0;
    in.Alignment = static_cast<TAlignment>(data[0] % 3);
    in.Layout = static_cast<TTextLayout>((data[0] / 3) % 3);
    in.LineSpacing = data[0] % 4;
    in.HoverLink = 1;
    in.LinkLook = [&](int index) -> const THtmlLinkLook* { return index >= 0 && index < 2 ? &looks[index] : nullptr; };
    in.Image = [](const THtmlImageSource& source) -> std::shared_ptr<TRdGraphic> {
        return source.Index == 0 ? picture : nullptr;
    };
    TFixedTextRenderer renderer;
    const THtmlLayoutResult layout = LayoutHtml(renderer, tokens, in);
    if (layout.Links.size() != links) std::abort();
    // Link boxes lie within the block of lines, wherever Layout put it.
    const int top = in.Layout == tlBottom   ? in.Height - layout.TextHeight
                    : in.Layout == tlCenter ? (in.Height - layout.TextHeight) / 2
                                            : 0;
    for (const THtmlLinkArea& link : layout.Links)
        for (const TRect& r : link.Rects)
            if (r.Height() <= 0 || r.Width() < 0 || r.Top < top || r.Bottom > top + layout.TextHeight) std::abort();
    for (int y = -2; y < 62; y += 7)
        for (int x = -2; x < width + 2; x += 5) (void)layout.LinkAt(x, y);

    TArgbSurface surface(width, 60);
    TRdCanvas canvas(surface, &renderer);
    PaintHtmlLayout(canvas, layout, TPoint{0, 0});
    return 0;
}
