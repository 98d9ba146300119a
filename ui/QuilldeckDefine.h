#pragma once

#include <windows.h>

#include <memory>

#include "HotKey.h"
#include "slots/SlotTable.h"
#include "win/ModalDialog.h"

namespace quilldeck {

// The Define/Edit dialog: one slot's description, shortcut, paste text and
// active flag. Made for one use; ShowModal returns IDOK or IDCANCEL, and after
// OK Values() holds what the user entered. OK refuses, with a warning, what
// the settings file could not keep exactly and a shortcut that the paste
// itself presses; the dialog then stays open as it was.
class TForm2 : public win::ModalDialog {
public:
    TForm2(HWND owner, HWND centreOver, const SlotEditValues& values, const CodePage& codePage,
           const KeyNames& keyNames);

    const SlotEditValues& Values() const { return values_; }

private:
    void FormShow() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Button1Click();
    void Button3Click();
    void Refuse(const std::string& why);

    const CodePage& codePage_;
    const KeyNames& keyNames_;
    SlotEditValues values_;

    HWND Inp_1 = nullptr;
    std::unique_ptr<THotKey> Inp_2;
    HWND Memo1 = nullptr;
    HWND CheckBox1 = nullptr;
};

}  // namespace quilldeck
