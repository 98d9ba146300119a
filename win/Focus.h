#pragma once

#include <windows.h>

namespace quilldeck::win {

// From now on Tab and Shift+Tab in the control, a child of a window that is
// no dialog, move the focus to the window's next or previous tab stop, as in
// any dialog; the Tab character is no key of the control's.
void TakeTabKeys(HWND control);

// The control of a window that had the focus when the window was deactivated
// gets it back when the window is activated again.
class FocusMemory {
public:
    // For every WM_ACTIVATE of the window.
    void OnActivate(HWND window, WPARAM wParam);

private:
    HWND focus_ = nullptr;
};

}  // namespace quilldeck::win
