// The taskbar button's progress through ITaskbarList3 (Windows 7 and later). The
// object is made on first use and kept for the process; COM is initialised for the
// thread here when nobody has done it yet (a failure just means no progress shown).
#include <windows.h>
#include <shobjidl.h>

#include "public/rdcontrol/controls/progress/TaskbarList.h"

namespace {

// The class and interface identifiers, so that no import library of GUIDs is needed.
constexpr CLSID kClsidTaskbarList = {0x56FDF344, 0xFD6D, 0x11d0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
constexpr IID kIidTaskbarList3 = {0xea1afb91, 0x9e28, 0x4b86, {0x90, 0xe9, 0x9e, 0x9f, 0x8a, 0x5e, 0xef, 0xaf}};

class TWin32TaskbarList final : public TTaskbarList {
public:
    ~TWin32TaskbarList() override {
        if (FList) FList->Release();
    }
    bool SetProgressState(TWindowHandle window, TTaskbarProgressState state) override {
        ITaskbarList3* list = List();
        if (!list || !window) return false;
        TBPFLAG flag = TBPF_NOPROGRESS;
        switch (state) {
            case TTaskbarProgressState::NoProgress: flag = TBPF_NOPROGRESS; break;
            case TTaskbarProgressState::Indeterminate: flag = TBPF_INDETERMINATE; break;
            case TTaskbarProgressState::Normal: flag = TBPF_NORMAL; break;
            case TTaskbarProgressState::Error: flag = TBPF_ERROR; break;
            case TTaskbarProgressState::Paused: flag = TBPF_PAUSED; break;
        }
        return SUCCEEDED(list->SetProgressState(static_cast<HWND>(window), flag));
    }
    bool SetProgressValue(TWindowHandle window, std::uint64_t completed, std::uint64_t total) override {
        ITaskbarList3* list = List();
        if (!list || !window) return false;
        return SUCCEEDED(list->SetProgressValue(static_cast<HWND>(window), completed, total));
    }

private:
    ITaskbarList3* List() {
        if (FList || FTried) return FList;
        FTried = true;
        void* object = nullptr;
        HRESULT hr = CoCreateInstance(kClsidTaskbarList, nullptr, CLSCTX_INPROC_SERVER, kIidTaskbarList3, &object);
        if (hr == CO_E_NOTINITIALIZED) {
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            hr = CoCreateInstance(kClsidTaskbarList, nullptr, CLSCTX_INPROC_SERVER, kIidTaskbarList3, &object);
        }
        if (FAILED(hr) || !object) return nullptr;
        FList = static_cast<ITaskbarList3*>(object);
        if (FAILED(FList->HrInit())) {
            FList->Release();
            FList = nullptr;
        }
        return FList;
    }

    ITaskbarList3* FList = nullptr;
    bool FTried = false;
};

}  // namespace

TTaskbarList& BuiltInTaskbarList() {
    static TWin32TaskbarList list;
    return list;
}
