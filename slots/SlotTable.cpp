#include "SlotTable.h"

#include <utility>

namespace quilldeck {
namespace {

bool IsSlotIndex(int index) { return index >= 0 && index < SlotCount; }

}  // namespace

SlotTable::SlotTable(const CodePage& codePage, const KeyNames& keyNames)
    : codePage_(codePage), keyNames_(keyNames) {}

bool SlotTable::IsDefined(int index) const {
    return At(index).description != UndefinedDescription;
}

void SlotTable::Store(int index, Slot slot, std::u16string text) {
    if (slot.description.empty()) slot.description = UndefinedDescription;
    if (slot.shortcut.empty()) slot.shortcut = NoShortcutText;
    slots_.at(index) = std::move(slot);
    SlotText.at(index) = std::move(text);
}

void SlotTable::ResetAll() {
    slots_.fill(Slot{});
    SlotText.fill({});
}

void SlotTable::Exchange(int a, int b) {
    std::swap(slots_.at(a), slots_.at(b));
    std::swap(SlotText.at(a), SlotText.at(b));
}

int SlotTable::MoveSlotUp(int selected) {
    if (selected < 1 || selected >= SlotCount) return selected;
    Exchange(selected, selected - 1);
    return selected - 1;
}

int SlotTable::MoveSlotDown(int selected) {
    if (selected < 0 || selected >= SlotCount - 1) return selected;
    Exchange(selected, selected + 1);
    return selected + 1;
}

void SlotTable::ClearSlot(int selected) {
    if (!IsSlotIndex(selected)) return;
    Store(selected, Slot{}, {});
}

void SlotTable::CommitSlot(int index, std::string_view description, TShortCut shortcut,
                           std::string_view text, bool active) {
    Store(index,
          Slot{active, std::string(description), FormatShortcut(shortcut, keyNames_)},
          codePage_.ToUtf16(text));
}

SlotEditValues SlotTable::EditValues(int index) const {
    const Slot& slot = At(index);
    return SlotEditValues{
        IsDefined(index) ? slot.description : std::string(),
        ParseShortcut(slot.shortcut, keyNames_),
        codePage_.FromUtf16(Text(index)),
        slot.active,
    };
}

}  // namespace quilldeck
