#include "Controls.h"

#include "Dpi.h"
#include "SystemError.h"
#include "WideText.h"

#include <algorithm>
#include <string>

namespace quilldeck::win {

SIZE TextExtent(HWND window, HFONT font, const char* text) {
    const HDC dc = ::GetDC(window);
    const HGDIOBJ previous = ::SelectObject(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text, static_cast<int>(std::char_traits<char>::length(text)), &size);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);
    return size;
}

void GrowToText(HWND control, HFONT font, const char* text) {
    RECT rect{};
    ::GetClientRect(control, &rect);
    const SIZE size = TextExtent(control, font, text);
    if (size.cx > rect.right || size.cy > rect.bottom) {
        ::SetWindowPos(control, nullptr, 0, 0, std::max<int>(size.cx, rect.right), std::max<int>(size.cy, rect.bottom),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool IsChecked(HWND checkBox) { return ::SendMessageA(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND checkBox, bool checked) {
    ::SendMessageA(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::vector<HWND> CreateControls(HWND parent, std::span<const ControlLayout> layout, HFONT font, UINT dpi,
                                 TableOrder order) {
    std::vector<HWND> controls;
    for (const ControlLayout& control : layout) {
        const int left = Scale(control.left, dpi), top = Scale(control.top, dpi);
        const int width = Scale(control.width, dpi), height = Scale(control.height, dpi);
        const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id));
        HWND window = control.wideText
                          ? ::CreateWindowExW(control.exStyle, WideFromSystemCodePage(control.className).c_str(),
                                              WideFromSystemCodePage(control.caption).c_str(), control.style, left, top, width,
                                              height, parent, id, ::GetModuleHandleW(nullptr), nullptr)
                          : ::CreateWindowExA(control.exStyle, control.className, control.caption, control.style,
                                              left, top, width, height, parent, id, ::GetModuleHandleA(nullptr),
                                              nullptr);
        if (window == nullptr) ThrowLastSystemError();
        // A new child goes beneath its siblings, so creation order is tab order.
        if (order == TableOrder::BottomFirst) {
            ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        controls.push_back(window);
    }
    PlaceControls(controls, layout, font, dpi);
    return controls;
}

void PlaceControls(std::span<const HWND> controls, std::span<const ControlLayout> layout, HFONT font, UINT dpi) {
    for (std::size_t i = 0; i < controls.size() && i < layout.size(); ++i) {
        const ControlLayout& control = layout[i];
        ::SetWindowPos(controls[i], nullptr, Scale(control.left, dpi), Scale(control.top, dpi),
                       Scale(control.width, dpi), Scale(control.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageA(controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (control.growToText) GrowToText(controls[i], font, control.caption);
    }
}

}  // namespace quilldeck::win
