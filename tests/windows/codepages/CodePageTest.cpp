// The program under the system code page it finds: Western (1252), Cyrillic
// (1251) and Japanese (932), a double-byte code page whose second bytes may
// be a backslash or an ASCII letter. tools/test runs these tests once in each,
// each time in a Wine prefix of that locale; every test takes the script of
// the code page it finds. The system's own buttons speak the locale's
// language ("ОК" in Russian), so boxes are answered by their only button.

#include <windows.h>

#include <cstring>

#include "../desktop/JourneyFixture.h"
#include "ui/DefineLayout.h"
#include "ui/OptionsLayout.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

// What a user of a code page types and keeps: texts in its script, as UTF-16
// and as the code page's bytes, and the keys (X key names, so that commands
// stay ASCII) that type them.
struct Script {
    UINT codePage;
    const char* descriptionKeys;
    std::string descriptionBytes;
    std::u16string pastedText;  // pasted into the paste text, then textKeys typed
    const char* textKeys;
    std::u16string text;
    std::string textBytes;
    // A character of another script, which this code page lacks.
    std::u16string lacking;
    const char* lackingCode;
    // A folder and a program file name in the script, as the code page's bytes.
    std::string folderName;
    std::string programName;
    std::string instanceName;
};

const Script Scripts[] = {
    {1252, "C a f eacute space EuroSign", "Caf\xE9 \x80", u"\u2019Gr\u00FC\u00DF" u"e\u2019\r\n", "eacute",
     u"\u2019Gr\u00FC\u00DF" u"e\u2019\r\n\u00E9", "\x92Gr\xFC\xDF" "e\x92\r\n\xE9", u"\u0416", "U+0416",
     "Programme \xE4", "Quill\xE9.exe", "QUILL\xE9.EXE"},
    // "привет"; "Здравствуйте," and "мир".
    {1251, "Cyrillic_pe Cyrillic_er Cyrillic_i Cyrillic_ve Cyrillic_ie Cyrillic_te", "\xEF\xF0\xE8\xE2\xE5\xF2",
     u"\u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439\u0442\u0435,\r\n",
     "Cyrillic_em Cyrillic_i Cyrillic_er",
     u"\u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439\u0442\u0435,\r\n\u043C\u0438\u0440",
     "\xC7\xE4\xF0\xE0\xE2\xF1\xF2\xE2\xF3\xE9\xF2\xE5,\r\n\xEC\xE8\xF0", u"\u65E5", "U+65E5",
     // "Программы", "Перо.exe"
     "\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB", "\xCF\xE5\xF0\xEE.exe", "\xCF\xE5\xF0\xEE.EXE"},
    // "日本"; "表示" and "ソフト": the second bytes of "表" (95 5C) and "ソ"
    // (83 5C) are the backslash, that of "フ" (83 74) the letter "t".
    {932, "U65E5 U672C", "\x93\xFA\x96\x7B", u"\u8868\u793A\r\n", "U30BD U30D5 U30C8",
     u"\u8868\u793A\r\n\u30BD\u30D5\u30C8", "\x95\x5C\x8E\xA6\r\n\x83\x5C\x83\x74\x83\x67", u"\u00E9", "U+00E9",
     // "表", "表ソフト.exe"
     "\x95\x5C", "\x95\x5C\x83\x5C\x83\x74\x83\x67.exe", "\x95\x5C\x83\x5C\x83\x74\x83\x67.EXE"},
};

const Script* SystemScript() {
    for (const Script& script : Scripts) {
        if (script.codePage == ::GetACP()) return &script;
    }
    return nullptr;
}

class CodePageTest : public JourneyFixture {
protected:
    void SetUp() override {
        script_ = SystemScript();
        ASSERT_NE(script_, nullptr) << "no script for code page " << ::GetACP();
    }

    const Script& script() const { return *script_; }

