#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstring>
#include <vector>

#include "DialogLayouts.h"
#include "ProgramFixture.h"
#include "SettingsText.h"
#include "ui/DefineLayout.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

constexpr const char* DefineCaption = "Define/Edit";

const std::string LongText(400, 'L');

// Slot 1 pastes "quick" on Ctrl+Alt+Q; slot 2's shortcut names no key;
// slot 3 is empty; slot 4 holds a text longer than the user may type.
const std::vector<std::string> StandardRecords = {
    Record("1", "Quick", "Ctrl+Alt+Q", "quick\r\nline"),
    Record("0", "Second", "Ctrl+Foo", "second"),
    EmptyRecord,
    Record("0", "Long", "None", LongText),
};

bool IsFree(UINT modifiers, UINT key) { return CombinationIsFree(modifiers, key); }
bool QIsFree() { return IsFree(MOD_CONTROL | MOD_ALT, 'Q'); }

// How a text reaches a field: pasted from the clipboard, or typed with the
// keys named (X key names, so that the command stays ASCII).
struct FieldInput {
    int field;
    std::u16string pasted;
    const char* keys;
};

class DefineDialogTest : public ShownProgramFixture {
protected:
    explicit DefineDialogTest(const std::string& settings = SettingsOf(StandardRecords))
        : ShownProgramFixture(settings) {}

    // Selects a row and presses F5 there; the dialog that opens.
    HWND OpenByF5(int row) {
        Select(row);
        input.Key("F5");
        return quilldeck.Dialog(DefineCaption);
    }

    static HWND Control(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }
    static WORD HotKeyWord(HWND dialog) {
        return static_cast<WORD>(::SendMessageA(Control(dialog, ui::IdInp_2), HKM_GETHOTKEY, 0, 0));
    }
    static bool Ticked(HWND dialog) {
        return ::SendMessageA(Control(dialog, ui::IdCheckBox1), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    // Gives a field of the open dialog its input as the user would.
    void Enter(HWND dialog, const FieldInput& given) const {
        const HWND field = Control(dialog, given.field);
        input.ClickOn(field);
        ASSERT_TRUE(WaitFor([&] { return FocusedControlOf(dialog) == field; }));
        if (given.keys != nullptr) {
            input.Key(given.keys);
        } else {
            CopyToClipboard(given.pasted);
            input.Key("ctrl+v");
        }
        ASSERT_TRUE(WaitFor([&] { return !ControlTextUtf16(field).empty(); })) << "nothing arrived";
    }
};

TEST_F(DefineDialogTest, ShowsItsControlsInPlaceAndInTabOrderOverTheDisabledMainWindow) {
    const HWND dialog = OpenByF5(2);
    ASSERT_NE(dialog, nullptr);
    ExpectDialogFrame(dialog, quilldeck.MainWindow(), 438, 275);

    ExpectControls(dialog, DefineDesign);
    // The labels take no focus.
    const int tabOrder[] = {ui::IdInp_1, ui::IdInp_2, ui::IdMemo1, ui::IdCheckBox1, ui::IdButton1, ui::IdButton3};
    ExpectTabOrder(dialog, tabOrder);
    input.ClickOn(Control(dialog, ui::IdButton3));
    EXPECT_TRUE(Closes(dialog));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(quilldeck.MainWindow()) != FALSE; }));
}

class DefineOpenTest : public DefineDialogTest, public ::testing::WithParamInterface<int> {};

