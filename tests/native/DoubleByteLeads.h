#pragma once

#include <stdexcept>

#include "slots/CodePage.h"

namespace quilldeck {

// The lead bytes of Windows code page 932 (Shift JIS), whose second bytes
// run from 0x40 to 0xFC and so include the backslash 0x5C and the ASCII
// letters: enough to walk 8-bit paths as a Japanese system does. Nothing here
// converts text.
class CodePage932Leads final : public CodePage {
public:
    std::u16string ToUtf16(std::string_view) const override { throw std::logic_error("no conversions"); }
    std::string FromUtf16(std::u16string_view) const override { throw std::logic_error("no conversions"); }
    bool IsLeadByte(unsigned char byte) const override {
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    }
};

}  // namespace quilldeck
