#include "services/AppFrame.h"

#include "services/SystemInfo.h"

TAppFrame::TAppFrame(const OsServices& os)
    : AppDataDir(AppDataFolderWithFallback(os, /*common=*/false)),
      CommonAppDataDir(AppDataFolderWithFallback(os, /*common=*/true)) {
    const std::string program = os.system.ProgramPath();
    const auto slash = program.find_last_of("\\/");
    ProgramDir = slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}
