#include "os/Wow64View_win.h"

#include <shlobj.h>

namespace Wow64View {

#if defined(_WIN64)

bool Is64BitWindows() { return true; }

int ShellFolder(int csidl) {
    switch (csidl) {
        case CSIDL_PROGRAM_FILES: return CSIDL_PROGRAM_FILESX86;
        case CSIDL_PROGRAM_FILES_COMMON: return CSIDL_PROGRAM_FILES_COMMONX86;
        default: return csidl;
    }
}

std::wstring EnvironmentVariable(const std::wstring& name) {
    if (CompareStringOrdinal(name.c_str(), -1, L"ProgramFiles", -1, TRUE) == CSTR_EQUAL ||
        CompareStringOrdinal(name.c_str(), -1, L"CommonProgramFiles", -1, TRUE) == CSTR_EQUAL)
        return name + L"(x86)";
    return name;
}

#else

bool Is64BitWindows() {
    static const bool wow64 = [] {
        // Looked up by name: the function is missing on the oldest systems.
        using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
        auto fn = reinterpret_cast<Fn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
        BOOL result = FALSE;
        return fn && fn(GetCurrentProcess(), &result) && result;
    }();
    return wow64;
}

int ShellFolder(int csidl) { return csidl; }

std::wstring EnvironmentVariable(const std::wstring& name) { return name; }

#endif

}  // namespace Wow64View
