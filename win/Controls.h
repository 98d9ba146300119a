#pragma once

#include <windows.h>

#include <span>
#include <vector>

namespace quilldeck::win {

// One child control as a window's layout table describes it.
struct ControlLayout {
    int id;
    const char* className;
    const char* caption;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;
    // A label that grows to its text when the font draws it wider or taller
    // than the size given (another font standing in for the one asked for),
    // rather than wrapping or clipping it.
    bool growToText = false;
    // An edit that holds whatever the user types or pastes in UTF-16, also
    // characters the system code page lacks, so that its owner can tell the
    // user what it cannot keep rather than lose it unseen. (An 8-bit edit
    // turns such characters into the code page's default character as they
    // arrive.)
    bool wideText = false;
};

// How a table lists its controls: in tab order, which is the stacking order
// from the top, or in stacking order from the bottom.
enum class TableOrder { TabOrder, BottomFirst };

// The controls of a layout table, created as children of a window, placed at
// a DPI (the table's figures are the design at 96) with the given font, and
// found by their identifiers.
class ControlSet {
public:
    ControlSet() = default;
    // Throws on failure.
    ControlSet(HWND parent, std::span<const ControlLayout> layout, HFONT font, UINT dpi,
               TableOrder order = TableOrder::TabOrder);

    // The control of that identifier; std::out_of_range when the table has none.
    HWND operator[](int id) const;
    // Places the controls again, at another DPI and with the font for it.
    void Place(HFONT font, UINT dpi) const;

private:
    std::span<const ControlLayout> layout_;
    std::vector<HWND> handles_;  // in table order
};

// The size of a one-line text as the font draws it.
SIZE TextExtent(HWND window, HFONT font, const char* text);

// Makes a control (a label without a frame) as wide and as tall as the text
// in that font needs, where it is smaller.
void GrowToText(HWND control, HFONT font, const char* text);

bool IsChecked(HWND checkBox);
void SetChecked(HWND checkBox, bool checked);

}  // namespace quilldeck::win
