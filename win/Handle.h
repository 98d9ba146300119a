#pragma once

#include <windows.h>
#include <objbase.h>

#include <memory>
#include <type_traits>

// Every owned handle type of the program, in one place. Each frees what it
// holds when it goes; none can be copied, so nothing is freed twice.
namespace quilldeck::win {

// Owns a kernel handle; INVALID_HANDLE_VALUE and null both mean "none".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = other.Release();
        }
        return *this;
    }

    HANDLE Get() const noexcept { return handle_; }
    bool Valid() const noexcept { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const noexcept { return Valid(); }

    HANDLE Release() noexcept {
        HANDLE handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void Reset() noexcept {
        if (Valid()) ::CloseHandle(handle_);
        handle_ = nullptr;
    }
    // Closes the handle and reports whether the close succeeded.
    bool Close() noexcept {
        const bool closed = !Valid() || ::CloseHandle(handle_) != FALSE;
        handle_ = nullptr;
        return closed;
    }

private:
    HANDLE handle_ = nullptr;
};

// unique_ptr deleters for the handle kinds that are pointers to opaque types.
template <auto Free>
struct FunctionDeleter {
    template <typename T>
    void operator()(T* value) const noexcept {
        Free(value);
    }
};

template <typename Handle, auto Free>
using UniqueOf = std::unique_ptr<std::remove_pointer_t<Handle>, FunctionDeleter<Free>>;

using UniqueFont = UniqueOf<HFONT, &::DeleteObject>;
using UniqueBrush = UniqueOf<HBRUSH, &::DeleteObject>;
// An icon loaded with LoadImage without LR_SHARED, or made by the program.
using UniqueIcon = UniqueOf<HICON, &::DestroyIcon>;
// A menu that no window holds: one held by a window goes with the window.
using UniqueMenu = UniqueOf<HMENU, &::DestroyMenu>;
using UniqueHook = UniqueOf<HHOOK, &::UnhookWindowsHookEx>;
using UniqueGlobal = UniqueOf<HGLOBAL, &::GlobalFree>;
// Memory the shell or COM hands over (an item id list, a string).
template <typename T>
using UniqueCoTaskMemory = std::unique_ptr<T, FunctionDeleter<&::CoTaskMemFree>>;

// A window's device context (its whole window with wholeWindow, else its
// client area; the screen's for a null window), released when this goes.
class WindowDc {
public:
    explicit WindowDc(HWND window, bool wholeWindow = false)
        : window_(window), dc_(wholeWindow && window != nullptr ? ::GetWindowDC(window) : ::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Puts a device context back as it was (objects, colours, clipping) when this goes.
class SavedDc {
public:
    explicit SavedDc(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
    ~SavedDc() {
        if (saved_ != 0) ::RestoreDC(dc_, saved_);
    }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

private:
    HDC dc_;
    int saved_;
};

// COM on the calling thread for as long as this lives.
class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (initialized_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

// A reference to a COM object, released when this goes.
struct ComRelease {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};
template <typename Interface>
using ComPtr = std::unique_ptr<Interface, ComRelease>;

}  // namespace quilldeck::win
