#include "Controls.h"

#include "SystemError.h"

#include <string>

namespace quilldeck::win {
namespace {

int TextWidth(HWND window, HFONT font, const char* text) {
    const HDC dc = ::GetDC(window);
    const HGDIOBJ previous = ::SelectObject(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text, static_cast<int>(std::char_traits<char>::length(text)), &size);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);
    return size.cx;
}

}  // namespace

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
        if (control.widenToText) {
            const int width = TextWidth(window, font, control.caption);
            if (width > control.width) {
                ::SetWindowPos(window, nullptr, 0, 0, width, control.height,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        // A new child goes beneath its siblings, so creation order is tab order.
        if (order == TableOrder::BottomFirst) {
            ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        controls.push_back(window);
    }
    return controls;
}

}  // namespace quilldeck::win
