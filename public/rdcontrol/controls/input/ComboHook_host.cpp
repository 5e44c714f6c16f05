#include "public/rdcontrol/controls/input/ComboHook.h"

// The host has no platform messages: tests hand the hook TComboHookMessage values.
bool ReadComboHookMessage(void* /*platformMessage*/, TComboHookMessage& /*message*/) { return false; }
