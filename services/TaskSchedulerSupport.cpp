#include "services/TaskSchedulerSupport.h"

TTaskSchedulerSupport::TTaskSchedulerSupport(ComRuntime& com, const WindowsVersion& version)
    : FCom(com), FGeneration(version.major >= 6 ? 2 : 1) {
    if (FGeneration != 2) return;
    FInitialized = FCom.InitializeMultithreaded();
    const bool secured = FCom.InitializeSecurity();
    FSucceeded = FInitialized && secured;
}

TTaskSchedulerSupport::~TTaskSchedulerSupport() {
    // Only a successful initialisation is balanced: CoUninitialize without one would
    // tear down an apartment someone else set up.
    if (FInitialized) FCom.Uninitialize();
}
