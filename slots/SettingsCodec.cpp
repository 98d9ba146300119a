#include "SettingsCodec.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace quilldeck {
namespace {

constexpr char EndOfDataMark = '\x1A';  // Ctrl+Z
constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view StartMinimizedHeader = "#";
constexpr std::string_view ShownHeader = " ";
constexpr std::string_view ActiveLine = "1";
constexpr std::string_view InactiveLine = "0";
constexpr std::string_view BlockOpener = "[memo]";
constexpr std::string_view BlockCloser = "[/memo]";

// Text-file line reading: LF or CR LF ends a line, a lone CR is dropped and
// Ctrl+Z marks the end of the data. One pass over the bytes copies a line a
// run at a time: a settings file may hold twenty texts of many kilobytes, and
// under Wine four memchr passes over them took longer than reading the file.
class LineReader {
public:
    explicit LineReader(std::string_view data) : data_(data) {}

    bool AtEnd() const { return pos_ >= data_.size() || data_[pos_] == EndOfDataMark; }

    std::string ReadLine() {
        std::string line;
        AppendLine(line);
        return line;
    }

    // Appends the next line to out, without its terminator and lone CRs.
    void AppendLine(std::string& out) {
        if (AtEnd()) return;
        const char* const begin = data_.data();
        const char* const end = begin + data_.size();
        const char* p = begin + pos_;
        const char* run = p;
        for (;;) {
            // Every byte that matters here sorts at or below Ctrl+Z.
            while (p < end && static_cast<unsigned char>(*p) > static_cast<unsigned char>(EndOfDataMark)) ++p;
            if (p == end) {
                out.append(run, static_cast<std::size_t>(p - run));
                pos_ = data_.size();
                return;
            }
            const char c = *p;
            if (c == '\n' || c == EndOfDataMark) {
                out.append(run, static_cast<std::size_t>(p - run));
                // After a Ctrl+Z the rest of the line is skipped with its terminator.
                while (p < end && *p != '\n') ++p;
                pos_ = p < end ? static_cast<std::size_t>(p - begin) + 1 : data_.size();
                return;
            }
            if (c == '\r') {
                out.append(run, static_cast<std::size_t>(p - run));
                run = p + 1;
            }
            ++p;
        }
    }

    // About how many bytes the lines up to the next "[/memo]" line hold: room
    // to reserve, so that a long text is not moved again and again as it grows.
    std::size_t BytesBeforeBlockCloser() const {
        const char* const begin = data_.data() + std::min(pos_, data_.size());
        const char* const end = data_.data() + data_.size();
        for (const char* p = begin; p < end; ++p) {
            while (p < end && *p != '\n') ++p;
            if (p < end && static_cast<std::size_t>(end - p) > BlockCloser.size() &&
                std::string_view(p + 1, BlockCloser.size()) == BlockCloser) {
                return static_cast<std::size_t>(p - begin);
            }
        }
        return static_cast<std::size_t>(end - begin);
    }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

// Hands out empty lines once the data has ended between two records.
class RecordReader {
public:
    explicit RecordReader(std::string_view data) : lines_(data), more_(!lines_.AtEnd()) {}

    std::string NextField() { return more_ ? lines_.ReadLine() : std::string(); }

    // The lines of a text block up to "[/memo]", joined with CR LF.
    std::string ReadBlock() {
        std::string text;
        text.reserve(lines_.BytesBeforeBlockCloser());
        bool first = true;
        while (!lines_.AtEnd()) {
            const std::size_t before = text.size();
            if (!first) text += LineEnd;
            const std::size_t lineStart = text.size();
            lines_.AppendLine(text);
            if (std::string_view(text).substr(lineStart) == BlockCloser) {
                text.resize(before);
                break;
            }
            first = false;
        }
        return text;
    }

    void EndRecord() { more_ = more_ && !lines_.AtEnd(); }

private:
    LineReader lines_;
    bool more_;
};

void AppendLine(std::string& out, std::string_view line) {
    out += line;
    out += LineEnd;
}

// The character at a position and the units it takes; a surrogate without
// its partner stands for itself.
std::pair<char32_t, std::size_t> CharacterAt(std::u16string_view text, std::size_t i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
        return {0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00), 2};
    }
    return {unit, 1};
}

bool SurvivesCodePage(std::u16string_view text, const CodePage& codePage) {
    return codePage.ToUtf16(codePage.FromUtf16(text)) == text;
}

