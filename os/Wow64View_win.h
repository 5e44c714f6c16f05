#pragma once
// The installer is a 32-bit program and meets 64-bit Windows through WOW64: keys
// that Windows redirects are opened in their 32-bit view, the program-files folder is
// the "(x86)" one, and the system is "64-bit Windows". The Windows test lane builds
// the same sources as a 64-bit program, which must see the system exactly as the
// 32-bit installer does. These few functions are the only places where the two
// widths differ; nothing else asks which width it was built for. Windows build only.
#include <windows.h>

#include <string>

namespace Wow64View {

// Access-rights flag for a key opened without naming a view: the 32-bit view, which
// a 32-bit program gets through redirection anyway (and which 32-bit Windows ignores).
constexpr REGSAM kDefaultRegistryView = KEY_WOW64_32KEY;

// True on 64-bit Windows: for a 32-bit process under WOW64, and for every 64-bit one.
bool Is64BitWindows();

// The shell folder a 32-bit program gets for `csidl`: in the 64-bit build the
// program-files folders are asked for in their "(x86)" form.
int ShellFolder(int csidl);

// The environment variable a 32-bit program reads for `name`: WOW64 gives a 32-bit
// process the "(x86)" values under the plain program-files names.
std::wstring EnvironmentVariable(const std::wstring& name);

}  // namespace Wow64View