// F5, a double click and the context menu's entry open the dialog with the
// slot's values and the focus in the description.
TEST_P(DefineOpenTest, OpensWithTheSlotsValues) {
    switch (GetParam()) {
        case 0:
            Select(0);
            input.Key("F5");
            break;
        case 1: {
            Select(1);  // the selection moves to where the user double-clicks
            input.DoubleClickAt(quilldeck.RowPoint(0));
            break;
        }
        case 2: {
            Select(0);
            input.ClickAt(quilldeck.RowPoint(0), MouseButton::Right);
            ASSERT_TRUE(WaitFor([&] { return WindowOfClass(quilldeck.Process().Id(), "#32768") != nullptr; }));
            input.Key("Down Return");
            break;
        }
    }
    const HWND dialog = quilldeck.Dialog(DefineCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(Control(dialog, ui::IdInp_1)), "Quick");
    EXPECT_EQ(HotKeyWord(dialog), MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_EQ(ControlText(Control(dialog, ui::IdMemo1)), "quick\r\nline");
    EXPECT_TRUE(Ticked(dialog));
    EXPECT_TRUE(WaitFor([&] { return FocusedControlOf(dialog) == Control(dialog, ui::IdInp_1); }));
    input.ClickOn(Control(dialog, ui::IdButton3));
    EXPECT_TRUE(Closes(dialog));
}

INSTANTIATE_TEST_SUITE_P(Ways, DefineOpenTest, ::testing::Range(0, 3));

TEST_F(DefineDialogTest, AnEmptySlotAndAShortcutThatNamesNoKeyShowEmptyFields) {
    const struct {
        int row;
        const char* description;
        const char* text;
    } cases[] = {
        {1, "Second", "second"},
        {2, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row + 1);
        const HWND dialog = OpenByF5(c.row);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(ControlText(Control(dialog, ui::IdInp_1)), c.description);
        EXPECT_EQ(HotKeyWord(dialog), 0);
        EXPECT_EQ(ControlText(Control(dialog, ui::IdMemo1)), c.text);
        EXPECT_FALSE(Ticked(dialog));
        input.ClickOn(Control(dialog, ui::IdButton3));
        ASSERT_TRUE(Closes(dialog));
        FocusQuilldeck(quilldeck);
    }
}

TEST_F(DefineDialogTest, ASlotDefinedByKeyboardAloneIsSavedAndPastesAtOnceWhileTheWindowStaysOpen) {
    const HWND dialog = OpenByF5(2);
    ASSERT_NE(dialog, nullptr);
    input.TypeTo(dialog, "Greeting");
    input.KeyTo(dialog, "Tab ctrl+alt+g Tab");
    input.TypeTo(dialog, "Hello");
    input.KeyTo(dialog, "Return");
    input.TypeTo(dialog, "World");
    input.KeyTo(dialog, "Tab space Tab Return");
    ASSERT_TRUE(Closes(dialog));

    std::vector<std::string> records = StandardRecords;
    records[2] = Record("1", "Greeting", "Ctrl+Alt+G", "Hello\r\nWorld");
    EXPECT_TRUE(WaitFor([&] { return quilldeck.Settings() == SettingsOf(records); })) << quilldeck.Settings();
    EXPECT_EQ(quilldeck.RowText(2, 1), "Greeting");
    EXPECT_EQ(quilldeck.RowText(2, 2), "Ctrl+Alt+G");
    EXPECT_TRUE(quilldeck.Checked(2));
    // Every active slot is bound, not only the one just defined.
    EXPECT_TRUE(WaitFor([] { return !IsFree(MOD_CONTROL | MOD_ALT, 'G') && !QIsFree(); }));
    EXPECT_TRUE(Pastes("ctrl+alt+g", u"Hello\r\nWorld"));
    EXPECT_TRUE(quilldeck.Shown());
    EXPECT_FALSE(TrayShowsAnIcon());
}

// OK fills an empty description from the text's first line; empty fields
// store the defaults.
TEST_F(DefineDialogTest, OkStoresWhatTheFieldsHoldWithTheDescriptionFromTheFirstLine) {
    const struct {
        const char* description;
        const char* text;
        bool tick;
        std::string record;
    } cases[] = {
        {"", "Hello\r\nWorld", false, Record("0", "Hello", "None", "Hello\r\nWorld")},
        {"", "", true, Record("1", "<Not Define>", "None")},
        {"", "\r\nSecond line", false, Record("0", "<Not Define>", "None", "\r\nSecond line")},
        {"  ", "Hello", false, Record("0", "  ", "None", "Hello")},
    };
    std::vector<std::string> records = StandardRecords;
    int row = 4;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const HWND dialog = OpenByF5(row);
        ASSERT_NE(dialog, nullptr);
        SetControlText(Control(dialog, ui::IdInp_1), c.description);
        SetControlText(Control(dialog, ui::IdMemo1), c.text);
        if (c.tick) {
            input.ClickOn(Control(dialog, ui::IdCheckBox1));
            ASSERT_TRUE(WaitFor([&] { return Ticked(dialog); }));
        }
        input.ClickOn(Control(dialog, ui::IdButton1));
        ASSERT_TRUE(Closes(dialog));
        records.resize(row + 1, EmptyRecord);
        records[row] = c.record;
        EXPECT_TRUE(WaitFor([&] { return quilldeck.Settings() == SettingsOf(records); })) << quilldeck.Settings();
        ++row;
        FocusQuilldeck(quilldeck);
    }
    // A description of exactly "<Not Define>" leaves the slot undefined: Delete is refused.
    Select(6);
    input.Key("ctrl+Delete");
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 1s));
}

