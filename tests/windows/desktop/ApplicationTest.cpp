#include <windows.h>

#include <cstdlib>
#include <string>

#include "DesktopFixture.h"
#include "win/Application.h"

namespace quilldeck {
namespace {

using namespace testing;

// The decorations a window asks the window manager for: the third field of
// its _MOTIF_WM_HINTS, or -1 when it has none.
long Decorations(HWND window) {
    const std::string hints = UnixOutput("xprop -id " + std::to_string(XWindowOf(window)) + " _MOTIF_WM_HINTS");
    std::size_t at = hints.find('=');
    for (int field = 0; field < 2 && at != std::string::npos; ++field) at = hints.find(',', at + 1);
    return at == std::string::npos ? -1 : std::strtol(hints.c_str() + at + 1, nullptr, 16);
}

// The taskbar entry is a zero-size window in the middle of the screen that
// shows whenever the program is not in the tray. A window manager that draws
// frames must not be asked to give it one: while it minimised, a title bar
// one pixel wide flashed there, seen when the program started minimised.
TEST(ApplicationTest, TheTaskbarEntryNeverAsksForAFrameShownMinimisedOrRestored) {
    win::Application application("Quilldeck");
    const HWND entry = application.TaskbarEntry();
    ::ShowWindow(entry, SW_SHOWNORMAL);
    const std::string viewable = "xwininfo -id " + std::to_string(XWindowOf(entry)) + " | grep -q IsViewable";
    ASSERT_TRUE(PumpUntil([&] { return RunUnix(viewable) == 0; }, std::chrono::seconds(5)))
        << "the taskbar entry was never mapped";
    EXPECT_EQ(Decorations(entry), 0) << "shown";

    application.Minimize();
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(entry) != FALSE; }, std::chrono::seconds(5)));
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(Decorations(entry), 0) << "minimised";

    application.Restore();
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(entry) == FALSE; }, std::chrono::seconds(5)));
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(Decorations(entry), 0) << "restored";
}

}  // namespace
}  // namespace quilldeck
