// Whole journeys through the program as its users make them, on a desktop
// with a window manager, driven only from outside: keys and clicks through
// the X server, the tray, the files on disk, Notepad as the program that
// receives the pastes, and screenshots.

#include <windows.h>

#include "JourneyFixture.h"
#include "ui/AboutLayout.h"
#include "ui/DefineLayout.h"
#include "ui/OptionsLayout.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;
namespace options = ui::options;

class JourneyTest : public JourneyFixture {
protected:
    // Minimises the shown window with its title-bar button.
    ::testing::AssertionResult Minimise(QuilldeckProgram& quilldeck) const {
        if (!ClickTitleBarButton(quilldeck.MainWindow(), TitleBarButton::Minimise)) {
            return ::testing::AssertionFailure() << "no title bar";
        }
        return InTray(quilldeck);
    }
    static ::testing::AssertionResult SettingsBecome(QuilldeckProgram& quilldeck, const std::string& expected) {
        if (WaitFor([&] { return quilldeck.Settings() == expected; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the settings file holds\n" << quilldeck.Settings();
    }
    static ::testing::AssertionResult EndsWithZero(QuilldeckProgram& quilldeck) {
        const std::optional<DWORD> code = quilldeck.Process().WaitForExit(15s);
        if (code == 0u) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "exit code " << (code ? std::to_string(*code) : "none: still running");
    }
    void TearDown() override {
        ProgramFixture::TearDown();
        EXPECT_TRUE(NoKeyHeld());
    }
};

// 1. The very first start: no settings folder yet.
TEST_F(JourneyTest, AFirstStartCreatesTheSettingsAndShowsTwentyEmptySlotsInFront) {
    QuilldeckProgram quilldeck;
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_TRUE(InFront(quilldeck.MainWindow()));
    EXPECT_TRUE(IsFolder(quilldeck.AppData() + "\\Kestrovar"));
    EXPECT_EQ(quilldeck.Settings(), "");
    ASSERT_EQ(quilldeck.RowCount(), 20);
    for (int row = 0; row < 20; ++row) {
        SCOPED_TRACE(row + 1);
        EXPECT_EQ(quilldeck.RowText(row, 1), "<Not Define>");
        EXPECT_EQ(quilldeck.RowText(row, 2), "None");
        EXPECT_FALSE(quilldeck.Checked(row));
    }
    EXPECT_EQ(quilldeck.StatusText(), "1/20");
    EXPECT_EQ(quilldeck.SelectedRow(), 0);
    KeepPicture(quilldeck.MainWindow(), "main-window-empty.png");

    // The About box from the Help menu, ended with its OK button.
    input.Key("alt+h a");
    const HWND about = quilldeck.Dialog(ui::about::Caption);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(InFront(about));
    KeepPicture(about, "about-box.png");
    ClickControl(about, ui::about::IdButton1);
    EXPECT_TRUE(Closes(about));
    EXPECT_TRUE(InFront(quilldeck.MainWindow()));

    EXPECT_EQ(quilldeck.Exit(), 0u);
    EXPECT_EQ(quilldeck.Settings(), SettingsOf({}));
}

// 2. Two slots defined with the keyboard alone, one switched off again with
// a click; the next minimise saves both and binds only the active one.
TEST_F(JourneyTest, SlotsDefinedByKeyboardPasteIntoAnotherProgramOnlyWhileTicked) {
    Notepad notepad;
    QuilldeckProgram quilldeck;
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ASSERT_TRUE(InFront(quilldeck.MainWindow()));

    // Row 1 is selected and the list has the keyboard: F5 opens the dialog
    // with its first field ready for typing.
    input.Key("F5");
    HWND dialog = quilldeck.Dialog(ui::DefineCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(InFront(dialog));
    input.Key("shift+g r e e t i n g Tab ctrl+alt+g Tab shift+h e l l o comma Return shift+w o r l d");
    KeepPicture(dialog, "define-dialog.png");
    input.Key("Tab space Tab Return");
    ASSERT_TRUE(Closes(dialog));
    ASSERT_TRUE(quilldeck.Settle());
    // Wine 8 does not hand the owner's activation to the window manager when
    // a dialog closes, and openbox activates Notepad instead: the user
    // clicks the window's title bar to come back to it.
    ASSERT_TRUE(ClickTitleBar(quilldeck.MainWindow()));
    ASSERT_TRUE(InFront(quilldeck.MainWindow()));

    input.Key("Down F5");
    dialog = quilldeck.Dialog(ui::DefineCaption);
    ASSERT_NE(dialog, nullptr);
    input.Key("shift+a d d r e s s Tab ctrl+alt+a Tab 1 space shift+m a i n space s t r e e t Tab space Tab Return");
    ASSERT_TRUE(Closes(dialog));
    ASSERT_TRUE(quilldeck.Settle());
    EXPECT_EQ(quilldeck.RowText(0, 1), "Greeting");
    EXPECT_EQ(quilldeck.RowText(0, 2), "Ctrl+Alt+G");
    EXPECT_EQ(quilldeck.RowText(1, 1), "Address");
    EXPECT_EQ(quilldeck.RowText(1, 2), "Ctrl+Alt+A");
    EXPECT_TRUE(quilldeck.Checked(0));
    ASSERT_TRUE(quilldeck.Checked(1));
    EXPECT_EQ(quilldeck.StatusText(), "2/20");
    ASSERT_TRUE(ClickTitleBar(quilldeck.MainWindow()));
    ASSERT_TRUE(InFront(quilldeck.MainWindow()));
    KeepPicture(quilldeck.MainWindow(), "main-window.png");

    // Address off with a click on its box.
    const POINT box = quilldeck.CheckBoxPoint(1);
    EXPECT_TRUE(input.ClickAt(box));
    ASSERT_TRUE(WaitFor([&] { return !quilldeck.Checked(1); }));

    ASSERT_TRUE(Minimise(quilldeck));
    EXPECT_TRUE(SettingsBecome(quilldeck, SettingsOf({Record("1", "Greeting", "Ctrl+Alt+G", "Hello,\r\nWorld"),
                                                      Record("0", "Address", "Ctrl+Alt+A", "1 Main street")})));
    EXPECT_TRUE(notepad.Receives("ctrl+alt+g", "Hello,\r\nWorld"));
    EXPECT_TRUE(NoKeyHeld());
    EXPECT_TRUE(notepad.Receives("ctrl+alt+a", ""));
    EXPECT_TRUE(NoKeyHeld());
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_TRUE(EndsWithZero(quilldeck));
}

// 3. Every way into the tray saves; every way back brings the window to the
// front; both ways out end the program with a save.
TEST_F(JourneyTest, EveryWayIntoTheTrayAndBackAndOutSavesAndKeepsTheWindowInFront) {
    const std::string settings = SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick")});
    QuilldeckProgram quilldeck(settings);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ASSERT_TRUE(InFront(quilldeck.MainWindow()));
    const HWND main = quilldeck.MainWindow();
    const struct {
        const char* hide;
        std::function<void()> hideIt;
        const char* restore;
        std::function<void()> restoreIt;
    } ways[] = {
        {"the minimise button", [&] { ClickTitleBarButton(main, TitleBarButton::Minimise); },
         "a double click on the icon", [] { DoubleClickTheIcon(); }},
        {"the close box", [&] { ClickTitleBarButton(main, TitleBarButton::Close); },
         "the tray menu's Restore", [&] { EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Restore")); }},
        {"Alt+F4", [&] { input.Key("alt+F4"); }, "a double click on the icon", [] { DoubleClickTheIcon(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(std::string(way.hide) + ", then " + way.restore);
        // An empty file shows that the save came.
        WriteFileBytes(quilldeck.SettingsPath(), "");
        way.hideIt();
        ASSERT_TRUE(InTray(quilldeck));
        EXPECT_TRUE(SettingsBecome(quilldeck, settings));
        way.restoreIt();
        ASSERT_TRUE(ShownOpaque(quilldeck));
        EXPECT_TRUE(InFront(main));
        EXPECT_FALSE(TrayShowsAnIcon());
    }
    KeepPicture(main, "main-window-restored.png");

    // The tray menu's Exit.
    input.Key("alt+F4");
    ASSERT_TRUE(InTray(quilldeck));
    WriteFileBytes(quilldeck.SettingsPath(), "");
    const std::optional<OpenMenu> menu = OpenTrayMenu(quilldeck);
    ASSERT_TRUE(menu);
    RECT area = menu->rect;
    if (const HWND tray = SystemTrayWindow(); const auto frame = desktop.FrameOf(tray)) ::UnionRect(&area, &area, &frame->outer);
    ::InflateRect(&area, 8, 8);
    area.left = std::max(area.left, 0L);
    area.top = std::max(area.top, 0L);
    KeepPicture(area, "tray-menu.png");
    // Exit, the lower of its two entries, with a click.
    EXPECT_TRUE(input.ClickAt(
        {(menu->rect.left + menu->rect.right) / 2, menu->rect.bottom - (menu->rect.bottom - menu->rect.top) / 4}));
    EXPECT_TRUE(EndsWithZero(quilldeck));
    EXPECT_EQ(quilldeck.Settings(), settings);
    EXPECT_TRUE(WaitFor([] { return !TrayShowsAnIcon(); }));

    // File, Exit, by keys.
    QuilldeckProgram again(settings);
    ASSERT_TRUE(ShownOpaque(again));
    ASSERT_TRUE(InFront(again.MainWindow()));
    WriteFileBytes(again.SettingsPath(), "");
    input.Key("alt+f e");
    EXPECT_TRUE(EndsWithZero(again));
    EXPECT_EQ(again.Settings(), settings);
}

// 4. A file written by hand in the program's own layout, with what its
// rules allow: it shows, pastes and comes back byte for byte.
TEST_F(JourneyTest, AHandWrittenSettingsFileLoadsPastesAndIsWrittenBackByteForByte) {
    const std::string letter = "Dear all,\r\n\r\n\r\nSee you.\r\n";  // blank lines, and a last line break
    std::string longText;
    for (int n = 0; longText.size() < 300; ++n) longText += "word" + std::to_string(n) + " ";
    const std::string handWritten = SettingsOf({
        Record("1", "Letter", "Ctrl+Alt+L", letter),
        Record("1", "No key", "Ctrl+Banana", "never"),
        Record("0", "Ctrl+Alt+D", "None", "looks like a shortcut"),
        Record("1", "  Long  ", "Ctrl+Shift+F9", longText),
        EmptyRecord,
        Record("0", "<Not Define>", "Alt+F7", "an undefined slot with a key"),
    });
    Notepad notepad;
    QuilldeckProgram quilldeck(handWritten);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    const struct {
        int row;
        const char* description;
        const char* shortcut;
        bool active;
    } rows[] = {{0, "Letter", "Ctrl+Alt+L", true},       {1, "No key", "Ctrl+Banana", true},
                {2, "Ctrl+Alt+D", "None", false},        {3, "  Long  ", "Ctrl+Shift+F9", true},
                {4, "<Not Define>", "None", false},      {5, "<Not Define>", "Alt+F7", false},
                {19, "<Not Define>", "None", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.row + 1);
        EXPECT_EQ(quilldeck.RowText(row.row, 1), row.description);
        EXPECT_EQ(quilldeck.RowText(row.row, 2), row.shortcut);
        EXPECT_EQ(quilldeck.Checked(row.row), row.active);
    }

    ASSERT_TRUE(Minimise(quilldeck));
    EXPECT_TRUE(SettingsBecome(quilldeck, handWritten));
    EXPECT_TRUE(notepad.Receives("ctrl+alt+l", letter));
    EXPECT_TRUE(notepad.Receives("ctrl+shift+F9", longText));
    EXPECT_TRUE(notepad.Receives("ctrl+alt+d", ""));
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_TRUE(EndsWithZero(quilldeck));
    EXPECT_EQ(quilldeck.Settings(), handWritten);
}

// 4. The rules for what a hand-written file may leave out or get wrong: LF
// alone, empty fields, a lone CR, a wrong block opener, an unclosed block
// after Ctrl+Z, records beyond the twentieth.
TEST_F(JourneyTest, AHandWrittenFileWithLooseLinesLoadsByTheRulesAndIsWrittenInTheProgramsLayout) {
    std::string loose = "not a header\n";
    loose += "1\nUnix lines\nCtrl+Alt+U\n[memo]\nfirst\nsecond\n[/memo]\n\n";  // LF alone
    loose += "yes\n\n\n[memo]\ntext\n[/memo]\n\n";                              // flag not "1", empty fields
    loose += "1\nLone\rCR\nCtrl+Alt+K\r\n[memo]\r\nab\rc\r\n[/memo]\r\n\r\n";     // a CR alone is dropped
    loose += "1\nNo block\nNone\n[MEMO]\nseparator\n";                           // wrong opener, text empty
    for (int n = 5; n <= 21; ++n) {
        loose += "1\nSlot " + std::to_string(n) + "\nNone\n[memo]\n[/memo]\n\n";
    }
    loose.insert(loose.find("Slot 7\n") - 2, "\x1A");  // the data end before the seventh record
    QuilldeckProgram quilldeck(loose);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_EQ(quilldeck.RowText(1, 1), "<Not Define>");
    EXPECT_EQ(quilldeck.RowText(1, 2), "None");
    EXPECT_EQ(quilldeck.RowText(2, 1), "LoneCR");

    ASSERT_TRUE(Minimise(quilldeck));
    EXPECT_TRUE(SettingsBecome(quilldeck, SettingsOf({
                                              Record("1", "Unix lines", "Ctrl+Alt+U", "first\r\nsecond"),
                                              Record("0", "<Not Define>", "None", "text"),
                                              Record("1", "LoneCR", "Ctrl+Alt+K", "abc"),
                                              Record("1", "No block", "None"),
                                              Record("1", "Slot 5", "None"),
                                              Record("1", "Slot 6", "None"),
                                          })));
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_TRUE(EndsWithZero(quilldeck));
}

// 5. Start-minimised set in Options takes the next start straight to the
// tray without a glimpse of the window; cleared, the window shows again.
TEST_F(JourneyTest, StartMinimisedFromOptionsNeverShowsTheWindowAndClearedShowsItAgain) {
    const std::string settings = SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick")});
    std::string startMinimised;
    {
        QuilldeckProgram quilldeck(settings);
        ASSERT_TRUE(ShownOpaque(quilldeck));
        const HWND dialog = OpenOptionsOf(quilldeck);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(Ticked(dialog, options::IdCheckBox2));
        ASSERT_TRUE(ClickCheckBox(dialog, options::IdCheckBox2));
        ASSERT_TRUE(ClickOKOf(quilldeck, dialog, options::IdButton1));
        input.Key("alt+f e");
        ASSERT_TRUE(EndsWithZero(quilldeck));
        EXPECT_EQ(quilldeck.Settings(), SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick")}, true));
        startMinimised = quilldeck.Settings();
    }

    // Where the window would show: the middle of the screen.
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    const RECT middle{width / 2 - 230, height / 2 - 170, width / 2 + 230, height / 2 + 170};
    Notepad notepad;
    ::ShowWindow(notepad.Window(), SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(notepad.Window()) != FALSE; }));
    ScreenWatch watch(middle);
    ASSERT_TRUE(watch.Started());
    QuilldeckProgram quilldeck(startMinimised);
    ASSERT_TRUE(InTray(quilldeck));
    // A moment more: the start has ended.
    ASSERT_TRUE(quilldeck.Settle());
    const int samplesAtTray = watch.Samples();
    WaitFor([&] { return watch.Samples() >= samplesAtTray + 2; });
    watch.Stop();
    EXPECT_GE(watch.Samples(), 2);
    EXPECT_FALSE(watch.Changed()) << "the window showed during the start: see pictures/screen-watch-changed.png";
    ::ShowWindow(notepad.Window(), SW_RESTORE);
    EXPECT_TRUE(notepad.Receives("ctrl+alt+q", "quick"));

    // Back to the window, clear the choice, exit: the next start shows it.
    DoubleClickTheIcon();
    ASSERT_TRUE(ShownOpaque(quilldeck));
    const HWND dialog = OpenOptionsOf(quilldeck);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Ticked(dialog, options::IdCheckBox2));
    KeepPicture(dialog, "options-dialog.png");
    ASSERT_TRUE(ClickCheckBox(dialog, options::IdCheckBox2));
    ASSERT_TRUE(ClickOKOf(quilldeck, dialog, options::IdButton1));
    input.Key("alt+f e");
    ASSERT_TRUE(EndsWithZero(quilldeck));
    QuilldeckProgram next(quilldeck.Settings());
    EXPECT_TRUE(ShownOpaque(next));
    EXPECT_TRUE(InFront(next.MainWindow()));
    EXPECT_EQ(next.Exit(), 0u);
}

// 6. Run on System Startup is the shortcut in the Startup folder.
TEST_F(JourneyTest, RunOnSystemStartupCreatesTheShortcutShowsItTickedAndUntickedRemovesIt) {
    ComApartment com;
    ::DeleteFileA(StartupShortcut().c_str());
    QuilldeckProgram quilldeck(SettingsOf({}));
    ASSERT_TRUE(ShownOpaque(quilldeck));

    HWND dialog = OpenOptionsOf(quilldeck);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Ticked(dialog, options::IdCheckBox1));
    ASSERT_TRUE(ClickCheckBox(dialog, options::IdCheckBox1));
    ASSERT_TRUE(ClickOKOf(quilldeck, dialog, options::IdButton1));
    const std::optional<ShellLinkView> link = ReadShellLink(StartupShortcut());
    ASSERT_TRUE(link);
    EXPECT_EQ(_stricmp(link->target.c_str(), (ProgramFolder() + "Quilldeck.exe").c_str()), 0) << link->target;

    dialog = OpenOptionsOf(quilldeck);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Ticked(dialog, options::IdCheckBox1));
    ASSERT_TRUE(ClickCheckBox(dialog, options::IdCheckBox1));
    ASSERT_TRUE(ClickOKOf(quilldeck, dialog, options::IdButton1));
    EXPECT_FALSE(IsFile(StartupShortcut()));
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

// 7. A second start while the first sits in the tray.
TEST_F(JourneyTest, ASecondCopyIsRefusedWhileTheFirstStaysInTheTrayAndPastes) {
    const std::string settings = SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick")}, true);
    Notepad notepad;
    QuilldeckProgram first(settings);
    ASSERT_TRUE(InTray(first));
    ASSERT_TRUE(SettingsBecome(first, settings));
    const FILETIME written = first.SettingsWriteTime();

    QuilldeckProgram second(settings);
    std::optional<MessageBoxView> box;
    ASSERT_TRUE(ShowsBox(second, "Quilldeck", "Quilldeck already running.!", {"OK"}, &box));
    EXPECT_TRUE(InFront(box->window));
    EXPECT_TRUE(ClickBoxButton(*box, "OK"));
    EXPECT_TRUE(EndsWithZero(second));
    EXPECT_EQ(second.Settings(), settings);

    EXPECT_TRUE(InTray(first));
    EXPECT_EQ(first.Settings(), settings);
    const FILETIME now = first.SettingsWriteTime();
    EXPECT_EQ(::CompareFileTime(&now, &written), 0);
    EXPECT_EQ(ShownTrayIconsWithTip("Quilldeck 1.01").size(), 1u);
    EXPECT_TRUE(notepad.Receives("ctrl+alt+q", "quick"));
    EXPECT_TRUE(ChooseInTrayMenu(first, "Exit"));
    EXPECT_TRUE(EndsWithZero(first));
}

// 8. The list's commands change the slots in memory; the file and the hot
// keys learn of them at the next minimise, all at once.
TEST_F(JourneyTest, ListChangesReachTheFileAndTheHotKeysOnlyAtTheNextMinimise) {
    const std::string settings = SettingsOf({Record("1", "One", "Ctrl+Alt+1", "one"),
                                             Record("1", "Two", "Ctrl+Alt+2", "two"),
                                             Record("1", "Three", "Ctrl+Alt+3", "three")});
    Notepad notepad;
    QuilldeckProgram quilldeck(settings);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ASSERT_TRUE(Minimise(quilldeck));
    ASSERT_TRUE(SettingsBecome(quilldeck, settings));
    DoubleClickTheIcon();
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ASSERT_TRUE(InFront(quilldeck.MainWindow()));
    const FILETIME written = quilldeck.SettingsWriteTime();

    // Three up: One, Three, Two. Then One down: Three, One, Two.
    quilldeck.SelectRowByClick(2);
    ASSERT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == 2; }));
    input.Key("ctrl+Up");
    ASSERT_TRUE(WaitFor([&] { return quilldeck.RowText(1, 1) == "Three"; }));
    quilldeck.SelectRowByClick(0);
    ASSERT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == 0; }));
    input.Key("ctrl+Down");
    ASSERT_TRUE(WaitFor([&] { return quilldeck.RowText(1, 1) == "One" && quilldeck.SelectedRow() == 1; }));
    EXPECT_EQ(quilldeck.StatusText(), "2/20");

