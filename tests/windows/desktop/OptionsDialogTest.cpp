#include <windows.h>
#include <shlobj.h>

#include "DialogLayouts.h"
#include "ProgramFixture.h"
#include "ui/OptionsLayout.h"
#include "win/Shell.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;
namespace options = ui::options;

// Slot 1 pastes "quick" on Ctrl+Alt+Q; not started minimised.
const std::string OneSlot =
    " \r\n1\r\nQuick\r\nCtrl+Alt+Q\r\n[memo]\r\nquick\r\n[/memo]\r\n\r\n";

FILETIME WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SameTime(const FILETIME& a, const FILETIME& b) { return ::CompareFileTime(&a, &b) == 0; }

// The Options dialog of a program started with one slot; the Startup folder
// holds no shortcut of ours before and after each test.
class OptionsDialogTest : public ShownProgramFixture {
protected:
    OptionsDialogTest() : ShownProgramFixture(OneSlot) { ::DeleteFileA(StartupShortcut().c_str()); }
    ~OptionsDialogTest() override { ::DeleteFileA(StartupShortcut().c_str()); }

    HWND OpenOptions() { return OpenOptionsOf(quilldeck); }

    static HWND Control(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }
    void Toggle(HWND dialog, int id) const { ASSERT_TRUE(ClickCheckBox(dialog, id)); }
    void PressOK(HWND dialog) { PressOK(dialog, quilldeck); }
    void PressOK(HWND dialog, QuilldeckProgram& program) const {
        ASSERT_TRUE(ClickOKOf(program, dialog, options::IdButton1));
    }

    // Whether the settings file says to start minimised, once Exit has saved.
    bool ExitSavesStartMinimized() {
        EXPECT_EQ(quilldeck.Exit(), 0u);
        return quilldeck.Settings().starts_with("#\r\n");
    }

    ComApartment com;
};

TEST_F(OptionsDialogTest, ShowsItsControlsInPlaceAndInTabOrderWithTheCurrentChoices) {
    const HWND dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    ExpectDialogFrame(dialog, quilldeck.MainWindow(), 245, 115);
    ExpectControls(dialog, OptionsDesign);
    const int tabOrder[] = {options::IdCheckBox1, options::IdCheckBox2, options::IdButton1, options::IdButton3};
    ExpectTabOrder(dialog, tabOrder);
    EXPECT_TRUE(WaitFor([&] { return FocusedControlOf(dialog) == Control(dialog, options::IdCheckBox1); }));
    EXPECT_FALSE(Ticked(dialog, options::IdCheckBox1));
    EXPECT_FALSE(Ticked(dialog, options::IdCheckBox2));
    EXPECT_TRUE(::IsWindowEnabled(Control(dialog, options::IdCheckBox1)));
    PumpFor(300ms);
    EXPECT_TRUE(Screenshot::Take(ProgramFolder() + "options-dialog.png").has_value());

    // Enter and Escape on a check box end nothing; Enter on OK does.
    input.KeyTo(dialog, "Return");
    input.KeyTo(dialog, "Escape");
    EXPECT_TRUE(StaysOpen(dialog));
    input.KeyTo(dialog, "Tab Tab Return");
    EXPECT_TRUE(Closes(dialog));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(quilldeck.MainWindow()) != FALSE; }));
}

TEST_F(OptionsDialogTest, RunOnSystemStartupCreatesAShortcutToTheProgramAndUntickingRemovesIt) {
    HWND dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    Toggle(dialog, options::IdCheckBox1);
    PressOK(dialog);
    ASSERT_TRUE(WaitFor([] { return IsFile(StartupShortcut()); }));
    const auto link = ReadShellLink(StartupShortcut());
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(_stricmp(link->target.c_str(), (ProgramFolder() + "Quilldeck.exe").c_str()), 0) << link->target;
    EXPECT_EQ(_stricmp(link->workingDirectory.c_str(), ProgramFolder().c_str()), 0) << link->workingDirectory;

    // Read afresh from the file system at the next opening.
    dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Ticked(dialog, options::IdCheckBox1));
    Toggle(dialog, options::IdCheckBox1);
    PressOK(dialog);
    EXPECT_TRUE(WaitFor([] { return !IsFile(StartupShortcut()); }));

    // Unticked with no shortcut there: OK does nothing and says nothing.
    const auto before = FolderEntries(StartupFolder());
    dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Ticked(dialog, options::IdCheckBox1));
    PressOK(dialog);
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 1s));
    EXPECT_EQ(FolderEntries(StartupFolder()), before);
}

TEST_F(OptionsDialogTest, AnExistingShortcutIsNeverRewrittenWhereverItPoints) {
    win::SaveShellLink(StartupShortcut(), "C:\\windows\\notepad.exe", "C:\\windows\\");
    const std::string bytes = ReadFileBytes(StartupShortcut());
    const FILETIME written = WriteTime(StartupShortcut());

    const HWND dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Ticked(dialog, options::IdCheckBox1));
    PressOK(dialog);
    ASSERT_TRUE(quilldeck.Settle());
    EXPECT_EQ(ReadFileBytes(StartupShortcut()), bytes);
    EXPECT_TRUE(SameTime(WriteTime(StartupShortcut()), written));
    EXPECT_EQ(ReadShellLink(StartupShortcut())->target, "C:\\windows\\notepad.exe");
}