class DefineCancelTest : public DefineDialogTest, public ::testing::WithParamInterface<int> {};

// Whatever was edited, Escape ends nothing, and Cancel, Alt+F4 and the close
// box change neither the row nor the file nor the hot keys.
TEST_P(DefineCancelTest, ChangesNothing) {
    const std::string before = quilldeck.Settings();
    const FILETIME writtenBefore = quilldeck.SettingsWriteTime();
    const HWND dialog = OpenByF5(0);
    ASSERT_NE(dialog, nullptr);
    SetControlText(Control(dialog, ui::IdInp_1), "Changed");
    input.KeyTo(dialog, "Tab ctrl+alt+z");
    ASSERT_TRUE(WaitFor([&] { return HotKeyWord(dialog) == MAKEWORD('Z', HOTKEYF_CONTROL | HOTKEYF_ALT); }));
    SetControlText(Control(dialog, ui::IdMemo1), "changed");
    input.ClickOn(Control(dialog, ui::IdCheckBox1));
    ASSERT_TRUE(WaitFor([&] { return !Ticked(dialog); }));
    // Escape in the shortcut field, the paste text and the description.
    for (const char* keys : {"Escape", "Tab Escape", "shift+Tab shift+Tab Escape"}) {
        SCOPED_TRACE(keys);
        input.KeyTo(dialog, keys);
        EXPECT_TRUE(StaysOpen(dialog));
    }

    switch (GetParam()) {
        case 0: input.ClickOn(Control(dialog, ui::IdButton3)); break;
        case 1: input.KeyTo(dialog, "alt+F4"); break;
        case 2: CloseBoxOf(dialog); break;
    }
    ASSERT_TRUE(Closes(dialog));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(quilldeck.MainWindow()) != FALSE; }));
    PumpFor(500ms);
    EXPECT_EQ(quilldeck.RowText(0, 1), "Quick");
    EXPECT_EQ(quilldeck.RowText(0, 2), "Ctrl+Alt+Q");
    EXPECT_TRUE(quilldeck.Checked(0));
    EXPECT_EQ(quilldeck.Settings(), before);
    const FILETIME writtenAfter = quilldeck.SettingsWriteTime();
    EXPECT_EQ(::CompareFileTime(&writtenBefore, &writtenAfter), 0);
    EXPECT_TRUE(QIsFree());
    EXPECT_TRUE(IsFree(MOD_CONTROL | MOD_ALT, 'Z'));
    // The dialog opens again with the stored values.
    FocusQuilldeck(quilldeck);
    const HWND again = OpenByF5(0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ControlText(Control(again, ui::IdInp_1)), "Quick");
    EXPECT_EQ(ControlText(Control(again, ui::IdMemo1)), "quick\r\nline");
    input.ClickOn(Control(again, ui::IdButton3));
    EXPECT_TRUE(Closes(again));
}

INSTANTIATE_TEST_SUITE_P(Ways, DefineCancelTest, ::testing::Range(0, 3));