    // Delete Two on row 3: No keeps it, Yes clears it.
    quilldeck.SelectRowByClick(2);
    ASSERT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == 2; }));
    input.Key("ctrl+Delete");
    std::optional<MessageBoxView> box;
    ASSERT_TRUE(ShowsBox(quilldeck, "Confirm", "Are you sure?", {"&Yes", "&No"}, &box));
    EXPECT_TRUE(InFront(box->window));
    input.Key("Escape");
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box->window); }));
    EXPECT_EQ(quilldeck.RowText(2, 1), "Two");
    input.Key("ctrl+Delete");
    ASSERT_TRUE(ShowsBox(quilldeck, "Confirm", "Are you sure?", {"&Yes", "&No"}, &box));
    input.Key("Return");
    ASSERT_TRUE(WaitFor([&] { return quilldeck.RowText(2, 1) == "<Not Define>"; }));
    EXPECT_EQ(quilldeck.StatusText(), "");

    // Three off with a click on its box.
    EXPECT_TRUE(input.ClickAt(quilldeck.CheckBoxPoint(0)));
    ASSERT_TRUE(WaitFor([&] { return !quilldeck.Checked(0); }));

    // Nothing of it has reached the file or the hot keys.
    EXPECT_EQ(quilldeck.Settings(), settings);
    const FILETIME stillWritten = quilldeck.SettingsWriteTime();
    EXPECT_EQ(::CompareFileTime(&stillWritten, &written), 0);
    EXPECT_TRUE(notepad.Receives("ctrl+alt+1", "one"));
    EXPECT_TRUE(notepad.Receives("ctrl+alt+2", "two"));
    EXPECT_TRUE(notepad.Receives("ctrl+alt+3", "three"));

    // The minimise brings all of it.
    FocusQuilldeck(quilldeck);
    ASSERT_TRUE(Minimise(quilldeck));
    EXPECT_TRUE(SettingsBecome(quilldeck, SettingsOf({Record("0", "Three", "Ctrl+Alt+3", "three"),
                                                      Record("1", "One", "Ctrl+Alt+1", "one")})));
    EXPECT_TRUE(notepad.Receives("ctrl+alt+1", "one"));
    EXPECT_TRUE(notepad.Receives("ctrl+alt+2", ""));
    EXPECT_TRUE(notepad.Receives("ctrl+alt+3", ""));
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_TRUE(EndsWithZero(quilldeck));
}

