#include <windows.h>
#include <usp10.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "os/TextConvert.h"
#include "public/rdcontrol/drawing/TextDirection.h"
#include "public/rdcontrol/drawing/TextRenderer.h"

// Text through GDI: glyphs are drawn white on black into a 32-bit DIB section of a
// memory DC and read back as coverage. GDI text drawn straight onto a 32-bit
// surface zeroes its alpha channel, so the canvas composites the coverage itself.
//
// Controls lay out and draw the same texts on every repaint, and each GDI call
// costs microseconds (tens for drawing a line), so widths and line masks are kept
// per font: a repaint of unchanged text makes no GDI call. A mask depends on the
// font and the text only. The caches are bounded and simply emptied when full.

namespace {

struct TDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct TObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using TDc = std::unique_ptr<std::remove_pointer_t<HDC>, TDcDeleter>;
using TFont = std::unique_ptr<std::remove_pointer_t<HFONT>, TObjectDeleter>;
using TBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, TObjectDeleter>;

// Lines are rendered up to this width: far more than any window shows, and it
// bounds the DIB a very long line would need.
constexpr int MaxLineWidth = 16384;

constexpr std::size_t MaxCachedWidths = 4096;          // per font
constexpr std::size_t MaxCachedMaskBytes = 256 * 1024;  // per font

struct TTextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};
template <typename T>
using TTextMap = std::unordered_map<std::string, T, TTextHash, std::equal_to<>>;

bool NeedsShaping(const std::wstring& text) {
    for (const wchar_t c : text)
        if ((c >= 0x0600 && c <= 0x08FF) || (c >= 0xFB50 && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF)) return true;
    return false;
}

