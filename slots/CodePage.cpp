#include "CodePage.h"

#include <array>

namespace quilldeck {
namespace {

// 0x80..0x9F of Windows-1252; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t ByteToUnit(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return HighControlRange[byte - 0x80];
    return byte;
}

char UnitToByte(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (std::size_t i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] == unit) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

std::u16string Windows1252CodePage::ToUtf16(std::string_view text) const {
    std::u16string result(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) result[i] = ByteToUnit(static_cast<unsigned char>(text[i]));
    return result;
}

std::string Windows1252CodePage::FromUtf16(std::u16string_view text) const {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        // A surrogate pair is one character and becomes one default character.
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            ++i;
        }
        result.push_back(UnitToByte(unit));
    }
    return result;
}

}  // namespace quilldeck
