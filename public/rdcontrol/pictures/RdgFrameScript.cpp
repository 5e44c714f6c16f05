#include "public/rdcontrol/pictures/RdgFrameScript.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "public/rdcontrol/base/NumberText.h"
#include "public/rdcontrol/base/TextCase.h"

namespace {

int ClampToInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

std::optional<int> ReadInt(std::string_view text) {
    const auto v = ParseInteger(text);
    if (!v) return std::nullopt;
    return ClampToInt(*v);
}

// Builds the list segment by segment: a segment's duration entry goes in front of
// its frames, and its frame count is known only when it closes.
class TScriptCompiler {
public:
    explicit TScriptCompiler(int duration) : FTime(std::max(duration, 0)) {}

    bool Full() const { return FList.Truncated; }

    void StartSegment(int time) {
        CloseSegment();
        FTime = std::max(time, 0);
    }

    // wrap: start the range again after its end (a loop marker, no way back).
    void AddRange(int a, int b, bool pingPong, bool wrap) {
        const long long step = a <= b ? 1 : -1;
        const int loopTarget = static_cast<int>(FSegment.size());
        for (long long k = a;; k += step) {
            if (!Add({TRdgEntryKind::Frame, static_cast<int>(k), 0})) return;
            if (k == b) break;
        }
        if (wrap) {
            Add({TRdgEntryKind::Loop, loopTarget, 0});
            return;
        }
        if (!pingPong) return;
        if (a != b)
            for (long long k = b - step; k != a; k -= step)
                if (!Add({TRdgEntryKind::Frame, static_cast<int>(k), 0})) return;
        Add({TRdgEntryKind::Loop, loopTarget, 0});
    }

    TRdgFrameList Finish() {
        CloseSegment();
        return std::move(FList);
    }

private:
    bool Add(const TRdgFrameEntry& entry) {
        // One slot always stays free for the open segment's duration entry, so the
        // finished list never exceeds the cap.
        if (FList.Entries.size() + FSegment.size() + 2 > kRdgMaxFrameEntries) {
            FList.Truncated = true;
            return false;
        }
        FSegment.push_back(entry);
        if (entry.Kind == TRdgEntryKind::Frame) ++FSegmentFrames;
        return true;
    }

    void CloseSegment() {
        const bool timed = FSegmentFrames > 1;
        if (timed)
            FList.Entries.push_back(
                {TRdgEntryKind::Duration, FTime, static_cast<int>(FTime / static_cast<long long>(FSegmentFrames))});
        const int shift = static_cast<int>(FList.Entries.size());
        for (TRdgFrameEntry e : FSegment) {
            if (e.Kind == TRdgEntryKind::Loop) e.Value += shift;
            FList.Entries.push_back(e);
        }
        FSegment.clear();
        FSegmentFrames = 0;
    }

    TRdgFrameList FList;
    std::vector<TRdgFrameEntry> FSegment;  // loop targets relative to the segment
    std::size_t FSegmentFrames = 0;
    int FTime;
};

// The script without blanks.
std::string Squeezed(std::string_view script) {
    std::string text;
    text.reserve(script.size());
    for (char c : script)
        if (c != ' ' && c != '\t') text += c;
    return text;
}

struct TScriptRange {
    int First = 0, Last = 0;
    bool PingPong = false, Wrap = false;
};

// One item "n", "a-b", "a-br" or "a-b*" (blanks removed); nullopt when unreadable.
std::optional<TScriptRange> ReadRangeItem(std::string_view item) {
    if (item.empty()) return std::nullopt;
    TScriptRange range;
    range.PingPong = item.back() == 'r' || item.back() == 'R';
    range.Wrap = item.back() == '*';
    if (range.PingPong || range.Wrap) item.remove_suffix(1);
    // A "-" in the first position is the sign of a single number.
    const std::size_t dash = item.size() > 1 ? item.find('-', 1) : std::string_view::npos;
    const auto a = ReadInt(item.substr(0, dash));
    const auto b = dash == std::string_view::npos ? a : ReadInt(item.substr(dash + 1));
    if (!a || !b) return std::nullopt;
    range.First = *a;
    range.Last = *b;
    return range;
}

}  // namespace

std::size_t TRdgFrameList::FrameCount() const {
    return static_cast<std::size_t>(std::count_if(Entries.begin(), Entries.end(), [](const TRdgFrameEntry& e) {
        return e.Kind == TRdgEntryKind::Frame;
    }));
}

