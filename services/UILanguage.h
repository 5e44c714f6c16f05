#pragma once
// The Windows language identifier the installer starts in: the user's interface
// language, with fall-backs for systems that report only a placeholder. Blocking
// (one registry read at most); never raises.
#include <cstdint>

#include "os/OsServices.h"

std::uint16_t GetUILanguageId(const OsServices& os);
