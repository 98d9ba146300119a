#include "QuilldeckDefine.h"

#include <commctrl.h>

#include <string>

#include "DefineLayout.h"
#include "slots/SettingsCodec.h"
#include "win/ErrorBox.h"

namespace quilldeck {
namespace {

std::string TextOf(HWND control) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Enter in the paste text breaks the line with CR LF, two characters: where
// only one is left the edit would insert a lone CR, so the key is refused.
LRESULT CALLBACK WholeLineBreaksOnly(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CHAR && wParam == '\r') {
        DWORD start = 0, end = 0;
        ::SendMessageA(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const auto kept = static_cast<DWORD>(::GetWindowTextLengthA(memo)) - (end - start);
        const auto limit = static_cast<DWORD>(::SendMessageA(memo, EM_GETLIMITTEXT, 0, 0));
        if (kept + 2 > limit) return 0;
    }
    return ::DefSubclassProc(memo, message, wParam, lParam);
}

}  // namespace

TForm2::TForm2(HWND owner, HWND centreOver, const SlotEditValues& values)
    : ModalDialog(owner, centreOver, ui::DefineCaption, ui::DefineClientWidth, ui::DefineClientHeight) {
    const std::vector<HWND> controls = CreateControls(ui::DefineControls);
    Inp_1 = controls[0];
    Inp_2 = std::make_unique<THotKey>(controls[1]);
    Memo1 = controls[2];
    CheckBox1 = controls[3];

    // A bare key is taken as it is, Shift with a key as the key alone, and
    // every combination with Ctrl or Alt as typed; the field starts empty.
    Inp_2->SetModifiers(0);
    Inp_2->SetHotKey(0);
    // The limit binds typing and pasting only, not the text set here.
    ::SendMessageA(Memo1, EM_LIMITTEXT, ui::Memo1InputLimit, 0);
    ::SetWindowSubclass(Memo1, &WholeLineBreaksOnly, 1, 0);

    ::SetWindowTextA(Inp_1, values.description.c_str());
    Inp_2->SetHotKey(values.shortcut);
    ::SetWindowTextA(Memo1, values.text.c_str());
    win::SetChecked(CheckBox1, values.active);
}

SlotEditValues TForm2::Values() {
    return SlotEditValues{
        TextOf(Inp_1),
        Inp_2->HotKey(),
        TextOf(Memo1),
        win::IsChecked(CheckBox1),
    };
}

void TForm2::FormShow() { ::SetFocus(Inp_1); }

void TForm2::Button1Click() {
    const std::string text = TextOf(Memo1);
    // The settings file could not hold such a text: the slots after it would
    // be lost at the next start.
    if (HoldsBlockCloserLine(text)) {
        ::MessageBoxA(Handle(), "A line of the paste text cannot be exactly [/memo].", win::ApplicationTitle,
                      MB_OK | MB_ICONWARNING);
        return;
    }
    if (::GetWindowTextLengthA(Inp_1) == 0) {
        // Up to the first line break, whichever way it is written: a line
        // feed in a description would split its line in the settings file.
        const std::string firstLine = text.substr(0, text.find_first_of("\r\n"));
        if (!firstLine.empty()) ::SetWindowTextA(Inp_1, firstLine.c_str());
    }
    EndModal(IDOK);
}

void TForm2::Button3Click() { EndModal(IDCANCEL); }

LRESULT TForm2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        switch (LOWORD(wParam)) {
            case ui::IdButton1: Button1Click(); return 0;
            case ui::IdButton3: Button3Click(); return 0;
        }
    }
    return ModalDialog::HandleMessage(message, wParam, lParam);
}

}  // namespace quilldeck