    // The Define/Edit dialog of a row, opened with F5.
    HWND OpenDefine(QuilldeckProgram& quilldeck, int row) const {
        FocusQuilldeck(quilldeck);
        quilldeck.SelectRowByClick(row);
        EXPECT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == row; }));
        input.Key("F5");
        return quilldeck.Dialog(ui::DefineCaption);
    }

    ::testing::AssertionResult Minimise(QuilldeckProgram& quilldeck) const {
        if (!ClickTitleBarButton(quilldeck.MainWindow(), TitleBarButton::Minimise)) {
            return ::testing::AssertionFailure() << "no title bar";
        }
        return InTray(quilldeck);
    }

private:
    const Script* script_ = nullptr;
};

// A slot defined in the system's script by keyboard and clipboard is saved in
// the code page's bytes, read again at the next start and pasted exactly.
TEST_F(CodePageTest, ASlotInTheSystemsScriptIsSavedInItsCodePageAndPastedExactlyAfterARestart) {
    std::string saved;
    {
        QuilldeckProgram quilldeck;
        ASSERT_TRUE(ShownOpaque(quilldeck));
        const HWND dialog = OpenDefine(quilldeck, 0);
        ASSERT_NE(dialog, nullptr);
        const HWND memo = ::GetDlgItem(dialog, ui::IdMemo1);
        ASSERT_TRUE(WaitFor([&] { return FocusedControlOf(dialog) == ::GetDlgItem(dialog, ui::IdInp_1); }));
        input.Key(script().descriptionKeys);
        input.KeyTo(dialog, "Tab ctrl+alt+g Tab");
        ASSERT_TRUE(WaitFor([&] { return FocusedControlOf(dialog) == memo; }));
        CopyToClipboard(script().pastedText);
        input.Key("ctrl+v");
        ASSERT_TRUE(WaitFor([&] { return ControlTextUtf16(memo) == script().pastedText; }));
        input.Key(std::string("ctrl+End ") + script().textKeys);
        ASSERT_TRUE(WaitFor([&] { return ControlTextUtf16(memo) == script().text; }))
            << ControlTextUtf16(memo).size() << " characters";
        ASSERT_TRUE(ClickCheckBox(dialog, ui::IdCheckBox1));
        ASSERT_TRUE(ClickOKOf(quilldeck, dialog, ui::IdButton1));

        saved = SettingsOf({Record("1", script().descriptionBytes, "Ctrl+Alt+G", script().textBytes)});
        EXPECT_TRUE(WaitFor([&] { return quilldeck.Settings() == saved; })) << quilldeck.Settings();
        EXPECT_EQ(quilldeck.RowText(0, 1), script().descriptionBytes);
        EXPECT_EQ(quilldeck.Exit(), 0u);
        ASSERT_EQ(quilldeck.Settings(), saved);
    }

    Notepad notepad;
    QuilldeckProgram quilldeck(saved);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_EQ(quilldeck.RowText(0, 1), script().descriptionBytes);
    ASSERT_TRUE(Minimise(quilldeck));
    notepad.Clear();
    ASSERT_TRUE(notepad.Activate());
    input.Key("ctrl+alt+g");
    EXPECT_TRUE(WaitFor([&] { return notepad.TextUtf16() == script().text; }))
        << notepad.TextUtf16().size() << " characters";
    EXPECT_EQ(ClipboardText(), script().text);
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_EQ(quilldeck.Process().WaitForExit(15s), 0u);
    EXPECT_EQ(quilldeck.Settings(), saved);
}

