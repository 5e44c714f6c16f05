#pragma once
// Resource numbers of the programs DemoSetup.exe carries (RCDATA). Shared by the
// resource script, which windres reads with the C preprocessor.
#define IDR_DEMO_BROWSER 101
#define IDR_DEMO_INIT 102
