#pragma once
// What the combo box's application-wide hook needs to know of a message while its
// list is open, read from the platform's message (on Windows a MSG, as
// TApplication::OnMessage passes it). The rules that act on it are portable
// (TRdComboBox::HookMessage); only the reading is per platform.
#include "public/rdcontrol/framework/Control.h"

struct TComboHookMessage {
    enum class TKind : std::uint8_t {
        Other,
        ButtonDown,       // a mouse button went down in a window's client area
        FrameButtonDown,  // the left button went down on a window's frame or caption
        Wheel,
        Paint
    };
    TKind Kind = TKind::Other;
    TMouseButton Button = mbLeft;
    TPoint Screen;  // the pointer on the screen
    int WheelDelta = 0;
    TShiftState Shift = 0;
};

// Reads a platform message; false for a message the hook has no rule for.
bool ReadComboHookMessage(void* platformMessage, TComboHookMessage& message);