// A bare key is taken as it is, Shift with a key as the key alone, and a
// combination with Ctrl or Alt as typed.
TEST_F(DefineDialogTest, TheShortcutFieldTakesKeysByItsRules) {
    const struct {
        const char* keys;
        WORD word;
        const char* text;
    } cases[] = {
        {"ctrl+alt+g", MAKEWORD('G', HOTKEYF_CONTROL | HOTKEYF_ALT), "Ctrl+Alt+G"},
        {"F7", MAKEWORD(VK_F7, 0), "F7"},
        {"shift+a", MAKEWORD('A', 0), "A"},
    };
    int row = 4;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        const HWND dialog = OpenByF5(row);
        ASSERT_NE(dialog, nullptr);
        input.KeyTo(dialog, std::string("Tab ") + c.keys);
        EXPECT_TRUE(WaitFor([&] { return HotKeyWord(dialog) == c.word; })) << std::hex << HotKeyWord(dialog);
        input.ClickOn(Control(dialog, ui::IdButton1));
        ASSERT_TRUE(Closes(dialog));
        EXPECT_TRUE(WaitFor([&] { return quilldeck.RowText(row, 2) == c.text; })) << quilldeck.RowText(row, 2);
        EXPECT_NE(quilldeck.Settings().find(std::string("\r\n") + c.text + "\r\n[memo]"), std::string::npos);
        ++row;
        FocusQuilldeck(quilldeck);
    }
}

void PutOnClipboard(const std::string& text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(::GlobalLock(block), text.c_str(), text.size() + 1);
    ::GlobalUnlock(block);
    ::SetClipboardData(CF_TEXT, block);
    ::CloseClipboard();
}

TEST_F(DefineDialogTest, ThePasteTextTakesNoMoreThan255TypedOrPastedCharacters) {
    const HWND dialog = OpenByF5(2);
    ASSERT_NE(dialog, nullptr);
    const HWND memo = Control(dialog, ui::IdMemo1);
    SetControlText(memo, std::string(253, 'x'));
    input.KeyTo(dialog, "Tab Tab ctrl+End");
    input.TypeTo(dialog, "yz");
    EXPECT_TRUE(WaitFor([&] { return ControlText(memo).size() == 255; }));
    input.TypeTo(dialog, "!");
    PumpFor(300ms);
    EXPECT_EQ(ControlText(memo), std::string(253, 'x') + "yz");

    // A line break takes two of the 255.
    SetControlText(memo, std::string(254, 'x'));
    input.KeyTo(dialog, "ctrl+End Return");
    PumpFor(300ms);
    EXPECT_EQ(ControlText(memo), std::string(254, 'x'));

    SetControlText(memo, "");
    std::string pasted;
    for (int i = 0; i < 300; ++i) pasted += static_cast<char>('a' + i % 26);
    PutOnClipboard(pasted);
    input.KeyTo(dialog, "ctrl+v");
    EXPECT_TRUE(WaitFor([&] { return !ControlText(memo).empty(); }));
    EXPECT_EQ(ControlText(memo), pasted.substr(0, 255));
    input.ClickOn(Control(dialog, ui::IdButton3));
    EXPECT_TRUE(Closes(dialog));
}

TEST_F(DefineDialogTest, ALongerStoredTextShowsWholeRefusesMoreAndSavesUnchanged) {
    const std::string before = quilldeck.Settings();
    const HWND dialog = OpenByF5(3);
    ASSERT_NE(dialog, nullptr);
    const HWND memo = Control(dialog, ui::IdMemo1);
    EXPECT_EQ(ControlText(memo), LongText);
    input.KeyTo(dialog, "Tab Tab ctrl+End");
    input.TypeTo(dialog, "q");
    PumpFor(300ms);
    EXPECT_EQ(ControlText(memo), LongText);
    const FILETIME writtenBefore = quilldeck.SettingsWriteTime();
    input.ClickOn(Control(dialog, ui::IdButton1));
    ASSERT_TRUE(Closes(dialog));
    EXPECT_TRUE(WaitFor([&] {
        const FILETIME written = quilldeck.SettingsWriteTime();
        return ::CompareFileTime(&written, &writtenBefore) != 0;
    }));
    EXPECT_EQ(quilldeck.Settings(), before);
}

