#pragma once

#include <windows.h>

#include <array>

#include "ControlStyles.h"
#include "win/Controls.h"

namespace quilldeck::ui::about {

inline constexpr const char* Caption = "About";
inline constexpr int ClientWidth = 265;
inline constexpr int ClientHeight = 103;

inline constexpr int IconSize = 32;
// The title's font: Tahoma, bold, 16 pixels high; the version's: 11 pixels.
inline constexpr int TitleHeight = 16;
inline constexpr int VersionHeight = 11;
// The version stays right-aligned to this edge whatever its width.
inline constexpr int VersionRightEdge = 258;
inline constexpr int VersionTop = 80;
// What the version label holds until the box is shown.
inline constexpr const char* VersionPlaceholder = "0.0.0";
inline constexpr const char* Title = "Quilldeck 1.0";

// Control identifiers; tests find the controls through them.
enum Id : int {
    IdButton1 = 101,
    IdImage1 = 111,
    IdLabel1 = 112,
    IdLabel2 = 113,
    IdLabel4 = 114,
};

// OK first: it is the only control that takes the focus.
inline const std::array<win::ControlLayout, 5> Controls = {{
    {IdButton1, "BUTTON", "OK", Tab | BS_PUSHBUTTON, 0, 95, 68, 75, 25},
    {IdImage1, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, 0, 20, 18, IconSize, IconSize},
    {IdLabel1, "STATIC", Title, Label, 0, 68, 16, 113, 19},
    {IdLabel2, "STATIC", "Made by Kestrovar", Label, 0, 68, 36, 164, 16, true},
    {IdLabel4, "STATIC", VersionPlaceholder, WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_NOPREFIX, 0,
     VersionRightEdge - 26, VersionTop, 26, 13},
}};

}  // namespace quilldeck::ui::about
