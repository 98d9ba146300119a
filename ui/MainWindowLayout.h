#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>

#include "slots/ShortcutText.h"
#include "win/Controls.h"
#include "win/MenuTable.h"
#include "win/ScaledWindow.h"

namespace quilldeck::ui {

inline constexpr const char* MainWindowCaption = "Quilldeck 1.01";
inline constexpr int MainClientWidth = 436;
inline constexpr int MainClientHeight = 264;
inline constexpr DWORD MainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Created layered (fully transparent until its first activation), with a menu bar.
inline constexpr win::WindowDesign MainWindowDesign{MainClientWidth, MainClientHeight, MainWindowStyle, WS_EX_LAYERED,
                                                    true};

// Control and menu command identifiers; tests drive the program through them.
enum MainWindowId : int {
    IdButtonDummy = 100,
    IdListView1 = 101,
    IdStatusBar1 = 102,
    IdOptions1 = 201,
    IdExit2 = 202,
    IdHowtouse1 = 203,
    IdAbout2 = 204,
    IdDefine1 = 301,
    IdUp1 = 302,
    IdDown1 = 303,
    IdDelete2 = 304,
};

// In stacking order, bottom first: the focus holder lies beneath the list.
inline const std::array<win::ControlLayout, 3> MainWindowControls = {{
    {IdButtonDummy, "BUTTON", "Button_Dummy", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_PUSHBUTTON, 0,
     132, 88, 33, 25},
    {IdListView1, WC_LISTVIEWA, "",
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER,
     WS_EX_CLIENTEDGE, 0, 0, 436, 245},
    {IdStatusBar1, STATUSCLASSNAMEA, "",
     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, 0, 245,
     436, 19},
}};

struct ListColumn {
    const char* header;
    int width;
    bool fixed;
};

inline constexpr std::array<ListColumn, 3> ListView1Columns = {{
    {"#", 25, true},
    {"Description", 250, true},
    {"Shortcut Key", 100, false},
}};

// Modifier flags of a menu entry's shortcut, written with its key: Ctrl | VK_UP.
inline constexpr TShortCut Ctrl = CtrlBit;

inline constexpr std::array<win::MenuEntry, 3> FileMenu = {{
    {.id = IdOptions1, .caption = "&Options..."},
    win::MenuSeparator,
    {.id = IdExit2, .caption = "&Exit"},
}};

inline constexpr std::array<win::MenuEntry, 3> HelpMenu = {{
    {.id = IdHowtouse1, .caption = "&How to use"},
    win::MenuSeparator,
    {.id = IdAbout2, .caption = "&About..."},
}};

inline constexpr std::array<win::MenuEntry, 2> MainMenu1Entries = {{
    {.caption = "&File", .submenu = FileMenu},
    {.caption = "&Help", .submenu = HelpMenu},
}};

// The list's shortcut menu; its shortcuts work in the list as keys.
inline constexpr std::array<win::MenuEntry, 6> PopupMenu2Entries = {{
    {.id = IdDefine1, .caption = "Define/Edit...", .shortcut = VK_F5, .isDefault = true},
    win::MenuSeparator,
    {.id = IdUp1, .caption = "Move up", .shortcut = Ctrl | VK_UP},
    {.id = IdDown1, .caption = "Move down", .shortcut = Ctrl | VK_DOWN},
    win::MenuSeparator,
    {.id = IdDelete2, .caption = "Delete...", .shortcut = Ctrl | VK_DELETE},
}};

}  // namespace quilldeck::ui
