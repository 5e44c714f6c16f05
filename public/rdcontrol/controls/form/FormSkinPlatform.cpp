#include "public/rdcontrol/controls/form/FormSkinPlatform.h"

namespace {
TFormSkinPlatform* GInstalled = nullptr;
}

TFormSkinPlatform& FormSkinPlatform() { return GInstalled ? *GInstalled : BuiltInFormSkinPlatform(); }

void SetFormSkinPlatform(TFormSkinPlatform* platform) { GInstalled = platform; }
