#pragma once
// Shell links (.lnk files) through the shell's link object. Windows only; the
// calling thread must have initialised COM.
#include <string>

namespace demo {

// Creates or replaces `linkFile`, a link to `target` started in `workingFolder`.
// Throws DemoError.
void CreateShellLink(const std::string& linkFile, const std::string& target, const std::string& workingFolder,
                     const std::string& description);

}  // namespace demo