TRdgFrameList CompileFrameScript(std::string_view script, int duration) {
    const std::string text = Squeezed(script);
    TScriptCompiler compiler(duration);
    std::string_view rest = text;
    while (!compiler.Full()) {
        const std::size_t comma = rest.find(',');
        std::string_view item = rest.substr(0, comma);
        if (StartsWithNoCase(item, "d=") || StartsWithNoCase(item, "duration=")) {
            item.remove_prefix(item.find('=') + 1);
            compiler.StartSegment(ReadInt(item).value_or(0));
        } else if (const auto range = ReadRangeItem(item)) {
            compiler.AddRange(range->First, range->Last, range->PingPong, range->Wrap);
        }
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return compiler.Finish();
}

std::optional<std::pair<int, int>> PlainFrameRange(std::string_view script) {
    const std::string text = Squeezed(script);
    if (text.find(',') != std::string::npos) return std::nullopt;
    const auto range = ReadRangeItem(text);
    if (!range || !range->Wrap) return std::nullopt;
    return std::pair{range->First, range->Last};
}

TRdgAnimation TRdgAnimation::FromScript(std::string_view script, int duration, bool durationExplicit,
                                        std::int64_t nowMs) {
    TRdgAnimation animation;
    if (const auto range = PlainFrameRange(script))
        animation.LoadRange(range->first, range->second, duration, nowMs);
    else
        animation.Load(CompileFrameScript(script, duration).Entries, duration, durationExplicit, nowMs);
    return animation;
}

std::string FormatFrameName(std::string_view pattern, int k) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        std::size_t j = i + 1;
        const bool zeroPad = j < pattern.size() && pattern[j] == '0';
        if (zeroPad) ++j;
        std::size_t width = 0;
        for (int n = 0; n < 2 && j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9'; ++n, ++j)
            width = width * 10 + static_cast<std::size_t>(pattern[j] - '0');
        if (j >= pattern.size()) break;
        const char conv = pattern[j];
        if (conv != 'd' && conv != 'i' && conv != 'u') continue;

        std::string digits;
        bool negative = false;
        if (conv == 'u') {
            digits = std::to_string(static_cast<std::uint32_t>(k));
        } else {
            negative = k < 0;
            digits = std::to_string(negative ? -static_cast<long long>(k) : static_cast<long long>(k));
        }
        const std::size_t length = digits.size() + (negative ? 1 : 0);
        const std::size_t pad = width > length ? width - length : 0;
        std::string number;
        if (zeroPad)
            number = std::string(negative ? "-" : "") + std::string(pad, '0') + digits;
        else
            number = std::string(pad, ' ') + (negative ? "-" : "") + digits;

        std::string out(pattern.substr(0, i));
        out += number;
        out += pattern.substr(j + 1);
        return out;
    }
    return std::string(pattern);
}

void TRdgAnimation::Load(std::vector<TRdgFrameEntry> entries, int duration, bool durationExplicit,
                         std::int64_t nowMs) {
    *this = TRdgAnimation();
    FEntries = std::move(entries);
    FExplicit = durationExplicit;
    FDuration = duration;
    FFrames = static_cast<std::size_t>(std::count_if(FEntries.begin(), FEntries.end(), [](const TRdgFrameEntry& e) {
        return e.Kind == TRdgEntryKind::Frame;
    }));
    const long long total = std::max(duration, 0);
    if (durationExplicit)
        FInterval = FEntries.empty() ? static_cast<int>(total)
                                     : static_cast<int>(total / static_cast<long long>(FEntries.size()));
    else
        FInterval = static_cast<int>(total);  // a first segment of one frame holds it for the whole time
    FLastDrawn = nowMs;
    SeekFrame(0);
}

void TRdgAnimation::LoadRange(int first, int last, int duration, std::int64_t nowMs) {
    *this = TRdgAnimation();
    FRange = true;
    FFirst = first;
    FLast = last;
    const long long count = (first <= last ? static_cast<long long>(last) - first : static_cast<long long>(first) - last) + 1;
    FFrames = static_cast<std::size_t>(count);
    FDuration = duration;
    FInterval = static_cast<int>(std::max(duration, 0) / count);
    FFrame = first;
    FLastDrawn = nowMs;
}

void TRdgAnimation::ApplyDuration(const TRdgFrameEntry& entry) {
    FDuration = entry.Value;
    if (!FExplicit) FInterval = std::max(entry.Interval, 0);
}

bool TRdgAnimation::SeekFrame(std::size_t from) {
    if (FEntries.empty()) return false;
    std::size_t index = from;
    // Loop markers may point at each other or at nothing but markers; every reachable
    // chain is shorter than the list if it ends at a frame at all.
    for (std::size_t steps = 0; steps <= FEntries.size(); ++steps) {
        if (index >= FEntries.size()) index = FEntries.size() - 1;
        const TRdgFrameEntry& entry = FEntries[index];
        switch (entry.Kind) {
            case TRdgEntryKind::Frame:
                FIndex = index;
                FFrame = entry.Value;
                return true;
            case TRdgEntryKind::Duration:
                ApplyDuration(entry);
                ++index;
                break;
            case TRdgEntryKind::Loop:
                index = entry.Value < 0 ? 0 : static_cast<std::size_t>(entry.Value);
                break;
        }
    }
    return false;
}

void TRdgAnimation::Drawn(std::int64_t nowMs) {
    FLastDrawn = nowMs;
    FStopped = false;
}

bool TRdgAnimation::Tick(std::int64_t nowMs) {
    if (!Running()) return false;
    const std::int64_t limit = std::max<std::int64_t>(3000, 3 * static_cast<std::int64_t>(FInterval));
    if (nowMs - FLastDrawn > limit) {
        FStopped = true;
        return false;
    }
    if (FRange) {
        if (FFrame == FLast)
            FFrame = FFirst;
        else
            FFrame += FFirst <= FLast ? 1 : -1;
        return true;
    }
    const std::size_t oldIndex = FIndex;
    const int oldFrame = FFrame;
    SeekFrame(FIndex + 1);
    return FIndex != oldIndex || FFrame != oldFrame;
}