// The first character of a field that the file could not give back.
std::optional<StorageRefusal> FindUnstorableCharacter(std::u16string_view field, SlotField which,
                                                      const CodePage& codePage) {
    // Almost every field survives whole; only then is each character asked alone.
    const bool wholeSurvives = SurvivesCodePage(field, codePage);
    for (std::size_t i = 0; i < field.size();) {
        const auto [character, units] = CharacterAt(field, i);
        std::optional<Unstorable> what;
        if (character == static_cast<char32_t>(EndOfDataMark)) {
            what = Unstorable::EndOfDataMark;
        } else if (character == u'\r' || character == u'\n') {
            const bool pairedWithTheOther = character == u'\r' ? i + 1 < field.size() && field[i + 1] == u'\n'
                                                               : i > 0 && field[i - 1] == u'\r';
            if (which == SlotField::Description) {
                what = Unstorable::LineBreak;
            } else if (!pairedWithTheOther) {
                what = Unstorable::LoneLineBreak;
            }
        } else if (!wholeSurvives && !SurvivesCodePage(field.substr(i, units), codePage)) {
            what = Unstorable::NotInCodePage;
        }
        if (what) return StorageRefusal{which, *what, character};
        i += units;
    }
    // Every character survives alone but not all of them together: no code
    // page does that, but the file must not be given what it cannot keep.
    if (!wholeSurvives) return StorageRefusal{which, Unstorable::NotInCodePage, CharacterAt(field, 0).first};
    return std::nullopt;
}

std::string CharacterCode(char32_t character) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    return code;
}

}  // namespace

std::optional<StorageRefusal> FindUnstorable(std::u16string_view description, std::u16string_view text,
                                             const CodePage& codePage) {
    if (auto refusal = FindUnstorableCharacter(description, SlotField::Description, codePage)) return refusal;
    if (auto refusal = FindUnstorableCharacter(text, SlotField::PasteText, codePage)) return refusal;
    if (HoldsBlockCloserLine(codePage.FromUtf16(text))) {
        return StorageRefusal{SlotField::PasteText, Unstorable::BlockCloserLine, 0};
    }
    return std::nullopt;
}

std::string RefusalMessage(const StorageRefusal& refusal) {
    const std::string field = refusal.field == SlotField::Description ? "description" : "paste text";
    const std::string code = CharacterCode(refusal.character);
    switch (refusal.what) {
        case Unstorable::EndOfDataMark:
            return "The " + field + " cannot hold the character " + code +
                   " (Ctrl+Z): the settings file would end there.";
        case Unstorable::NotInCodePage:
            return "The " + field + " cannot hold the character " + code +
                   ": the system's code page has no such character, so the settings file could not keep it.";
        case Unstorable::LineBreak:
            return "The " + field + " cannot hold a line break (" + code + "): it is one line of the settings file.";
        case Unstorable::LoneLineBreak:
            return "The " + field + " cannot hold a line break (" + code +
                   ") that is not CR LF: the settings file would not give it back as it is.";
        case Unstorable::BlockCloserLine:
            break;
    }
    return "A line of the paste text cannot be exactly [/memo].";
}

std::u16string WithCrLfLineBreaks(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit != u'\r' && unit != u'\n') {
            result.push_back(unit);
            continue;
        }
        result += u"\r\n";
        if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    }
    return result;
}

bool HoldsBlockCloserLine(std::string_view text) {
    LineReader lines(text);
    while (!lines.AtEnd()) {
        if (lines.ReadLine() == BlockCloser) return true;
    }
    return false;
}

bool DecodeSettings(std::string_view data, SlotTable& table, const CodePage& codePage) {
    table.ResetAll();
    RecordReader reader(data);
    const bool startMinimize = reader.NextField() == StartMinimizedHeader;
    reader.EndRecord();
    for (int index = 0; index < SlotCount; ++index) {
        Slot slot;
        slot.active = reader.NextField() == ActiveLine;
        slot.description = reader.NextField();
        slot.shortcut = reader.NextField();
        std::string text;
        if (reader.NextField() == BlockOpener) text = reader.ReadBlock();
        reader.NextField();  // separator, whatever it holds
        table.Store(index, std::move(slot), codePage.ToUtf16(text));
        reader.EndRecord();
    }
    return startMinimize;
}

std::string EncodeSettings(const SlotTable& table, bool startMinimize, const CodePage& codePage) {
    std::string out;
    AppendLine(out, startMinimize ? StartMinimizedHeader : ShownHeader);
    for (int index = 0; index < SlotCount; ++index) {
        const Slot& slot = table.At(index);
        AppendLine(out, slot.active ? ActiveLine : InactiveLine);
        AppendLine(out, slot.description);
        AppendLine(out, slot.shortcut);
        AppendLine(out, BlockOpener);
        const std::string text = codePage.FromUtf16(table.Text(index));
        if (!text.empty()) AppendLine(out, text);
        AppendLine(out, BlockCloser);
        AppendLine(out, "");
    }
    return out;
}

}  // namespace quilldeck
