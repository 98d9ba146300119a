#pragma once

#include <windows.h>

namespace quilldeck::ui {

// A control the Tab key reaches, and a label, which takes no focus and shows
// an ampersand as it is.
constexpr DWORD Tab = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD Label = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;

}  // namespace quilldeck::ui
