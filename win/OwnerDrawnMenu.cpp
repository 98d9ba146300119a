#include "OwnerDrawnMenu.h"

#include <commctrl.h>

#include <array>
#include <exception>
#include <string_view>

#include "SystemError.h"

namespace quilldeck::win {
namespace {

constexpr UINT_PTR SubclassId = 1;
// The owner's property through which the hook finds the opening; the menu's
// window names the owner as its own.
constexpr const char* PropertyName = "QuilldeckOwnerDrawnMenu";

}  // namespace

OwnerDrawnMenuScope::OwnerDrawnMenuScope(HWND owner, HMENU menu, const MenuArtist& artist)
    : owner_(owner), menu_(menu), artist_(artist) {
    if (!::SetWindowSubclass(owner_, &OwnerProcedure, SubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        ThrowLastSystemError();
    }
    // Without the hook the menu only keeps the system's border.
    if (::SetPropA(owner_, PropertyName, this)) {
        hook_.reset(::SetWindowsHookExA(WH_CBT, &WatchForMenuWindow, nullptr, ::GetCurrentThreadId()));
    }
}

OwnerDrawnMenuScope::~OwnerDrawnMenuScope() {
    hook_.reset();
    ::RemovePropA(owner_, PropertyName);
    if (menuWindow_ != nullptr) ::RemoveWindowSubclass(menuWindow_, &MenuWindowProcedure, SubclassId);
    ::RemoveWindowSubclass(owner_, &OwnerProcedure, SubclassId);
}

// No exception may cross the system's code: on one the message goes on to
// the window unanswered.
LRESULT CALLBACK OwnerDrawnMenuScope::OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                     UINT_PTR, DWORD_PTR data) {
    const auto& self = *reinterpret_cast<OwnerDrawnMenuScope*>(data);
    try {
        if (message == WM_MEASUREITEM) {
            auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (item.CtlType == ODT_MENU && item.itemData == reinterpret_cast<ULONG_PTR>(self.menu_)) {
                self.artist_.Measure(item.itemID, item);
                return TRUE;
            }
        } else if (message == WM_DRAWITEM) {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlType == ODT_MENU && reinterpret_cast<HMENU>(item.hwndItem) == self.menu_) {
                self.artist_.Draw(item.itemID, item);
                return TRUE;
            }
        }
    } catch (const std::exception&) {
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK OwnerDrawnMenuScope::MenuWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                          UINT_PTR, DWORD_PTR data) {
    auto& self = *reinterpret_cast<OwnerDrawnMenuScope*>(data);
    switch (message) {
        case WM_NCPAINT:
        case WM_PAINT: {
            const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
            try {
                self.artist_.PaintFrame(window, self.menu_);
            } catch (const std::exception&) {
            }
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
LRESULT CALLBACK OwnerDrawnMenuScope::WatchForMenuWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const auto window = reinterpret_cast<HWND>(wParam);
        const HWND owner = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->hwndParent;
        std::array<char, 16> name{};
        ::GetClassNameA(window, name.data(), static_cast<int>(name.size()));
        const auto data = reinterpret_cast<DWORD_PTR>(owner ? ::GetPropA(owner, PropertyName) : nullptr);
        if (data != 0 && std::string_view(name.data()) == "#32768") {
            auto& self = *reinterpret_cast<OwnerDrawnMenuScope*>(data);
            if (self.menuWindow_ == nullptr && ::SetWindowSubclass(window, &MenuWindowProcedure, SubclassId, data)) {
                self.menuWindow_ = window;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace quilldeck::win
