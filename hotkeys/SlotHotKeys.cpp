#include "SlotHotKeys.h"

#include "PasteKeys.h"

namespace quilldeck {

SlotHotKeys::SlotHotKeys(const SlotTable& slots, std::span<win::MenuItem, SlotCount> carriers,
                         const CodePage& codePage, const KeyNames& keyNames, HotKeyRegistrar& registrar,
                         PasteAction& paste)
    : slots_(slots), carriers_(carriers), codePage_(codePage), keyNames_(keyNames), paste_(paste) {
    for (int n = 1; n <= SlotCount; ++n) {
        auto& component = hotKeys_[n - 1] = std::make_unique<TGlobalHotKey>(registrar);
        component->Tag = n;
        component->OnKeyDown = [this](TGlobalHotKey& sender, std::uint16_t& key, TShiftState shift) {
            GlobalHotKey1KeyDown(sender, key, shift);
        };
    }
    for (win::MenuItem& item : carriers_) {
        item.onClick = [this](win::MenuItem& sender) { paste_.F1Click(sender); };
    }
}

void SlotHotKeys::ApplySlot(int row, win::MenuItem& item, TGlobalHotKey& component) {
    item.visible = false;
    item.caption = slots_.At(row).description;
    item.shortCut = ParseShortcut(slots_.At(row).shortcut, keyNames_);
    item.hint = codePage_.FromUtf16(slots_.Text(row));
    pasteTexts_[row] = paste_.PasteText(item.hint);
    // The paste's own Ctrl+V would set off such a hot key again and again:
    // it stays unbound, as silently as a combination another program holds.
    component.SetHotKey(PastePresses(item.shortCut) ? 0 : item.shortCut);
    component.SetActive(slots_.At(row).active);
}

void SlotHotKeys::ApplyAllSlots() {
    for (auto& component : hotKeys_) component->SetHotKey(0);
    for (int row = 0; row < SlotCount; ++row) ApplySlot(row, carriers_[row], *hotKeys_[row]);
}

void SlotHotKeys::GlobalHotKey1KeyDown(TGlobalHotKey& sender, std::uint16_t&, TShiftState) {
    const int k = sender.Tag;
    // F1Click with the text that ApplySlot converted from the same Hint.
    if (k >= 1 && k <= SlotCount && !carriers_[k - 1].hint.empty()) paste_.Paste(pasteTexts_[k - 1]);
}

}  // namespace quilldeck