// A character of another script is refused, named by its code; the dialog
// stays open and nothing is saved.
TEST_F(CodePageTest, ACharacterTheCodePageLacksIsRefused) {
    QuilldeckProgram quilldeck(SettingsOf({}));
    ASSERT_TRUE(ShownOpaque(quilldeck));
    const std::string before = quilldeck.Settings();
    const HWND dialog = OpenDefine(quilldeck, 0);
    ASSERT_NE(dialog, nullptr);
    const HWND memo = ::GetDlgItem(dialog, ui::IdMemo1);
    const std::u16string text = script().pastedText + script().lacking;
    input.ClickOn(memo);
    CopyToClipboard(text);
    input.Key("ctrl+v");
    ASSERT_TRUE(WaitFor([&] { return ControlTextUtf16(memo) == text; }));
    ClickControl(dialog, ui::IdButton1);
    const auto box = FindMessageBox(quilldeck.Process().Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Quilldeck");
    EXPECT_EQ(box->text, std::string("The paste text cannot hold the character ") + script().lackingCode +
                             ": the system's code page has no such character, so the settings file could not keep "
                             "it.");
    ASSERT_EQ(box->buttons.size(), 1u);
    PressButton(*box, box->buttons.front());
    EXPECT_TRUE(StaysOpen(dialog));
    EXPECT_EQ(ControlTextUtf16(memo), text);
    EXPECT_EQ(quilldeck.Settings(), before);
    ClickControl(dialog, ui::IdButton3);
    EXPECT_TRUE(Closes(dialog));
}

// The program's own path in the system's script. Where a path is cut at its
// last backslash (the folder of the settings file when APPDATA cannot hold
// it, the name of the instance mutex, the folder of the Startup link), it is
// walked by characters: under code page 932 a second byte 0x5C is no
// backslash, and a second byte "t" no letter to put in capitals.
TEST_F(CodePageTest, AProgramPathInTheSystemsScriptGivesTheRightFoldersAndInstanceName) {
    TempFolder place;
    const std::string folder = place / script().folderName;
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::string program = folder + "\\" + script().programName;
    ASSERT_TRUE(::CopyFileA((ProgramFolder() + "Quilldeck.exe").c_str(), program.c_str(), FALSE));
    const std::string elsewhere = place / "elsewhere";
    ::CreateDirectoryA(elsewhere.c_str(), nullptr);

    // APPDATA names a folder that does not exist, so no settings folder can
    // be made there: the settings file goes beside the program.
    QuilldeckProgram quilldeck(QuilldeckProgram::Elsewhere{program, place / "missing", elsewhere});
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_TRUE(WaitFor([&] { return IsFile(folder + "\\Quilldeck.ini"); }));
    EXPECT_EQ(FolderEntries(elsewhere), std::vector<std::string>{});

    // The instance mutex bears the file name, its ASCII letters in capitals.
    {
        win::UniqueHandle mutex(::OpenMutexA(SYNCHRONIZE, FALSE, script().instanceName.c_str()));
        EXPECT_TRUE(mutex) << "no mutex named " << script().instanceName;
    }
    // A copy of that name in another folder is refused.
    const std::string copy = elsewhere + "\\" + script().programName;
    ASSERT_TRUE(::CopyFileA(program.c_str(), copy.c_str(), FALSE));
    {
        ChildProcess second(copy, {{"APPDATA", place / "missing"}}, elsewhere);
        const auto box = FindMessageBox(second.Id());
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, "Quilldeck already running.!");
        ASSERT_EQ(box->buttons.size(), 1u);
        PressButton(*box, box->buttons.front());
        EXPECT_EQ(second.WaitForExit(), 0u);
    }

    // The Startup link points at the program, in its own folder.
    const std::string link = StartupShortcut();
    ::DeleteFileA(link.c_str());
    const HWND options = OpenOptionsOf(quilldeck);
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(ClickCheckBox(options, ui::options::IdCheckBox1));
    ASSERT_TRUE(ClickOKOf(quilldeck, options, ui::options::IdButton1));
    const ComApartment com;
    const std::optional<ShellLinkView> view = ReadShellLink(link);
    ::DeleteFileA(link.c_str());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->target, program);
    EXPECT_EQ(view->workingDirectory, folder + "\\");
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

}  // namespace
}  // namespace quilldeck
