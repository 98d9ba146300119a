#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "Handle.h"

namespace quilldeck::win {

// One entry of a menu as a window's layout table describes it: a command, a
// separator, or a submenu with entries of its own. Menu bars, shortcut menus
// and the tray menu are all written as tables of these.
struct MenuEntry {
    // The command identifier; 0 for a separator and for a submenu.
    int id = 0;
    const char* caption = nullptr;
    // The shortcut shown after the caption, in the keys' shortcut value
    // (a virtual key with the Shift, Ctrl and Alt bits); 0 for none.
    std::uint16_t shortcut = 0;
    bool isDefault = false;
    std::span<const MenuEntry> submenu{};
    // The name the program finds the entry by, where it changes it later.
    const char* name = nullptr;

    bool IsSeparator() const noexcept { return id == 0 && submenu.empty(); }
};

inline constexpr MenuEntry MenuSeparator{};

// The text of a shortcut value, as the menus show it after a tab.
using ShortcutNamer = std::function<std::string(std::uint16_t shortcut)>;

// A popup menu of the table's entries, and a menu bar of its submenus.
UniqueMenu MakePopupMenu(std::span<const MenuEntry> entries, const ShortcutNamer& shortcutText);
UniqueMenu MakeMenuBar(std::span<const MenuEntry> entries, const ShortcutNamer& shortcutText);

// The command of the table (submenus included) whose shortcut that is; null for none.
const MenuEntry* FindByShortcut(std::span<const MenuEntry> entries, std::uint16_t shortcut);

}  // namespace quilldeck::win

namespace quilldeck::win {

// A shortcut menu made from a table, whose entries' shortcuts also work as
// keys where it belongs.
class ShortcutMenu {
public:
    ShortcutMenu(std::span<const MenuEntry> entries, const ShortcutNamer& shortcutText)
        : entries_(entries), menu_(MakePopupMenu(entries, shortcutText)) {}

    void Enable(int id, bool enabled) const;
    // Opens the menu at a screen point; the command chosen, 0 for none.
    int Track(HWND owner, POINT at) const;
    // The entry whose shortcut a key press is: its command when it is
    // enabled, 0 when grayed; nothing when no entry has that shortcut.
    std::optional<int> CommandOfShortcut(std::uint16_t shortcut) const;

private:
    std::span<const MenuEntry> entries_;
    UniqueMenu menu_;
};

}  // namespace quilldeck::win
