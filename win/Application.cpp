#include "Application.h"

#include <commctrl.h>

#include <array>

#include "ErrorBox.h"

namespace quilldeck::win {

Application::Application(std::string title) : title_(std::move(title)) {
    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    // Fully transparent as well as of zero size: a window manager that draws
    // the frames (Wine on X) would otherwise draw a thin title bar where it
    // is, in the middle of the screen, whenever it shows uncovered.
    Create("QuilldeckApplication", WS_EX_LAYERED,
           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, title_.c_str(), x, y, 0, 0,
           nullptr, nullptr, 0, nullptr, ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)));
    ::SetLayeredWindowAttributes(Handle(), 0, 0, LWA_ALPHA);
}

Application::~Application() { Destroy(); }

std::vector<HWND> Application::VisibleOwnedWindows() const {
    struct Search {
        HWND owner;
        std::vector<HWND> found;
    } search{Handle(), {}};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if (!::IsWindowVisible(window)) return TRUE;
            // Owned by the taskbar entry, or by a window it owns, as a
            // question asked over the main window is.
            for (HWND owner = ::GetWindow(window, GW_OWNER); owner != nullptr; owner = ::GetWindow(owner, GW_OWNER)) {
                if (owner == s.owner) {
                    s.found.push_back(window);
                    break;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Application::Minimize() {
    if (!record_->StartMinimize()) return;
    // Minimising an owner hides what it owns on Windows but not everywhere,
    // so the owned windows are hidden explicitly and shown again on restore.
    hiddenWhileMinimized_ = VisibleOwnedWindows();
    for (HWND window : hiddenWhileMinimized_) ::ShowWindow(window, SW_HIDE);
    ::ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
    if (OnMinimize) OnMinimize();
}

void Application::Restore() {
    if (!record_->StartRestore()) return;
    ::ShowWindow(Handle(), SW_RESTORE);
    // Enumeration lists the topmost first; show the bottom one first.
    for (auto it = hiddenWhileMinimized_.rbegin(); it != hiddenWhileMinimized_.rend(); ++it) {
        if (::IsWindow(*it)) ::ShowWindow(*it, SW_SHOW);
    }
    hiddenWhileMinimized_.clear();
    if (MainWindow != nullptr && !::IsWindowVisible(MainWindow)) ::ShowWindow(MainWindow, SW_SHOWNORMAL);
    const HWND last = ::GetLastActivePopup(Handle());
    if (last != Handle() && ::IsWindowVisible(last)) ::SetActiveWindow(last);
}

void Application::BringToFront() {
    const HWND last = ::GetLastActivePopup(Handle());
    if (last != Handle() && ::IsWindowVisible(last) && ::IsWindowEnabled(last)) ::SetForegroundWindow(last);
}

void ProcessPendingMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The loop that called us must still see it.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

void Application::ProcessMessages() { ProcessPendingMessages(); }

void Application::Terminate() { ::PostQuitMessage(0); }

int Application::Run() {
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void Application::ShowException(const std::exception& error) const { ShowErrorBox(error.what(), Handle()); }

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SYSCOMMAND:
            // The taskbar button minimises and restores the whole program.
            switch (wParam & 0xFFF0) {
                case SC_MINIMIZE: Minimize(); return 0;
                case SC_RESTORE: Restore(); return 0;
                case SC_CLOSE:
                    if (MainWindow != nullptr) ::SendMessageA(MainWindow, WM_CLOSE, 0, 0);
                    return 0;
            }
            break;
        case WM_CLOSE:
            if (MainWindow != nullptr) ::SendMessageA(MainWindow, WM_CLOSE, 0, 0);
            return 0;
        case WM_ACTIVATE:
            // Activation of the taskbar entry goes on to the window in front.
            if (LOWORD(wParam) != WA_INACTIVE && !Minimized()) {
                const HWND last = ::GetLastActivePopup(Handle());
                if (last != Handle() && ::IsWindowVisible(last) && ::IsWindowEnabled(last)) ::SetActiveWindow(last);
            }
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam && OnEndSession) OnEndSession();
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

namespace {

// Escape is Cancel to a dialog, and a Yes/No box has no Cancel: boxes made
// while a question is asked are subclassed so that, where they offer No but
// no Cancel, Escape answers No.
LRESULT CALLBACK EscapeAnswersNo(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && ::GetDlgItem(window, IDNO) != nullptr &&
        ::GetDlgItem(window, IDCANCEL) == nullptr) {
        ::EndDialog(window, IDNO);
        return 0;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK WatchForBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        std::array<char, 16> name{};
        ::GetClassNameA(box, name.data(), static_cast<int>(name.size()));
        if (std::string(name.data()) == "#32770") ::SetWindowSubclass(box, &EscapeAnswersNo, 1, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool Confirm(HWND owner, const std::string& question) {
    const UniqueHook hook(::SetWindowsHookExA(WH_CBT, &WatchForBoxes, nullptr, ::GetCurrentThreadId()));
    return ::MessageBoxA(owner, question.c_str(), "Confirm", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) == IDYES;
}

}  // namespace quilldeck::win
