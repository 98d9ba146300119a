#pragma once

#include <array>

#include "ProgramFixture.h"
#include "ui/AboutLayout.h"
#include "ui/DefineLayout.h"
#include "ui/OptionsLayout.h"

namespace quilldeck::testing {

// The dialogs' controls as they are designed, at 96 DPI, written out here
// rather than read from the program's tables.

inline const std::array<ExpectedControl, 9> DefineDesign = {{
    {ui::IdInp_1, "Edit", "", {12, 28, 265, 52}},
    {ui::IdInp_2, "msctls_hotkey32", nullptr, {276, 28, 429, 52}},
    {ui::IdMemo1, "Edit", "", {12, 80, 429, 229}},
    {ui::IdCheckBox1, "Button", "Active", {16, 244, 81, 261}},
    {ui::IdButton1, "Button", "OK", {272, 240, 347, 265}},
    {ui::IdButton3, "Button", "Cancel", {352, 240, 427, 265}},
    {ui::IdLabel1, "Static", "Description:", {12, 8, 80, 24}},
    {ui::IdLabel3, "Static", "Shortcut Key:", {276, 8, 353, 24}},
    {ui::IdLabel2, "Static", "Paste Text:", {12, 60, 77, 76}},
}};

inline const std::array<ExpectedControl, 4> OptionsDesign = {{
    {ui::options::IdCheckBox1, "Button", "Run on System Startup", {16, 16, 189, 33}},
    {ui::options::IdCheckBox2, "Button", "Minimize to tray on Startup", {16, 44, 213, 61}},
    {ui::options::IdButton1, "Button", "OK", {80, 80, 155, 105}},
    {ui::options::IdButton3, "Button", "Cancel", {160, 80, 235, 105}},
}};

// The version label is sized to its text; its right edge and top are below.
inline const std::array<ExpectedControl, 4> AboutDesign = {{
    {ui::about::IdButton1, "Button", "OK", {95, 68, 170, 93}},
    {ui::about::IdImage1, "Static", nullptr, {20, 18, 52, 50}},
    {ui::about::IdLabel1, "Static", "Quilldeck 1.0", {68, 16, 181, 35}},
    {ui::about::IdLabel2, "Static", "Made by Kestrovar", {68, 36, 232, 52}},
}};
inline constexpr int AboutVersionRight = 258;
inline constexpr int AboutVersionTop = 80;

}  // namespace quilldeck::testing
