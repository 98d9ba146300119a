#pragma once

#include <windows.h>

#include <string>

#include "win/Window.h"

namespace quilldeck::bench {

// A text of the given length in 8-bit characters of code page 1252: words,
// accented letters and CR LF line breaks, as slot texts hold them.
std::string SampleText(std::size_t length);

// A shown window that takes the keyboard focus and counts the Ctrl releases it
// is sent: each paste ends with one.
class KeySink : public win::Window {
public:
    KeySink();
    void Focus();
    int controlReleases = 0;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A hidden window to open the clipboard for.
class HiddenWindow : public win::Window {
public:
    HiddenWindow();
};

}  // namespace quilldeck::bench
