#pragma once
// The operating-system services qtool's product commands run on: the real ones on
// Windows. Elsewhere there is no registry, shell or version resource, so a stand-in
// answers as an empty Windows would (a registry that keeps what the process writes,
// the user-profile folder from USERPROFILE or HOME, en-US), enough for base-info,
// post-params and the data-file commands to work against test servers.
#include "os/OsServices.h"

OsServices& QtoolOs();
