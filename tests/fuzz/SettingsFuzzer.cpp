// Any bytes, read as the settings file: the reader must neither crash nor
// touch memory it does not own, and what it reads must survive a save and
// the next start unchanged, since the table in memory is the only copy of the
// user's texts between two saves. The slot table's own operations on what was
// read are checked the same way. The same bytes also make tables directly,
// which must come back whole from a save and a read whenever the program's
// check of what the file can hold accepts them.
//
// A failed check prints what failed and aborts, so libFuzzer keeps the input
// as a crash artifact.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "slots/SettingsCodec.h"

namespace quilldeck {
namespace {

// Counted over the whole run and printed when the process ends.
class RunFigures {
public:
    RunFigures(const RunFigures&) = delete;
    RunFigures& operator=(const RunFigures&) = delete;

    static RunFigures& Get() {
        static RunFigures figures;
        return figures;
    }

    void Input() { ++inputs_; }
    void RoundTrip() { ++roundTrips_; }
    void TextHoldsBlockCloser() { ++textsHoldingBlockCloser_; }
    void TableAccepted() { ++tablesAccepted_; }
    void TableRefused(Unstorable why) { ++tablesRefused_.at(static_cast<std::size_t>(why)); }

private:
    RunFigures() = default;
    ~RunFigures() {
        std::fprintf(stderr,
                     "settings fuzz figures: inputs %llu, round trips checked %llu, "
                     "inputs left out for a text holding a \"[/memo]\" line %llu, "
                     "tables made from the bytes and accepted %llu, tables refused for Ctrl+Z %llu, "
                     "for a character the code page lacks %llu, for a line break in a description %llu, "
                     "for a lone CR or LF in a text %llu, for a text line \"[/memo]\" %llu, "
                     "property failures 0\n",
                     inputs_, roundTrips_, textsHoldingBlockCloser_, tablesAccepted_,
                     Refused(Unstorable::EndOfDataMark), Refused(Unstorable::NotInCodePage),
                     Refused(Unstorable::LineBreak), Refused(Unstorable::LoneLineBreak),
                     Refused(Unstorable::BlockCloserLine));
    }

    unsigned long long inputs_ = 0;
    unsigned long long roundTrips_ = 0;
    unsigned long long textsHoldingBlockCloser_ = 0;
    unsigned long long tablesAccepted_ = 0;
    std::array<unsigned long long, 5> tablesRefused_{};

