#pragma once

#include <windows.h>

#include <array>

#include "ControlStyles.h"
#include "win/Controls.h"

namespace quilldeck::ui::options {

inline constexpr const char* Caption = "Options";
inline constexpr int ClientWidth = 245;
inline constexpr int ClientHeight = 115;

// Control identifiers; tests find the controls through them.
enum Id : int {
    IdCheckBox1 = 101,
    IdCheckBox2 = 102,
    IdButton1 = 103,
    IdButton3 = 104,
};

// In tab order.
inline const std::array<win::ControlLayout, 4> Controls = {{
    {IdCheckBox1, "BUTTON", "Run on System Startup", Tab | BS_AUTOCHECKBOX, 0, 16, 16, 173, 17},
    {IdCheckBox2, "BUTTON", "Minimize to tray on Startup", Tab | BS_AUTOCHECKBOX, 0, 16, 44, 197, 17},
    {IdButton1, "BUTTON", "OK", Tab | BS_PUSHBUTTON, 0, 80, 80, 75, 25},
    {IdButton3, "BUTTON", "Cancel", Tab | BS_PUSHBUTTON, 0, 160, 80, 75, 25},
}};

}  // namespace quilldeck::ui::options