// 9. The clipboard held open by another program: reported, and the next
// press pastes.
TEST_F(JourneyTest, AClipboardHeldByAnotherProgramIsReportedAndTheNextPressPastes) {
    Notepad notepad;
    QuilldeckProgram quilldeck(SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick")}, true));
    ASSERT_TRUE(InTray(quilldeck));
    {
        ClipboardHolder holder(2000);
        ASSERT_TRUE(holder.WaitUntilHeld());
        ASSERT_TRUE(notepad.Activate());
        input.Key("ctrl+alt+q");
        std::optional<MessageBoxView> box;
        ASSERT_TRUE(ShowsBox(quilldeck, "Quilldeck", "Cannot open clipboard.", {"OK"}, &box));
        EXPECT_EQ(notepad.Text(), "");
        EXPECT_TRUE(NoKeyHeld());
        EXPECT_EQ(holder.WaitForRelease(10s), 0u);
        EXPECT_TRUE(ClickBoxButton(*box, "OK"));
    }
    EXPECT_TRUE(notepad.Receives("ctrl+alt+q", "quick"));
    EXPECT_TRUE(InTray(quilldeck));
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_TRUE(EndsWithZero(quilldeck));
}

// 9. A read-only settings file: the minimise reports it and leaves the
// program minimised with its taskbar button; Exit then offers to end
// without saving.
TEST_F(JourneyTest, AReadOnlySettingsFileIsReportedAndExitOffersToEndWithoutSaving) {
    const std::string settings = SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick")});
    QuilldeckProgram quilldeck(settings, SW_SHOWNORMAL, true);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    ASSERT_TRUE(ClickTitleBarButton(quilldeck.MainWindow(), TitleBarButton::Minimise));
    std::optional<MessageBoxView> box;
    ASSERT_TRUE(ShowsBox(quilldeck, "Quilldeck", "File access denied.", {"OK"}, &box));
    // Openbox hides the box with the minimised window that owns it, so no
    // click reaches it: it is answered from outside.
    PressButton(*box, "OK");
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box->window); }));
    EXPECT_FALSE(quilldeck.Shown());
    EXPECT_TRUE(::IsWindowVisible(quilldeck.TaskbarEntry()));
    EXPECT_FALSE(TrayShowsAnIcon());

    // The taskbar button brings it back (openbox has no taskbar: its
    // activation of the button's window stands in for the click).
    input.Activate(quilldeck.TaskbarEntry());
    ASSERT_TRUE(ShownOpaque(quilldeck));
    FocusQuilldeck(quilldeck);
    input.Key("alt+f e");
    ASSERT_TRUE(ShowsBox(quilldeck, "Quilldeck", "File access denied.", {"OK"}, &box));
    ASSERT_TRUE(ClickBoxButton(*box, "OK"));
    std::optional<MessageBoxView> offer;
    ASSERT_TRUE(ShowsBox(quilldeck, "Confirm", "Settings could not be saved. Exit anyway?", {"&Yes", "&No"},
                         &offer));
    EXPECT_TRUE(ClickBoxButton(*offer, "&Yes"));
    EXPECT_TRUE(EndsWithZero(quilldeck));
    ::SetFileAttributesA(quilldeck.SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(quilldeck.Settings(), settings);
}