// The settings file has no escape for a text line that is exactly "[/memo]":
// such a text is refused, and nothing the user typed is lost.
TEST_F(DefineDialogTest, APasteTextWithALineThatIsExactlyTheBlockCloserIsRefused) {
    const std::string before = quilldeck.Settings();
    const HWND dialog = OpenByF5(2);
    ASSERT_NE(dialog, nullptr);
    const std::string text = "before\r\n[/memo]\r\nafter";
    SetControlText(Control(dialog, ui::IdMemo1), text);
    input.KeyTo(dialog, "Tab ctrl+alt+g");
    input.ClickOn(Control(dialog, ui::IdCheckBox1));
    input.ClickOn(Control(dialog, ui::IdButton1));
    const auto box = FindMessageBox(quilldeck.Process().Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Quilldeck");
    EXPECT_EQ(box->text, "A line of the paste text cannot be exactly [/memo].");
    EXPECT_TRUE(box->hasIcon);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    PressButton(*box, "OK");
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box->window); }));

    EXPECT_TRUE(StaysOpen(dialog));
    EXPECT_EQ(ControlText(Control(dialog, ui::IdInp_1)), "");
    EXPECT_EQ(ControlText(Control(dialog, ui::IdMemo1)), text);
    EXPECT_EQ(HotKeyWord(dialog), MAKEWORD('G', HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_TRUE(Ticked(dialog));
    EXPECT_EQ(quilldeck.Settings(), before);
    EXPECT_EQ(quilldeck.RowText(2, 1), "<Not Define>");
    EXPECT_TRUE(IsFree(MOD_CONTROL | MOD_ALT, 'G'));

    // The same words with anything else on their line are fine.
    SetControlText(Control(dialog, ui::IdMemo1), "before\r\n[/memo] \r\nafter");
    input.ClickOn(Control(dialog, ui::IdButton1));
    ASSERT_TRUE(Closes(dialog));
    std::vector<std::string> records = StandardRecords;
    records[2] = Record("1", "before", "Ctrl+Alt+G", "before\r\n[/memo] \r\nafter");
    EXPECT_TRUE(WaitFor([&] { return quilldeck.Settings() == SettingsOf(records); })) << quilldeck.Settings();
}

struct RefusalCase {
    const char* name;
    FieldInput input;
    std::u16string held;  // what the field then holds
    const char* message;
};

// What the settings file could not give back exactly is refused at OK with a
// warning that names it: Ctrl+Z, which ends the file's data, and characters
// that code page 1252 lacks, which would come back as "?". The dialog stays
// open as the user left it, and nothing is saved or bound.
TEST_F(DefineDialogTest, TextsTheFileCouldNotKeepAreRefusedAndTheDialogStaysAsTyped) {
    const char* const textEndsData =
        "The paste text cannot hold the character U+001A (Ctrl+Z): the settings file would end there.";
    const RefusalCase cases[] = {
        {"Ctrl+Z at the start of the paste text", {ui::IdMemo1, u"\x1A" u"first\r\nsecond", nullptr},
         u"\x1A" u"first\r\nsecond", textEndsData},
        {"Ctrl+Z inside a line", {ui::IdMemo1, u"first\r\nsec\x1A" u"ond", nullptr}, u"first\r\nsec\x1A" u"ond",
         textEndsData},
        {"Ctrl+Z in the description", {ui::IdInp_1, u"Greet\x1A" u"ing", nullptr}, u"Greet\x1A" u"ing",
         "The description cannot hold the character U+001A (Ctrl+Z): the settings file would end there."},
        {"Cyrillic typed", {ui::IdInp_1, u"", "Cyrillic_zhe Cyrillic_u Cyrillic_ka"}, u"\u0436\u0443\u043A",
         "The description cannot hold the character U+0436: the system's code page has no such character, so the "
         "settings file could not keep it."},
        {"Japanese pasted", {ui::IdMemo1, u"\u65E5\u672C", nullptr}, u"\u65E5\u672C",
         "The paste text cannot hold the character U+65E5: the system's code page has no such character, so the "
         "settings file could not keep it."},
    };
    const std::string before = quilldeck.Settings();
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND dialog = OpenByF5(2);
        ASSERT_NE(dialog, nullptr);
        input.KeyTo(dialog, "Tab ctrl+alt+g");
        input.ClickOn(Control(dialog, ui::IdCheckBox1));
        ASSERT_TRUE(WaitFor([&] { return Ticked(dialog); }));
        Enter(dialog, c.input);
        input.ClickOn(Control(dialog, ui::IdButton1));
        const auto box = FindMessageBox(quilldeck.Process().Id());
        ASSERT_TRUE(box);
        EXPECT_EQ(box->caption, "Quilldeck");
        EXPECT_EQ(box->text, c.message);
        EXPECT_TRUE(box->hasIcon);
        EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
        PressButton(*box, "OK");
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box->window); }));

        EXPECT_TRUE(StaysOpen(dialog));
        EXPECT_EQ(ControlTextUtf16(Control(dialog, c.input.field)), c.held);
        const int other = c.input.field == ui::IdInp_1 ? ui::IdMemo1 : ui::IdInp_1;
        EXPECT_EQ(ControlTextUtf16(Control(dialog, other)), u"");
        EXPECT_EQ(HotKeyWord(dialog), MAKEWORD('G', HOTKEYF_CONTROL | HOTKEYF_ALT));
        EXPECT_TRUE(Ticked(dialog));
        EXPECT_EQ(quilldeck.Settings(), before);
        EXPECT_EQ(quilldeck.RowText(2, 1), "<Not Define>");
        EXPECT_TRUE(IsFree(MOD_CONTROL | MOD_ALT, 'G'));
        input.ClickOn(Control(dialog, ui::IdButton3));
        ASSERT_TRUE(Closes(dialog));
        FocusQuilldeck(quilldeck);
    }
}

