#pragma once

#include <windows.h>

#include <string>

#include "BenchText.h"
#include "win/Window.h"

namespace quilldeck::bench {

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
