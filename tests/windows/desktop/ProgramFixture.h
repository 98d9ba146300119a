#pragma once

#include <gtest/gtest.h>
#include <shlobj.h>

#include <optional>
#include <span>
#include <string>

#include "../ProgramDriver.h"
#include "DesktopFixture.h"
#include "TrayFixture.h"
#include "ui/OptionsLayout.h"
#include "win/Controls.h"

namespace quilldeck::testing {

// Quilldeck's icon, by its tooltip, in Wine's notification area.
inline bool TrayShowsAnIcon() { return ShownTrayIconsWithTip("Quilldeck 1.01").size() == 1; }

inline void DoubleClickTheIcon() {
    const auto icons = ShownTrayIconsWithTip("Quilldeck 1.01");
    if (icons.size() != 1) {
        ADD_FAILURE() << icons.size() << " tray icons of the program";
        return;
    }
    ClickIcon(icons.front(), MouseButton::Left, 2);
}

// The buttons of openbox's title bar, counted from its right end (its
// default layout: icon, title, minimise, maximise, close).
enum class TitleBarButton { Close = 0, Minimise = 2 };

// The user's Startup folder, and the shortcut "Run on System Startup" puts there.
inline std::string StartupFolder() {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}
inline std::string StartupShortcut() { return StartupFolder() + "\\Quilldeck.lnk"; }

// Whether a check box of a dialog, which may be another process's, is ticked.
inline bool Ticked(HWND dialog, int id) { return win::IsChecked(::GetDlgItem(dialog, id)); }

// A control of a dialog as its layout table designs it at 96 DPI.
struct ExpectedControl {
    int id;
    const char* className;
    const char* caption;  // null: not checked
    RECT rect;            // in the dialog's client area
};

// A design figure at a DPI, as the program scales it.
inline int AtDpi(int designValue, UINT dpi) { return ::MulDiv(designValue, static_cast<int>(dpi), 96); }
// A designed rectangle at a DPI: its corner and its size scaled.
inline RECT AtDpi(const RECT& design, UINT dpi) {
    const int left = AtDpi(design.left, dpi), top = AtDpi(design.top, dpi);
    return {left, top, left + AtDpi(design.right - design.left, dpi), top + AtDpi(design.bottom - design.top, dpi)};
}

// Tests that start Quilldeck.exe and act on it as a user would, with the
// user's keyboard and mouse and the window manager's view of the desktop.
class ProgramFixture : public ::testing::Test {
protected:
    void TearDown() override { input.KeyUp("ctrl alt shift"); }

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
    void FocusWindow(HWND window) const {
        input.Focus(window);
        WaitFor([&] { return ::GetForegroundWindow() == window; }, std::chrono::seconds(3));
    }

    void FocusQuilldeck(QuilldeckProgram& quilldeck) const { FocusWindow(quilldeck.MainWindow()); }

