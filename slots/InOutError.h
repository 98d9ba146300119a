#pragma once

#include <stdexcept>
#include <string>

namespace quilldeck {

// A failed file operation. The message is the words for its code: the
// system's error code for a failed open, read, write or close.
class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(int code);

    int Code() const noexcept { return code_; }

    static std::string Words(int code);

private:
    int code_;
};

}  // namespace quilldeck
