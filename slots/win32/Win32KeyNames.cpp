#include <windows.h>

#include <array>

#include "Win32Platform.h"

namespace quilldeck {

std::string Win32KeyNames::LayoutName(std::uint8_t virtualKey) const {
    const UINT scanCode = ::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    if (scanCode == 0) return {};
    std::array<char, 256> name{};
    // Scan code in bits 16..23, extended-key bit clear.
    const int length = ::GetKeyNameTextA(static_cast<LONG>(scanCode << 16), name.data(),
                                         static_cast<int>(name.size()));
    return length > 0 ? std::string(name.data()) : std::string();
}

bool Win32KeyNames::EqualIgnoringCase(std::string_view a, std::string_view b) const {
    if (a.empty() || b.empty()) return a.empty() && b.empty();
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                            static_cast<int>(a.size()), b.data(), static_cast<int>(b.size())) ==
           CSTR_EQUAL;
}

}  // namespace quilldeck
