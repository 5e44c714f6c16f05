#pragma once
// RAII owners for Win32 handles. Windows build only.
#include <windows.h>

#include <memory>

struct RegKeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueRegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyCloser>;

struct FindCloser {
    void operator()(HANDLE h) const { FindClose(h); }
};
using UniqueFindHandle = std::unique_ptr<void, FindCloser>;

struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;
