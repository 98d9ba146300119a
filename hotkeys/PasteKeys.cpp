#include "PasteKeys.h"

#include <array>
#include <utility>

namespace quilldeck {

std::vector<KeyStroke> PasteKeystrokes(const HeldModifiers& held) {
    // Held modifiers other than Ctrl would turn Ctrl+V into another command.
    const std::array<std::pair<std::uint8_t, bool>, 6> others = {{
        {vk::LeftShift, held.leftShift}, {vk::RightShift, held.rightShift},
        {vk::LeftAlt, held.leftAlt},     {vk::RightAlt, held.rightAlt},
        {vk::LeftWin, held.leftWin},     {vk::RightWin, held.rightWin},
    }};
    const bool menuKeyHeld = held.leftAlt || held.rightAlt || held.leftWin || held.rightWin;
    const bool controlHeld = held.leftControl || held.rightControl;

    std::vector<KeyStroke> strokes;
    const auto tapMask = [&] {
        strokes.push_back({vk::Mask, true});
        strokes.push_back({vk::Mask, false});
    };
    if (menuKeyHeld) tapMask();
    for (const auto& [key, down] : others) {
        if (down) strokes.push_back({key, false});
    }
    // With Ctrl already held, press the side that is down again (a repeat),
    // so no other Ctrl key is left pressed afterwards.
    const std::uint8_t control =
        !controlHeld ? vk::Control : (held.leftControl ? vk::LeftControl : vk::RightControl);
    strokes.push_back({control, true});
    strokes.push_back({vk::V, true});
    strokes.push_back({vk::V, false});
    if (!controlHeld) strokes.push_back({control, false});
    for (const auto& [key, down] : others) {
        if (down) strokes.push_back({key, true});
    }
    if (menuKeyHeld) tapMask();
    return strokes;
}

bool PastePresses(TShortCut shortcut) {
    const auto key = static_cast<std::uint16_t>(shortcut & KeyCodeMask);
    switch (key) {
        case vk::Shift: case vk::Control: case vk::Alt:
        case vk::LeftShift: case vk::RightShift: case vk::LeftControl: case vk::RightControl:
        case vk::LeftAlt: case vk::RightAlt: case vk::LeftWin: case vk::RightWin:
        case vk::Mask:
            return true;
        default:
            return shortcut == (CtrlBit | vk::V);
    }
}

}  // namespace quilldeck
