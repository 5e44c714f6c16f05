#pragma once
// The taskbar button of a window, as far as a progress bar needs it: its progress
// state and value. Windows: ITaskbarList3 (TaskbarList_win.cpp; systems without it,
// or Wine, may accept the calls and show nothing). The host build's built-in one
// does nothing; tests install their own with SetTaskbarList.
//
// UI thread only.
#include <cstdint>

#include "public/rdcontrol/controls/form/FormSkinPlatform.h"

enum class TTaskbarProgressState : std::uint8_t { NoProgress, Indeterminate, Normal, Error, Paused };

class TTaskbarList {
public:
    virtual ~TTaskbarList() = default;
    // Return whether the system took the request.
    virtual bool SetProgressState(TWindowHandle window, TTaskbarProgressState state) = 0;
    virtual bool SetProgressValue(TWindowHandle window, std::uint64_t completed, std::uint64_t total) = 0;
};

// The one installed, else the built-in one of this build.
TTaskbarList& CurrentTaskbarList();
// nullptr returns to the built-in one; the list must outlive its use.
void SetTaskbarList(TTaskbarList* list);
TTaskbarList& BuiltInTaskbarList();
