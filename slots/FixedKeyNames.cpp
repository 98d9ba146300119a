#include <algorithm>
#include <array>
#include <utility>

#include "ShortcutText.h"

namespace quilldeck {
namespace {

// Names as a US layout reports them; several keys share a name, as there.
constexpr std::array<std::pair<std::uint8_t, std::string_view>, 32> UsLayoutNames = {{
    {0x0C, "Num 5"},     {0x10, "Shift"},      {0x11, "Ctrl"},  {0x12, "Alt"},
    {0x13, "Pause"},     {0x14, "Caps Lock"},  {0x2C, "Sys Req"},
    {0x6A, "Num *"},     {0x6B, "Num +"},      {0x6D, "Num -"}, {0x6E, "Num Del"},
    {0x6F, "/"},         {0x90, "Num Lock"},   {0x91, "Scroll Lock"},
    {0xA0, "Shift"},     {0xA1, "Right Shift"}, {0xA2, "Ctrl"}, {0xA3, "Ctrl"},
    {0xA4, "Alt"},       {0xA5, "Alt"},
    {0xBA, ";"},         {0xBB, "="},          {0xBC, ","},     {0xBD, "-"},
    {0xBE, "."},         {0xBF, "/"},          {0xC0, "`"},     {0xDB, "["},
    {0xDC, "\\"},        {0xDD, "]"},          {0xDE, "'"},     {0xE2, "\\"},
}};

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string FixedKeyNames::LayoutName(std::uint8_t virtualKey) const {
    for (const auto& [code, name] : UsLayoutNames) {
        if (code == virtualKey) return std::string(name);
    }
    return {};
}

bool FixedKeyNames::EqualIgnoringCase(std::string_view a, std::string_view b) const {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

}  // namespace quilldeck
