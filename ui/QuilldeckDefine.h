#pragma once

#include <windows.h>

#include <memory>

#include "HotKey.h"
#include "slots/SlotTable.h"
#include "win/ModalDialog.h"

namespace quilldeck {

// The Define/Edit dialog: one slot's description, shortcut, paste text and
// active flag. Made for one use; ShowModal returns IDOK or IDCANCEL, and after
// OK Values() holds what the user entered.
class TForm2 : public win::ModalDialog {
public:
    TForm2(HWND owner, HWND centreOver, const SlotEditValues& values);

    SlotEditValues Values();

private:
    void FormShow() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Button1Click();
    void Button3Click();

    HWND Inp_1 = nullptr;
    std::unique_ptr<THotKey> Inp_2;
    HWND Memo1 = nullptr;
    HWND CheckBox1 = nullptr;
};

}  // namespace quilldeck
