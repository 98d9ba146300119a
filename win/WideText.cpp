#include "WideText.h"

#include <climits>

namespace quilldeck::win {

std::wstring WideFromSystemCodePage(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::u16string WindowTextUtf16(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return std::u16string(text.begin(), text.end());
}

void SetWindowTextUtf16(HWND window, std::u16string_view text) {
    const std::wstring wide(text.begin(), text.end());
    ::SetWindowTextW(window, wide.c_str());
}

}  // namespace quilldeck::win
