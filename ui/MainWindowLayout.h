#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>

#include "slots/ShortcutText.h"
#include "win/Controls.h"

namespace quilldeck::ui {

inline constexpr const char* MainWindowCaption = "Quilldeck 1.01";
inline constexpr int MainClientWidth = 436;
inline constexpr int MainClientHeight = 264;
inline constexpr DWORD MainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

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

// The list's context menu: entry, caption, shortcut; 0 marks a separator.
struct PopupEntry {
    int id;
    const char* caption;
    TShortCut shortcut;
};

inline constexpr std::array<PopupEntry, 6> PopupMenu2Entries = {{
    {IdDefine1, "Define/Edit...", 116},
    {0, nullptr, 0},
    {IdUp1, "Move up", 16422},
    {IdDown1, "Move down", 16424},
    {0, nullptr, 0},
    {IdDelete2, "Delete...", 16430},
}};

}  // namespace quilldeck::ui
