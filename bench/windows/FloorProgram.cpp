// The floors of the start-up and memory figures: a window with nothing but
// what any program of its kind needs. "bare": one plain window. "parts": the
// same system parts as Quilldeck's main window: common controls version 6
// (the manifest), COM, shell32, a report list with check boxes and a status
// bar, in Tahoma 13 of the Thai character set.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstring>

namespace {

constexpr int ClientWidth = 436;
constexpr int ClientHeight = 264;
constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void AddParts(HWND window, HINSTANCE instance) {
    HFONT font = ::CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, THAI_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
    HWND list = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL, 0, 0, ClientWidth,
                                  245, window, nullptr, instance, nullptr);
    ::SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    const char* headers[] = {"#", "Description", "Shortcut Key"};
    const int widths[] = {25, 250, 100};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(headers[i]);
        column.cx = widths[i];
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int row = 0; row < 20; ++row) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>("");
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    HWND status = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE,
                                    0, 245, ClientWidth, 19, window, nullptr, instance, nullptr);
    ::SendMessageA(status, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const bool parts = std::strstr(commandLine, "parts") != nullptr;
    if (parts) {
        ::CoInitialize(nullptr);
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_HOTKEY_CLASS};
        ::InitCommonControlsEx(&controls);
        ::LoadLibraryA("shell32.dll");
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "QuilldeckBenchFloor";
    ::RegisterClassA(&windowClass);
    RECT frame{0, 0, ClientWidth, ClientHeight};
    ::AdjustWindowRectEx(&frame, Style, FALSE, 0);
    HWND window = ::CreateWindowExA(0, "QuilldeckBenchFloor", "Floor", Style, CW_USEDEFAULT, CW_USEDEFAULT,
                                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                    nullptr);
    if (parts) AddParts(window, instance);
    ::ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