class TGdiTextRenderer final : public TTextRenderer {
public:
    TGdiTextRenderer() : FDc(CreateCompatibleDC(nullptr)) {
        if (FDc) {
            FOriginalFont = static_cast<HFONT>(GetCurrentObject(FDc.get(), OBJ_FONT));
            FOriginalBitmap = static_cast<HBITMAP>(GetCurrentObject(FDc.get(), OBJ_BITMAP));
            SetBkMode(FDc.get(), TRANSPARENT);
            SetTextColor(FDc.get(), RGB(255, 255, 255));
            SetTextAlign(FDc.get(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
        }
    }
    ~TGdiTextRenderer() override {
        // Fonts and the bitmap cannot be deleted while the DC holds them.
        if (FDc) {
            SelectObject(FDc.get(), FOriginalFont);
            SelectObject(FDc.get(), FOriginalBitmap);
        }
    }
    TGdiTextRenderer(const TGdiTextRenderer&) = delete;
    TGdiTextRenderer& operator=(const TGdiTextRenderer&) = delete;

    TTextMetrics Metrics(const TFontSpec& font) override {
        const TEntry* entry = Find(font);
        return entry ? entry->Metrics : TTextMetrics{};
    }

    int TextWidth(const TFontSpec& font, std::string_view utf8) override {
        TEntry* entry = Find(font);
        if (utf8.empty() || !entry) return 0;
        if (const auto cached = entry->Widths.find(utf8); cached != entry->Widths.end()) return cached->second;
        Select(*entry);
        const std::wstring text = Widen(utf8);
        const int width = Measure(utf8, text);
        if (width < 0) return 0;
        if (entry->Widths.size() >= MaxCachedWidths) entry->Widths.clear();
        entry->Widths.emplace(utf8, width);
        return width;
    }

    TCoverageMask RenderLine(const TFontSpec& font, std::string_view utf8) override {
        TEntry* entry = Find(font);
        if (!entry || utf8.empty()) return TCoverageMask{};
        if (const auto cached = entry->Masks.find(utf8); cached != entry->Masks.end()) return cached->second;
        TCoverageMask mask = Render(*entry, utf8);
        const std::size_t bytes = mask.Coverage.size() + utf8.size();
        if (bytes <= MaxCachedMaskBytes) {
            if (entry->MaskBytes + bytes > MaxCachedMaskBytes) {
                entry->Masks.clear();
                entry->MaskBytes = 0;
            }
            entry->Masks.emplace(utf8, mask);
            entry->MaskBytes += bytes;
        }
        return mask;
    }

private:
    struct TEntry {
        TFontSpec Spec;
        TFont Font;  // null: the stock GUI font stands in
        TTextMetrics Metrics;
        unsigned LastUse = 0;
        TTextMap<int> Widths;
        TTextMap<TCoverageMask> Masks;
        std::size_t MaskBytes = 0;
    };

    // The advance width of text in the selected font, -1 when it cannot be measured.
    // Arabic letters take their joined forms when drawn; GDI's plain measurement
    // may count their separate forms (Wine does), so text with them is measured
    // as shaped, the way it is drawn.
    int Measure(std::string_view utf8, const std::wstring& text) {
        const int length = static_cast<int>(text.size());
        if (NeedsShaping(text)) {
            SCRIPT_STRING_ANALYSIS analysis = nullptr;
            const DWORD flags = SSA_GLYPHS | SSA_FALLBACK | (StartsRightToLeft(utf8) ? SSA_RTL : 0);
            if (SUCCEEDED(ScriptStringAnalyse(FDc.get(), text.c_str(), length, length * 3 / 2 + 16, -1, flags, 0,
                                              nullptr, nullptr, nullptr, nullptr, nullptr, &analysis))) {
                const SIZE* size = ScriptString_pSize(analysis);
                const int width = size ? static_cast<int>(size->cx) : -1;
                ScriptStringFree(&analysis);
                if (width >= 0) return width;
            }
        }
        SIZE size{};
        if (!GetTextExtentPoint32W(FDc.get(), text.c_str(), length, &size)) return -1;
        return static_cast<int>(size.cx);
    }

    TCoverageMask Render(TEntry& entry, std::string_view utf8) {
        TCoverageMask mask;
        Select(entry);
        const std::wstring text = Widen(utf8);
        const int length = static_cast<int>(text.size());
        const int advance = Measure(utf8, text);
        if (advance <= 0) return mask;
        // Italic and some glyphs reach past their advance (a negative C width).
        int overhang = (entry.Spec.Style & fsItalic) ? entry.Metrics.Height / 4 : 0;
        ABC abc{};
        if (GetCharABCWidthsW(FDc.get(), text.back(), text.back(), &abc) && abc.abcC < 0)
            overhang = std::max(overhang, -abc.abcC);
        const int width = std::min(advance + overhang, MaxLineWidth);
        const int height = std::max(1, entry.Metrics.Height);
        if (!Reserve(width, height)) return mask;

        for (int y = 0; y < height; ++y)
            std::memset(FBits + static_cast<std::size_t>(y) * FCapacityWidth, 0, static_cast<std::size_t>(width) * 4);
        GdiFlush();
        // A line whose first strong character is Arabic or Hebrew reads right to
        // left: the system orders its runs (a Latin name inside stays in place).
        const UINT options = StartsRightToLeft(utf8) ? ETO_RTLREADING : 0;
        ExtTextOutW(FDc.get(), 0, 0, options, nullptr, text.c_str(), static_cast<UINT>(length), nullptr);
        GdiFlush();

        mask.Width = width;
        mask.Height = height;
        mask.Coverage.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        std::uint8_t* out = mask.Coverage.data();
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* row = FBits + static_cast<std::size_t>(y) * FCapacityWidth;
            for (int x = 0; x < width; ++x) {
                // White on black: grey anti-aliasing gives equal channels; with
                // sub-pixel (ClearType) rendering they differ and the strongest
                // one is the pixel's ink.
                const std::uint32_t p = row[x];
                *out++ = static_cast<std::uint8_t>(std::max({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF}));
            }
        }
        return mask;
    }

    // The entry of font, created and measured on first use; the least recently
    // used of more than MaxFonts fonts is deleted.
    TEntry* Find(const TFontSpec& font) {
        if (!FDc) return nullptr;
        ++FClock;
        auto found = std::find_if(FFonts.begin(), FFonts.end(), [&](const auto& e) { return e->Spec == font; });
        if (found == FFonts.end()) {
            if (FFonts.size() >= MaxFonts) {
                auto oldest = std::min_element(FFonts.begin(), FFonts.end(),
                                               [](const auto& a, const auto& b) { return a->LastUse < b->LastUse; });
                if (FSelected == oldest->get()) {
                    SelectObject(FDc.get(), FOriginalFont);
                    FSelected = nullptr;
                }
                FFonts.erase(oldest);
            }
            FFonts.push_back(Create(font));
            found = FFonts.end() - 1;
        }
        TEntry* entry = found->get();
        entry->LastUse = FClock;
        return entry;
    }

    void Select(TEntry& entry) {
        if (FSelected == &entry) return;
        SelectObject(FDc.get(), entry.Font ? HGDIOBJ{entry.Font.get()} : GetStockObject(DEFAULT_GUI_FONT));
        FSelected = &entry;
    }

    std::unique_ptr<TEntry> Create(const TFontSpec& font) {
        auto entry = std::make_unique<TEntry>();
        entry->Spec = font;
        LOGFONTW logFont{};
        logFont.lfHeight = font.Height;
        logFont.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
        logFont.lfItalic = (font.Style & fsItalic) ? TRUE : FALSE;
        logFont.lfUnderline = (font.Style & fsUnderline) ? TRUE : FALSE;
        logFont.lfStrikeOut = (font.Style & fsStrikeOut) ? TRUE : FALSE;
        logFont.lfCharSet = static_cast<BYTE>(font.Charset);
        logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
        logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        logFont.lfQuality = font.Antialiased ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY;
        logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
        const std::wstring name = Widen(font.Name);
        const std::size_t nameLength = std::min<std::size_t>(name.size(), LF_FACESIZE - 1);
        std::copy_n(name.begin(), nameLength, logFont.lfFaceName);
        entry->Font.reset(CreateFontIndirectW(&logFont));

        Select(*entry);  // the entry keeps its address when the list takes it
        TEXTMETRICW tm{};
        if (GetTextMetricsW(FDc.get(), &tm)) {
            entry->Metrics.Height = tm.tmHeight;
            entry->Metrics.Ascent = tm.tmAscent;
            entry->Metrics.Descent = tm.tmDescent;
            entry->Metrics.InternalLeading = tm.tmInternalLeading;
            entry->Metrics.AveCharWidth = tm.tmAveCharWidth;
        }
        return entry;
    }

    // A DIB section of at least width x height selected into the DC; it only
    // grows, so steady painting reuses one bitmap.
    bool Reserve(int width, int height) {
        if (FBitmap && width <= FCapacityWidth && height <= FCapacityHeight) return true;
        const int newWidth = std::max(width, FCapacityWidth), newHeight = std::max(height, FCapacityHeight);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = newWidth;
        info.bmiHeader.biHeight = -newHeight;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        TBitmap bitmap(CreateDIBSection(FDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap || !bits) return false;
        SelectObject(FDc.get(), bitmap.get());
        FBitmap = std::move(bitmap);  // the old one, no longer selected, is deleted
        FBits = static_cast<std::uint32_t*>(bits);
        FCapacityWidth = newWidth;
        FCapacityHeight = newHeight;
        return true;
    }

    static constexpr std::size_t MaxFonts = 16;

    TDc FDc;
    HFONT FOriginalFont = nullptr;
    HBITMAP FOriginalBitmap = nullptr;
    std::vector<std::unique_ptr<TEntry>> FFonts;
    TEntry* FSelected = nullptr;
    unsigned FClock = 0;
    TBitmap FBitmap;
    std::uint32_t* FBits = nullptr;
    int FCapacityWidth = 0, FCapacityHeight = 0;
};

}  // namespace

TTextRenderer& DefaultTextRenderer() {
    static TGdiTextRenderer renderer;
    return renderer;
}
