#include "services/TestHooks.h"

#include "services/Deployment.h"

bool TestHooksEnabled(const Registry& registry) {
    const auto value =
        registry.ReadString(RegistryRoot::LocalMachine, kDeploymentOverrideKey, "TestHooks", RegistryView::Default);
    return value && *value == "1";
}

std::string TestFileIgnoredTrace(const std::string& fileName) { return fileName + " ignored: test hooks are off"; }
