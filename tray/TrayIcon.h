#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "StyledPopupMenu.h"
#include "win/Window.h"

namespace quilldeck {

// The program's icon in the notification area. While Active the icon is
// there and the application's taskbar entry (and so its taskbar button) is
// hidden; while inactive it is the other way round. Mouse notifications come
// to a hidden window of its own: a double click with any button raises
// OnDblClick, the right button going down opens PopupMenu.
class TTrayIcon : private win::Window {
public:
    // The notification message the shell sends to the callback window.
    static constexpr UINT NotifyMessage = WM_USER + 101;

    // taskbarCreatedMessage: the registered "TaskbarCreated" message, 0 for
    // none. processMessages dispatches the messages already queued. Active
    // starts true without any system call; the owner's first SetActive(false)
    // shows the taskbar entry. The icon handle stays the caller's.
    TTrayIcon(HWND taskbarEntry, UINT taskbarCreatedMessage, HICON icon, std::function<void()> processMessages);
    ~TTrayIcon() override;

    bool Active() const noexcept { return active_; }
    void SetActive(bool active);
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(std::string hint);

    std::function<void()> OnDblClick;
    TStyledPopupMenu* PopupMenu = nullptr;

    // Stands in front of the owner's (the main window's) own handling while
    // the icon is active; the owner offers it every message first and, when
    // this returns true, returns result without handling the message itself.
    // passOn is the owner's own handling of the message, for what the icon
    // passes on before it acts.
    bool FilterOwnerMessage(HWND owner, UINT message, WPARAM wParam, const std::function<LRESULT()>& passOn,
                            LRESULT& result);

    // The window the shell's notifications come to.
    HWND CallbackWindow() const noexcept { return Handle(); }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notification(UINT mouseMessage);
    void Notify(DWORD action) const;

    HWND taskbarEntry_;
    UINT taskbarCreatedMessage_;
    HICON icon_;
    std::function<void()> processMessages_;
    bool active_ = true;
    std::string hint_;
    POINT cursor_{};
};

}  // namespace quilldeck
