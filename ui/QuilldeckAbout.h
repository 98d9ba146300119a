#pragma once

#include <windows.h>

#include <string>

#include "win/Handle.h"
#include "win/ModalDialog.h"

namespace quilldeck {

// The About box: the program's icon, title, byline and version. OK, Enter on
// OK and the close box end it; Escape does not.
class TForm4 : public win::ModalDialog {
public:
    // versionText: shown at every showing.
    TForm4(HWND owner, HWND centreOver, std::string versionText);

private:
    void FormShow() override;
    void DpiChanged() override;
    // The icon, the fonts of title and version, and the version's place, at the dialog's DPI.
    void ApplyDpi();
    void PlaceVersion();
    void Button1Click();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::string versionText_;
    win::UniqueIcon icon_;
    win::UniqueFont titleFont_;
    win::UniqueFont versionFont_;
    HWND Image1 = nullptr;
    HWND Label1 = nullptr;
    HWND Label4 = nullptr;
};

}  // namespace quilldeck
