#include "Controls.h"

#include "Dpi.h"
#include "Handle.h"
#include "SystemError.h"
#include "WideText.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace quilldeck::win {

SIZE TextExtent(HWND window, HFONT font, const char* text) {
    const WindowDc dc(window);
    const SavedDc saved(dc.Get());
    ::SelectObject(dc.Get(), font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    ::GetTextExtentPoint32A(dc.Get(), text, static_cast<int>(std::char_traits<char>::length(text)), &size);
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

ControlSet::ControlSet(HWND parent, std::span<const ControlLayout> layout, HFONT font, UINT dpi, TableOrder order)
    : layout_(layout) {
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
        handles_.push_back(window);
    }
    Place(font, dpi);
}

HWND ControlSet::operator[](int id) const {
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        if (layout_[i].id == id) return handles_[i];
    }
    throw std::out_of_range("No control " + std::to_string(id));
}

void ControlSet::Place(HFONT font, UINT dpi) const {
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        const ControlLayout& control = layout_[i];
        ::SetWindowPos(handles_[i], nullptr, Scale(control.left, dpi), Scale(control.top, dpi),
                       Scale(control.width, dpi), Scale(control.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageA(handles_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (control.growToText) GrowToText(handles_[i], font, control.caption);
    }
}

}  // namespace quilldeck::win
