#include "QuilldeckAbout.h"

#include <string>
#include <utility>

#include "AboutLayout.h"
#include "win/Dpi.h"
#include "win/ProgramFile.h"

namespace quilldeck {

TForm4::TForm4(HWND owner, HWND centreOver, std::string versionText)
    : ModalDialog(owner, centreOver, ui::about::Caption, ui::about::ClientWidth, ui::about::ClientHeight),
      versionText_(std::move(versionText)) {
    const win::ControlSet& controls = CreateControls(ui::about::Controls);
    Image1 = controls[ui::about::IdImage1];
    Label1 = controls[ui::about::IdLabel1];
    Label4 = controls[ui::about::IdLabel4];
    ApplyDpi();
}

void TForm4::ApplyDpi() {
    const int iconSize = win::Scale(ui::about::IconSize, Dpi());
    win::UniqueIcon icon = win::ProgramIcon(iconSize);
    win::UniqueFont title = win::MakeTahoma(ui::about::TitleHeight, FW_BOLD, Dpi());
    win::UniqueFont version = win::MakeTahoma(ui::about::VersionHeight, FW_NORMAL, Dpi());
    ::SendMessageA(Image1, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    ::SetWindowPos(Image1, nullptr, 0, 0, iconSize, iconSize, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageA(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(title.get()), TRUE);
    // Grown rather than wrapped, should a stand-in font draw the title larger.
    win::GrowToText(Label1, title.get(), ui::about::Title);
    ::SendMessageA(Label4, WM_SETFONT, reinterpret_cast<WPARAM>(version.get()), TRUE);
    // The controls hold the new ones before the old ones go.
    icon_ = std::move(icon);
    titleFont_ = std::move(title);
    versionFont_ = std::move(version);
    PlaceVersion();
}

void TForm4::DpiChanged() { ApplyDpi(); }

void TForm4::FormShow() {
    ::SetWindowTextA(Label4, versionText_.c_str());
    PlaceVersion();
}

void TForm4::PlaceVersion() {
    // Sized to its text, with its right edge where it was designed.
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(Label4)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(Label4, text.data(), static_cast<int>(text.size()))));
    const SIZE size = win::TextExtent(Label4, versionFont_.get(), text.c_str());
    ::SetWindowPos(Label4, nullptr, win::Scale(ui::about::VersionRightEdge, Dpi()) - size.cx,
                   win::Scale(ui::about::VersionTop, Dpi()), size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm4::Button1Click() { EndModal(IDOK); }

LRESULT TForm4::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && lParam != 0 && LOWORD(wParam) == ui::about::IdButton1) {
                Button1Click();
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == Label1) {
                // The title is black whatever the system's text colour.
                const LRESULT brush = ModalDialog::HandleMessage(message, wParam, lParam);
                ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
                return brush;
            }
            break;
    }
    return ModalDialog::HandleMessage(message, wParam, lParam);
}

}  // namespace quilldeck
