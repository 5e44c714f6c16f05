#include "public/rdcontrol/controls/tray/TrayHost.h"

namespace {
TTrayPlatform* GInstalled = nullptr;
}

TTrayPlatform& TrayPlatform() { return GInstalled ? *GInstalled : BuiltInTrayPlatform(); }

void SetTrayPlatform(TTrayPlatform* platform) { GInstalled = platform; }
