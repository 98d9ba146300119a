#pragma once

#include <windows.h>

#include <span>

#include "Controls.h"
#include "Focus.h"
#include "Handle.h"
#include "Window.h"

namespace quilldeck::win {

// How a window is drawn up: its client area at 96 DPI and the styles its
// frame is measured with.
struct WindowDesign {
    int clientWidth;
    int clientHeight;
    DWORD style;
    DWORD exStyle;
    bool hasMenu;
};

// A window laid out from its design and a table of controls at its DPI: its
// size, its controls and their font follow the DPI when it changes, and the
// control that had the focus gets it back when the window is activated again.
class ScaledWindow : protected Window {
public:
    UINT Dpi() const noexcept { return dpi_; }
    HFONT Font() const noexcept { return font_.get(); }

protected:
    ScaledWindow(const WindowDesign& design, UINT dpi);

    // The window's outer size at a DPI.
    SIZE OuterSizeAt(UINT dpi) const;
    // Creates the table's controls with the common font at the window's DPI.
    const ControlSet& CreateControls(std::span<const ControlLayout> layout, TableOrder order = TableOrder::TabOrder);
    // Lays the window out at another DPI: on the rectangle the system
    // suggests, or, with none, at its size for that DPI where it stands.
    void Rescale(UINT dpi, const RECT* suggested);
    // Called after the window and its controls were laid out at a new DPI,
    // for what else depends on it.
    virtual void DpiChanged() {}
    // Answers WM_DPICHANGED and WM_ACTIVATE; the rest goes on to Window.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    WindowDesign design_;
    UINT dpi_;
    UniqueFont font_;
    ControlSet controls_;
    FocusMemory focusMemory_;
};

}  // namespace quilldeck::win
