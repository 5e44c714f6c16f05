// The control of planted_dlls.sh: loads each DLL named on its command line by bare
// name with the default search order (the program's folder first), as the loader
// resolves a static import. Exit code: how many loaded.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    int loaded = 0;
    for (int i = 1; i < argc; ++i) {
        if (LoadLibraryW(argv[i])) ++loaded;
    }
    return loaded;
}
