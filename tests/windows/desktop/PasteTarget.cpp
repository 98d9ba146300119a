#include "PasteTarget.h"

#include "../InputDriver.h"
#include "../TestSupport.h"

namespace quilldeck::testing {

PasteTarget::PasteTarget() {
    menu_ = ::CreateMenu();
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuA(file, MF_STRING, 1, "&Close");
    ::AppendMenuA(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    static int serial = 0;
    const std::string title = "Quilldeck paste target " + std::to_string(++serial);
    Create("QuilldeckPasteTarget", 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, title.c_str(), 60, 60, 420, 260,
           nullptr, menu_, 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    RECT client;
    ::GetClientRect(Handle(), &client);
    edit_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0,
                              client.right, client.bottom, Handle(), nullptr, ::GetModuleHandleW(nullptr),
                              nullptr);
    ::SetWindowLongPtrW(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editProcedure_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PasteTarget::EditProcedure)));
    PumpFor(std::chrono::milliseconds(100));
}

PasteTarget::~PasteTarget() { Destroy(); }

std::u16string PasteTarget::Text() const {
    const int length = ::GetWindowTextLengthW(edit_);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    ::GetWindowTextW(edit_, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void PasteTarget::Clear() {
    ::SetWindowTextW(edit_, L"");
    keys.clear();
    menuOpenings = 0;
}

void PasteTarget::Focus() {
    InputDriver().FocusForKeyboard(Handle());
    ::SetFocus(edit_);
}

std::vector<ReceivedKey> PasteTarget::KeyDowns(WPARAM virtualKey) const {
    std::vector<ReceivedKey> downs;
    for (const ReceivedKey& key : keys) {
        if ((key.message == WM_KEYDOWN || key.message == WM_SYSKEYDOWN) && key.virtualKey == virtualKey) {
            downs.push_back(key);
        }
    }
    return downs;
}

LRESULT PasteTarget::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITMENU || message == WM_ENTERMENULOOP) ++menuOpenings;
    return Window::HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK PasteTarget::EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PasteTarget*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_KEYUP || message == WM_SYSKEYUP) {
        const auto down = [](int key) { return (::GetKeyState(key) & 0x8000) != 0; };
        self->keys.push_back(
            {message, wParam, down(VK_CONTROL), down(VK_MENU), down(VK_SHIFT), down(VK_LWIN) || down(VK_RWIN)});
    }
    return ::CallWindowProcW(self->editProcedure_, window, message, wParam, lParam);
}

}  // namespace quilldeck::testing
