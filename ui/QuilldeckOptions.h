#pragma once

#include <windows.h>

#include "win/ModalDialog.h"

namespace quilldeck {

// The Options dialog: run at log-on, and start minimised into the tray. It
// only holds the two choices; the main window fills it, runs it and acts on
// what it says after OK.
class TForm3 : public win::ModalDialog {
public:
    TForm3(HWND owner, HWND centreOver);

    HWND CheckBox1() const noexcept { return CheckBox1_; }
    HWND CheckBox2() const noexcept { return CheckBox2_; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND CheckBox1_ = nullptr;
    HWND CheckBox2_ = nullptr;
};

}  // namespace quilldeck
