#include "MenuTable.h"

#include "SystemError.h"

namespace quilldeck::win {
namespace {

void Append(HMENU menu, const MenuEntry& entry, const ShortcutNamer& shortcutText) {
    BOOL appended = FALSE;
    if (entry.IsSeparator()) {
        appended = ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!entry.submenu.empty()) {
        UniqueMenu submenu = MakePopupMenu(entry.submenu, shortcutText);
        appended = ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()), entry.caption);
        // The menu holds it now, and destroys it with itself.
        if (appended) submenu.release();
    } else {
        std::string caption = entry.caption;
        if (entry.shortcut != 0 && shortcutText) caption += "\t" + shortcutText(entry.shortcut);
        appended = ::AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(entry.id), caption.c_str());
        if (appended && entry.isDefault) ::SetMenuDefaultItem(menu, static_cast<UINT>(entry.id), FALSE);
    }
    if (!appended) ThrowLastSystemError();
}

UniqueMenu Fill(HMENU made, std::span<const MenuEntry> entries, const ShortcutNamer& shortcutText) {
    UniqueMenu menu(made);
    if (!menu) ThrowLastSystemError();
    for (const MenuEntry& entry : entries) Append(menu.get(), entry, shortcutText);
    return menu;
}

}  // namespace

UniqueMenu MakePopupMenu(std::span<const MenuEntry> entries, const ShortcutNamer& shortcutText) {
    return Fill(::CreatePopupMenu(), entries, shortcutText);
}

UniqueMenu MakeMenuBar(std::span<const MenuEntry> entries, const ShortcutNamer& shortcutText) {
    return Fill(::CreateMenu(), entries, shortcutText);
}

const MenuEntry* FindByShortcut(std::span<const MenuEntry> entries, std::uint16_t shortcut) {
    for (const MenuEntry& entry : entries) {
        if (!entry.submenu.empty()) {
            if (const MenuEntry* found = FindByShortcut(entry.submenu, shortcut)) return found;
        } else if (entry.id != 0 && entry.shortcut != 0 && entry.shortcut == shortcut) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace quilldeck::win

namespace quilldeck::win {

void ShortcutMenu::Enable(int id, bool enabled) const {
    ::EnableMenuItem(menu_.get(), static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

int ShortcutMenu::Track(HWND owner, POINT at) const {
    // The choice comes back as the result, not as WM_COMMAND to the owner.
    return ::TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner,
                            nullptr);
}

std::optional<int> ShortcutMenu::CommandOfShortcut(std::uint16_t shortcut) const {
    const MenuEntry* entry = FindByShortcut(entries_, shortcut);
    if (entry == nullptr) return std::nullopt;
    const UINT state = ::GetMenuState(menu_.get(), static_cast<UINT>(entry->id), MF_BYCOMMAND);
    return (state & MF_GRAYED) != 0 ? 0 : entry->id;
}

}  // namespace quilldeck::win
