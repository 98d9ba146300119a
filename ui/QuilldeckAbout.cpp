#include "QuilldeckAbout.h"

#include <utility>

#include "AboutLayout.h"
#include "win/SystemError.h"

namespace quilldeck {
namespace {

// Tahoma in the character set of the common window font.
win::UniqueFont Tahoma(int height, int weight) {
    win::UniqueFont font(::CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, THAI_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
    if (!font) win::ThrowLastSystemError();
    return font;
}

}  // namespace

TForm4::TForm4(HWND owner, HWND centreOver, HFONT font, std::string versionText)
    : ModalDialog(owner, centreOver, ui::about::Caption, ui::about::ClientWidth, ui::about::ClientHeight),
      versionText_(std::move(versionText)),
      icon_(static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON,
                                            ui::about::IconSize, ui::about::IconSize, LR_DEFAULTCOLOR))),
      titleFont_(Tahoma(ui::about::TitleHeight, FW_BOLD)),
      versionFont_(Tahoma(ui::about::VersionHeight, FW_NORMAL)) {
    const std::vector<HWND> controls = win::CreateControls(Handle(), ui::about::Controls, font);
    Image1 = controls[1];
    Label1 = controls[2];
    Label4 = controls[4];
    ::SendMessageA(Image1, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
    ::SendMessageA(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
    // Grown rather than wrapped, should a stand-in font draw the title larger.
    win::GrowToText(Label1, titleFont_.get(), ui::about::Title);
    ::SendMessageA(Label4, WM_SETFONT, reinterpret_cast<WPARAM>(versionFont_.get()), FALSE);
}

void TForm4::FormShow() {
    ::SetWindowTextA(Label4, versionText_.c_str());
    // Sized to its text, with its right edge where it was designed.
    const SIZE text = win::TextExtent(Label4, versionFont_.get(), versionText_.c_str());
    ::SetWindowPos(Label4, nullptr, ui::about::VersionRightEdge - text.cx, ui::about::VersionTop, text.cx, text.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
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
