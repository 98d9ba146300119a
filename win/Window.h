#pragma once

#include <windows.h>

namespace quilldeck::win {

// A window whose messages reach a member handler. The window procedure finds
// the object through the pointer stored at WM_NCCREATE; the object destroys
// its window when it goes, so neither may be copied or moved.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const noexcept { return handle_; }

protected:
    // Registers the class on first use (one class per name and process).
    void Create(const char* className, DWORD exStyle, DWORD style, const char* title, int x, int y,
                int width, int height, HWND parent, HMENU menu, UINT classStyle = 0,
                HBRUSH background = nullptr, HICON icon = nullptr);
    void Destroy() noexcept;

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
};

}  // namespace quilldeck::win
