#include "public/rdcontrol/controls/TrayHost.h"

namespace {
TTrayPlatform* GInstalled = nullptr;
}

TTrayPlatform& TrayPlatform() { return GInstalled ? *GInstalled : BuiltInTrayPlatform(); }

void SetTrayPlatform(TTrayPlatform* platform) { GInstalled = platform; }
