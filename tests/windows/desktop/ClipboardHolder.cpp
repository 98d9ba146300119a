// Holds the clipboard open for a while, as a clipboard tool does, then lets
// it go. Arguments: the name of an event to set once the clipboard is held,
// and how many milliseconds to hold it.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    HWND window = ::CreateWindowExA(0, "STATIC", "clipboard holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    if (!::OpenClipboard(window)) return 3;
    HANDLE held = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    ::SetEvent(held);
    ::Sleep(static_cast<DWORD>(std::atoi(argv[2])));
    ::CloseClipboard();
    ::DestroyWindow(window);
    return 0;
}
