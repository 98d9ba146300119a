#include "Controls.h"

#include "SystemError.h"

namespace quilldeck::win {

std::vector<HWND> CreateControls(HWND parent, std::span<const ControlLayout> layout, HFONT font,
                                 TableOrder order) {
    std::vector<HWND> controls;
    for (const ControlLayout& control : layout) {
        HWND window = ::CreateWindowExA(control.exStyle, control.className, control.caption, control.style,
                                        control.left, control.top, control.width, control.height, parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                        ::GetModuleHandleA(nullptr), nullptr);
        if (window == nullptr) ThrowLastSystemError();
        ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // A new child goes beneath its siblings, so creation order is tab order.
        if (order == TableOrder::BottomFirst) {
            ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        controls.push_back(window);
    }
    return controls;
}

}  // namespace quilldeck::win
