#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "ScaledWindow.h"

namespace quilldeck::win {

// A dialog window made afresh for one use: fixed dialog frame, button-face
// background, centred over a given window, run modally by ShowModal. Its OK
// and Cancel are plain buttons that call EndModal: Enter and Escape end
// nothing unless a button has the focus, and the title-bar close box ends it
// as Cancel. Messages for other windows (hot key presses among them) go on
// being delivered while it is open.
class ModalDialog : public ScaledWindow {
public:
    ~ModalDialog() override;

    // Disables the thread's other windows, shows the dialog and returns the
    // result that EndModal was given (IDCANCEL for the close box).
    int ShowModal();
    HWND Handle() const noexcept { return Window::Handle(); }

protected:
    // owner: the window that owns the dialog; centreOver: the window it opens
    // over when that is visible (else the owner, else the screen). The client
    // size is the design at 96 DPI; the dialog takes the DPI of the window it
    // opens over.
    ModalDialog(HWND owner, HWND centreOver, const char* caption, int clientWidth, int clientHeight);

    void EndModal(int result);
    // Called each time the dialog is shown, before the loop starts and before
    // anything of it is drawn; the first control in tab order has the focus.
    virtual void FormShow() {}
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<HWND> DisableOtherWindows() const;

    int result_ = 0;
    bool ended_ = false;
};

}  // namespace quilldeck::win
