#pragma once

#include <gtest/gtest.h>

#include <string>

#include "../ProgramDriver.h"
#include "DesktopFixture.h"
#include "TrayFixture.h"

namespace quilldeck::testing {

// Quilldeck's icon, by its tooltip, in Wine's notification area.
inline bool TrayShowsAnIcon() { return ShownTrayIconsWithTip("Quilldeck 1.01").size() == 1; }

inline void DoubleClickTheIcon() {
    const auto icons = ShownTrayIconsWithTip("Quilldeck 1.01");
    const POINT at = icons.empty() ? POINT{0, 0} : icons.front().Centre();
    RunUnix("/usr/bin/xdotool mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) +
            " click --repeat 2 --delay 80 1");
}

// Tests that start Quilldeck.exe and act on it as a user would.
class ProgramFixture : public ::testing::Test {
protected:
    void TearDown() override { RunUnix("/usr/bin/xdotool keyup ctrl alt shift"); }

    // In the tray: window hidden, taskbar button gone, icon shown.
    static ::testing::AssertionResult InTray(QuilldeckProgram& quilldeck) {
        using namespace std::chrono_literals;
        if (!WaitFor([&] { return !quilldeck.Shown() && TrayShowsAnIcon(); }, 10s)) {
            return ::testing::AssertionFailure() << "shown " << quilldeck.Shown() << ", tray icon " << TrayShowsAnIcon();
        }
        if (::IsWindowVisible(quilldeck.TaskbarEntry())) return ::testing::AssertionFailure() << "taskbar button";
        return ::testing::AssertionSuccess();
    }

    // Main window shown and opaque, with its taskbar button.
    static ::testing::AssertionResult ShownOpaque(DWORD processId) {
        HWND main = nullptr;
        const bool shown = WaitFor(
            [&] {
                main = WindowOfClass(processId, "QuilldeckMainWindow");
                return main != nullptr && ::IsWindowVisible(main) &&
                       (::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_LAYERED) == 0;
            },
            std::chrono::seconds(10));
        if (!shown) return ::testing::AssertionFailure() << "the main window is not shown opaque";
        if (!::IsWindowVisible(::GetWindow(main, GW_OWNER))) return ::testing::AssertionFailure() << "no taskbar button";
        return ::testing::AssertionSuccess();
    }
    static ::testing::AssertionResult ShownOpaque(QuilldeckProgram& quilldeck) {
        return ShownOpaque(quilldeck.Process().Id());
    }

    // Gives a window of the program the X keyboard focus, as a click would.
    static void FocusWindow(HWND window) {
        RunUnix("/usr/bin/xdotool windowfocus --sync " + std::to_string(XWindowOf(window)));
        WaitFor([&] { return ::GetForegroundWindow() == window; }, std::chrono::seconds(3));
    }

    static void FocusQuilldeck(QuilldeckProgram& quilldeck) { FocusWindow(quilldeck.MainWindow()); }

    // Presses keys in a paste target of our own and waits for the text.
    static ::testing::AssertionResult Pastes(const std::string& keys, const std::u16string& expected) {
        PasteTarget target;
        target.Focus();
        RunUnix("/usr/bin/xdotool key " + keys);
        if (PumpUntil([&] { return target.Text() == expected; }, std::chrono::seconds(5))) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << keys << " pasted " << target.Text().size() << " characters";
    }
};

// The program started with given settings, shown and given the keyboard
// focus before each test.
class ShownProgramFixture : public ProgramFixture {
protected:
    explicit ShownProgramFixture(const std::string& settings) : quilldeck(settings) {}

    void SetUp() override {
        ASSERT_TRUE(ShownOpaque(quilldeck));
        FocusQuilldeck(quilldeck);
    }

    // Clicks a row, which also gives the list the keyboard focus.
    void Select(int row) {
        quilldeck.SelectRowByClick(row);
        ASSERT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == row; })) << "row " << row + 1;
    }

    QuilldeckProgram quilldeck;
};

}  // namespace quilldeck::testing
