#include <vector>

#include "Input.h"
#include "PasteAction.h"

namespace quilldeck {
namespace {

bool IsDown(int virtualKey) { return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

// The scan code of each key the paste sends, each side its own.
WORD ScanCode(std::uint8_t virtualKey) {
    switch (virtualKey) {
        case vk::LeftShift: return 0x2A;
        case vk::RightShift: return 0x36;
        case vk::Control:
        case vk::LeftControl:
        case vk::RightControl: return 0x1D;
        case vk::LeftAlt:
        case vk::RightAlt: return 0x38;
        case vk::LeftWin: return 0x5B;
        case vk::RightWin: return 0x5C;
        default: return static_cast<WORD>(::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    }
}

// The right Shift is marked too: Wine tells the sides of Shift by this flag,
// and without it a held right Shift is never released and V arrives as
// Ctrl+Shift+V. Windows goes by the key code.
bool IsExtendedKey(std::uint8_t virtualKey) {
    return virtualKey == vk::RightShift || virtualKey == vk::RightControl || virtualKey == vk::RightAlt ||
           virtualKey == vk::LeftWin || virtualKey == vk::RightWin;
}

}  // namespace

bool Win32HotKeyRegistrar::Register(HWND window, int identifier, UINT modifiers, UINT virtualKey) {
    return ::RegisterHotKey(window, identifier, modifiers, virtualKey) != FALSE;
}

bool Win32HotKeyRegistrar::Unregister(HWND window, int identifier) {
    return ::UnregisterHotKey(window, identifier) != FALSE;
}

HeldModifiers Win32Keyboard::Held() const {
    return HeldModifiers{IsDown(VK_LSHIFT), IsDown(VK_RSHIFT), IsDown(VK_LCONTROL), IsDown(VK_RCONTROL),
                         IsDown(VK_LMENU),  IsDown(VK_RMENU),  IsDown(VK_LWIN),     IsDown(VK_RWIN)};
}

void Win32Keyboard::Send(std::span<const KeyStroke> strokes) {
    std::vector<INPUT> inputs;
    inputs.reserve(strokes.size());
    for (const KeyStroke& stroke : strokes) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = stroke.virtualKey;
        // Scan codes too, for programs that read those rather than key codes.
        input.ki.wScan = ScanCode(stroke.virtualKey);
        input.ki.dwFlags = (stroke.down ? 0 : KEYEVENTF_KEYUP) |
                           (IsExtendedKey(stroke.virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(input);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Win32Clipboard::PutText(std::u16string_view text, HWND owner) { PutTextOnClipboard(text, owner); }

}  // namespace quilldeck