// "é", "€" and "’" are in code page 1252: taken, stored as its bytes and
// pasted exactly, whether typed or pasted into the dialog.
TEST_F(DefineDialogTest, CharactersTheCodePageHoldsAreKeptAndPastedExactly) {
    const HWND dialog = OpenByF5(2);
    ASSERT_NE(dialog, nullptr);
    Enter(dialog, {ui::IdInp_1, u"", "C a f eacute space EuroSign"});
    Enter(dialog, {ui::IdMemo1, u"\u2019Caf\u00E9\u2019 \u20AC5\r\n", nullptr});
    input.Key("eacute rightsinglequotemark");
    ASSERT_TRUE(WaitFor([&] { return ControlTextUtf16(Control(dialog, ui::IdMemo1)).size() == 13; }));
    input.KeyTo(dialog, "shift+Tab ctrl+alt+g");
    input.ClickOn(Control(dialog, ui::IdCheckBox1));
    ASSERT_TRUE(WaitFor([&] { return Ticked(dialog); }));
    input.ClickOn(Control(dialog, ui::IdButton1));
    ASSERT_TRUE(Closes(dialog));

    std::vector<std::string> records = StandardRecords;
    records[2] = Record("1", "Caf\xE9 \x80", "Ctrl+Alt+G", "\x92" "Caf\xE9\x92 \x80" "5\r\n\xE9\x92");
    EXPECT_TRUE(WaitFor([&] { return quilldeck.Settings() == SettingsOf(records); })) << quilldeck.Settings();
    EXPECT_EQ(quilldeck.RowText(2, 1), "Caf\xE9 \x80");
    EXPECT_TRUE(Pastes("ctrl+alt+g", u"\u2019Caf\u00E9\u2019 \u20AC5\r\n\u00E9\u2019"));
}

// A text pasted with lines broken by LF alone keeps its lines, each broken
// CR LF as the settings file gives them back.
TEST_F(DefineDialogTest, LinesBrokenByALoneLineFeedAreStoredWithCrLf) {
    const HWND dialog = OpenByF5(2);
    ASSERT_NE(dialog, nullptr);
    Enter(dialog, {ui::IdMemo1, u"one\ntwo\nthree", nullptr});
    input.ClickOn(Control(dialog, ui::IdButton1));
    ASSERT_TRUE(Closes(dialog));
    std::vector<std::string> records = StandardRecords;
    records[2] = Record("0", "one", "None", "one\r\ntwo\r\nthree");
    EXPECT_TRUE(WaitFor([&] { return quilldeck.Settings() == SettingsOf(records); })) << quilldeck.Settings();
}

