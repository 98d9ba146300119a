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
#include "win/SystemError.h"

namespace quilldeck {

namespace {

using UniqueHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, win::FunctionDeleter<&::UnhookWindowsHookEx>>;

// One opening of a styled menu. While it lives, the owner's WM_MEASUREITEM and
// WM_DRAWITEM for the menu's entries go to the painter (the owner is
// subclassed), and the menu's window, caught by a hook of this thread as it is
// created, gets its border painted as well. The hook finds the opening
// through a property of the owner, which the menu's window names as its own.
class StyledTracking {
public:
    StyledTracking(HWND owner, HMENU menu, const MenuPainter& painter)
        : owner_(owner), menu_(menu), painter_(painter) {
        if (!::SetWindowSubclass(owner_, &OwnerProcedure, SubclassId, reinterpret_cast<DWORD_PTR>(this))) {
            win::ThrowLastSystemError();
        }
        // Without the hook the menu only keeps the system's border.
        if (::SetPropA(owner_, PropertyName, this)) {
            hook_.reset(::SetWindowsHookExA(WH_CBT, &WatchForMenuWindow, nullptr, ::GetCurrentThreadId()));
        }
    }
    ~StyledTracking() {
        hook_.reset();
        ::RemovePropA(owner_, PropertyName);
        if (menuWindow_ != nullptr) ::RemoveWindowSubclass(menuWindow_, &MenuWindowProcedure, SubclassId);
        ::RemoveWindowSubclass(owner_, &OwnerProcedure, SubclassId);
    }
    StyledTracking(const StyledTracking&) = delete;
    StyledTracking& operator=(const StyledTracking&) = delete;

private:
    static constexpr UINT_PTR SubclassId = 1;
    static constexpr const char* PropertyName = "QuilldeckStyledTracking";

    static StyledTracking& Of(DWORD_PTR data) { return *reinterpret_cast<StyledTracking*>(data); }

    // No exception may cross the system's code: on one the message goes on
    // to the window unanswered.
    static LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
        StyledTracking& self = Of(data);
        try {
            if (message == WM_MEASUREITEM) {
                auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
                if (item.CtlType == ODT_MENU && item.itemData == reinterpret_cast<ULONG_PTR>(self.menu_)) {
                    self.painter_.Measure(self.menu_, item);
                    return TRUE;
                }
            } else if (message == WM_DRAWITEM) {
                const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
                if (item.CtlType == ODT_MENU && reinterpret_cast<HMENU>(item.hwndItem) == self.menu_) {
                    self.painter_.Draw(self.menu_, item);
                    return TRUE;
                }
            }
        } catch (const std::exception&) {
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    }

    static LRESULT CALLBACK MenuWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR data) {
        StyledTracking& self = Of(data);
        switch (message) {
        case WM_NCPAINT:
        case WM_PAINT: {
            const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
            self.painter_.PaintFrame(window, self.menu_);
            return result;
        }
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, &MenuWindowProcedure, SubclassId);
            self.menuWindow_ = nullptr;
            break;
        default:
            break;
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    }

    // A menu window is created owned by the window that tracks the menu.
    static LRESULT CALLBACK WatchForMenuWindow(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            const auto window = reinterpret_cast<HWND>(wParam);
            const HWND owner = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->hwndParent;
            std::array<char, 16> name{};
            ::GetClassNameA(window, name.data(), static_cast<int>(name.size()));
            const auto data = reinterpret_cast<DWORD_PTR>(owner ? ::GetPropA(owner, PropertyName) : nullptr);
            if (data != 0 && std::string_view(name.data()) == "#32768") {
                StyledTracking& self = Of(data);
                if (self.menuWindow_ == nullptr &&
                    ::SetWindowSubclass(window, &MenuWindowProcedure, SubclassId, data)) {
                    self.menuWindow_ = window;
                }
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HWND owner_;
    HMENU menu_;
    const MenuPainter& painter_;
    HWND menuWindow_ = nullptr;
    UniqueHook hook_;
};

}  // namespace

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

TStyledPopupMenu::MenuHandle TStyledPopupMenu::Build(HBRUSH background) const {
    MenuHandle menu(::CreatePopupMenu());
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

UINT TStyledPopupMenu::Track(HWND owner, POINT at) {
    // Drawn at the owner's DPI as it is when the menu opens.
    const MenuPainter painter(MenuStyler1, win::DpiOfWindow(owner));
    const MenuHandle menu = Build(painter.MenuBrush());
    UINT chosen = 0;
    {
        const StyledTracking styling(owner, menu.get(), painter);
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
