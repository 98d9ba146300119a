#include "StyledPopupMenu.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

#include "SeparatorRule.h"
#include "slots/SlotTable.h"
#include "win/Dpi.h"
#include "win/MenuTable.h"
#include "win/OwnerDrawnMenu.h"
#include "win/SystemError.h"

namespace quilldeck {

TStyledPopupMenu::TStyledPopupMenu(std::vector<win::MenuItem> items) : items_(std::move(items)) {}

win::MenuItem& TStyledPopupMenu::Item(std::string_view name) {
    for (win::MenuItem& item : items_) {
        if (item.name == name) return item;
    }
    throw std::invalid_argument("No menu item " + std::string(name));
}

void TStyledPopupMenu::Popup(HWND owner, POINT at) {
    if (OnPopup) OnPopup();
    ApplySeparatorRule(items_);
    // Nothing to offer: no empty menu either.
    if (std::none_of(items_.begin(), items_.end(), [](const win::MenuItem& item) { return item.visible; })) return;
    const UINT chosen = Track(owner, at);
    if (chosen == 0) return;
    win::MenuItem& item = items_[chosen - 1];
    if (item.onClick) item.onClick(item);
}

win::UniqueMenu TStyledPopupMenu::Build(HBRUSH background) const {
    win::UniqueMenu menu(::CreatePopupMenu());
    if (!menu) win::ThrowLastSystemError();
    MENUINFO look{};
    look.cbSize = sizeof(look);
    look.fMask = MIM_BACKGROUND;
    look.hbrBack = background;
    ::SetMenuInfo(menu.get(), &look);
    // Command identifiers are the entries' positions + 1, since 0 means that
    // nothing was chosen. The entries are owner-drawn but keep their texts and
    // states, so they read as plain entries to anyone who asks the menu; the
    // item data marks them as this menu's when they are measured.
    UINT position = 0;
    for (std::size_t index = 0; index < items_.size(); ++index) {
        const win::MenuItem& item = items_[index];
        if (!item.visible) continue;
        const auto command = static_cast<UINT>(index + 1);
        MENUITEMINFOA entry{};
        entry.cbSize = sizeof(entry);
        entry.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_DATA;
        entry.fType = MFT_OWNERDRAW;
        entry.wID = command;
        entry.dwItemData = reinterpret_cast<ULONG_PTR>(menu.get());
        std::string text = item.caption;
        if (IsSeparator(item)) {
            entry.fType |= MFT_SEPARATOR;
        } else {
            if (item.shortCut != 0 && ShortCutText) {
                const std::string keys = ShortCutText(item.shortCut);
                if (!keys.empty()) text += "\t" + keys;
            }
            entry.fMask |= MIIM_STRING;
            entry.dwTypeData = text.data();
            entry.fState = item.enabled ? MFS_ENABLED : MFS_GRAYED;
        }
        if (!::InsertMenuItemA(menu.get(), position++, TRUE, &entry)) win::ThrowLastSystemError();
        if (item.isDefault) ::SetMenuDefaultItem(menu.get(), command, FALSE);
    }
    return menu;
}

std::vector<PaintedEntry> TStyledPopupMenu::PaintedEntries() const {
    std::vector<PaintedEntry> entries;
    entries.reserve(items_.size());
    for (const win::MenuItem& item : items_) {
        PaintedEntry& entry = entries.emplace_back();
        entry.separator = IsSeparator(item);
        entry.isDefault = item.isDefault;
        if (entry.separator) continue;
        entry.caption = item.caption;
        if (item.shortCut != 0 && ShortCutText) entry.shortcut = ShortCutText(item.shortCut);
    }
    return entries;
}

UINT TStyledPopupMenu::Track(HWND owner, POINT at) {
    // Drawn at the owner's DPI as it is when the menu opens.
    const MenuPainter painter(MenuStyler1, win::DpiOfWindow(owner), PaintedEntries());
    const win::UniqueMenu menu = Build(painter.MenuBrush());
    UINT chosen = 0;
    {
        const win::OwnerDrawnMenuScope styling(owner, menu.get(), painter);
        // The choice comes back as the result rather than as WM_COMMAND to the
        // owner, so the entry's handler runs after the menu has closed.
        chosen = static_cast<UINT>(::TrackPopupMenu(
            menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
    }
    // A menu opened from a notification icon closes properly the next time
    // only when its owner gets a message after tracking.
    ::PostMessageA(owner, WM_NULL, 0, 0);
    return chosen;
}

namespace {

// What follows the twenty carriers.
constexpr std::array<win::MenuEntry, 3> TrayMenuCommands = {{
    {.caption = "-", .name = "N5"},
    {.caption = "Restore", .isDefault = true, .name = "OpenVarnholt1"},
    {.caption = "Exit", .name = "Exit3"},
}};

win::MenuItem ItemOf(const win::MenuEntry& entry) {
    win::MenuItem item;
    item.name = entry.name;
    item.caption = entry.caption;
    item.shortCut = entry.shortcut;
    item.isDefault = entry.isDefault;
    return item;
}

}  // namespace

TStyledPopupMenu MakeTrayMenu() {
    std::vector<win::MenuItem> items;
    items.reserve(SlotCount + TrayMenuCommands.size());
    // The hot keys' carriers: hidden until a slot's hot key is bound.
    for (int n = 1; n <= SlotCount; ++n) {
        const std::string name = "F" + std::to_string(n);
        win::MenuItem& carrier = items.emplace_back(ItemOf({.caption = "<Not define>", .name = name.c_str()}));
        carrier.visible = false;
    }
    for (const win::MenuEntry& entry : TrayMenuCommands) items.push_back(ItemOf(entry));
    return TStyledPopupMenu(std::move(items));
}

}  // namespace quilldeck