// A description is one line of the settings file, of any length: the edit's
// own limit (about 30,000 characters) does not cut a longer one.
TEST_F(DefineDialogTest, TheDescriptionTakesALineOfAnyLength) {
    std::u16string description;
    for (int i = 0; description.size() < 40000; ++i) description += u"word" + std::u16string(1, u'a' + i % 26) + u' ';
    const HWND dialog = OpenByF5(2);
    ASSERT_NE(dialog, nullptr);
    Enter(dialog, {ui::IdInp_1, description, nullptr});
    EXPECT_EQ(ControlTextUtf16(Control(dialog, ui::IdInp_1)).size(), description.size());
    input.ClickOn(Control(dialog, ui::IdButton1));
    ASSERT_TRUE(Closes(dialog));
    std::vector<std::string> records = StandardRecords;
    records[2] = Record("0", std::string(description.begin(), description.end()), "None");
    EXPECT_TRUE(WaitFor([&] { return quilldeck.Settings() == SettingsOf(records); }))
        << quilldeck.Settings().size() << " bytes";
}

// The paste presses Ctrl+V itself: bound to a slot, it would set off the
// slot again from within its own paste, without end.
TEST_F(DefineDialogTest, CtrlVIsRefusedAsAShortcut) {
    const std::string before = quilldeck.Settings();
    const HWND dialog = OpenByF5(2);
    ASSERT_NE(dialog, nullptr);
    SetControlText(Control(dialog, ui::IdMemo1), "pasted");
    input.KeyTo(dialog, "Tab ctrl+v");
    ASSERT_TRUE(WaitFor([&] { return HotKeyWord(dialog) == MAKEWORD('V', HOTKEYF_CONTROL); }))
        << std::hex << HotKeyWord(dialog);
    input.ClickOn(Control(dialog, ui::IdCheckBox1));
    ASSERT_TRUE(WaitFor([&] { return Ticked(dialog); }));
    input.ClickOn(Control(dialog, ui::IdButton1));
    const auto box = FindMessageBox(quilldeck.Process().Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Quilldeck");
    EXPECT_EQ(box->text,
              "Ctrl+V cannot be a shortcut: Quilldeck presses it to paste, so the slot would paste into itself "
              "without end.");
    EXPECT_TRUE(box->hasIcon);
    PressButton(*box, "OK");
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box->window); }));
    EXPECT_TRUE(StaysOpen(dialog));
    EXPECT_EQ(HotKeyWord(dialog), MAKEWORD('V', HOTKEYF_CONTROL));
    EXPECT_EQ(ControlText(Control(dialog, ui::IdMemo1)), "pasted");
    EXPECT_EQ(quilldeck.Settings(), before);
    EXPECT_TRUE(IsFree(MOD_CONTROL, 'V'));

    // Another combination with V is the user's to choose.
    input.ClickOn(Control(dialog, ui::IdInp_2));
    input.Key("ctrl+alt+v");
    ASSERT_TRUE(WaitFor([&] { return HotKeyWord(dialog) == MAKEWORD('V', HOTKEYF_CONTROL | HOTKEYF_ALT); }));
    input.ClickOn(Control(dialog, ui::IdButton1));
    ASSERT_TRUE(Closes(dialog));
    std::vector<std::string> records = StandardRecords;
    records[2] = Record("1", "pasted", "Ctrl+Alt+V", "pasted");
    EXPECT_TRUE(WaitFor([&] { return quilldeck.Settings() == SettingsOf(records); })) << quilldeck.Settings();
    EXPECT_TRUE(Pastes("ctrl+alt+v", u"pasted"));
}

