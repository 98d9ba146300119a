#include <windows.h>

#include <string>

#include "DesktopFixture.h"
#include "win/Application.h"

namespace quilldeck {
namespace {

using namespace testing;

// The taskbar entry is a zero-size window in the middle of the screen that
// shows whenever the program is not in the tray. A window manager that draws
// frames must not be asked to give it one: while it minimised, a title bar
// one pixel wide flashed there, seen when the program started minimised.
TEST(ApplicationTest, TheTaskbarEntryNeverAsksForAFrameShownMinimisedOrRestored) {
    const DesktopView desktop{};
    win::Application application("Quilldeck");
    const HWND entry = application.TaskbarEntry();
    ::ShowWindow(entry, SW_SHOWNORMAL);
    ASSERT_TRUE(PumpUntil([&] { return desktop.IsViewable(entry); }, std::chrono::seconds(5)))
        << "the taskbar entry was never mapped";
    EXPECT_EQ(desktop.Decorations(entry), 0) << "shown";

    application.Minimize();
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(entry) != FALSE; }, std::chrono::seconds(5)));
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(desktop.Decorations(entry), 0) << "minimised";

    application.Restore();
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(entry) == FALSE; }, std::chrono::seconds(5)));
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(desktop.Decorations(entry), 0) << "restored";
}

}  // namespace
}  // namespace quilldeck
