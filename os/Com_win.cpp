#include "os/Com.h"

#include <objbase.h>

namespace {

class WinComRuntime final : public ComRuntime {
public:
    bool InitializeMultithreaded() override { return SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)); }
    bool InitializeSecurity() override {
        return SUCCEEDED(CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                                              RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr));
    }
    void Uninitialize() override { CoUninitialize(); }
};

}  // namespace

ComRuntime& WindowsComRuntime() {
    static WinComRuntime instance;
    return instance;
}
