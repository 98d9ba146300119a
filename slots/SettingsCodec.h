#pragma once

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

}  // namespace quilldeck
