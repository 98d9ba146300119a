#include "StyledPopupMenu.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "SeparatorRule.h"
#include "slots/SlotTable.h"
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
    const UINT chosen = Track(owner, at);
    if (chosen == 0) return;
    win::MenuItem& item = items_[chosen - 1];
    if (item.onClick) item.onClick(item);
}

TStyledPopupMenu::MenuHandle TStyledPopupMenu::Build() const {
    MenuHandle menu(::CreatePopupMenu());
    if (!menu) win::ThrowLastSystemError();
    // Plain text entries for now. Command identifiers are the entries'
    // positions + 1, since 0 means that nothing was chosen.
    for (std::size_t index = 0; index < items_.size(); ++index) {
        const win::MenuItem& item = items_[index];
        if (!item.visible) continue;
        const auto command = static_cast<UINT_PTR>(index + 1);
        BOOL added = FALSE;
        if (IsSeparator(item)) {
            added = ::AppendMenuA(menu.get(), MF_SEPARATOR, command, nullptr);
        } else {
            std::string text = item.caption;
            if (item.shortCut != 0 && ShortCutText) {
                const std::string keys = ShortCutText(item.shortCut);
                if (!keys.empty()) text += "\t" + keys;
            }
            const UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED);
            added = ::AppendMenuA(menu.get(), flags, command, text.c_str());
        }
        if (!added) win::ThrowLastSystemError();
        if (item.isDefault) ::SetMenuDefaultItem(menu.get(), static_cast<UINT>(command), FALSE);
    }
    return menu;
}

UINT TStyledPopupMenu::Track(HWND owner, POINT at) {
    const MenuHandle menu = Build();
    // The choice comes back as the result rather than as WM_COMMAND to the
    // owner, so the entry's handler runs after the menu has closed.
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(
        menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
    // A menu opened from a notification icon closes properly the next time
    // only when its owner gets a message after tracking.
    ::PostMessageA(owner, WM_NULL, 0, 0);
    return chosen;
}

namespace {

win::MenuItem Entry(std::string name, std::string caption, bool visible = true) {
    win::MenuItem item;
    item.name = std::move(name);
    item.caption = std::move(caption);
    item.visible = visible;
    return item;
}

}  // namespace

TStyledPopupMenu MakeTrayMenu() {
    std::vector<win::MenuItem> items;
    items.reserve(SlotCount + 3);
    for (int n = 1; n <= SlotCount; ++n) items.push_back(Entry("F" + std::to_string(n), "<Not define>", false));
    items.push_back(Entry("N5", "-"));
    items.push_back(Entry("OpenVarnholt1", "Restore"));
    items.back().isDefault = true;
    items.push_back(Entry("Exit3", "Exit"));
    return TStyledPopupMenu(std::move(items));
}

}  // namespace quilldeck
