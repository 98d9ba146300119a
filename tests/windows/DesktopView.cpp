#include "DesktopView.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "InputDriver.h"
#include "TestSupport.h"

namespace quilldeck::testing {
namespace {

std::string XWindow(HWND window) { return std::to_string(XWindowOf(window)); }

}  // namespace

unsigned long DesktopView::ActiveWindow() const {
    return std::strtoul(UnixOutput(XdotoolCommand("getactivewindow")).c_str(), nullptr, 10);
}

bool DesktopView::IsViewable(HWND window) const {
    return RunUnix("xwininfo -id " + XWindow(window) + " | grep -q IsViewable") == 0;
}

std::optional<POINT> DesktopView::Origin(HWND window) const {
    const std::string text =
        UnixOutput("xwininfo -id " + XWindow(window) + " | sed -n 's/.*Absolute upper-left [XY]: *//p'");
    POINT at{};
    if (std::sscanf(text.c_str(), "%ld %ld", &at.x, &at.y) != 2) return std::nullopt;
    return at;
}

std::optional<ManagedFrame> DesktopView::FrameOf(HWND window) const {
    const std::string x = XWindow(window);
    std::optional<ManagedFrame> frame;
    WaitFor(
        [&] {
            const std::string text = UnixOutput(
                "{ xwininfo -id " + x + " | grep -E 'Absolute|Width|Height' | tr -dc '0-9\\n' | tr '\\n' ' '; "
                "xprop -id " + x + " _NET_FRAME_EXTENTS | tr -dc '0-9,' | tr ',' ' '; }");
            int left = 0, top = 0, width = 0, height = 0, frameLeft = 0, frameRight = 0, frameTop = 0,
                frameBottom = 0;
            if (std::sscanf(text.c_str(), "%d %d %d %d %d %d %d %d", &left, &top, &width, &height, &frameLeft,
                            &frameRight, &frameTop, &frameBottom) != 8) {
                return false;
            }
            frame = ManagedFrame{
                {left - frameLeft, top - frameTop, left + width + frameRight, top + height + frameBottom}, frameTop};
            return frameTop > 0;
        },
        std::chrono::seconds(3));
    return frame;
}

long DesktopView::Decorations(HWND window) const {
    const std::string hints = UnixOutput("xprop -id " + XWindow(window) + " _MOTIF_WM_HINTS");
    std::size_t at = hints.find('=');
    for (int field = 0; field < 2 && at != std::string::npos; ++field) at = hints.find(',', at + 1);
    return at == std::string::npos ? -1 : std::strtol(hints.c_str() + at + 1, nullptr, 16);
}

}  // namespace quilldeck::testing
