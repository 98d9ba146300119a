#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quilldeck {

// Key and modifiers in 16 bits: virtual-key code in the low byte, Shift 0x2000,
// Ctrl 0x4000, Alt 0x8000; 0 means no shortcut.
using TShortCut = std::uint16_t;

inline constexpr TShortCut ShiftBit = 0x2000;
inline constexpr TShortCut CtrlBit = 0x4000;
inline constexpr TShortCut AltBit = 0x8000;
// Bits 8..12 are never set by the program but still count as key code.
inline constexpr TShortCut KeyCodeMask = 0x1FFF;

// The modifiers of a key press, as a set of these bits.
using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;

struct SplitKey {
    std::uint16_t key;  // value AND 0x1FFF
    TShiftState shift;
};

constexpr SplitKey SplitShortcut(TShortCut value) {
    TShiftState shift = 0;
    if (value & ShiftBit) shift |= ssShift;
    if (value & CtrlBit) shift |= ssCtrl;
    if (value & AltBit) shift |= ssAlt;
    return {static_cast<std::uint16_t>(value & KeyCodeMask), shift};
}

// What the keyboard layout and the user's locale contribute to shortcut text.
class KeyNames {
public:
    virtual ~KeyNames() = default;

    // The layout's name for a key outside the fixed rows; empty when it has none.
    virtual std::string LayoutName(std::uint8_t virtualKey) const = 0;
    // Whole-text comparison without regard to case, in the user's locale.
    virtual bool EqualIgnoringCase(std::string_view a, std::string_view b) const = 0;
};

// Names of keys outside the fixed rows taken from a fixed table (US layout),
// with ASCII case folding: for use where no keyboard layout exists.
class FixedKeyNames final : public KeyNames {
public:
    std::string LayoutName(std::uint8_t virtualKey) const override;
    bool EqualIgnoringCase(std::string_view a, std::string_view b) const override;
};

// The name of a key by its code (bits 0..7 only); empty when it has none.
std::string KeyName(std::uint8_t virtualKey, const KeyNames& names);

// "Shift+", "Ctrl+", "Alt+" for the set bits, in that order, then the key's
// name; empty when the key has no name, whatever modifiers are set.
std::string FormatShortcut(TShortCut value, const KeyNames& names);

// Reverses FormatShortcut, accepting the prefixes (and "^" for Ctrl) in any
// order and letter case; 0 when the text names no key.
TShortCut ParseShortcut(std::string_view text, const KeyNames& names);

}  // namespace quilldeck
