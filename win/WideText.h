#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quilldeck::win {

// 8-bit text in the system code page as UTF-16, for the wide calls.
std::wstring WideFromSystemCodePage(std::string_view text);

// A window's text in UTF-16, whole whatever the code page holds (for a
// window made through the wide calls).
std::u16string WindowTextUtf16(HWND window);
void SetWindowTextUtf16(HWND window, std::u16string_view text);

}  // namespace quilldeck::win
