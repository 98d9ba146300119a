#include "TrayIcon.h"

#include <exception>
#include <utility>

#include "win/ErrorBox.h"

namespace quilldeck {

TTrayIcon::TTrayIcon(HWND taskbarEntry, UINT taskbarCreatedMessage, HICON icon,
                     std::function<void()> processMessages)
    : taskbarEntry_(taskbarEntry),
      taskbarCreatedMessage_(taskbarCreatedMessage),
      icon_(icon),
      processMessages_(std::move(processMessages)) {
    Create("QuilldeckTrayIconWindow", WS_EX_TOOLWINDOW, WS_POPUP, "", 0, 0, 0, 0, nullptr, nullptr);
}

TTrayIcon::~TTrayIcon() {
    active_ = false;
    Notify(NIM_DELETE);
    Destroy();
    // Sent once more, now naming no window, as the component always has.
    Notify(NIM_DELETE);
}

void TTrayIcon::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (active) {
        ::ShowWindow(taskbarEntry_, SW_HIDE);
        // Lets whatever the hiding set off run before the icon appears.
        if (processMessages_) processMessages_();
        Notify(NIM_ADD);
    } else {
        ::ShowWindow(taskbarEntry_, SW_SHOWNORMAL);
        Notify(NIM_DELETE);
    }
}

void TTrayIcon::SetHint(std::string hint) {
    hint_ = std::move(hint);
    if (active_) Notify(NIM_MODIFY);
}

bool TTrayIcon::FilterOwnerMessage(HWND owner, UINT message, WPARAM wParam, const std::function<LRESULT()>& passOn,
                                   LRESULT& result) {
    if (!active_) return false;
    if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
        // A new taskbar knows no icons: go through inactive to active again.
        active_ = false;
        ::ShowWindow(taskbarEntry_, SW_SHOWNORMAL);
        SetActive(true);
        result = 0;
        return true;
    }
    if (message == WM_SHOWWINDOW && wParam != FALSE) {
        ::ShowWindow(taskbarEntry_, SW_HIDE);
        return false;
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
        // The owner's own minimise, which does nothing while in the tray:
        // the window is not made iconic, so it comes back from the tray as
        // it was.
        result = passOn();
        ::ShowWindow(taskbarEntry_, SW_HIDE);
        ::ShowWindow(owner, SW_HIDE);
        return true;
    }
    return false;
}

LRESULT TTrayIcon::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != NotifyMessage) return Window::HandleMessage(message, wParam, lParam);
    ::GetCursorPos(&cursor_);
    try {
        Notification(static_cast<UINT>(lParam));
    } catch (const std::exception& error) {
        win::ShowErrorBox(error.what());
    }
    return 0;
}

void TTrayIcon::Notification(UINT mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        if (OnDblClick) OnDblClick();
        break;
    case WM_RBUTTONDOWN:
        if (PopupMenu == nullptr) break;
        ::SetForegroundWindow(taskbarEntry_);
        if (processMessages_) processMessages_();
        // Owned by our own window, not the taskbar entry: the foreground just
        // given to the entry makes this thread's menu take the keys and close
        // on a click elsewhere whichever of its windows owns it, and the
        // menu's messages (the styled drawing's too) and the WM_NULL after it
        // then come to this component rather than to the application.
        PopupMenu->Popup(Handle(), cursor_);
        break;
    default:
        break;
    }
}

void TTrayIcon::Notify(DWORD action) const {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = Handle();
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = NotifyMessage;
    data.hIcon = icon_;
    hint_.copy(data.szTip, sizeof(data.szTip) - 1);
    ::Shell_NotifyIconA(action, &data);
}

}  // namespace quilldeck
