// No taskbar on the host.
#include "public/rdcontrol/controls/progress/TaskbarList.h"

namespace {
class THostTaskbarList final : public TTaskbarList {
public:
    bool SetProgressState(TWindowHandle, TTaskbarProgressState) override { return false; }
    bool SetProgressValue(TWindowHandle, std::uint64_t, std::uint64_t) override { return false; }
};
}  // namespace

TTaskbarList& BuiltInTaskbarList() {
    static THostTaskbarList list;
    return list;
}
