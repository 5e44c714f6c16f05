#include <windows.h>
#include <windowsx.h>

#include "public/rdcontrol/controls/input/ComboHook.h"

bool ReadComboHookMessage(void* platformMessage, TComboHookMessage& m) {
    const auto* msg = static_cast<const MSG*>(platformMessage);
    if (!msg) return false;
    m = TComboHookMessage{};
    // Where the pointer was when the message was made.
    m.Screen = TPoint{msg->pt.x, msg->pt.y};
    switch (msg->message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            m.Kind = TComboHookMessage::TKind::ButtonDown;
            m.Button = mbLeft;
            return true;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            m.Kind = TComboHookMessage::TKind::ButtonDown;
            m.Button = mbRight;
            return true;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            m.Kind = TComboHookMessage::TKind::ButtonDown;
            m.Button = mbMiddle;
            return true;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            m.Kind = TComboHookMessage::TKind::FrameButtonDown;
            m.Button = mbLeft;
            return true;
        case WM_MOUSEWHEEL: {
            m.Kind = TComboHookMessage::TKind::Wheel;
            m.WheelDelta = GET_WHEEL_DELTA_WPARAM(msg->wParam);
            m.Screen = TPoint{GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)};
            const WORD keys = GET_KEYSTATE_WPARAM(msg->wParam);
            if (keys & MK_SHIFT) m.Shift |= ssShift;
            if (keys & MK_CONTROL) m.Shift |= ssCtrl;
            return true;
        }
        case WM_PAINT: m.Kind = TComboHookMessage::TKind::Paint; return true;
        default: return false;
    }
}
