#pragma once

#include <cstdint>
#include <vector>

#include "slots/ShortcutText.h"

namespace quilldeck {

// Virtual-key codes the paste keystroke uses.
namespace vk {
inline constexpr std::uint8_t Shift = 0x10;
inline constexpr std::uint8_t Control = 0x11;
inline constexpr std::uint8_t Alt = 0x12;
inline constexpr std::uint8_t V = 0x56;
inline constexpr std::uint8_t LeftWin = 0x5B;
inline constexpr std::uint8_t RightWin = 0x5C;
inline constexpr std::uint8_t LeftShift = 0xA0;
inline constexpr std::uint8_t RightShift = 0xA1;
inline constexpr std::uint8_t LeftControl = 0xA2;
inline constexpr std::uint8_t RightControl = 0xA3;
inline constexpr std::uint8_t LeftAlt = 0xA4;
inline constexpr std::uint8_t RightAlt = 0xA5;
// Assigned to nothing: tapping it between an Alt or Windows key's press and
// release keeps that release from opening a menu.
inline constexpr std::uint8_t Mask = 0xE8;
}  // namespace vk

struct KeyStroke {
    std::uint8_t virtualKey;
    bool down;

    bool operator==(const KeyStroke&) const = default;
};

// The modifier keys held while the paste starts, each side on its own.
struct HeldModifiers {
    bool leftShift = false;
    bool rightShift = false;
    bool leftControl = false;
    bool rightControl = false;
    bool leftAlt = false;
    bool rightAlt = false;
    bool leftWin = false;
    bool rightWin = false;
};

// One complete Ctrl+V that the focused window sees as exactly that, whatever
// modifiers the user still holds from the hot key; afterwards every key is
// logically where it was before, and no Alt or Windows release opens a menu.
std::vector<KeyStroke> PasteKeystrokes(const HeldModifiers& held);

// Whether the paste's own keys could press this shortcut: Ctrl+V, or any
// shortcut whose key is one the paste presses or lets go around it (a Shift,
// Ctrl, Alt or Windows key, or the mask key), whatever its modifiers. Bound
// as a hot key, such a shortcut would set off the paste again from within,
// without end, and the focused window would never get its text.
bool PastePresses(TShortCut shortcut);

}  // namespace quilldeck
