#pragma once
// The application's standard folders, resolved once when constructed.
#include <string>

#include "os/OsServices.h"

class TAppFrame {
public:
    explicit TAppFrame(const OsServices& os);

    // The user's roaming application-data folder.
    std::string AppDataDir;
    // The common (all users) application-data folder.
    std::string CommonAppDataDir;
    // The folder of the program's own executable, with a trailing "\".
    std::string ProgramDir;
};
