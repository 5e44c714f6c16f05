#pragma once
// The Windows side of the framework: borderless top-level windows for forms
// (opaque, constant-alpha or per-pixel-alpha layered), the screen, the cursor, the
// application-wide message hook. Only the Windows build has it.
//
// UI thread only.
#include <memory>

#include "public/rdcontrol/framework/Application.h"

std::unique_ptr<TApplicationPlatform> MakeWin32ApplicationPlatform();

// Routes every queued message through app.OnMessage (when set) before dispatch,
// and ends the application's run on WM_QUIT.
void InstallApplicationMessageHook(TApplication& app);
