#include "os/OsServices.h"

OsServices& WindowsOsServices() {
    static OsServices services{WindowsRegistry(), WindowsShell(), WindowsSystemEnvironment(), WindowsDisks(),
                               WindowsVersionResources(), WindowsLocale(), WindowsClock()};
    return services;
}
