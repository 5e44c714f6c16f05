// The elevated installer is usually started from the user's Downloads folder, where
// anyone may drop a DLL or a program. Before anything else of the program runs (a
// constructor of the first priority, ahead of every other static initialiser), DLLs
// are looked for in system32 only, the current folder (searched for programs started
// by bare name) becomes system32, and the delayed imports (every system DLL that is
// not a KnownDLL, see cmake/DelayLoad.cmake) load from system32 by full path, also
// on systems without SetDefaultDllDirectories.
#include <windows.h>
#include <delayimp.h>

#include <cwchar>

namespace {

std::size_t SystemFolder(wchar_t* buffer, std::size_t size) {
    const UINT length = GetSystemDirectoryW(buffer, static_cast<UINT>(size));
    return length > 0 && length < size ? length : 0;
}

// A system DLL by its plain file name, from system32 by full path; its own imports
// are resolved from its folder (system32) too. Null for a name with a path in it.
HMODULE LoadFromSystem32(const char* name) {
    wchar_t path[MAX_PATH];
    std::size_t length = SystemFolder(path, MAX_PATH);
    if (length == 0) return nullptr;
    path[length++] = L'\\';
    for (const char* c = name; *c; ++c) {
        if (*c == '\\' || *c == '/' || *c == ':' || static_cast<unsigned char>(*c) >= 0x80) return nullptr;
        if (length + 1 >= MAX_PATH) return nullptr;
        path[length++] = static_cast<wchar_t>(*c);
    }
    path[length] = L'\0';
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// dliNotePreLoadLibrary: the delayed import's DLL from system32. Any other notice is
// left to the helper (which, should this fail, loads by name under the policy below).
FARPROC WINAPI LoadDelayedImportFromSystem32(unsigned notice, PDelayLoadInfo info) {
    if (notice != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
    return reinterpret_cast<FARPROC>(LoadFromSystem32(info->szDll));
}

__attribute__((constructor(101))) void RestrictSearchPaths() {
    __pfnDliNotifyHook2 = LoadDelayedImportFromSystem32;
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault) setDefault(0x00000800);  // LOAD_LIBRARY_SEARCH_SYSTEM32
    SetDllDirectoryW(L"");
    wchar_t system[MAX_PATH];
    if (SystemFolder(system, MAX_PATH) > 0) SetCurrentDirectoryW(system);
    // The common controls load the theme library by name when the first window is
    // made; where the policy above is missing (Windows 7 without its update) that
    // search would start in the program's folder. Loaded now from system32, the name
    // finds this copy.
    LoadFromSystem32("uxtheme.dll");
}

}  // namespace
