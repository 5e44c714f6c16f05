#pragma once
// A minimal top-level Win32 window: the installer's forms are plain windows of this
// kind until the skinned form of the control library takes their place. Windows
// build only; every call on the UI thread.
#include <windows.h>

#include <string>

class PlainWindow {
public:
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    virtual ~PlainWindow();

    HWND Handle() const { return FHandle; }
    void Show(int showMode = SW_SHOWNORMAL);

protected:
    // Creates the window (hidden) with the given caption and client size, centred
    // on the primary monitor's work area.
    PlainWindow(const std::wstring& caption, int clientWidth, int clientHeight);

    virtual void Paint(HDC dc, const RECT& client);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND FHandle = nullptr;
};
