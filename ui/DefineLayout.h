#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>

#include "ControlStyles.h"
#include "win/Controls.h"

namespace quilldeck::ui {

inline constexpr const char* DefineCaption = "Define/Edit";
inline constexpr int DefineClientWidth = 438;
inline constexpr int DefineClientHeight = 275;
// What the user may type or paste into the paste text; a longer stored text
// is still shown whole.
inline constexpr int Memo1InputLimit = 255;

// Control identifiers; tests find the controls through them. OK and Cancel
// are not IDOK and IDCANCEL, which the dialog manager sends for Enter and
// Escape.
enum DefineId : int {
    IdInp_1 = 101,
    IdInp_2 = 102,
    IdMemo1 = 103,
    IdCheckBox1 = 104,
    IdButton1 = 105,
    IdButton3 = 106,
    IdLabel1 = 111,
    IdLabel3 = 112,
    IdLabel2 = 113,
};

// In tab order; the labels, which take no focus, last.
inline const std::array<win::ControlLayout, 9> DefineControls = {{
    // The two texts take any character, so that OK can name what the
    // settings file could not keep.
    {IdInp_1, "EDIT", "", Tab | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 12, 28, 253, 24, false, true},
    {IdInp_2, HOTKEY_CLASSA, "", Tab, WS_EX_CLIENTEDGE, 276, 28, 153, 24},
    // Lines do not wrap; Enter breaks a line.
    {IdMemo1, "EDIT", "",
     Tab | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
     WS_EX_CLIENTEDGE, 12, 80, 417, 149, false, true},
    {IdCheckBox1, "BUTTON", "Active", Tab | BS_AUTOCHECKBOX, 0, 16, 244, 65, 17},
    {IdButton1, "BUTTON", "OK", Tab | BS_PUSHBUTTON, 0, 272, 240, 75, 25},
    {IdButton3, "BUTTON", "Cancel", Tab | BS_PUSHBUTTON, 0, 352, 240, 75, 25},
    {IdLabel1, "STATIC", "Description:", Label, 0, 12, 8, 68, 16, true},
    {IdLabel3, "STATIC", "Shortcut Key:", Label, 0, 276, 8, 77, 16, true},
    {IdLabel2, "STATIC", "Paste Text:", Label, 0, 12, 60, 65, 16, true},
}};

}  // namespace quilldeck::ui
