#include "ModalDialog.h"

#include "Dpi.h"

namespace quilldeck::win {
namespace {

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
constexpr DWORD DialogExStyle = WS_EX_DLGMODALFRAME;

RECT AreaToCentreIn(HWND centreOver, HWND owner) {
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    for (HWND window : {centreOver, owner}) {
        if (window != nullptr && ::IsWindowVisible(window)) {
            RECT rect{};
            ::GetWindowRect(window, &rect);
            // A zero-size window (the taskbar entry) is no place to centre over.
            if (rect.right > rect.left && rect.bottom > rect.top) return rect;
        }
    }
    return area;
}

// The window the dialog opens over, whose DPI it takes.
HWND WindowToCentreOver(HWND centreOver, HWND owner) {
    for (HWND window : {centreOver, owner}) {
        if (window != nullptr && ::IsWindowVisible(window)) return window;
    }
    return nullptr;
}

}  // namespace

ModalDialog::ModalDialog(HWND owner, HWND centreOver, const char* caption, int clientWidth, int clientHeight)
    : ScaledWindow({clientWidth, clientHeight, DialogStyle, DialogExStyle, false},
                   DpiOfWindow(WindowToCentreOver(centreOver, owner))) {
    const SIZE size = OuterSizeAt(Dpi());
    const RECT place = CentredIn(AreaToCentreIn(centreOver, owner), size);
    Create("QuilldeckDialog", DialogExStyle, DialogStyle, caption, place.left, place.top, size.cx, size.cy, owner,
           nullptr, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

ModalDialog::~ModalDialog() { Destroy(); }

std::vector<HWND> ModalDialog::DisableOtherWindows() const {
    struct Search {
        HWND dialog;
        std::vector<HWND> disabled;
    } search{Handle(), {}};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if (window != s.dialog && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
                ::EnableWindow(window, FALSE);
                s.disabled.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.disabled;
}

int ModalDialog::ShowModal() {
    ended_ = false;
    result_ = IDCANCEL;
    const HWND activeBefore = ::GetActiveWindow();
    // Every window of the program waits for the dialog, not only its owner.
    const std::vector<HWND> disabled = DisableOtherWindows();
    ::ShowWindow(Handle(), SW_SHOW);
    // The first control in tab order has the focus unless FormShow moves it.
    if (const HWND first = ::GetNextDlgTabItem(Handle(), nullptr, FALSE)) ::SetFocus(first);
    FormShow();
    MSG message;
    // Wide messages, so that a character typed into a wide edit arrives
    // whole, not already turned into the code page's default character; an
    // 8-bit window still gets its messages converted.
    while (!ended_ && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // No cancel button: Escape ends nothing, and a multi-line edit would
        // otherwise turn it into a close of its dialog.
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE && ::IsChild(Handle(), message.hwnd)) {
            continue;
        }
        // Enter presses the push button that has the focus, however the
        // focus got there (the dialog manager would only for one reached by Tab).
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && ::IsChild(Handle(), message.hwnd) &&
            (::SendMessageA(message.hwnd, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
            ::SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(message.hwnd), BN_CLICKED),
                           reinterpret_cast<LPARAM>(message.hwnd));
            continue;
        }
        if (!::IsDialogMessageW(Handle(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (!ended_) ::PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop must end too
    // The other windows come back before the dialog goes, so the window that
    // was active gets the activation again.
    for (auto it = disabled.rbegin(); it != disabled.rend(); ++it) {
        if (::IsWindow(*it)) ::EnableWindow(*it, TRUE);
    }
    if (activeBefore != nullptr && activeBefore != Handle() && ::IsWindowVisible(activeBefore)) {
        ::SetActiveWindow(activeBefore);
    }
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
        case WM_NEXTDLGCTL: {
            // A multi-line edit asks for this on Tab, as a dialog box would
            // handle it: the next (wParam 0) or previous control, or lParam's.
            HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                       : ::GetNextDlgTabItem(Handle(), ::GetFocus(), wParam != 0);
            if (next == nullptr) return 0;
            ::SetFocus(next);
            if (::SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) ::SendMessageA(next, EM_SETSEL, 0, -1);
            return 0;
        }
        case WM_COMMAND:
            // Enter and Escape arrive as IDOK and IDCANCEL from the dialog
            // manager; this dialog has no default or cancel button.
            if (lParam == 0 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) return 0;
            break;
    }
    return ScaledWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace quilldeck::win
