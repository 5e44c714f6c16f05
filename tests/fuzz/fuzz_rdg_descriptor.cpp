// RDG descriptor parsing, frame-script compilation and playback. The first input
// byte picks the byte-order mark put in front of the rest (none, UTF-8, UTF-16 LE,
// UTF-16 BE); the second where the input splits into a base and a derived
// descriptor. Checks that the frame list stays within its cap and points only inside
// itself, that saving is stable once loaded, and plays a bounded number of ticks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "public/rdcontrol/pictures/RdgDescriptor.h"

namespace {

void CheckFrameList(const TRdgFrameList& list) {
    if (list.Entries.size() > kRdgMaxFrameEntries) std::abort();
    for (const TRdgFrameEntry& e : list.Entries)
        if (e.Kind == TRdgEntryKind::Loop && (e.Value < 0 || static_cast<std::size_t>(e.Value) >= list.Entries.size()))
            std::abort();
}

void Exercise(const TRdgDescriptor& d) {
    CheckFrameList(d.FrameList());
    TRdgAnimation animation = d.MakeAnimation(0);
    for (std::int64_t t = 1; t <= 64; ++t) {
        animation.Tick(t * 50);
        if (t % 3 != 0) animation.Drawn(t * 50);
        (void)d.FrameImageName(animation.Frame());
    }
    (void)d.SaveToBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static const char* const kMarks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::size_t split = rest.size() * data[1] / 256;

    TRdgDescriptor base;
    base.LoadFromBytes(kMarks[data[0] % 4] + std::string(rest.substr(0, split)));
    Exercise(base);

    const std::string saved = base.SaveToText();
    TRdgDescriptor again;
    again.LoadFromText(saved);
    if (again.SaveToText() != saved) std::abort();

    TRdgDescriptor derived;
    derived.LoadFromText(rest.substr(split));
    derived.InheritFrom(base);
    Exercise(derived);

    CheckFrameList(CompileFrameScript(rest, static_cast<int>(data[1]) * 40));
    return 0;
}
