#include "ModalDialog.h"

namespace quilldeck::win {
namespace {

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
constexpr DWORD DialogExStyle = WS_EX_DLGMODALFRAME;

}  // namespace

ModalDialog::ModalDialog(HWND owner, const char* caption, int clientWidth, int clientHeight) : owner_(owner) {
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, DialogStyle, FALSE, DialogExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT over{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (owner != nullptr && ::IsWindowVisible(owner)) ::GetWindowRect(owner, &over);
    const int left = over.left + (over.right - over.left - width) / 2;
    const int top = over.top + (over.bottom - over.top - height) / 2;
    Create("QuilldeckDialog", DialogExStyle, DialogStyle, caption, left, top, width, height, owner, nullptr, 0,
           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

ModalDialog::~ModalDialog() { Destroy(); }

int ModalDialog::ShowModal() {
    ended_ = false;
    result_ = IDCANCEL;
    const bool ownerWasEnabled = owner_ != nullptr && ::IsWindowEnabled(owner_);
    if (ownerWasEnabled) ::EnableWindow(owner_, FALSE);
    ::ShowWindow(Handle(), SW_SHOW);
    FormShow();
    MSG message;
    while (!ended_ && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageA(Handle(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    if (!ended_) ::PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop must end too
    // The owner comes back before the dialog goes, so it gets the activation.
    if (ownerWasEnabled) ::EnableWindow(owner_, TRUE);
    if (owner_ != nullptr) ::SetActiveWindow(owner_);
    ::ShowWindow(Handle(), SW_HIDE);
    return result_;
}

void ModalDialog::EndModal(int result) {
    result_ = result;
    ended_ = true;
    ::PostMessageA(Handle(), WM_NULL, 0, 0);  // wakes the loop
}

LRESULT ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            EndModal(IDCANCEL);
            return 0;
        case WM_ACTIVATE:
            // The control that had the focus gets it back on return.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = ::GetFocus();
                if (focus != nullptr && ::IsChild(Handle(), focus)) focus_ = focus;
            } else if (focus_ != nullptr && ::IsWindow(focus_)) {
                ::SetFocus(focus_);
            }
            return 0;
        case WM_COMMAND:
            // Enter and Escape arrive as IDOK and IDCANCEL from the dialog
            // manager; this dialog has no default or cancel button.
            if (lParam == 0 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) return 0;
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace quilldeck::win
