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
    // A label that grows to its text when the font draws it wider than the
    // width given (another font standing in for the one asked for), rather
    // than wrapping or clipping it.
    bool widenToText = false;
};

// How a table lists its controls: in tab order, which is the stacking order
// from the top, or in stacking order from the bottom.
enum class TableOrder { TabOrder, BottomFirst };

// Creates the controls of a table with the given font and returns their
// handles in table order. Throws on failure.
std::vector<HWND> CreateControls(HWND parent, std::span<const ControlLayout> layout, HFONT font,
                                 TableOrder order = TableOrder::TabOrder);

}  // namespace quilldeck::win
