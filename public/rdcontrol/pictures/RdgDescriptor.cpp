#include "public/rdcontrol/pictures/RdgDescriptor.h"

#include <algorithm>
#include <array>
#include <climits>

#include "public/rdcontrol/base/NumberText.h"
#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextCodec.h"
#include "public/rdcontrol/base/TextLines.h"

namespace {

// The names Save writes itself, in the order appended when missing.
enum TKnownName { knImgName, knImgRect, knImgAlpha, knImgSmooth, knImgOpt, knDuration, knCount };
constexpr std::array<std::string_view, knCount> kKnownNames = {"imgname", "imgrect", "imgalpha",
                                                               "imgsmooth", "imgopt", "duration"};

struct TParsedLine {
    std::string key;  // folded, without "!"
    bool isExplicit = false;
    bool hasValue = false;
    std::string_view value;
};

TParsedLine ParseLine(std::string_view line) {
    TParsedLine parsed;
    const std::size_t eq = line.find('=');
    std::string_view key = TrimBlanks(line.substr(0, eq));
    if (!key.empty() && key.back() == '!') {
        parsed.isExplicit = true;
        key = TrimBlanks(key.substr(0, key.size() - 1));
    }
    parsed.key = FoldCase(key);
    if (eq != std::string_view::npos) {
        parsed.hasValue = true;
        parsed.value = TrimBlanks(line.substr(eq + 1));
    }
    return parsed;
}

int KnownIndex(std::string_view foldedKey) {
    for (int i = 0; i < knCount; ++i)
        if (foldedKey == kKnownNames[static_cast<std::size_t>(i)]) return i;
    return -1;
}

std::optional<int> ReadInt(std::string_view text) {
    const auto v = ParseInteger(text);
    if (!v) return std::nullopt;
    return static_cast<int>(std::clamp<long long>(*v, INT_MIN, INT_MAX));
}

// n comma-separated integers; missing or unreadable ones are 0.
template <std::size_t N>
std::array<int, N> ReadInts(std::string_view text) {
    std::array<int, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t comma = text.find(',');
        out[i] = ReadInt(text.substr(0, comma)).value_or(0);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return out;
}

std::string JoinInts(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        if (!out.empty()) out += ',';
        out += FormatInteger(v);
    }
    return out;
}

int NormalizeAlpha(int value) { return value < 0 ? -1 : std::min(value, 255); }

}  // namespace

void TRdgDescriptor::LoadFromBytes(std::string_view bytes) { LoadFromText(DecodeText(bytes).utf8); }

void TRdgDescriptor::LoadFromText(std::string_view utf8) {
    *this = TRdgDescriptor();
    for (std::string_view raw : SplitLines(utf8)) {
        const std::string_view line = TrimBlanks(raw);
        if (line.empty()) continue;
        FLines.emplace_back(line);
        const TParsedLine parsed = ParseLine(line);
        if (parsed.hasValue) Apply(parsed.key, parsed.isExplicit, parsed.value);
    }
    // Compiled once at the end: the script's first segment depends on a duration
    // that may come on a later line.
    Recompile();
}

void TRdgDescriptor::Apply(std::string_view key, bool isExplicit, std::string_view value) {
    switch (KnownIndex(key)) {
        case knImgName: {
            FImgName = std::string(value);
            const std::size_t open = value.rfind('<');
            FHasScript = !value.empty() && value.back() == '>' && open != std::string_view::npos;
            if (FHasScript) {
                FPattern = std::string(TrimBlanks(value.substr(0, open)));
                FScript = std::string(value.substr(open + 1, value.size() - open - 2));
            } else {
                FPattern = FImgName;
                FScript.clear();
            }
            break;
        }
        case knImgRect: {
            const auto v = ReadInts<4>(value);
            FRect = {v[0], v[1], v[2], v[3]};
            FRectExplicit = isExplicit;
            break;
        }
        case knImgAlpha:
            if (const auto v = ReadInt(value)) {
                FAlpha = NormalizeAlpha(*v);
                FAlphaExplicit = isExplicit;
            }
            break;
        case knImgSmooth:
            if (const auto v = ReadInt(value)) FSmooth = *v;
            break;
        case knImgOpt: {
            const auto v = ReadInts<5>(value);
            FOpt.SetLeft(v[0]);
            FOpt.SetTop(v[1]);
            FOpt.SetRight(v[2]);
            FOpt.SetBottom(v[3]);
            FOpt.SetStretchMode(v[4] >= sdmDefault && v[4] <= sdmFrame ? static_cast<TStretchDrawMode>(v[4])
                                                                       : sdmDefault);
            FOptExplicit = isExplicit;
            break;
        }
        case knDuration:
            FDuration = ReadInt(value).value_or(0);
            FDurationExplicit = isExplicit;
            break;
        default:
            break;
    }
}

void TRdgDescriptor::Recompile() {
    // A plain wrapping range plays from its bounds alone: no list is built for it.
    FPlainRange = FHasScript ? PlainFrameRange(FScript) : std::nullopt;
    FFrames = FHasScript && !FPlainRange ? CompileFrameScript(FScript, FDuration) : TRdgFrameList();
}

void TRdgDescriptor::SetImgName(std::string_view value) {
    Apply("imgname", false, TrimBlanks(value));
    Recompile();
}

