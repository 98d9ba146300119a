#pragma once

#include <string>

namespace quilldeck::bench {

// A text of the given length in 8-bit characters of code page 1252: words,
// accented letters and CR LF line breaks, as slot texts hold them.
inline std::string SampleText(std::size_t length) {
    static const std::string pattern = "Dear Ms M\xFCller, thank you for the caf\xE9 order of 12 \x80 each.\r\n";
    std::string text;
    text.reserve(length + pattern.size());
    while (text.size() < length) text += pattern;
    text.resize(length);
    // No line break may be cut in half.
    if (text.back() == '\r') text.back() = '.';
    return text;
}

}  // namespace quilldeck::bench
