#pragma once

#include <windows.h>

#include <optional>

namespace quilldeck::testing {

// A top-level window as the window manager frames it, in screen pixels: the
// whole frame and the height of its title bar.
struct ManagedFrame {
    RECT outer;
    int titleBarHeight;
};

// The desktop as the X server and the window manager see it, read from
// outside: which window is active, whether a window is mapped, where it is,
// the frame it was given and the decorations it asked for. Wine learns of
// these a moment after the X server, so tests compare the two.
class DesktopView {
public:
    // The X window the window manager has made active.
    unsigned long ActiveWindow() const;
    bool IsViewable(HWND window) const;
    // The top-left corner of the window's X window on the screen.
    std::optional<POINT> Origin(HWND window) const;
    // A window that has just been shown gets its frame a moment later: this
    // waits for a title bar, and gives what there is, or nothing when the
    // window is not managed.
    std::optional<ManagedFrame> FrameOf(HWND window) const;
    // The decorations a window asks the window manager for: the third field
    // of its _MOTIF_WM_HINTS, or -1 when it has none.
    long Decorations(HWND window) const;
};

}  // namespace quilldeck::testing
