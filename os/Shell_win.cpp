#include "os/Shell.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "os/TextConvert.h"
#include "os/Wow64View_win.h"

namespace {

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
};

}  // namespace

Shell& WindowsShell() {
    static WinShell instance;
    return instance;
}
