// qtool: the installer's core on the command line, for support staff and scripted
// checks. See QtoolCommands.h.
#include <iostream>

#include "tools/qtool/QtoolCommands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "os/TextConvert.h"

int wmain(int argc, wchar_t** argv) {
    // Bytes in and out exactly: no CR LF translation of the streams.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    QtoolArgs args;
    for (int i = 1; i < argc; ++i) args.push_back(Narrow(argv[i]));
    const int status = RunQtool(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
#else
int main(int argc, char** argv) {
    const QtoolArgs args(argv + 1, argv + argc);
    const int status = RunQtool(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
#endif
