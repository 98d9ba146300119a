#pragma once

#include <windows.h>

#include <cstdint>

#include "slots/ShortcutText.h"

namespace quilldeck {

// Combinations the key-capture field counts as invalid, bit for bit the
// control's HKCOMB_* flags.
using THKInvalidKeys = std::uint8_t;
inline constexpr THKInvalidKeys hcNone = 0x01;
inline constexpr THKInvalidKeys hcShift = 0x02;
inline constexpr THKInvalidKeys hcCtrl = 0x04;
inline constexpr THKInvalidKeys hcAlt = 0x08;
inline constexpr THKInvalidKeys hcShiftCtrl = 0x10;
inline constexpr THKInvalidKeys hcShiftAlt = 0x20;
inline constexpr THKInvalidKeys hcCtrlAlt = 0x40;
inline constexpr THKInvalidKeys hcShiftCtrlAlt = 0x80;

// The field's modifier flags, bit for bit the control's HOTKEYF_* flags.
using THKModifiers = std::uint8_t;
inline constexpr THKModifiers hkShift = 0x01;
inline constexpr THKModifiers hkCtrl = 0x02;
inline constexpr THKModifiers hkAlt = 0x04;
inline constexpr THKModifiers hkExt = 0x08;

// The key-capture field (msctls_hotkey32) with its value as a shortcut. The
// rules, InvalidKeys and the Modifiers that replace those of an invalid
// combination, reach the control when the wrapper is made and whenever either
// changes; setting HotKey leaves them alone.
class THotKey {
public:
    // Takes a control already created; sends the default rules to it.
    explicit THotKey(HWND control);
    THotKey(const THotKey&) = delete;
    THotKey& operator=(const THotKey&) = delete;

    HWND Handle() const noexcept { return control_; }

    THKInvalidKeys InvalidKeys() const noexcept { return invalidKeys_; }
    void SetInvalidKeys(THKInvalidKeys invalidKeys);
    THKModifiers Modifiers() const noexcept { return modifiers_; }
    void SetModifiers(THKModifiers modifiers);

    // What the user entered: key plus Shift, Ctrl and Alt bits (never Ext).
    TShortCut HotKey();
    void SetHotKey(TShortCut value);

private:
    void SendRules();
    void SendHotKey();

    HWND control_;
    THKInvalidKeys invalidKeys_ = hcNone | hcShift;
    THKModifiers modifiers_ = hkAlt;
    std::uint16_t key_ = 0x41;
};

}  // namespace quilldeck