// Holds a hot key on a thread of its own, as another program would, and
// counts its presses.
class HotKeyHolder {
public:
    HotKeyHolder(UINT modifiers, UINT key)
        : thread_([this, modifiers, key] {
              MSG message{};
              ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue
              threadId_ = ::GetCurrentThreadId();
              held_ = ::RegisterHotKey(nullptr, 1, modifiers, key) != FALSE;
              ready_ = true;
              while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
                  if (message.message == WM_HOTKEY) ++presses_;
              }
              ::UnregisterHotKey(nullptr, 1);
          }) {
        WaitFor([&] { return ready_.load(); });
    }
    ~HotKeyHolder() {
        ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HotKeyHolder(const HotKeyHolder&) = delete;
    HotKeyHolder& operator=(const HotKeyHolder&) = delete;

    bool Held() const { return held_; }
    int Presses() const { return presses_; }

private:
    std::atomic<bool> ready_{false}, held_{false};
    std::atomic<int> presses_{0};
    std::atomic<DWORD> threadId_{0};
    std::thread thread_;
};

// 9. A hot key another program holds: nothing is said, the other slots work.
TEST_F(JourneyTest, AHotKeyAnotherProgramHoldsIsPassedOverSilently) {
    HotKeyHolder other(MOD_CONTROL | MOD_ALT, 'B');
    ASSERT_TRUE(other.Held());
    Notepad notepad;
    QuilldeckProgram quilldeck(SettingsOf({Record("1", "Taken", "Ctrl+Alt+B", "taken"),
                                           Record("1", "Free", "Ctrl+Alt+V", "free")},
                                          true));
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 1s));
    EXPECT_TRUE(notepad.Receives("ctrl+alt+v", "free"));
    // The combination is still the other program's.
    EXPECT_TRUE(notepad.Receives("ctrl+alt+b", ""));
    EXPECT_TRUE(WaitFor([&] { return other.Presses() == 1; }));
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_TRUE(EndsWithZero(quilldeck));
}

