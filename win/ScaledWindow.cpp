#include "ScaledWindow.h"

#include <utility>

#include "Dpi.h"

namespace quilldeck::win {

ScaledWindow::ScaledWindow(const WindowDesign& design, UINT dpi)
    : design_(design), dpi_(dpi), font_(MakeCommonFont(dpi)) {}

SIZE ScaledWindow::OuterSizeAt(UINT dpi) const {
    return WindowSizeForClient(design_.clientWidth, design_.clientHeight, design_.style, design_.hasMenu,
                               design_.exStyle, dpi);
}

const ControlSet& ScaledWindow::CreateControls(std::span<const ControlLayout> layout, TableOrder order) {
    controls_ = ControlSet(Handle(), layout, font_.get(), dpi_, order);
    return controls_;
}

void ScaledWindow::Rescale(UINT dpi, const RECT* suggested) {
    UniqueFont font = MakeCommonFont(dpi);
    dpi_ = dpi;
    if (suggested != nullptr) {
        MoveTo(Handle(), *suggested);
    } else {
        const SIZE size = OuterSizeAt(dpi);
        ::SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    controls_.Place(font.get(), dpi);
    // The controls hold the new font before the old one goes.
    font_ = std::move(font);
    DpiChanged();
}

LRESULT ScaledWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DPICHANGED:
            Rescale(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ACTIVATE:
            focusMemory_.OnActivate(Handle(), wParam);
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace quilldeck::win
