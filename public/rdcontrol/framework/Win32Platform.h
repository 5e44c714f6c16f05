#pragma once
// The Windows side of the framework: borderless top-level windows for forms
// (opaque, constant-alpha or per-pixel-alpha layered), the screen, the cursor, the
// application-wide message hook. Only the Windows build has it.
//
// UI thread only.
#include <memory>
#include <string>
#include <vector>

#include "public/rdcontrol/framework/Application.h"

std::unique_ptr<TApplicationPlatform> MakeWin32ApplicationPlatform();

// Routes every queued message through app.OnMessage (when set) before dispatch,
// and ends the application's run on WM_QUIT.
void InstallApplicationMessageHook(TApplication& app);

// Shows a context menu of captions ("-" a separator, enabled per item) at the screen
// point, owned by `owner` (an HWND; nullptr: the active or foreground window), and
// tracks it until the user chooses or dismisses it. Returns the chosen index, -1 for
// none. Blocks in the menu's own message loop.
int TrackWin32PopupMenu(void* owner, const std::vector<std::string>& captions, const std::vector<bool>& enabled,
                        TPoint at);
