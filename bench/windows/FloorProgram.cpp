// The floors of the start-up, memory and first-press figures: programs with
// nothing but what any program of their kind needs.
//   bare   one plain window.
//   parts  the same system parts as Quilldeck's main window: common controls
//          version 6 (the manifest), COM, shell32, a report list with check
//          boxes and a status bar, in Tahoma 13 of the Thai character set.
//   design the parts, and the windows and menus Quilldeck's design adds: a
//          transparent zero-size owner that carries the taskbar button until
//          the main window shows, a hidden window for the tray icon, twenty
//          message-only windows for the hot keys, a menu bar and a shortcut
//          menu, and the main window shown transparent and made opaque at
//          its first activation.
//   paste  no window shown; on a press of Shift+Ctrl+F8 the least a paste can
//          do: open, empty, set and close the clipboard with the same
//          255-character text, and send Ctrl+V.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstring>
#include <string>

#include "BenchText.h"

namespace {

constexpr int ClientWidth = 436;
constexpr int ClientHeight = 264;
constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

std::wstring pasteText;

void FloorPaste(HWND owner) {
    const std::size_t size = 2 * (pasteText.size() + 1);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), pasteText.c_str(), size);
    ::GlobalUnlock(block);
    while (!::OpenClipboard(owner)) ::Sleep(1);
    ::EmptyClipboard();
    ::SetClipboardData(CF_UNICODETEXT, block);
    ::CloseClipboard();
    INPUT inputs[4] = {};
    const BYTE keys[4][2] = {{VK_CONTROL, 0}, {'V', 0}, {'V', 1}, {VK_CONTROL, 1}};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i][0];
        inputs[i].ki.wScan = static_cast<WORD>(::MapVirtualKeyA(keys[i][0], MAPVK_VK_TO_VSC));
        inputs[i].ki.dwFlags = keys[i][1] ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, inputs, sizeof(INPUT));
}

// The design floor's taskbar entry and whether its main window has been activated.
HWND taskbarEntry = nullptr;
bool firstActivation = true;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SHOWWINDOW && wParam && taskbarEntry != nullptr && window != taskbarEntry) {
        ::ShowWindow(taskbarEntry, SW_HIDE);
    }
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && taskbarEntry != nullptr &&
        window != taskbarEntry && firstActivation) {
        firstActivation = false;
        ::SetWindowLongA(window, GWL_EXSTYLE, ::GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_LAYERED);
        ::RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
    }
    if (message == WM_HOTKEY) {
        FloorPaste(window);
        return 0;
    }
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

HMENU MakeMenus() {
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuA(file, MF_STRING, 1, "&Options...");
    ::AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(file, MF_STRING, 2, "&Exit");
    HMENU help = ::CreatePopupMenu();
    ::AppendMenuA(help, MF_STRING, 3, "&Help");
    ::AppendMenuA(help, MF_STRING, 4, "&About...");
    HMENU bar = ::CreateMenu();
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    HMENU shortcut = ::CreatePopupMenu();
    const char* entries[] = {"Define/Edit...", "Clear", "Move up", "Move down"};
    for (int i = 0; i < 4; ++i) ::AppendMenuA(shortcut, MF_STRING, 10 + i, entries[i]);
    ::SetMenuDefaultItem(shortcut, 10, FALSE);
    return bar;
}

// The windows of the design floor that come before the main window.
void MakeDesignWindows(HINSTANCE instance) {
    taskbarEntry = ::CreateWindowExA(WS_EX_LAYERED, "QuilldeckBenchFloor", "Floor",
                                     WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                     ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                                     nullptr, nullptr, instance, nullptr);
    ::SetLayeredWindowAttributes(taskbarEntry, 0, 0, LWA_ALPHA);
    ::CreateWindowExA(WS_EX_TOOLWINDOW, "QuilldeckBenchFloor", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                      nullptr);
    for (int i = 0; i < 20; ++i) {
        ::CreateWindowExA(WS_EX_TOOLWINDOW, "QuilldeckBenchFloor", "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          instance, nullptr);
    }
    ::ShowWindow(taskbarEntry, SW_SHOWNORMAL);
}

void ShowMainWindow(HINSTANCE instance, bool parts, bool design) {
    if (design) MakeDesignWindows(instance);
    RECT frame{0, 0, ClientWidth, ClientHeight};
    ::AdjustWindowRectEx(&frame, Style, design, 0);
    HWND window = ::CreateWindowExA(design ? WS_EX_LAYERED : 0, "QuilldeckBenchFloor", "Floor", Style,
                                    CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                    frame.bottom - frame.top, taskbarEntry, design ? MakeMenus() : nullptr, instance,
                                    nullptr);
    if (design) ::SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);
    if (parts) AddParts(window, instance);
    ::ShowWindow(window, SW_SHOWNORMAL);
}

void ListenForPastes(HINSTANCE instance) {
    const std::string text = quilldeck::bench::SampleText(255);
    pasteText.resize(text.size());
    pasteText.resize(static_cast<std::size_t>(::MultiByteToWideChar(
        1252, 0, text.data(), static_cast<int>(text.size()), pasteText.data(), static_cast<int>(text.size()))));
    HWND window = ::CreateWindowExA(0, "QuilldeckBenchFloor", "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    instance, nullptr);
    ::RegisterHotKey(window, 1, MOD_CONTROL | MOD_SHIFT, VK_F8);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const bool design = std::strstr(commandLine, "design") != nullptr;
    const bool parts = design || std::strstr(commandLine, "parts") != nullptr;
    const bool paste = std::strstr(commandLine, "paste") != nullptr;
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
    if (paste) {
        ListenForPastes(instance);
    } else {
        ShowMainWindow(instance, parts, design);
    }
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
