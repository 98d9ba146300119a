#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <functional>

#include "ProgramFixture.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

constexpr int IdExit2 = 202;

// Two defined slots; slot 1 pastes "quick" on Ctrl+Alt+Q.
const std::string TwoSlots =
    " \r\n1\r\nQuick\r\nCtrl+Alt+Q\r\n[memo]\r\nquick\r\n[/memo]\r\n\r\n"
    "0\r\nSecond\r\nCtrl+Alt+W\r\n[memo]\r\nsecond\r\n[/memo]\r\n\r\n";

std::string StartMinimized(std::string settings) {
    settings[0] = '#';
    return settings;
}

bool QIsFree() { return CombinationIsFree(MOD_CONTROL | MOD_ALT, 'Q'); }

class ProgramTest : public ProgramFixture {};

// Answers the boxes of another process one after the other, as a user would.
::testing::AssertionResult AnswerBox(DWORD processId, const std::string& text, const std::string& keys) {
    const auto box = FindMessageBox(processId);
    if (!box) return ::testing::AssertionFailure() << "no box \"" << text << "\"";
    if (box->text != text) return ::testing::AssertionFailure() << "box says \"" << box->text << "\"";
    InputDriver().KeyTo(box->window, keys);
    if (!WaitFor([&] { return !::IsWindow(box->window); })) return ::testing::AssertionFailure() << "box stays";
    return ::testing::AssertionSuccess();
}

TEST_F(ProgramTest, ANormalStartShowsTheWindowWithRowOneSelectedAndBindsNothing) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_EQ(quilldeck.RowCount(), 20);
    EXPECT_EQ(quilldeck.SelectedRow(), 0);
    EXPECT_EQ(quilldeck.StatusText(), "1/20");
    EXPECT_EQ(WindowText(quilldeck.MainWindow()), "Quilldeck 1.01");
    EXPECT_EQ(WindowText(quilldeck.TaskbarEntry()), "Quilldeck");
    EXPECT_TRUE(::IsWindowVisible(quilldeck.TaskbarEntry()));
    EXPECT_FALSE(TrayShowsAnIcon());
    RECT client{};
    ::GetClientRect(quilldeck.MainWindow(), &client);
    EXPECT_EQ(client.right, 436);
    EXPECT_EQ(client.bottom, 264);
    EXPECT_EQ(quilldeck.RowText(0, 1), "Quick");
    EXPECT_EQ(quilldeck.RowText(1, 2), "Ctrl+Alt+W");
    EXPECT_EQ(quilldeck.RowText(2, 1), "<Not Define>");
    EXPECT_TRUE(quilldeck.Checked(0));
    EXPECT_FALSE(quilldeck.Checked(1));
    // The focus holder lies beneath the list, where it is never seen.
    bool dummyBeneathList = false;
    for (HWND below = ::GetWindow(quilldeck.ListView(), GW_HWNDNEXT); below != nullptr;
         below = ::GetWindow(below, GW_HWNDNEXT)) {
        dummyBeneathList = dummyBeneathList || ::GetDlgCtrlID(below) == 100;
    }
    EXPECT_TRUE(dummyBeneathList);
    // No hot key until the first minimise.
    EXPECT_TRUE(QIsFree());
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

struct HideWay {
    const char* name;
    std::function<void(QuilldeckProgram&, ProgramTest&)> hide;
};

class ProgramHideTest : public ProgramTest, public ::testing::WithParamInterface<int> {};