std::string TRdgDescriptor::FrameImageName(int k) const {
    return FHasScript ? FormatFrameName(FPattern, k) : FPattern;
}

TRdgAnimation TRdgDescriptor::MakeAnimation(std::int64_t nowMs) const {
    TRdgAnimation animation;
    if (FPlainRange)
        animation.LoadRange(FPlainRange->first, FPlainRange->second, FDuration, nowMs);
    else
        animation.Load(FFrames.Entries, FDuration, FDurationExplicit, nowMs);
    return animation;
}

void TRdgDescriptor::SetImgRect(const TRdgRect& value, bool isExplicit) {
    FRect = value;
    FRectExplicit = isExplicit;
}

void TRdgDescriptor::SetImgAlpha(int value, bool isExplicit) {
    FAlpha = NormalizeAlpha(value);
    FAlphaExplicit = isExplicit;
}

void TRdgDescriptor::SetImgOpt(const TDesignRect& value, bool isExplicit) {
    FOpt.Assign(value);
    FOptExplicit = isExplicit;
}

void TRdgDescriptor::SetDuration(int value, bool isExplicit) {
    FDuration = value;
    FDurationExplicit = isExplicit;
    Recompile();
}

std::optional<std::string> TRdgDescriptor::Value(std::string_view name) const {
    const std::string wanted = ParseLine(name).key;
    std::optional<std::string> found;
    for (const std::string& line : FLines) {
        const TParsedLine parsed = ParseLine(line);
        if (parsed.hasValue && parsed.key == wanted) found = std::string(parsed.value);
    }
    return found;
}

bool TRdgDescriptor::HasName(std::string_view foldedKey) const {
    return std::any_of(FLines.begin(), FLines.end(),
                       [&](const std::string& line) { return ParseLine(line).key == foldedKey; });
}

std::vector<std::string> TRdgDescriptor::OutputLines() const {
    std::array<std::optional<std::string>, knCount> known;
    if (!FImgName.empty()) known[knImgName] = "imgname=" + FImgName;
    if (FRectExplicit)
        known[knImgRect] = "imgrect!=" + JoinInts({FRect.Left, FRect.Top, FRect.Right, FRect.Bottom});
    if (FAlphaExplicit) known[knImgAlpha] = "imgalpha!=" + FormatInteger(FAlpha);
    if (FSmooth != 0) known[knImgSmooth] = "imgsmooth=" + FormatInteger(FSmooth);
    if (FOptExplicit)
        known[knImgOpt] = "imgopt!=" + JoinInts({FOpt.Left(), FOpt.Top(), FOpt.Right(), FOpt.Bottom(),
                                                  static_cast<int>(FOpt.StretchMode())});
    if (FDurationExplicit) known[knDuration] = "duration!=" + FormatInteger(FDuration);

    std::vector<std::string> out;
    std::array<bool, knCount> placed{};
    auto emit = [&](std::string line) {
        const TParsedLine parsed = ParseLine(line);
        // imgname is never inherited, so leaving it out would lose it.
        const bool repeatsBase =
            parsed.key != kKnownNames[knImgName] &&
            std::any_of(FBaseValues.begin(), FBaseValues.end(), [&](const auto& base) {
                return base.first == parsed.key && parsed.hasValue && base.second == parsed.value;
            });
        if (!repeatsBase) out.push_back(std::move(line));
    };
    // A known name's line is rewritten where it first appears; repeats are dropped.
    for (const std::string& line : FLines) {
        const int index = KnownIndex(ParseLine(line).key);
        if (index < 0) {
            emit(line);
            continue;
        }
        const auto i = static_cast<std::size_t>(index);
        if (!placed[i] && known[i]) emit(*known[i]);
        placed[i] = true;
    }
    for (std::size_t i = 0; i < knCount; ++i)
        if (!placed[i] && known[i]) emit(*known[i]);
    return out;
}

std::string TRdgDescriptor::SaveToText() const {
    std::string text;
    for (const std::string& line : OutputLines()) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string TRdgDescriptor::SaveToBytes() const { return EncodeText(SaveToText(), TextEncoding::Utf8); }

void TRdgDescriptor::InheritFrom(const TRdgDescriptor& base) {
    const bool hadSmooth = HasName(kKnownNames[knImgSmooth]);
    std::vector<std::string> inherited;
    for (const std::string& line : base.FLines) {
        const std::string key = ParseLine(line).key;
        if (key != kKnownNames[knImgName] && !HasName(key)) inherited.push_back(line);
    }
    FLines.insert(FLines.end(), inherited.begin(), inherited.end());

    if (!hadSmooth) FSmooth = base.FSmooth;
    if (!FRectExplicit) FRect = base.FRect;
    if (!FAlphaExplicit) FAlpha = base.FAlpha;
    if (!FOptExplicit) FOpt.Assign(base.FOpt);
    if (!FDurationExplicit) FDuration = base.FDuration;
    Recompile();

    FBaseValues.clear();
    for (const std::string& line : base.OutputLines()) {
        const TParsedLine parsed = ParseLine(line);
        if (parsed.hasValue) FBaseValues.emplace_back(parsed.key, std::string(parsed.value));
    }
}
