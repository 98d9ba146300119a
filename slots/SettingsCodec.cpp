#include "SettingsCodec.h"

#include <algorithm>
#include <cstring>

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
// Ctrl+Z marks the end of the data. Lines are found with memchr and copied a
// run at a time: a settings file may hold twenty texts of many kilobytes.
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
        const char* const begin = data_.data() + pos_;
        const std::size_t left = data_.size() - pos_;
        const char* newline = Find(begin, left, '\n');
        const std::size_t length = newline != nullptr ? static_cast<std::size_t>(newline - begin) : left;
        const char* endMark = Find(begin, length, EndOfDataMark);
        const char* const contentEnd = endMark != nullptr ? endMark : begin + length;
        // The rest of the line after a Ctrl+Z is skipped with its terminator.
        pos_ += newline != nullptr ? length + 1 : length;
        for (const char* run = begin; run < contentEnd;) {
            const char* cr = Find(run, static_cast<std::size_t>(contentEnd - run), '\r');
            const char* runEnd = cr != nullptr ? cr : contentEnd;
            out.append(run, static_cast<std::size_t>(runEnd - run));
            run = runEnd + 1;
        }
    }

    // Bytes from here to the next occurrence of a text, or to the end.
    std::size_t DistanceTo(std::string_view text) const {
        const std::size_t at = data_.find(text, pos_);
        return (at == std::string_view::npos ? data_.size() : at) - std::min(pos_, data_.size());
    }

private:
    static const char* Find(const char* from, std::size_t length, char c) {
        return length == 0 ? nullptr : static_cast<const char*>(std::memchr(from, c, length));
    }

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
        // Room for the text up to the next closer, so that a long text is not
        // copied again and again as it grows.
        text.reserve(lines_.DistanceTo(BlockCloser));
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

}  // namespace

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