TEST_F(DefineDialogTest, WhenTheSaveFailsTheRowKeepsTheNewValuesAndNothingIsBound) {
    ::SetFileAttributesA(quilldeck.SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string before = quilldeck.Settings();
    const HWND dialog = OpenByF5(2);
    ASSERT_NE(dialog, nullptr);
    SetControlText(Control(dialog, ui::IdInp_1), "Greeting");
    input.KeyTo(dialog, "Tab ctrl+alt+g");
    input.ClickOn(Control(dialog, ui::IdCheckBox1));
    input.ClickOn(Control(dialog, ui::IdButton1));
    const auto box = FindMessageBox(quilldeck.Process().Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "File access denied.");
    PressButton(*box, "OK");
    EXPECT_EQ(quilldeck.RowText(2, 1), "Greeting");
    EXPECT_EQ(quilldeck.RowText(2, 2), "Ctrl+Alt+G");
    EXPECT_TRUE(quilldeck.Checked(2));
    EXPECT_TRUE(IsFree(MOD_CONTROL | MOD_ALT, 'G'));
    EXPECT_TRUE(QIsFree());
    ::SetFileAttributesA(quilldeck.SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(quilldeck.Settings(), before);
}

class DefineWhileBoundTest : public DefineDialogTest {
protected:
    DefineWhileBoundTest() : DefineDialogTest(SettingsOf(StandardRecords, true)) {}

    // Started into the tray with the hot keys bound, then brought back.
    void SetUp() override {
        ASSERT_TRUE(InTray(quilldeck));
        ASSERT_TRUE(WaitFor([] { return !QIsFree(); }));
        DoubleClickTheIcon();
        ShownProgramFixture::SetUp();
    }
};

// No key the user does not hold is logically down.
::testing::AssertionResult NoKeyHeld() {
    for (const int key : {VK_CONTROL, VK_MENU, VK_SHIFT, int{'V'}, int{'Q'}}) {
        if (::GetAsyncKeyState(key) & 0x8000) return ::testing::AssertionFailure() << "key " << key << " is held";
    }
    return ::testing::AssertionSuccess();
}

// A hot key pressed while Quilldeck's own list has the focus pastes into the
// list, which takes no text: the clipboard has the slot's text, nothing of
// the list changes and no key stays held. In the paste text the text arrives.
TEST_F(DefineWhileBoundTest, AHotKeyPressedInTheProgramsOwnListOrPasteFieldLeavesNoKeyHeld) {
    Select(1);
    ::OpenClipboard(nullptr);
    ::EmptyClipboard();
    ::CloseClipboard();
    input.Key("ctrl+alt+q");
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == u"quick\r\nline"; }));
    ASSERT_TRUE(quilldeck.Settle());
    EXPECT_TRUE(WaitFor([] { return NoKeyHeld(); }, 2s)) << NoKeyHeld().message();
    EXPECT_EQ(quilldeck.SelectedRow(), 1);
    EXPECT_EQ(quilldeck.RowText(1, 1), "Second");
    EXPECT_EQ(quilldeck.Dialog(DefineCaption, 500ms), nullptr);
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 0ms));

    const HWND dialog = OpenByF5(1);
    ASSERT_NE(dialog, nullptr);
    const HWND memo = Control(dialog, ui::IdMemo1);
    input.KeyTo(dialog, "Tab Tab ctrl+End");
    ASSERT_TRUE(WaitFor([&] { return FocusedControlOf(dialog) == memo; }));
    input.KeyTo(dialog, "ctrl+alt+q");
    EXPECT_TRUE(WaitFor([&] { return ControlText(memo) == "secondquick\r\nline"; })) << ControlText(memo);
    EXPECT_TRUE(WaitFor([] { return NoKeyHeld(); }, 2s)) << NoKeyHeld().message();
    input.ClickOn(Control(dialog, ui::IdButton3));
    EXPECT_TRUE(Closes(dialog));
}

TEST_F(DefineWhileBoundTest, ABoundHotKeyPastesIntoTheDialogsFocusedField) {
    const HWND dialog = OpenByF5(1);
    ASSERT_NE(dialog, nullptr);
    const HWND memo = Control(dialog, ui::IdMemo1);
    input.KeyTo(dialog, "Tab Tab");  // into the paste text, all of it selected
    ASSERT_TRUE(WaitFor([&] { return FocusedControlOf(dialog) == memo; }));
    input.KeyTo(dialog, "ctrl+alt+q");
    EXPECT_TRUE(WaitFor([&] { return ControlText(memo) == "quick\r\nline"; })) << ControlText(memo);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    input.ClickOn(Control(dialog, ui::IdButton3));
    EXPECT_TRUE(Closes(dialog));
}

}  // namespace
}  // namespace quilldeck
