#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "CodePage.h"
#include "SlotTable.h"

namespace quilldeck {

// The settings file's content: a header line, then twenty records of active
// flag, description, shortcut text, "[memo]", text lines, "[/memo]" and an
// empty separator, every line ending with CR LF.

// Fills every slot (those the data does not reach get their defaults) and
// returns the start-minimised flag.
bool DecodeSettings(std::string_view data, SlotTable& table, const CodePage& codePage);

std::string EncodeSettings(const SlotTable& table, bool startMinimize, const CodePage& codePage);

// Whether an 8-bit slot text holds a line that the reader would take for the
// end of its block ("[/memo]"): the format has no escape for it, so such a
// text would end its block early and every later record would fall out of
// step. Lines are split as the reader splits them.
bool HoldsBlockCloserLine(std::string_view text);

// What in a slot's description or paste text the settings file could not
// give back exactly.
enum class Unstorable {
    EndOfDataMark,    // Ctrl+Z: the reader stops there
    NotInCodePage,    // the system code page has no such character
    LineBreak,        // a description is one line of the file
    LoneLineBreak,    // a text's CR or LF alone comes back as CR LF, or not at all
    BlockCloserLine,  // a text line that is exactly "[/memo]" ends the block
};

enum class SlotField { Description, PasteText };

struct StorageRefusal {
    SlotField field;
    Unstorable what;
    // The first such character; 0 for a "[/memo]" line.
    char32_t character;

    bool operator==(const StorageRefusal&) const = default;
};

// The one check of whether the settings file can hold a description and a
// paste text exactly as given: the first thing it could not give back, the
// description first, or nothing when it can hold both. What it accepts, the
// system code page's 8-bit form included, comes back unchanged from a save
// and a read.
std::optional<StorageRefusal> FindUnstorable(std::u16string_view description, std::u16string_view text,
                                             const CodePage& codePage);

// What the user is told of a refusal, naming the character by its U+ code.
std::string RefusalMessage(const StorageRefusal& refusal);

// The text with every line break written CR LF: a lone CR or LF (text pasted
// from elsewhere) becomes CR LF, as the settings file would give it back.
std::u16string WithCrLfLineBreaks(std::u16string_view text);

}  // namespace quilldeck
