#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

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

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FunctionDeleter<&::DeleteObject>>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, FunctionDeleter<&::DestroyIcon>>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, FunctionDeleter<&::DeleteObject>>;

}  // namespace quilldeck::win
