#include "ShortcutText.h"

#include <array>
#include <utility>

namespace quilldeck {
namespace {

constexpr std::string_view ShiftPrefix = "Shift+";
constexpr std::string_view CtrlPrefix = "Ctrl+";
constexpr std::string_view AltPrefix = "Alt+";
constexpr std::string_view CaretPrefix = "^";

// The program's own key names; every other key is named by the layout.
constexpr std::array<std::pair<std::uint8_t, std::string_view>, 15> FixedNames = {{
    {0x08, "BkSp"}, {0x09, "Tab"},  {0x0D, "Enter"}, {0x1B, "Esc"}, {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"}, {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"}, {0x2D, "Ins"},  {0x2E, "Del"},
}};

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix,
                            const KeyNames& names) {
    return text.size() >= prefix.size() &&
           names.EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::string KeyName(std::uint8_t k, const KeyNames& names) {
    for (const auto& [code, name] : FixedNames) {
        if (code == k) return std::string(name);
    }
    if (k >= 0x30 && k <= 0x39) return std::string(1, static_cast<char>(k));
    if (k >= 0x41 && k <= 0x5A) return std::string(1, static_cast<char>(k));
    if (k >= 0x60 && k <= 0x69) return std::string(1, static_cast<char>('0' + (k - 0x60)));
    if (k >= 0x70 && k <= 0x87) return "F" + std::to_string(k - 0x6F);
    return names.LayoutName(k);
}

std::string FormatShortcut(TShortCut value, const KeyNames& names) {
    std::string name = KeyName(static_cast<std::uint8_t>(value & 0xFF), names);
    if (name.empty()) return name;
    std::string text;
    if (value & ShiftBit) text += ShiftPrefix;
    if (value & CtrlBit) text += CtrlPrefix;
    if (value & AltBit) text += AltPrefix;
    return text + name;
}

TShortCut ParseShortcut(std::string_view text, const KeyNames& names) {
    static constexpr std::array<std::pair<std::string_view, TShortCut>, 4> Prefixes = {{
        {ShiftPrefix, ShiftBit}, {CaretPrefix, CtrlBit}, {CtrlPrefix, CtrlBit}, {AltPrefix, AltBit},
    }};
    TShortCut modifiers = 0;
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (const auto& [prefix, bit] : Prefixes) {
            if (StartsWithIgnoringCase(text, prefix, names)) {
                modifiers |= bit;
                text.remove_prefix(prefix.size());
                stripped = true;
                break;
            }
        }
    }
    if (text.empty()) return 0;
    for (unsigned k = 8; k <= 255; ++k) {
        const std::string name = FormatShortcut(static_cast<TShortCut>(k), names);
        if (!name.empty() && names.EqualIgnoringCase(text, name)) {
            return static_cast<TShortCut>(k | modifiers);
        }
    }
    return 0;
}

}  // namespace quilldeck
