#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "DesktopFixture.h"
#include "tray/StyledPopupMenu.h"
#include "tray/TrayIcon.h"
#include "win/Window.h"

namespace quilldeck::testing {

// An icon as Wine's notification area shows it: a child window of the
// "Wine System Tray" window, with its tooltip kept by Wine's desktop process.
struct ShownTrayIcon {
    HWND window = nullptr;
    RECT rect{};
    std::string tip;

    POINT Centre() const { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }
};

// The notification area's window, or null while it has never existed.
HWND SystemTrayWindow();
// Every icon in the notification area, read from the desktop process.
std::vector<ShownTrayIcon> ShownTrayIcons();
std::vector<ShownTrayIcon> ShownTrayIconsWithTip(const std::string& tip);
// Waits until exactly `count` icons show that tip.
bool WaitForIconsWithTip(const std::string& tip, std::size_t count);
// A tooltip no other test or run shows.
std::string UniqueTip(const std::string& text = "Quilldeck tray test");

// The zero-size top-level window that carries the taskbar button.
class TaskbarEntryWindow : public win::Window {
public:
    TaskbarEntryWindow();
};

// Stands in for the main window: offers every message to the tray icon
// first and records the messages that reach its own handling.
class OwnerWindow : public win::Window {
public:
    explicit OwnerWindow(HWND taskbarEntry);

    TTrayIcon* icon = nullptr;
    std::vector<UINT> handled;
    int Handled(UINT message) const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A tray icon set up as the main window sets it up, with a unique tooltip.
class TrayRig {
public:
    // inactive: the owner's first setting, which runs the inactive branch.
    explicit TrayRig(bool inactive = true, bool withTaskbarCreated = true);
    ~TrayRig();
    TrayRig(const TrayRig&) = delete;
    TrayRig& operator=(const TrayRig&) = delete;

    bool EntryVisible() const { return ::IsWindowVisible(entry.Handle()) != FALSE; }
    // The one icon that shows our tooltip; fails the test when there is none.
    ShownTrayIcon ShownIcon() const;
    // Ends the icon; the owner stops offering messages to it.
    void DestroyIcon();

    TaskbarEntryWindow entry;
    OwnerWindow owner{entry.Handle()};
    UINT taskbarCreated = 0;
    int processMessagesCalls = 0;
    // Runs inside each processing of pending messages the icon asks for.
    std::function<void()> whileProcessing;
    std::string tip = UniqueTip();
    std::unique_ptr<TTrayIcon> icon;
};

// Clicks on an icon in the notification area. Wine's notification area is a
// window of its own, and while another program's window is active clicks on
// its icons go nowhere: it is brought to the front first, as the user would.
// Returns the point clicked: the icon where it shows once the window manager
// has placed the notification area, which may differ from where it was read.
POINT ClickIcon(const ShownTrayIcon& icon, MouseButton button, int times = 1);

// A popup menu of this process as it shows, read while it is open.
struct MenuEntry {
    std::string text;
    bool separator = false;
    bool isDefault = false;
    bool grayed = false;
    RECT rect{};
};
struct OpenMenu {
    HWND window = nullptr;
    RECT rect{};
    POINT cursor{};
    HWND foreground = nullptr;
    std::vector<MenuEntry> entries;
    std::vector<std::string> Texts() const;
    const MenuEntry& Entry(const std::string& text) const;
};

// Acts on the next popup menu this process opens from another thread, since
// the menu's loop runs inside the handler that opened it; whatever the
// action, it makes sure the menu closes.
class MenuUser {
public:
    // Returns whether it could do what it meant to.
    using Action = std::function<bool(const OpenMenu&)>;
    explicit MenuUser(Action action);
    ~MenuUser();
    MenuUser(const MenuUser&) = delete;
    MenuUser& operator=(const MenuUser&) = delete;

    // Waits until the menu has closed again: the menu as it opened, or
    // nothing when none opened.
    std::optional<OpenMenu> Seen(std::chrono::milliseconds timeout = std::chrono::seconds(15));
    // Whether the action succeeded and the menu closed without being forced.
    bool ActedCleanly();
    // Whether a menu has opened so far.
    bool Opened() const { return opened_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> opened_{false};
    std::optional<OpenMenu> seen_;
    bool acted_ = false;
    bool closed_ = false;
    std::thread thread_;
};

// An open menu read through its window, which may be another process's:
// its rectangle, and each entry's text, state and rectangle on the screen.
OpenMenu ReadMenu(HWND window);

// The visible popup menu window of this process, if one is open.
HWND OpenMenuWindow();
// Chooses an entry with a left click on it.
MenuUser::Action ClickEntry(const std::string& text);
// Presses keys (X key names) while the menu is open, once the menu has the
// X keyboard focus. On Windows the menu's owner becomes the foreground window
// and takes the keys; under Wine with a window manager the X focus stays on
// the notification area that was clicked, whose process is not the menu's,
// and the keys are lost until a window of the menu's process has it.
MenuUser::Action PressKeys(const std::string& keys);
bool PressKeysInMenu(HWND menuWindow, const std::string& keys,
                     std::chrono::milliseconds delay = MenuKeyDelay);
// Clicks with the left button at a screen point.
MenuUser::Action ClickAt(POINT at);
// Closes the menu without the user's keyboard or mouse.
MenuUser::Action CloseQuietly();

}  // namespace quilldeck::testing
