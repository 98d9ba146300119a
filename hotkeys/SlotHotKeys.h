#pragma once

#include <array>
#include <memory>
#include <span>

#include "GlobalHotKey.h"
#include "PasteAction.h"
#include "slots/SlotTable.h"
#include "win/MenuItem.h"

namespace quilldeck {

// Binds the slot table to twenty hot keys: slot n, carrier item Fn and hot key
// component n (Tag n) belong together for the program's life.
class SlotHotKeys {
public:
    SlotHotKeys(const SlotTable& slots, std::span<win::MenuItem, SlotCount> carriers,
                const CodePage& codePage, const KeyNames& keyNames, HotKeyRegistrar& registrar,
                PasteAction& paste);

    // Releases every registration first, then binds each slot in order, so a
    // shortcut that moved to another slot is free when that slot takes it.
    void ApplyAllSlots();

    // Hot key component n, 1..20.
    TGlobalHotKey& GlobalHotKey(int number) { return *hotKeys_.at(number - 1); }

private:
    void ApplySlot(int row, win::MenuItem& item, TGlobalHotKey& component);
    void GlobalHotKey1KeyDown(TGlobalHotKey& sender, std::uint16_t& key, TShiftState shift);

    const SlotTable& slots_;
    std::span<win::MenuItem, SlotCount> carriers_;
    const CodePage& codePage_;
    const KeyNames& keyNames_;
    PasteAction& paste_;
    std::array<std::unique_ptr<TGlobalHotKey>, SlotCount> hotKeys_;
    // Each carrier's Hint as the paste puts it on the clipboard, converted
    // when the slots are applied rather than at every press.
    std::array<std::u16string, SlotCount> pasteTexts_;
};

}  // namespace quilldeck
