#pragma once

#include <array>
#include <string>
#include <string_view>

#include "CodePage.h"
#include "ShortcutText.h"

namespace quilldeck {

inline constexpr int SlotCount = 20;
inline constexpr std::string_view UndefinedDescription = "<Not Define>";
inline constexpr std::string_view NoShortcutText = "None";

// A slot's fields besides its text, which the table keeps apart in SlotText.
struct Slot {
    bool active = false;
    std::string description{UndefinedDescription};
    // The text form of the shortcut, kept verbatim even when it names no key.
    std::string shortcut{NoShortcutText};

    bool operator==(const Slot&) const = default;
};

// What the Define/Edit dialog shows for a slot and hands back on OK.
struct SlotEditValues {
    std::string description;
    TShortCut shortcut = 0;
    std::string text;  // 8-bit, CR LF line breaks
    bool active = false;

    bool operator==(const SlotEditValues&) const = default;
};

// The twenty snippet slots. Every index argument is a slot index 0..19 or,
// for the list commands, -1 when no row is selected.
class SlotTable {
public:
    SlotTable(const CodePage& codePage, const KeyNames& keyNames);

    const Slot& At(int index) const { return slots_.at(index); }
    const std::u16string& Text(int index) const { return SlotText.at(index); }
    // Undefined while the description is exactly "<Not Define>".
    bool IsDefined(int index) const;

    // Stores a slot as read from the settings file: an empty description or
    // shortcut text stands for the default.
    void Store(int index, Slot slot, std::u16string text);
    void SetActive(int index, bool active) { slots_.at(index).active = active; }
    void ResetAll();

    // Each returns the index that the list's selection moves to.
    int MoveSlotUp(int selected);
    int MoveSlotDown(int selected);
    void ClearSlot(int selected);

    void CommitSlot(int index, std::string_view description, TShortCut shortcut,
                    std::string_view text, bool active);
    SlotEditValues EditValues(int index) const;

private:
    void Exchange(int a, int b);

    const CodePage& codePage_;
    const KeyNames& keyNames_;
    std::array<Slot, SlotCount> slots_;
    std::array<std::u16string, SlotCount> SlotText;
};

}  // namespace quilldeck
