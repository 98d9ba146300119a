#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace quilldeck::win {

// A failed system call: "System Error.  Code: <code>.\r\n<system text>", or
// "A call to an OS function failed" when the system gave no code.
class SystemError : public std::runtime_error {
public:
    explicit SystemError(DWORD code);

    DWORD Code() const noexcept { return code_; }

    static std::string Message(DWORD code);

private:
    DWORD code_;
};

[[noreturn]] void ThrowLastSystemError();

}  // namespace quilldeck::win
