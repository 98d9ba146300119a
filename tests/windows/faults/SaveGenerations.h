#pragma once

#include <string>

#include "slots/SlotTable.h"

namespace quilldeck::testing {

// A table that differs in every save: each generation has its own
// descriptions, flags and texts of another length, so a file that mixes two
// generations, or holds part of one, never reads as either.
inline void FillGeneration(SlotTable& table, long generation) {
    for (int index = 0; index < SlotCount; ++index) {
        const long seed = generation * 31 + index * 7;
        Slot slot;
        slot.active = seed % 3 != 0;
        slot.description = "generation " + std::to_string(generation) + " slot " + std::to_string(index + 1);
        slot.shortcut = seed % 2 == 0 ? "Ctrl+Alt+" + std::string(1, static_cast<char>('A' + index)) : "None";
        std::u16string text;
        const long lines = 20 + (seed * 7919) % 400;
        for (long line = 0; line < lines; ++line) {
            if (line > 0) text += u"\r\n";
            text += u"caf\u00E9 " + std::u16string(static_cast<std::size_t>(1 + (seed + line) % 60), u'x');
        }
        table.Store(index, slot, text);
    }
}

// The generation a table was filled with; 0 for any other table.
inline long GenerationOf(const SlotTable& table) {
    const std::string& description = table.At(0).description;
    const std::string prefix = "generation ";
    if (description.rfind(prefix, 0) != 0) return 0;
    return std::stol(description.substr(prefix.size()));
}

// Whether a table holds exactly that generation.
inline bool HoldsGeneration(const SlotTable& table, long generation, SlotTable& scratch) {
    FillGeneration(scratch, generation);
    for (int index = 0; index < SlotCount; ++index) {
        if (!(table.At(index) == scratch.At(index)) || table.Text(index) != scratch.Text(index)) return false;
    }
    return true;
}

}  // namespace quilldeck::testing
