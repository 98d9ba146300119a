#include <vector>

#include "Input.h"

namespace quilldeck {
namespace {

bool IsDown(int virtualKey) { return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

bool IsExtendedKey(std::uint8_t virtualKey) {
    return virtualKey == vk::RightControl || virtualKey == vk::RightAlt || virtualKey == vk::LeftWin ||
           virtualKey == vk::RightWin;
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
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(stroke.virtualKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = (stroke.down ? 0 : KEYEVENTF_KEYUP) |
                           (IsExtendedKey(stroke.virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(input);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace quilldeck
