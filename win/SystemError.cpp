#include "SystemError.h"

#include <array>

namespace quilldeck::win {
namespace {

// The system's text for a code, without trailing blanks, controls and stops.
std::string SystemText(DWORD code) {
    std::array<char, 256> text{};
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                              FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                          nullptr, code, 0, text.data(), static_cast<DWORD>(text.size()),
                                          nullptr);
    std::string result(text.data(), length);
    const auto trimmed = [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == '.'; };
    while (!result.empty() && trimmed(result.back())) result.pop_back();
    return result;
}

}  // namespace

SystemError::SystemError(DWORD code) : std::runtime_error(Message(code)), code_(code) {}

std::string SystemError::Message(DWORD code) {
    if (code == 0) return "A call to an OS function failed";
    return "System Error.  Code: " + std::to_string(code) + ".\r\n" + SystemText(code);
}

void ThrowLastSystemError() { throw SystemError(::GetLastError()); }

}  // namespace quilldeck::win
