#pragma once
// Ends the own process at once with exit code 0, as every forced end of the
// installer does (second instance, refused start, end of installation). No window
// clean-up and no destructors run. Windows build only.
#ifdef _WIN32
[[noreturn]] void TerminateOwnProcess();
#endif
