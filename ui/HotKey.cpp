#include "HotKey.h"

#include <commctrl.h>

namespace quilldeck {

THotKey::THotKey(HWND control) : control_(control) { SendRules(); }

void THotKey::SetInvalidKeys(THKInvalidKeys invalidKeys) {
    invalidKeys_ = invalidKeys;
    SendRules();
}

void THotKey::SetModifiers(THKModifiers modifiers) {
    modifiers_ = modifiers;
    SendRules();
}

TShortCut THotKey::HotKey() {
    const auto word = static_cast<WORD>(::SendMessageA(control_, HKM_GETHOTKEY, 0, 0));
    modifiers_ = HIBYTE(word);
    key_ = LOBYTE(word);
    TShortCut value = key_;
    if (modifiers_ & hkShift) value |= ShiftBit;
    if (modifiers_ & hkCtrl) value |= CtrlBit;
    if (modifiers_ & hkAlt) value |= AltBit;
    return value;
}

void THotKey::SetHotKey(TShortCut value) {
    key_ = value & KeyCodeMask;
    modifiers_ = 0;
    if (value & ShiftBit) modifiers_ |= hkShift;
    if (value & CtrlBit) modifiers_ |= hkCtrl;
    if (value & AltBit) modifiers_ |= hkAlt;
    SendHotKey();
}

void THotKey::SendRules() {
    ::SendMessageA(control_, HKM_SETRULES, invalidKeys_, MAKELPARAM(modifiers_, 0));
    SendHotKey();
}

void THotKey::SendHotKey() { ::SendMessageA(control_, HKM_SETHOTKEY, MAKEWORD(LOBYTE(key_), modifiers_), 0); }

}  // namespace quilldeck
