#include "Dpi.h"

#include "Handle.h"
#include "SystemError.h"

namespace quilldeck::win {
namespace {

// The DPI functions came with Windows 10 (1607): looked up, not linked, so
// that the program still starts where they are missing.
template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForSystemFunction = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using SetProcessDpiAwarenessContextFunction = BOOL(WINAPI*)(HANDLE);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2.
const HANDLE PerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));

}  // namespace

int Scale(int designValue, UINT dpi) { return ::MulDiv(designValue, static_cast<int>(dpi), DesignDpi); }

UINT SystemDpi() {
    static const auto getDpiForSystem = User32Function<GetDpiForSystemFunction>("GetDpiForSystem");
    if (getDpiForSystem != nullptr) return getDpiForSystem();
    const WindowDc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : DesignDpi;
}

UINT DpiOfWindow(HWND window) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    return SystemDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool hasMenu, DWORD exStyle, UINT dpi) {
    static const auto adjust = User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    if (adjust == nullptr || !adjust(&rect, style, hasMenu, exStyle, dpi)) {
        ::AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
    }
}

SIZE WindowSizeForClient(int designWidth, int designHeight, DWORD style, bool hasMenu, DWORD exStyle, UINT dpi) {
    RECT frame{0, 0, Scale(designWidth, dpi), Scale(designHeight, dpi)};
    AdjustWindowRectForDpi(frame, style, hasMenu, exStyle, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

RECT CentredIn(const RECT& area, SIZE size) {
    const LONG left = area.left + (area.right - area.left - size.cx) / 2;
    const LONG top = area.top + (area.bottom - area.top - size.cy) / 2;
    return {left, top, left + size.cx, top + size.cy};
}

void MoveTo(HWND window, const RECT& rect) {
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto metric = User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    return metric != nullptr ? metric(index, dpi) : ::GetSystemMetrics(index);
}

void RequestPerMonitorAwareness() {
    const auto set = User32Function<SetProcessDpiAwarenessContextFunction>("SetProcessDpiAwarenessContext");
    if (set != nullptr) set(PerMonitorAwareV2);
}

UniqueFont MakeTahoma(int designHeight, int weight, UINT dpi) {
    UniqueFont font(::CreateFontA(-Scale(designHeight, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE, THAI_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
    if (!font) ThrowLastSystemError();
    return font;
}

}  // namespace quilldeck::win