    unsigned long long Refused(Unstorable why) const { return tablesRefused_.at(static_cast<std::size_t>(why)); }
};

// The bytes of a text or field, printable, for the failure report.
std::string Shown(std::string_view bytes) {
    std::string shown;
    for (const unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown.push_back(static_cast<char>(c));
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    return shown;
}

[[noreturn]] void PropertyFailure(const char* what, int index, std::string_view expected, std::string_view found) {
    std::fprintf(stderr, "settings fuzz: property failure: %s, slot %d\n  expected \"%s\"\n  found    \"%s\"\n", what,
                 index + 1, Shown(expected).c_str(), Shown(found).c_str());
    std::abort();
}

class Checker {
public:
    explicit Checker(std::string_view data) : data_(data) {}

    void Run() {
        RunFigures::Get().Input();
        CheckReadAsFile();
        CheckTableFromBytes(false);
        CheckTableFromBytes(true);
    }

private:
    void CheckReadAsFile() {
        SlotTable read(codePage_, keyNames_);
        const bool startMinimize = DecodeSettings(data_, read, codePage_);
        CheckFieldsAreNeverEmpty(read);
        // The format has no escape for a text line that is exactly "[/memo]";
        // the reader ends a block at such a line, so it should never hand one
        // out. Counted, so that the figures show if it ever does.
        for (int i = 0; i < SlotCount; ++i) {
            if (HoldsBlockCloserLine(codePage_.FromUtf16(read.Text(i)))) {
                RunFigures::Get().TextHoldsBlockCloser();
                return;
            }
        }
        CheckSavedAndReadAgain(read, startMinimize, "a save and the next start");
        CheckMovesAndClear(read);
        CheckEditedWithoutChange(read, startMinimize);
    }

    // The same bytes as a table the program could be given, field by field
    // (description, shortcut text and text of slot 1, then of slot 2, ...; a
    // field ends at byte 0x1E): as they are, or as the Define/Edit dialog
    // hands them over, with a description of one line and a text whose line
    // breaks are CR LF. Whatever the program's check of what the file can
    // hold accepts must come back whole from a save and a read; what it
    // refuses is counted by the reason. Checking only what the reader gave
    // would miss a reader that ends a text too early, since whatever it reads
    // it writes back alike. A shortcut text is the program's own spelling of
    // a key or a line of the file, so it never holds a line break or Ctrl+Z.
    void CheckTableFromBytes(bool asTheDialogGivesThem) {
        SlotTable table(codePage_, keyNames_);
        std::size_t pos = 0;
        const auto nextField = [&] {
            const std::size_t end = std::min(data_.find(FieldEnd, pos), data_.size());
            const std::string_view field = data_.substr(pos, end - pos);
            pos = end < data_.size() ? end + 1 : end;
            return field;
        };
        for (int i = 0; i < SlotCount && pos < data_.size(); ++i) {
            std::string description(nextField());
            if (asTheDialogGivesThem) description = Without(description, "\r\n");
            const std::string shortcut = Without(nextField(), "\r\n\x1A");
            std::u16string text = codePage_.ToUtf16(nextField());
            if (asTheDialogGivesThem) text = WithCrLfLineBreaks(text);
            if (const auto refusal = FindUnstorable(codePage_.ToUtf16(description), text, codePage_)) {
                RunFigures::Get().TableRefused(refusal->what);
                return;
            }
            table.Store(i, Slot{description.size() % 2 == 1, description, shortcut}, text);
        }
        RunFigures::Get().TableAccepted();
        CheckSavedAndReadAgain(table, data_.size() % 2 == 1, "a table written and read again");
    }

    static std::string Without(std::string_view field, std::string_view bytes) {
        std::string kept;
        for (const char c : field) {
            if (bytes.find(c) == std::string_view::npos) kept.push_back(c);
        }
        return kept;
    }

    static constexpr char FieldEnd = '\x1E';

    void CheckFieldsAreNeverEmpty(const SlotTable& table) {
        for (int i = 0; i < SlotCount; ++i) {
            if (table.At(i).description.empty()) PropertyFailure("empty description", i, "<Not Define>", "");
            if (table.At(i).shortcut.empty()) PropertyFailure("empty shortcut text", i, "None", "");
        }
    }

    void ExpectSameSlot(const char* what, int index, const SlotTable& expected, int expectedIndex,
                        const SlotTable& found, int foundIndex) {
        const Slot& e = expected.At(expectedIndex);
        const Slot& f = found.At(foundIndex);
        if (e.active != f.active) PropertyFailure(what, index, e.active ? "active" : "inactive", f.active ? "active" : "inactive");
        if (e.description != f.description) PropertyFailure(what, index, e.description, f.description);
        if (e.shortcut != f.shortcut) PropertyFailure(what, index, e.shortcut, f.shortcut);
        if (expected.Text(expectedIndex) != found.Text(foundIndex)) {
            PropertyFailure(what, index, codePage_.FromUtf16(expected.Text(expectedIndex)),
                            codePage_.FromUtf16(found.Text(foundIndex)));
        }
    }

    // read(write(table)) is the table, and writing that again gives the same bytes.
    void CheckSavedAndReadAgain(const SlotTable& table, bool startMinimize, const char* what) {
        RunFigures::Get().RoundTrip();
        const std::string saved = EncodeSettings(table, startMinimize, codePage_);
        SlotTable again(codePage_, keyNames_);
        if (DecodeSettings(saved, again, codePage_) != startMinimize) {
            PropertyFailure(what, -1, startMinimize ? "start minimised" : "start shown",
                            startMinimize ? "start shown" : "start minimised");
        }
        for (int i = 0; i < SlotCount; ++i) ExpectSameSlot(what, i, table, i, again, i);
        const std::string savedAgain = EncodeSettings(again, startMinimize, codePage_);
        if (savedAgain != saved) PropertyFailure("the second save differs from the first", -1, saved, savedAgain);
    }

    // Moving a slot down and up again restores the table; the ends and "no
    // selection" change nothing; a cleared slot has the defaults.
    void CheckMovesAndClear(const SlotTable& read) {
        SlotTable table = read;
        for (const int selected : {-1, 0}) {
            if (table.MoveSlotUp(selected) != selected) PropertyFailure("move up at the top", selected, "", "");
        }
        for (const int selected : {-1, SlotCount - 1}) {
            if (table.MoveSlotDown(selected) != selected) PropertyFailure("move down at the bottom", selected, "", "");
        }
        for (int i = 0; i + 1 < SlotCount; ++i) {
            if (table.MoveSlotDown(i) != i + 1) PropertyFailure("move down's selection", i, "", "");
            ExpectSameSlot("move down", i, read, i, table, i + 1);
            ExpectSameSlot("move down", i + 1, read, i + 1, table, i);
            if (table.MoveSlotUp(i + 1) != i) PropertyFailure("move up's selection", i + 1, "", "");
        }
        for (int i = 0; i < SlotCount; ++i) ExpectSameSlot("move down and up", i, read, i, table, i);

        const int cleared = static_cast<int>(data_.size() % SlotCount);
        table.ClearSlot(-1);
        table.ClearSlot(cleared);
        const SlotTable defaults(codePage_, keyNames_);
        for (int i = 0; i < SlotCount; ++i) {
            if (i == cleared) {
                ExpectSameSlot("clear", i, defaults, i, table, i);
            } else {
                ExpectSameSlot("clear of another slot", i, read, i, table, i);
            }
        }
    }

    // The Define/Edit dialog opened on a slot and confirmed without a change
    // keeps everything but the shortcut's spelling, which becomes the
    // program's own (or "None" for a text that names no key), and the file
    // still comes back unchanged.
    void CheckEditedWithoutChange(const SlotTable& read, bool startMinimize) {
        SlotTable table = read;
        const int index = static_cast<int>(data_.size() % SlotCount);
        const SlotEditValues values = table.EditValues(index);
        table.CommitSlot(index, values.description, values.shortcut, values.text, values.active);

        const TShortCut key = values.shortcut;
        const std::string formatted = FormatShortcut(key, keyNames_);
        const std::string spelling = formatted.empty() ? std::string(NoShortcutText) : formatted;
        if (table.At(index).shortcut != spelling) {
            PropertyFailure("shortcut after an unchanged edit", index, spelling, table.At(index).shortcut);
        }
        if (ParseShortcut(table.At(index).shortcut, keyNames_) != key) {
            PropertyFailure("the program's spelling names another key", index, read.At(index).shortcut,
                            table.At(index).shortcut);
        }
        Slot expected = read.At(index);
        expected.shortcut = spelling;
        SlotTable expectedTable = read;
        expectedTable.Store(index, expected, read.Text(index));
        for (int i = 0; i < SlotCount; ++i) ExpectSameSlot("an unchanged edit", i, expectedTable, i, table, i);
        CheckSavedAndReadAgain(table, startMinimize, "a save after an unchanged edit");
    }

    std::string_view data_;
    Windows1252CodePage codePage_;
    FixedKeyNames keyNames_;
};

}  // namespace
}  // namespace quilldeck

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quilldeck::Checker(std::string_view(reinterpret_cast<const char*>(data), size)).Run();
    return 0;
}
