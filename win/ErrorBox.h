#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quilldeck::win {

inline constexpr const char* ApplicationTitle = "Quilldeck";

// The message as the error box shows it: a full stop is appended when the
// last character sorts after "." (letters and digits do).
std::string ErrorBoxText(std::string_view message);

// The application's standard error box: title "Quilldeck", error icon, OK.
void ShowErrorBox(std::string_view message, HWND owner = nullptr);

}  // namespace quilldeck::win
