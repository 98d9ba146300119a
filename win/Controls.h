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
};

// Creates the controls in table order (the first lies lowest) with the given
// font; returns their handles in the same order. Throws on failure.
std::vector<HWND> CreateControls(HWND parent, std::span<const ControlLayout> layout, HFONT font);

}  // namespace quilldeck::win