// Every way of closing or minimising the shown window ends in the tray, with
// a save and the hot keys bound; nothing ends.
TEST_P(ProgramHideTest, GoesToTheTrayWithASaveAndBindsTheHotKeys) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ASSERT_EQ(quilldeck.Settings(), TwoSlots);
    switch (GetParam()) {
        case 0: ::PostMessageA(quilldeck.MainWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
        case 1: ::PostMessageA(quilldeck.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case 2: ::PostMessageA(quilldeck.MainWindow(), WM_CLOSE, 0, 0); break;
        case 3:
            FocusQuilldeck(quilldeck);
            input.Key("alt+F4", XdotoolKeyDelay);
            break;
        case 4: ::PostMessageA(quilldeck.TaskbarEntry(), WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
    }
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_TRUE(WaitFor([&] { return !QIsFree(); }));
    EXPECT_TRUE(quilldeck.Settings().starts_with(TwoSlots));
    EXPECT_GT(quilldeck.Settings().size(), TwoSlots.size());
    EXPECT_FALSE(quilldeck.Process().WaitForExit(0ms));
    EXPECT_TRUE(Pastes("ctrl+alt+q", u"quick"));
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Ways, ProgramHideTest, ::testing::Range(0, 5));

TEST_F(ProgramTest, MinimisingWhileInTheTrayDoesNothingAndWritesNothing) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ::PostMessageA(quilldeck.MainWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(InTray(quilldeck));
    ::DeleteFileA(quilldeck.SettingsPath().c_str());
    ::PostMessageA(quilldeck.TaskbarEntry(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpFor(1000ms);
    EXPECT_FALSE(IsFile(quilldeck.SettingsPath()));
    EXPECT_TRUE(InTray(quilldeck));
}

TEST_F(ProgramTest, ExitSavesRemovesTheIconAndEndsWithZero) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ::PostMessageA(quilldeck.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(InTray(quilldeck));
    ::DeleteFileA(quilldeck.SettingsPath().c_str());
    EXPECT_EQ(quilldeck.Exit(), 0u);
    EXPECT_TRUE(quilldeck.Settings().starts_with(TwoSlots));
    EXPECT_TRUE(WaitFor([] { return !TrayShowsAnIcon(); }));
    EXPECT_TRUE(QIsFree());
}

TEST_F(ProgramTest, ACloseFromOutsideWhileInTheTrayEndsTheProgramWithASave) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ::PostMessageA(quilldeck.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(InTray(quilldeck));
    ::DeleteFileA(quilldeck.SettingsPath().c_str());
    ::PostMessageA(quilldeck.TaskbarEntry(), WM_CLOSE, 0, 0);
    EXPECT_EQ(quilldeck.Process().WaitForExit(10s), 0u);
    EXPECT_TRUE(IsFile(quilldeck.SettingsPath()));
}

TEST_F(ProgramTest, ADoubleClickOnTheTrayIconBringsTheWindowBack) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ::PostMessageA(quilldeck.MainWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(InTray(quilldeck));
    DoubleClickTheIcon();
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_TRUE(WaitFor([] { return !TrayShowsAnIcon(); }));
    EXPECT_TRUE(::IsWindowVisible(quilldeck.TaskbarEntry()));
    EXPECT_EQ(quilldeck.SelectedRow(), 0);
    // The hot keys stay bound while the window is back.
    EXPECT_FALSE(QIsFree());
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

TEST_F(ProgramTest, AStartMinimisedGoesStraightToTheTrayAndTheHotKeysWorkAtOnce) {
    QuilldeckProgram quilldeck(StartMinimized(TwoSlots));
    ASSERT_NE(quilldeck.MainWindow(), nullptr);
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_TRUE(WaitFor([&] { return quilldeck.Settings().size() > TwoSlots.size(); }));
    EXPECT_TRUE(quilldeck.Settings().starts_with("#\r\n"));
    EXPECT_TRUE(Pastes("ctrl+alt+q", u"quick"));

    DoubleClickTheIcon();
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_EQ(quilldeck.SelectedRow(), 0);
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

// At a start into the tray the hot keys come last: once one is live, the icon
// is in place and the taskbar button gone, so the first press is served at
// once. Without a window manager Wine holds the thread for two seconds when
// it hides a window with a caption (the taskbar entry among them): bound
// before that, a hot key's first paste waited as long. tools/test runs this
// test on a desktop without a window manager too.
TEST_F(ProgramTest, AtAStartIntoTheTrayTheHotKeysComeOnceTheIconIsInPlace) {
    QuilldeckProgram quilldeck(StartMinimized(TwoSlots));
    const HWND entry = quilldeck.TaskbarEntry();
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(WaitFor([] { return !QIsFree(); }, 20s));
    EXPECT_TRUE(TrayShowsAnIcon());
    EXPECT_FALSE(::IsWindowVisible(entry));
    EXPECT_TRUE(InTray(quilldeck));
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

// After a restore from the tray the focus is back on the hidden focus holder,
// where every minimise parks it, so the list's shortcuts wait; Tab brings the
// focus to the list, the window's one tab stop, as in any dialog-like window.
// A later activation keeps the focus where it was.
TEST_F(ProgramTest, TabBringsTheFocusToTheListAfterARestoreAndActivationsKeepIt) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    const HWND main = quilldeck.MainWindow();
    const HWND list = quilldeck.ListView();
    const HWND dummy = ::GetDlgItem(main, 100);
    EXPECT_TRUE(WaitFor([&] { return FocusedControlOf(main) == list; })) << "after the first activation";
    ::PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(InTray(quilldeck));
    DoubleClickTheIcon();
    ASSERT_TRUE(ShownOpaque(quilldeck));
    FocusQuilldeck(quilldeck);
    EXPECT_TRUE(WaitFor([&] { return FocusedControlOf(main) == dummy; })) << "after the restore";
    input.Key("F5");
    EXPECT_EQ(quilldeck.Dialog("Define/Edit", 1s), nullptr) << "a shortcut of the list while it has no focus";

    input.Key("Tab");
    EXPECT_TRUE(WaitFor([&] { return FocusedControlOf(main) == list; })) << "after Tab";
    input.Key("shift+Tab");
    ASSERT_TRUE(quilldeck.Settle());
    EXPECT_EQ(FocusedControlOf(main), list) << "after Shift+Tab";

    // Another window in front, then this one again.
    {
        PasteTarget other;
        other.Focus();
        ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() != main; }));
    }
    FocusQuilldeck(quilldeck);
    ASSERT_TRUE(quilldeck.Settle());
    EXPECT_EQ(FocusedControlOf(main), list) << "after a later activation";
    input.Key("F5");
    const HWND dialog = quilldeck.Dialog("Define/Edit");
    ASSERT_NE(dialog, nullptr);
    ::PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Closes(dialog));
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

// The list's columns: "#" and "Description" keep their widths and "Shortcut
// Key" fills the rest, however a width change arrives: a drag of a header's
// edge, a double click on it, Ctrl and the keypad's plus (which sizes every
// column to its content), or LVM_SETCOLUMNWIDTH from another program. A
// change of the last column is put back when the list is next painted, and
// no horizontal scroll bar appears.
TEST_F(ProgramTest, TheColumnsKeepTheirWidthsHoweverAChangeArrives) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    const HWND list = quilldeck.ListView();
    const HWND header = ListView_GetHeader(list);
    ASSERT_NE(header, nullptr);
    const auto width = [&](int column) { return static_cast<int>(ListView_GetColumnWidth(list, column)); };
    RECT client{};
    ::GetClientRect(list, &client);
    const int stretched = client.right - 25 - 250 - 1;
    const auto asDesigned = [&] {
        return width(0) == 25 && width(1) == 250 && width(2) == stretched &&
               (::GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL) == 0;
    };
    const auto widths = [&] {
        return std::to_string(width(0)) + ", " + std::to_string(width(1)) + ", " + std::to_string(width(2)) +
               " (the last should be " + std::to_string(stretched) + "), horizontal scroll bar " +
               std::to_string((::GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL) != 0);
    };
    ASSERT_TRUE(WaitFor(asDesigned)) << widths();

    RECT headerRect{};
    ::GetWindowRect(header, &headerRect);
    const int y = (headerRect.top + headerRect.bottom) / 2;
    const auto drag = [&](int fromX, int byX) {
        input.Run(InputSteps().MoveTo({fromX, y}).ButtonDown().MoveBy(byX, 0).ButtonUp());
    };
    const struct {
        const char* name;
        std::function<void()> change;
    } ways[] = {
        {"LVM_SETCOLUMNWIDTH on the last column", [&] { ListView_SetColumnWidth(list, 2, 60); }},
        {"LVM_SETCOLUMNWIDTH on Description", [&] { ListView_SetColumnWidth(list, 1, 100); }},
        {"LVM_SETCOLUMNWIDTH on #", [&] { ListView_SetColumnWidth(list, 0, 80); }},
        {"a drag of Description's edge", [&] { drag(headerRect.left + 25 + 250, -60); }},
        {"a drag of the last column's edge", [&] { drag(headerRect.left + 25 + 250 + stretched, -50); }},
        {"a double click on Description's edge",
         [&] {
             input.DoubleClickAt({headerRect.left + 25 + 250, y});
         }},
        {"Ctrl and the keypad's plus",
         [&] {
             quilldeck.SelectRowByClick(0);
             input.Key("ctrl+KP_Add");
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        way.change();
        ASSERT_TRUE(quilldeck.Settle());
        EXPECT_TRUE(WaitFor(asDesigned, 3s)) << widths();
    }
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

// The status bar's tooltip follows the selection from the first activation on.
TEST_F(ProgramTest, TheStatusBarsHintIsTheSelectedSlotsDescription) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ASSERT_TRUE(quilldeck.Settle());
    EXPECT_EQ(quilldeck.StatusText(), "1/20");
    EXPECT_TRUE(WaitFor([&] { return quilldeck.StatusHint() == "Quick"; }))
        << quilldeck.StatusHint().value_or("no tooltip");
    quilldeck.SelectRowByClick(1);
    EXPECT_TRUE(WaitFor([&] { return quilldeck.StatusHint() == "Second"; }))
        << quilldeck.StatusHint().value_or("no tooltip");
    quilldeck.SelectRowByClick(2);
    EXPECT_TRUE(WaitFor([&] { return quilldeck.StatusHint() == "<Not Define>"; }))
        << quilldeck.StatusHint().value_or("no tooltip");
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

TEST_F(ProgramTest, ALaunchAskingForAMinimisedWindowEndsInTheTrayWithoutAnError) {
    QuilldeckProgram quilldeck(TwoSlots, SW_SHOWMINNOACTIVE);
    ASSERT_NE(quilldeck.MainWindow(), nullptr);
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 1s));
    EXPECT_FALSE(QIsFree());
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

// A program of the system (or a careless one) can send the hidden window a
// minimise while the program is in the tray: the window's own minimise does
// nothing then, and the window comes back from the tray as it was.
TEST_F(ProgramTest, AMinimiseSentToTheHiddenWindowInTheTrayChangesNothing) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ::PostMessageA(quilldeck.MainWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(InTray(quilldeck));
    ::DeleteFileA(quilldeck.SettingsPath().c_str());
    DWORD_PTR answer = 0;
    ASSERT_NE(::SendMessageTimeoutA(quilldeck.MainWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_NORMAL, 5000, &answer),
              0);
    EXPECT_FALSE(::IsIconic(quilldeck.MainWindow()));
    EXPECT_TRUE(InTray(quilldeck));
    EXPECT_FALSE(IsFile(quilldeck.SettingsPath())) << "saved again";

    DoubleClickTheIcon();
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_FALSE(::IsIconic(quilldeck.MainWindow()));
    EXPECT_FALSE(::IsIconic(quilldeck.TaskbarEntry()));
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

// The right button going down right after a double click on the icon: both
// notifications are queued before the program handles the first, so the menu
// would open after the window is back. It offers nothing then, and opens no
// empty menu either.
TEST_F(ProgramTest, ATrayMenuOpenedAfterTheWindowCameBackOffersNothing) {
    QuilldeckProgram quilldeck(StartMinimized(TwoSlots));
    ASSERT_TRUE(InTray(quilldeck));
    const DWORD id = quilldeck.Process().Id();
    const HWND callback = WindowOfClass(id, "QuilldeckTrayIconWindow");
    ASSERT_NE(callback, nullptr);
    constexpr UINT Notification = WM_USER + 101;
    ::PostMessageA(callback, Notification, 0, WM_LBUTTONDBLCLK);
    ::PostMessageA(callback, Notification, 0, WM_RBUTTONDOWN);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ASSERT_TRUE(quilldeck.Settle());
    const HWND menu = WindowOfClass(id, "#32768");
    const bool menuShown = menu != nullptr && ::IsWindowVisible(menu);
    EXPECT_FALSE(menuShown);
    if (menuShown) ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(TrayShowsAnIcon());
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

// Started from a shortcut set to run minimised, the program goes into the
// tray before its window was ever shown. When that first save fails, the
// error is shown and the program goes on minimised, with its taskbar button;
// it comes back from there and ends only by Exit.
TEST_F(ProgramTest, AMinimisedLaunchWhoseFirstSaveFailsShowsTheErrorAndGoesOn) {
    QuilldeckProgram quilldeck(TwoSlots, SW_SHOWMINNOACTIVE, true);
    const DWORD id = quilldeck.Process().Id();
    ASSERT_TRUE(AnswerBox(id, "File access denied.", "Return"));
    EXPECT_FALSE(quilldeck.Process().WaitForExit(1s)) << "ended after the box";
    EXPECT_TRUE(::IsWindowVisible(quilldeck.TaskbarEntry()));
    EXPECT_TRUE(::IsIconic(quilldeck.TaskbarEntry()));
    EXPECT_FALSE(quilldeck.Shown());
    EXPECT_FALSE(TrayShowsAnIcon());
    EXPECT_TRUE(QIsFree());

    // The taskbar button restores it.
    ::PostMessageA(quilldeck.TaskbarEntry(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_EQ(quilldeck.SelectedRow(), 0);
    quilldeck.Command(IdExit2);
    ASSERT_TRUE(AnswerBox(id, "File access denied.", "Return"));
    ASSERT_TRUE(AnswerBox(id, "Settings could not be saved. Exit anyway?", "Return"));
    EXPECT_EQ(quilldeck.Process().WaitForExit(10s), 0u);
    ::SetFileAttributesA(quilldeck.SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(quilldeck.Settings(), TwoSlots);
}

TEST_F(ProgramTest, TheShellsTaskbarCreatedBroadcastAddsTheIconAgain) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ::PostMessageA(quilldeck.MainWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(InTray(quilldeck));
    // The shell forgets the icon, as when it restarts.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = WindowOfClass(quilldeck.Process().Id(), "QuilldeckTrayIconWindow");
    ASSERT_NE(data.hWnd, nullptr);
    ::Shell_NotifyIconA(NIM_DELETE, &data);
    ASSERT_TRUE(WaitFor([] { return !TrayShowsAnIcon(); }));

    ::SendMessageA(quilldeck.MainWindow(), ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(InTray(quilldeck));
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

TEST_F(ProgramTest, LogOffIsRefusedWhileShownAndEndsTheProgramFromTheTrayWithoutASave) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    DWORD_PTR answer = 1;
    ::SendMessageTimeoutA(quilldeck.MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer);
    EXPECT_EQ(answer, 0u);
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_GT(quilldeck.Settings().size(), TwoSlots.size());

    ::SendMessageTimeoutA(quilldeck.MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer);
    EXPECT_EQ(answer, 1u);
    ::SendMessageTimeoutA(quilldeck.TaskbarEntry(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer);
    EXPECT_EQ(answer, 1u);
    ::DeleteFileA(quilldeck.SettingsPath().c_str());
    ::PostMessageA(quilldeck.TaskbarEntry(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(quilldeck.Process().WaitForExit(10s), 0u);
    EXPECT_FALSE(IsFile(quilldeck.SettingsPath()));
    EXPECT_TRUE(WaitFor([] { return !TrayShowsAnIcon(); }));
    EXPECT_TRUE(QIsFree());
}

TEST_F(ProgramTest, WhenExitCannotSaveTheUserChoosesWhetherToEndWithoutSaving) {
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ::SetFileAttributesA(quilldeck.SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY);
    const DWORD id = quilldeck.Process().Id();

    quilldeck.Command(IdExit2);
    ASSERT_TRUE(AnswerBox(id, "File access denied.", "Return"));
    ASSERT_TRUE(AnswerBox(id, "Settings could not be saved. Exit anyway?", "Escape"));
    EXPECT_FALSE(quilldeck.Process().WaitForExit(500ms));
    EXPECT_TRUE(quilldeck.Shown());

    // Exit stays chosen: the next close of any kind tries the save again.
    ::PostMessageA(quilldeck.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(AnswerBox(id, "File access denied.", "Return"));
    ASSERT_TRUE(AnswerBox(id, "Settings could not be saved. Exit anyway?", "Return"));
    EXPECT_EQ(quilldeck.Process().WaitForExit(10s), 0u);
    ::SetFileAttributesA(quilldeck.SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(quilldeck.Settings(), TwoSlots);
}

TEST_F(ProgramTest, AStartIntoTheTrayThatCannotSaveShowsTheErrorAndTheWindow) {
    QuilldeckProgram quilldeck(StartMinimized(TwoSlots), SW_SHOWNORMAL, true);
    ASSERT_TRUE(AnswerBox(quilldeck.Process().Id(), "File access denied.", "Return"));
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_FALSE(TrayShowsAnIcon());
    EXPECT_TRUE(::IsWindowVisible(quilldeck.TaskbarEntry()));
    EXPECT_TRUE(QIsFree());
    ::SetFileAttributesA(quilldeck.SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

// Slots 4 and 5 defined, the rest empty.
const std::string SlotsFourAndFive =
    " \r\n" + std::string() +
    "0\r\n\r\n\r\n[memo]\r\n[/memo]\r\n\r\n"
    "0\r\n\r\n\r\n[memo]\r\n[/memo]\r\n\r\n"
    "0\r\n\r\n\r\n[memo]\r\n[/memo]\r\n\r\n"
    "1\r\nFourth\r\nCtrl+Alt+4\r\n[memo]\r\nfour\r\n[/memo]\r\n\r\n"
    "0\r\nFifth\r\nCtrl+Alt+5\r\n[memo]\r\nfive\r\n[/memo]\r\n\r\n";

class ListCommandTest : public ShownProgramFixture {
protected:
    ListCommandTest() : ShownProgramFixture(SlotsFourAndFive) {}

    void Keys(const std::string& keys) {
        input.Key(keys, XdotoolKeyDelay);
        PumpFor(300ms);
    }
};

TEST_F(ListCommandTest, MoveUpOnRowFiveExchangesTheSlotsAndFollowsTheSlotInMemoryOnly) {
    Select(4);
    EXPECT_EQ(quilldeck.StatusText(), "5/20");
    Keys("ctrl+Up");
    EXPECT_EQ(quilldeck.RowText(3, 1), "Fifth");
    EXPECT_EQ(quilldeck.RowText(3, 2), "Ctrl+Alt+5");
    EXPECT_FALSE(quilldeck.Checked(3));
    EXPECT_EQ(quilldeck.RowText(4, 1), "Fourth");
    EXPECT_TRUE(quilldeck.Checked(4));
    EXPECT_EQ(quilldeck.SelectedRow(), 3);
    EXPECT_EQ(quilldeck.StatusText(), "4/20");
    EXPECT_EQ(quilldeck.Settings(), SlotsFourAndFive);

    Keys("ctrl+Down");
    EXPECT_EQ(quilldeck.RowText(3, 1), "Fourth");
    EXPECT_EQ(quilldeck.SelectedRow(), 4);
    EXPECT_EQ(quilldeck.StatusText(), "5/20");
}

TEST_F(ListCommandTest, TheFirstRowDoesNotMoveUpNorTheLastDown) {
    Select(0);
    Keys("ctrl+Up");
    EXPECT_EQ(quilldeck.SelectedRow(), 0);
    EXPECT_EQ(quilldeck.RowText(0, 1), "<Not Define>");
    // An undefined row moves down like any other.
    Keys("ctrl+Down");
    EXPECT_EQ(quilldeck.SelectedRow(), 1);
    Keys("End");
    ASSERT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == 19; }));
    Keys("ctrl+Down");
    EXPECT_EQ(quilldeck.SelectedRow(), 19);
    EXPECT_EQ(quilldeck.StatusText(), "20/20");
}

TEST_F(ListCommandTest, WithoutASelectionTheShortcutsDoNothingAndTheStatusIsEmpty) {
    Select(3);
    quilldeck.ClearSelection();
    ASSERT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == -1; }));
    EXPECT_EQ(quilldeck.StatusText(), "");
    Keys("ctrl+Delete ctrl+Up ctrl+Down");
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 1s));
    EXPECT_EQ(quilldeck.RowText(3, 1), "Fourth");
    EXPECT_EQ(quilldeck.RowText(4, 1), "Fifth");
    EXPECT_EQ(quilldeck.SelectedRow(), -1);
}

// Without a selection F5 opens nothing, and neither does a double click on the
// list where no row is (the last pixel of the list's width, right of the
// stretched last column), whose first click takes the selection away.
TEST_F(ListCommandTest, WithoutASelectionF5AndADoubleClickOpenNothing) {
    Select(3);
    quilldeck.ClearSelection();
    ASSERT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == -1; }));
    Keys("F5");
    EXPECT_EQ(quilldeck.Dialog("Define/Edit", 1s), nullptr);

    Select(3);
    RECT client{};
    ::GetClientRect(quilldeck.ListView(), &client);
    POINT beside = quilldeck.RowPoint(3);
    ::ScreenToClient(quilldeck.ListView(), &beside);
    beside.x = client.right - 1;
    ::ClientToScreen(quilldeck.ListView(), &beside);
    input.DoubleClickAt(beside);
    ASSERT_TRUE(quilldeck.Settle());
    EXPECT_EQ(quilldeck.SelectedRow(), -1);
    EXPECT_EQ(quilldeck.Dialog("Define/Edit", 1s), nullptr);
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 0ms));
}

TEST_F(ListCommandTest, DeleteIsRefusedForAnUndefinedRow) {
    Select(2);
    Keys("ctrl+Delete");
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 1s));
}

TEST_F(ListCommandTest, DeleteAsksFirstAndOnlyYesClearsTheSlot) {
    Select(3);
    Keys("ctrl+Delete");
    auto box = FindMessageBox(quilldeck.Process().Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Confirm");
    EXPECT_EQ(box->text, "Are you sure?");
    EXPECT_TRUE(box->hasIcon);
    ASSERT_EQ(box->buttons.size(), 2u);
    // Escape answers No: nothing changes.
    Keys("Escape");
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box->window); }));
    EXPECT_EQ(quilldeck.RowText(3, 1), "Fourth");
    EXPECT_EQ(quilldeck.StatusText(), "4/20");

    Keys("ctrl+Delete");
    box = FindMessageBox(quilldeck.Process().Id());
    ASSERT_TRUE(box);
    Keys("Return");  // Yes is the default
    ASSERT_TRUE(WaitFor([&] { return quilldeck.RowText(3, 1) == "<Not Define>"; }));
    EXPECT_EQ(quilldeck.RowText(3, 2), "None");
    EXPECT_FALSE(quilldeck.Checked(3));
    EXPECT_EQ(quilldeck.SelectedRow(), 3);
    EXPECT_EQ(quilldeck.StatusText(), "");
    EXPECT_EQ(quilldeck.Settings(), SlotsFourAndFive);
}

TEST_F(ListCommandTest, SpaceTicksTheRowInMemoryUntilTheNextMinimise) {
    Select(4);
    Keys("space");
    EXPECT_TRUE(quilldeck.Checked(4));
    EXPECT_EQ(quilldeck.Settings(), SlotsFourAndFive);
    EXPECT_TRUE(CombinationIsFree(MOD_CONTROL | MOD_ALT, '5'));
    ::PostMessageA(quilldeck.MainWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_NE(quilldeck.Settings().find("1\r\nFifth\r\n"), std::string::npos);
    EXPECT_TRUE(WaitFor([] { return !CombinationIsFree(MOD_CONTROL | MOD_ALT, '5'); }));
}

}  // namespace
}  // namespace quilldeck
