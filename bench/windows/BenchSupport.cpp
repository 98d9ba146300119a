#include "BenchSupport.h"

#include "../../tests/windows/InputDriver.h"
#include "../../tests/windows/TestSupport.h"

namespace quilldeck::bench {

KeySink::KeySink() {
    Create("QuilldeckBenchKeySink", 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, "Quilldeck bench key sink", 40, 40, 300,
           200, nullptr, nullptr, 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    testing::PumpFor(std::chrono::milliseconds(100));
}

void KeySink::Focus() {
    testing::InputDriver().FocusForKeyboard(Handle());
    ::SetFocus(Handle());
}

LRESULT KeySink::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYUP && wParam == VK_CONTROL) ++controlReleases;
    return Window::HandleMessage(message, wParam, lParam);
}

HiddenWindow::HiddenWindow() { Create("QuilldeckBenchHidden", 0, WS_POPUP, "", 0, 0, 0, 0, nullptr, nullptr); }

}  // namespace quilldeck::bench
