#include "tools/demo/ShellLink_win.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

#include "os/TextConvert.h"
#include "tools/demo/DemoSystem_win.h"

namespace demo {
namespace {
struct ComReleaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using ComPtr = std::unique_ptr<T, ComReleaser>;

void Check(HRESULT hr, const std::string& what) {
    if (FAILED(hr)) ThrowSystemError(what, static_cast<DWORD>(hr));
}
}  // namespace

void CreateShellLink(const std::string& linkFile, const std::string& target, const std::string& workingFolder,
                     const std::string& description) {
    IShellLinkW* rawLink = nullptr;
    Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                           reinterpret_cast<void**>(&rawLink)),
          "shell link object");
    const ComPtr<IShellLinkW> link(rawLink);
    Check(link->SetPath(Widen(target).c_str()), "link target " + target);
    Check(link->SetWorkingDirectory(Widen(workingFolder).c_str()), "link folder");
    Check(link->SetDescription(Widen(description).c_str()), "link description");
    IPersistFile* rawFile = nullptr;
    Check(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)), "link file interface");
    const ComPtr<IPersistFile> file(rawFile);
    Check(file->Save(Widen(linkFile).c_str(), TRUE), "save " + linkFile);
}

}  // namespace demo
