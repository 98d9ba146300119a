#pragma once

#include <string>
#include <string_view>

namespace quilldeck {

// The system's 8-bit ("ANSI") code page. Descriptions, shortcut texts and the
// settings file are 8-bit; only slot texts are UTF-16.
class CodePage {
public:
    virtual ~CodePage() = default;

    // Every byte is converted, including zero bytes; no conversion flags.
    virtual std::u16string ToUtf16(std::string_view text) const = 0;
    // Characters the code page lacks become its default character.
    virtual std::string FromUtf16(std::u16string_view text) const = 0;
    // Whether the byte starts a double-byte character, whose second byte may
    // be any of 0x40 and up, the backslash among them (Japanese, Chinese and
    // Korean code pages); never in a single-byte code page.
    virtual bool IsLeadByte(unsigned char byte) const = 0;
};

// Windows-1252 in plain C++, so the settings rules can be checked off Windows.
// Bytes that 1252 leaves undefined map to the C1 control of the same value,
// as the Windows conversion does; unmappable characters become '?'.
class Windows1252CodePage final : public CodePage {
public:
    std::u16string ToUtf16(std::string_view text) const override;
    std::string FromUtf16(std::u16string_view text) const override;
    bool IsLeadByte(unsigned char) const override { return false; }
};

}  // namespace quilldeck
