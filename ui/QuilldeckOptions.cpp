#include "QuilldeckOptions.h"

#include "OptionsLayout.h"

namespace quilldeck {

TForm3::TForm3(HWND owner, HWND centreOver)
    : ModalDialog(owner, centreOver, ui::options::Caption, ui::options::ClientWidth, ui::options::ClientHeight) {
    const win::ControlSet& controls = CreateControls(ui::options::Controls);
    CheckBox1_ = controls[ui::options::IdCheckBox1];
    CheckBox2_ = controls[ui::options::IdCheckBox2];
}

LRESULT TForm3::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        switch (LOWORD(wParam)) {
            case ui::options::IdButton1: EndModal(IDOK); return 0;
            case ui::options::IdButton3: EndModal(IDCANCEL); return 0;
        }
    }
    return ModalDialog::HandleMessage(message, wParam, lParam);
}

}  // namespace quilldeck
