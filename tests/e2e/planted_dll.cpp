// A DLL that someone planted beside the program: when any process loads it, it
// writes "planted-<its file name>.txt" into its own folder and does nothing else.
// planted_dlls.sh copies it under the names of system DLLs.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    std::wstring file(path, length);
    const std::size_t slash = file.find_last_of(L'\\');
    const std::wstring marker = file.substr(0, slash + 1) + L"planted-" + file.substr(slash + 1) + L".txt";
    HANDLE h = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return TRUE;
}
