#include "Focus.h"

#include <commctrl.h>

namespace quilldeck::win {
namespace {

constexpr UINT_PTR TabKeysSubclassId = 3;

bool IsDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

LRESULT CALLBACK TabKeys(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_TAB && !IsDown(VK_CONTROL) &&
        !IsDown(VK_MENU)) {
        if (message == WM_KEYDOWN) {
            if (const HWND next = ::GetNextDlgTabItem(::GetParent(control), control, IsDown(VK_SHIFT))) {
                ::SetFocus(next);
            }
        }
        return 0;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void TakeTabKeys(HWND control) { ::SetWindowSubclass(control, &TabKeys, TabKeysSubclassId, 0); }

void FocusMemory::OnActivate(HWND window, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(window, focus)) focus_ = focus;
    } else if (focus_ != nullptr && ::IsWindow(focus_)) {
        ::SetFocus(focus_);
    }
}

}  // namespace quilldeck::win