class OptionsCancelTest : public OptionsDialogTest, public ::testing::WithParamInterface<int> {};

// Cancel, Enter on Cancel and the close box, after both boxes were changed.
TEST_P(OptionsCancelTest, EndingWithoutOKChangesNeitherTheShortcutNorTheStartMinimisedChoice) {
    const HWND dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    Toggle(dialog, options::IdCheckBox1);
    Toggle(dialog, options::IdCheckBox2);
    switch (GetParam()) {
        case 0: input.ClickOn(Control(dialog, options::IdButton3)); break;
        case 1: input.KeyTo(dialog, "Tab Tab Return"); break;  // from the second box past OK to Cancel
        case 2: CloseBoxOf(dialog); break;
    }
    ASSERT_TRUE(Closes(dialog));
    ASSERT_TRUE(quilldeck.Settle());
    EXPECT_FALSE(IsFile(StartupShortcut()));
    EXPECT_FALSE(ExitSavesStartMinimized());
}

INSTANTIATE_TEST_SUITE_P(Ways, OptionsCancelTest, ::testing::Range(0, 3));

TEST_F(OptionsDialogTest, StartMinimisedConfirmedIsSavedAtExitAndTheNextStartGoesStraightToTheTray) {
    const std::string before = quilldeck.Settings();
    const HWND dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    Toggle(dialog, options::IdCheckBox2);
    PressOK(dialog);
    // Memory only until the next save.
    EXPECT_EQ(quilldeck.Settings(), before);
    ASSERT_TRUE(ExitSavesStartMinimized());

    QuilldeckProgram next(quilldeck.Settings());
    const HWND main = next.MainWindow();
    ASSERT_NE(main, nullptr);
    bool everShown = false;
    const bool inTray = WaitFor([&] {
        if (::IsWindowVisible(main) && (::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_LAYERED) == 0) everShown = true;
        return !::IsWindowVisible(main) && TrayShowsAnIcon();
    });
    EXPECT_TRUE(inTray);
    EXPECT_FALSE(everShown);
    EXPECT_TRUE(InTray(next));
    EXPECT_TRUE(Pastes("ctrl+alt+q", u"quick"));

    // The dialog of that start shows the choice, and unticking it undoes it.
    DoubleClickTheIcon();
    ASSERT_TRUE(ShownOpaque(next));
    FocusQuilldeck(next);
    input.Key("alt+f o");
    const HWND again = next.Dialog(options::Caption);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(Ticked(again, options::IdCheckBox2));
    Toggle(again, options::IdCheckBox2);
    PressOK(again, next);
    EXPECT_EQ(next.Exit(), 0u);
    EXPECT_TRUE(next.Settings().starts_with(" \r\n"));
}

// The shell cannot name the Startup folder (its registered place is on a
// drive that does not exist): the box shows unticked and cannot be ticked,
// and OK touches no file.
TEST_F(OptionsDialogTest, WithoutAStartupFolderTheBoxIsUntickedAndOKWritesNoShortcut) {
    const std::string folder = StartupFolder();
    const auto before = FolderEntries(folder);
    {
        const ScopedRegistryValue nowhere(HKEY_CURRENT_USER,
                                          "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                          "Startup", "Q:\\No such drive\\StartUp");
        const HWND dialog = OpenOptions();
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(Ticked(dialog, options::IdCheckBox1));
        EXPECT_FALSE(::IsWindowEnabled(Control(dialog, options::IdCheckBox1)));
        input.ClickOn(Control(dialog, options::IdCheckBox1));
        ASSERT_TRUE(quilldeck.Settle());
        EXPECT_FALSE(Ticked(dialog, options::IdCheckBox1));
        PressOK(dialog);
        EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 1s));
    }
    EXPECT_EQ(FolderEntries(folder), before);
    EXPECT_FALSE(IsFile(StartupShortcut()));
}

// The shell link class cannot be created: the error is shown like any other,
// nothing is written, and the start-minimised choice of that OK is not taken.
TEST_F(OptionsDialogTest, ALinkObjectThatCannotBeCreatedIsReportedAndTheOtherChoiceKeepsItsValue) {
    {
        const ScopedRegistryValue missing(HKEY_LOCAL_MACHINE,
                                          "Software\\Classes\\CLSID\\{00021401-0000-0000-C000-000000000046}"
                                          "\\InprocServer32",
                                          "", "quilldeck-no-such-library.dll");
        const HWND dialog = OpenOptions();
        ASSERT_NE(dialog, nullptr);
        Toggle(dialog, options::IdCheckBox1);
        Toggle(dialog, options::IdCheckBox2);
        PressOK(dialog);
        const auto box = FindMessageBox(quilldeck.Process().Id());
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->caption, "Quilldeck");
        EXPECT_TRUE(box->text.starts_with("System Error.  Code: ")) << box->text;
        EXPECT_TRUE(box->hasIcon);
        PressButton(*box, "OK");
    }
    EXPECT_FALSE(IsFile(StartupShortcut()));
    EXPECT_FALSE(ExitSavesStartMinimized());
}

}  // namespace
}  // namespace quilldeck
