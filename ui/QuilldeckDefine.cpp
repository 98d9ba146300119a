#include "QuilldeckDefine.h"

#include <commctrl.h>

#include <string>

#include "DefineLayout.h"
#include "hotkeys/PasteKeys.h"
#include "slots/SettingsCodec.h"
#include "win/ErrorBox.h"
#include "win/WideText.h"

namespace quilldeck {
namespace {

// Enter in the paste text breaks the line with CR LF, two characters: where
// only one is left the edit would insert a lone CR, so the key is refused.
LRESULT CALLBACK WholeLineBreaksOnly(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CHAR && wParam == '\r') {
        DWORD start = 0, end = 0;
        ::SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const auto kept = static_cast<DWORD>(::GetWindowTextLengthW(memo)) - (end - start);
        const auto limit = static_cast<DWORD>(::SendMessageW(memo, EM_GETLIMITTEXT, 0, 0));
        if (kept + 2 > limit) return 0;
    }
    return ::DefSubclassProc(memo, message, wParam, lParam);
}

}  // namespace

TForm2::TForm2(HWND owner, HWND centreOver, const SlotEditValues& values, const CodePage& codePage,
               const KeyNames& keyNames)
    : ModalDialog(owner, centreOver, ui::DefineCaption, ui::DefineClientWidth, ui::DefineClientHeight),
      codePage_(codePage),
      keyNames_(keyNames),
      values_(values) {
    const win::ControlSet& controls = CreateControls(ui::DefineControls);
    Inp_1 = controls[ui::IdInp_1];
    Inp_2 = std::make_unique<THotKey>(controls[ui::IdInp_2]);
    Memo1 = controls[ui::IdMemo1];
    CheckBox1 = controls[ui::IdCheckBox1];

    // A bare key is taken as it is, Shift with a key as the key alone, and
    // every combination with Ctrl or Alt as typed; the field starts empty.
    Inp_2->SetModifiers(0);
    Inp_2->SetHotKey(0);
    // The description takes a line of any length; the edit's own default
    // would stop typing and pasting at about 30,000 characters.
    ::SendMessageW(Inp_1, EM_SETLIMITTEXT, 0, 0);
    // The limit binds typing and pasting only, not the text set here.
    ::SendMessageW(Memo1, EM_LIMITTEXT, ui::Memo1InputLimit, 0);
    ::SetWindowSubclass(Memo1, &WholeLineBreaksOnly, 1, 0);

    win::SetWindowTextUtf16(Inp_1, codePage_.ToUtf16(values.description));
    Inp_2->SetHotKey(values.shortcut);
    win::SetWindowTextUtf16(Memo1, codePage_.ToUtf16(values.text));
    win::SetChecked(CheckBox1, values.active);
}

void TForm2::FormShow() { ::SetFocus(Inp_1); }

void TForm2::Refuse(const std::string& why) {
    ::MessageBoxA(Handle(), why.c_str(), win::ApplicationTitle, MB_OK | MB_ICONWARNING);
}

void TForm2::Button1Click() {
    const std::u16string description = win::WindowTextUtf16(Inp_1);
    // Text pasted from elsewhere may break its lines with a lone CR or LF;
    // the slot keeps every line break as CR LF, as the file gives it back.
    const std::u16string text = WithCrLfLineBreaks(win::WindowTextUtf16(Memo1));
    // What the settings file could not give back would be lost at the next
    // start, and a Ctrl+Z or "[/memo]" would take the later slots with it.
    if (const auto refusal = FindUnstorable(description, text, codePage_)) {
        Refuse(RefusalMessage(*refusal));
        return;
    }
    const TShortCut shortcut = Inp_2->HotKey();
    if (PastePresses(shortcut)) {
        Refuse(FormatShortcut(shortcut, keyNames_) +
               " cannot be a shortcut: Quilldeck presses it to paste, so the slot would paste into itself "
               "without end.");
        return;
    }
    if (description.empty()) {
        // Up to the first line break.
        const std::u16string firstLine = text.substr(0, text.find(u'\r'));
        if (!firstLine.empty()) win::SetWindowTextUtf16(Inp_1, firstLine);
    }
    values_ = SlotEditValues{
        codePage_.FromUtf16(win::WindowTextUtf16(Inp_1)),
        shortcut,
        codePage_.FromUtf16(text),
        win::IsChecked(CheckBox1),
    };
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
