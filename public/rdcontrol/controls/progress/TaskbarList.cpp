#include "public/rdcontrol/controls/progress/TaskbarList.h"

namespace {
TTaskbarList* GInstalled = nullptr;
}

TTaskbarList& CurrentTaskbarList() { return GInstalled ? *GInstalled : BuiltInTaskbarList(); }

void SetTaskbarList(TTaskbarList* list) { GInstalled = list; }