// 13. A hand-written file gives a slot Ctrl+V, the keys the paste itself
// presses: bound, the slot would set itself off without end. It is kept, in
// the list and the file, but never bound, and Ctrl+V stays the user's.
TEST_F(JourneyTest, ASlotWithCtrlVFromAFileIsKeptButNeverBoundAndCtrlVPastesAsUsual) {
    const std::string handWritten = SettingsOf({Record("1", "Loop", "Ctrl+V", "looping"),
                                                Record("1", "Quick", "Ctrl+Alt+Q", "quick")},
                                               true);
    Notepad notepad;
    QuilldeckProgram quilldeck(handWritten);
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_TRUE(notepad.Receives("ctrl+alt+q", "quick"));
    CopyToClipboard(u"from the clipboard");
    EXPECT_TRUE(notepad.Receives("ctrl+v", "from the clipboard"));
    EXPECT_EQ(ClipboardText(), u"from the clipboard");
    EXPECT_TRUE(quilldeck.Settle());
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 1s));

    DoubleClickTheIcon();
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_EQ(quilldeck.RowText(0, 1), "Loop");
    EXPECT_EQ(quilldeck.RowText(0, 2), "Ctrl+V");
    EXPECT_TRUE(quilldeck.Checked(0));
    // Bound again at this minimise, and still not the slot's.
    ASSERT_TRUE(Minimise(quilldeck));
    EXPECT_TRUE(notepad.Receives("ctrl+v", "from the clipboard"));
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_TRUE(EndsWithZero(quilldeck));
    EXPECT_EQ(quilldeck.Settings(), handWritten);
}

}  // namespace
}  // namespace quilldeck
