#include "SettingsCodec.h"

#include <algorithm>

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
