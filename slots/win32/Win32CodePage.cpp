#include <windows.h>

#include <climits>

#include "Win32Platform.h"

namespace quilldeck {
namespace {

int CheckedLength(std::size_t size) {
    // Texts this long cannot come from the program's own fields or file.
    return size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

}  // namespace

std::u16string Win32CodePage::ToUtf16(std::string_view text) const {
    if (text.empty()) return {};
    const UINT codePage = ::GetACP();
    const int length = CheckedLength(text.size());
    // No code page gives more UTF-16 units than it has bytes, so one pass
    // into room for that many is enough.
    std::u16string result(static_cast<std::size_t>(length), u'\0');
    const int units = ::MultiByteToWideChar(codePage, 0, text.data(), length,
                                            reinterpret_cast<wchar_t*>(result.data()), length);
    result.resize(static_cast<std::size_t>(units));
    return result;
}

std::string Win32CodePage::FromUtf16(std::u16string_view text) const {
    if (text.empty()) return {};
    const UINT codePage = ::GetACP();
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const int length = CheckedLength(text.size());
    const int bytes = ::WideCharToMultiByte(codePage, 0, units, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(codePage, 0, units, length, result.data(), bytes, nullptr, nullptr);
    return result;
}

bool Win32CodePage::IsLeadByte(unsigned char byte) const { return ::IsDBCSLeadByte(byte) != FALSE; }

}  // namespace quilldeck
