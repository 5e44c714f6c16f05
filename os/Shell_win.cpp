#include "os/Shell.h"

#include <windows.h>
#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <servprov.h>

#include "os/TextConvert.h"
#include "os/Wow64View_win.h"

namespace {

// A COM interface pointer released when it goes.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (FPointer) FPointer->Release();
    }
    T** Out() { return &FPointer; }
    void** OutVoid() { return reinterpret_cast<void**>(&FPointer); }
    T* operator->() const { return FPointer; }
    explicit operator bool() const { return FPointer != nullptr; }

private:
    T* FPointer = nullptr;
};

// A BSTR variant freed when it goes; VT_EMPTY for an empty text.
class TextVariant {
public:
    explicit TextVariant(const std::string& text) {
        VariantInit(&FValue);
        if (text.empty()) return;
        const std::wstring wide = Widen(text);
        FValue.vt = VT_BSTR;
        FValue.bstrVal = SysAllocString(wide.c_str());
    }
    TextVariant(const TextVariant&) = delete;
    TextVariant& operator=(const TextVariant&) = delete;
    ~TextVariant() { VariantClear(&FValue); }
    const VARIANT& Value() const { return FValue; }

private:
    VARIANT FValue;
};

// The desktop shell's automation object (IShellDispatch2) reached through the
// desktop's folder view: its ShellExecute runs in the shell's process.
bool DesktopShellExecute(const ShellExecuteRequest& r) {
    ComRef<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.OutVoid())))
        return false;
    VARIANT location, root;
    VariantInit(&location);
    VariantInit(&root);
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    long window = 0;
    ComRef<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Out()) != S_OK ||
        !desktop)
        return false;
    ComRef<IServiceProvider> provider;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, provider.OutVoid()))) return false;
    ComRef<IShellBrowser> browser;
    if (FAILED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.OutVoid()))) return false;
    ComRef<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.Out()))) return false;
    ComRef<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.OutVoid()))) return false;
    ComRef<IShellFolderViewDual> folderView;
    if (FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.OutVoid()))) return false;
    ComRef<IDispatch> application;
    if (FAILED(folderView->get_Application(application.Out()))) return false;
    ComRef<IShellDispatch2> shell;
    if (FAILED(application->QueryInterface(IID_IShellDispatch2, shell.OutVoid()))) return false;

    const std::wstring file = Widen(r.file);
    BSTR fileText = SysAllocString(file.c_str());
    if (!fileText) return false;
    TextVariant parameters(r.parameters), folder(r.folder), verb(r.verb);
    VARIANT show;
    VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = r.showMode;
    // The shell's process must be allowed to bring the started program to the front.
    AllowSetForegroundWindow(ASFW_ANY);
    const HRESULT hr = shell->ShellExecute(fileText, parameters.Value(), folder.Value(), verb.Value(), show);
    SysFreeString(fileText);
    return SUCCEEDED(hr);
}

class WinShell final : public Shell {
public:
    std::string FolderPath(int csidl) const override {
        wchar_t path[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, Wow64View::ShellFolder(csidl), nullptr, SHGFP_TYPE_CURRENT, path))) return {};
        return Narrow(path);
    }

    std::intptr_t Execute(const ShellExecuteRequest& r) override {
        auto opt = [](const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); };
        std::wstring verb = Widen(r.verb), file = Widen(r.file), params = Widen(r.parameters),
                     folder = Widen(r.folder);
        HINSTANCE result = ShellExecuteW(static_cast<HWND>(r.ownerWindow), opt(verb), file.c_str(),
                                         opt(params), opt(folder), r.showMode);
        return reinterpret_cast<std::intptr_t>(result);
    }

    TokenElevationKind Elevation() const override {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return TokenElevationKind::Default;
        TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
        DWORD size = 0;
        const BOOL ok = GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &size);
        CloseHandle(token);
        if (!ok) return TokenElevationKind::Default;
        switch (type) {
            case TokenElevationTypeFull: return TokenElevationKind::Full;
            case TokenElevationTypeLimited: return TokenElevationKind::Limited;
            default: return TokenElevationKind::Default;
        }
    }

    bool ExecuteThroughDesktopShell(const ShellExecuteRequest& r) override {
        // The calling thread may be in either apartment already; join one if not.
        const HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const bool started = DesktopShellExecute(r);
        if (SUCCEEDED(joined)) CoUninitialize();
        return started;
    }
};

}  // namespace

Shell& WindowsShell() {
    static WinShell instance;
    return instance;
}
