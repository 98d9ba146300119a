#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "MenuStyler.h"
#include "slots/ShortcutText.h"
#include "win/Handle.h"
#include "win/MenuItem.h"

namespace quilldeck {

// A popup menu kept as a fixed list of entries. The system menu is built from
// the visible entries each time the menu opens, so the entries' fields may
// change freely in between; the list itself never grows or shrinks, and other
// code keeps references to its entries. The menu draws itself in the look of
// its styler MenuStyler1.
class TStyledPopupMenu {
public:
    explicit TStyledPopupMenu(std::vector<win::MenuItem> items);
    TStyledPopupMenu(const TStyledPopupMenu&) = delete;
    TStyledPopupMenu& operator=(const TStyledPopupMenu&) = delete;

    // Change the entries' fields, never the list's length.
    std::vector<win::MenuItem>& Items() noexcept { return items_; }
    // The entry of that name; std::invalid_argument when there is none.
    win::MenuItem& Item(std::string_view name);

    // Raised first at every opening, to set the entries' visibility.
    std::function<void()> OnPopup;
    // The text shown after a tab for an entry with a shortcut; no text while empty.
    std::function<std::string(TShortCut)> ShortCutText;
    // The look, read at every opening.
    TMenuStyler MenuStyler1;

    // Opens the menu with its top left corner at a screen point and returns
    // when it has closed; the chosen entry's onClick runs after that. The
    // owner, a window of this thread, gets the menu's messages; the menu draws
    // its entries itself, whatever the owner does with them. A menu whose
    // entries are all invisible does not open.
    void Popup(HWND owner, POINT at);

private:
    // Owner-drawn entries that keep their texts and states, on the background.
    win::UniqueMenu Build(HBRUSH background) const;
    // The entries as the painter draws them, by command identifier.
    std::vector<PaintedEntry> PaintedEntries() const;
    // The entry's index + 1 that the user chose, 0 for none.
    UINT Track(HWND owner, POINT at);

    std::vector<win::MenuItem> items_;
};

// The tray icon's menu: the twenty hidden carrier items F1..F20 of the hot
// keys, then N5 "-", OpenVarnholt1 "Restore" (the default entry) and Exit3
// "Exit". The main window gives the entries their handlers.
TStyledPopupMenu MakeTrayMenu();

}  // namespace quilldeck
