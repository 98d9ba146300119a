#pragma once

#include <windows.h>

#include "Handle.h"

namespace quilldeck::win {

// Every size in the layout tables is a design at 96 DPI (100 %). Windows
// take them scaled by their own DPI, and again when it changes.
inline constexpr UINT DesignDpi = 96;

// A design figure at a DPI, rounded as MulDiv rounds.
int Scale(int designValue, UINT dpi);

// The DPI a window is drawn at; the system's where the system cannot say.
UINT DpiOfWindow(HWND window);
// The DPI of the primary monitor, at which the process started.
UINT SystemDpi();

// AdjustWindowRectEx for a DPI (the frame and caption grow with it).
void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool hasMenu, DWORD exStyle, UINT dpi);
// The outer size of a window whose client area has a design size, at a DPI.
SIZE WindowSizeForClient(int designWidth, int designHeight, DWORD style, bool hasMenu, DWORD exStyle, UINT dpi);
// A rectangle of that size in the middle of an area.
RECT CentredIn(const RECT& area, SIZE size);
// Moves and sizes a window to a rectangle, the one the system suggests at a
// change of DPI, without activating it.
void MoveTo(HWND window, const RECT& rect);

// GetSystemMetrics for a DPI.
int SystemMetricForDpi(int index, UINT dpi);

// Asks for per-monitor awareness (version 2) for the process. The manifest
// asks for it already; this holds where a build's manifest does not, and a
// refusal (already set, or not offered) is harmless.
void RequestPerMonitorAwareness();

// Tahoma in the Thai character set, its character height a design figure.
UniqueFont MakeTahoma(int designHeight, int weight, UINT dpi);
// The font every window uses: Tahoma, 13 pixels at 96 DPI.
inline constexpr int CommonFontHeight = 13;
inline UniqueFont MakeCommonFont(UINT dpi) { return MakeTahoma(CommonFontHeight, FW_NORMAL, dpi); }

}  // namespace quilldeck::win