    // "&Options..." from the File menu, with the keys a user presses.
    HWND OpenOptionsOf(QuilldeckProgram& quilldeck) const {
        FocusQuilldeck(quilldeck);
        input.Key("alt+f o");
        return quilldeck.Dialog(ui::options::Caption);
    }
    // Clicks a check box and waits until it shows the click.
    ::testing::AssertionResult ClickCheckBox(HWND dialog, int id) const {
        const bool before = Ticked(dialog, id);
        input.ClickOn(::GetDlgItem(dialog, id));
        if (WaitFor([&] { return Ticked(dialog, id) != before; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the check box " << id << " did not change";
    }
    // Clicks a dialog's OK button and waits until the program has acted on it.
    ::testing::AssertionResult ClickOKOf(QuilldeckProgram& quilldeck, HWND dialog, int okId) const {
        input.ClickOn(::GetDlgItem(dialog, okId));
        if (!Closes(dialog)) return ::testing::AssertionFailure() << "the dialog stays open";
        if (!quilldeck.Settle()) return ::testing::AssertionFailure() << "the program does not answer";
        return ::testing::AssertionSuccess();
    }

    // A click on a title-bar button, as a user's. The buttons of the default
    // theme are 13 pixels square, 16 apart, the last 5 pixels from the frame's
    // right edge, in the middle of the title bar.
    bool ClickTitleBarButton(HWND window, TitleBarButton button) const {
        const std::optional<ManagedFrame> frame = desktop.FrameOf(window);
        if (!frame || frame->titleBarHeight == 0) return false;
        const int x = frame->outer.right - 12 - 16 * static_cast<int>(button);
        return input.ClickAt({x, frame->outer.top + frame->titleBarHeight / 2});
    }

    // A click on the title bar's caption, which brings a window to the front.
    bool ClickTitleBar(HWND window) const {
        const std::optional<ManagedFrame> frame = desktop.FrameOf(window);
        if (!frame || frame->titleBarHeight == 0) return false;
        const int x = (frame->outer.left + frame->outer.right) / 2;
        return input.ClickAt({x, frame->outer.top + frame->titleBarHeight / 2});
    }

    // A click on a window's close box in the title bar the window manager draws.
    void CloseBoxOf(HWND window) const { EXPECT_TRUE(ClickTitleBarButton(window, TitleBarButton::Close)); }

    static ::testing::AssertionResult Closes(HWND dialog) {
        if (WaitFor([&] { return !::IsWindowVisible(dialog); })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the dialog stays open";
    }
    // Whether the dialog is still open after the program had time to act.
    static bool StaysOpen(HWND dialog) {
        PumpFor(std::chrono::milliseconds(500));
        return ::IsWindowVisible(dialog) != FALSE;
    }

    // A dialog as its layout table says at a DPI: client size, fixed frame,
    // centred over the main window, which waits for it.
    static void ExpectDialogFrame(HWND dialog, HWND main, int clientWidth, int clientHeight, UINT dpi = 96) {
        RECT client{};
        ::GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, AtDpi(clientWidth, dpi));
        EXPECT_EQ(client.bottom, AtDpi(clientHeight, dpi));
        RECT over{}, shown{};
        ::GetWindowRect(main, &over);
        ::GetWindowRect(dialog, &shown);
        EXPECT_NEAR((shown.left + shown.right) / 2, (over.left + over.right) / 2, 2);
        EXPECT_NEAR((shown.top + shown.bottom) / 2, (over.top + over.bottom) / 2, 2);
        EXPECT_FALSE(::IsWindowEnabled(main));
        EXPECT_EQ(::GetWindowLongA(dialog, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    }

    // Each control's class, caption and place at a DPI. A label may grow to
    // its text where another font stands in for Tahoma.
    static void ExpectControls(HWND dialog, std::span<const ExpectedControl> controls, UINT dpi = 96) {
        for (const ExpectedControl& design : controls) {
            const ExpectedControl expected{design.id, design.className, design.caption, AtDpi(design.rect, dpi)};
            SCOPED_TRACE(expected.id);
            const HWND control = ::GetDlgItem(dialog, expected.id);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(_stricmp(ClassName(control).c_str(), expected.className), 0) << ClassName(control);
            if (expected.caption != nullptr) {
                EXPECT_EQ(ControlText(control), expected.caption);
            }
            RECT rect{};
            ::GetWindowRect(control, &rect);
            ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_EQ(rect.left, expected.rect.left);
            EXPECT_EQ(rect.top, expected.rect.top);
            if (_stricmp(ClassName(control).c_str(), "Static") == 0) {
                EXPECT_GE(rect.right, expected.rect.right);
                EXPECT_GE(rect.bottom, expected.rect.bottom);
            } else {
                EXPECT_EQ(rect.right, expected.rect.right);
                EXPECT_EQ(rect.bottom, expected.rect.bottom);
            }
        }
    }

    // Tab goes round these controls in this order, and reaches no other.
    static void ExpectTabOrder(HWND dialog, std::span<const int> ids) {
        HWND control = ::GetDlgItem(dialog, ids.front());
        for (std::size_t i = 1; i <= ids.size(); ++i) {
            control = ::GetNextDlgTabItem(dialog, control, FALSE);
            EXPECT_EQ(::GetDlgCtrlID(control), ids[i % ids.size()]);
        }
    }

    // Presses keys in a paste target of our own and waits for the text.
    ::testing::AssertionResult Pastes(const std::string& keys, const std::u16string& expected) const {
        PasteTarget target;
        target.Focus();
        input.Key(keys, XdotoolKeyDelay);
        if (PumpUntil([&] { return target.Text() == expected; }, std::chrono::seconds(5))) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << keys << " pasted " << target.Text().size() << " characters";
    }

    // Keys as the user presses them.
    const InputDriver input{UserKeyDelay};
    const DesktopView desktop{};
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
