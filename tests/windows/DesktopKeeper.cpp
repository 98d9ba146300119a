// Keeps Wine's desktop process (explorer.exe) running for a whole test run.
//
// Wine starts the desktop process when a program first creates a window, and
// the desktop inherits that program's standard handles. Started from a test
// under ctest, it would hold ctest's output pipe open, and ctest would wait
// for it to go away after every test. Started from here, with the output in
// a file, it lives until the run's wineserver is ended.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND window = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "Quilldeck test desktop keeper", WS_POPUP, 0, 0,
                                    1, 1, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
    return 0;
}
