#include "Window.h"

#include <exception>

#include "ErrorBox.h"
#include "SystemError.h"

namespace quilldeck::win {

Window::~Window() { Destroy(); }

void Window::Create(const char* className, DWORD exStyle, DWORD style, const char* title, int x, int y,
                    int width, int height, HWND parent, HMENU menu, UINT classStyle, HBRUSH background,
                    HICON icon) {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (!::GetClassInfoExA(instance, className, &existing)) {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = classStyle;
        windowClass.lpfnWndProc = &Window::Procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = background;
        windowClass.hIcon = icon;
        windowClass.hIconSm = icon;
        windowClass.lpszClassName = className;
        if (!::RegisterClassExA(&windowClass)) ThrowLastSystemError();
    }
    if (!::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, instance,
                           this)) {
        ThrowLastSystemError();
    }
}

void Window::Destroy() noexcept {
    if (handle_ != nullptr) ::DestroyWindow(handle_);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->handle_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        // No exception may cross the system's window procedure: what escapes a
        // handler is shown in the error box, and the program goes on.
        ShowErrorBox(error.what(), ::GetAncestor(window, GA_ROOTOWNER));
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
    }
    return result;
}

}  // namespace quilldeck::win
