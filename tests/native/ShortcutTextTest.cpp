#include <gtest/gtest.h>

#include <map>

#include "slots/ShortcutText.h"

namespace quilldeck {
namespace {

const FixedKeyNames Names;

struct FormatCase {
    TShortCut value;
    const char* text;
};

class FormatShortcutTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatShortcutTest, GivesTheTextForm) {
    EXPECT_EQ(FormatShortcut(GetParam().value, Names), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatShortcutTest,
    ::testing::Values(
        FormatCase{0x0000, ""}, FormatCase{0x4000, ""}, FormatCase{0xE000, ""},
        FormatCase{0x4047, "Ctrl+G"}, FormatCase{0xC047, "Ctrl+Alt+G"},
        FormatCase{0x6041, "Shift+Ctrl+A"}, FormatCase{0x2070, "Shift+F1"},
        FormatCase{0xE05A, "Shift+Ctrl+Alt+Z"}, FormatCase{0x8030, "Alt+0"},
        FormatCase{0x4065, "Ctrl+5"}, FormatCase{0x0060, "0"}, FormatCase{0x0069, "9"},
        FormatCase{0x007B, "F12"}, FormatCase{0x007C, "F13"}, FormatCase{0x0087, "F24"},
        FormatCase{0x0008, "BkSp"}, FormatCase{0x0009, "Tab"}, FormatCase{0x000D, "Enter"},
        FormatCase{0x001B, "Esc"}, FormatCase{0x0020, "Space"}, FormatCase{0x0021, "PgUp"},
        FormatCase{0x0022, "PgDn"}, FormatCase{0x0023, "End"}, FormatCase{0x0024, "Home"},
        FormatCase{0x0025, "Left"}, FormatCase{0x0026, "Up"}, FormatCase{0x0027, "Right"},
        FormatCase{0x0028, "Down"}, FormatCase{0x002D, "Ins"}, FormatCase{0x002E, "Del"},
        FormatCase{0x4026, "Ctrl+Up"}, FormatCase{0x402E, "Ctrl+Del"},
        // Keys outside the fixed rows are named by the layout, or not at all.
        FormatCase{0x40BA, "Ctrl+;"}, FormatCase{0x4007, ""}, FormatCase{0x0088, ""},
        // Bits 8..12 do not take part in naming the key.
        FormatCase{0x4141, "Ctrl+A"}));

struct ParseCase {
    const char* text;
    TShortCut value;
};

class ParseShortcutTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseShortcutTest, GivesTheValue) {
    EXPECT_EQ(ParseShortcut(GetParam().text, Names), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseShortcutTest,
    ::testing::Values(
        ParseCase{"", 0}, ParseCase{"None", 0}, ParseCase{"Ctrl+G", 0x4047},
        ParseCase{"ctrl+alt+g", 0xC047}, ParseCase{"CTRL+ALT+G", 0xC047},
        ParseCase{"^A", 0x4041}, ParseCase{"^^a", 0x4041}, ParseCase{"Alt+Shift+X", 0xA058},
        ParseCase{"Alt+Ctrl+Shift+del", 0xE02E}, ParseCase{"Shift+shift+B", 0x2042},
        ParseCase{"Ctrl+ A", 0}, ParseCase{" Ctrl+A", 0}, ParseCase{"Ctrl+A ", 0},
        ParseCase{"Ctrl+", 0}, ParseCase{"Shift+Ctrl+Alt+", 0}, ParseCase{"Ctrl+Foo", 0},
        ParseCase{"F13", 0x7C}, ParseCase{"f24", 0x87}, ParseCase{"Shift+F1", 0x2070},
        ParseCase{"Ctrl+5", 0x4035}, ParseCase{"pgdn", 0x22}, ParseCase{"Space", 0x20},
        ParseCase{"Ctrl+Shift", 0x4010}, ParseCase{"Alt+;", 0x80BA},
        // The lowest key code bearing a name wins.
        ParseCase{"/", 0x6F}, ParseCase{"Ctrl", 0x11}, ParseCase{"F25", 0}));

TEST(ShortcutTextTest, PrefixesInAnyOrderFormatBackInTheFixedOrder) {
    EXPECT_EQ(FormatShortcut(ParseShortcut("Alt+Shift+X", Names), Names), "Shift+Alt+X");
    EXPECT_EQ(FormatShortcut(ParseShortcut("alt+^del", Names), Names), "Ctrl+Alt+Del");
}

TEST(ShortcutTextTest, KeypadDigitIsStoredAsTheMainRowDigit) {
    EXPECT_EQ(ParseShortcut(FormatShortcut(0x4065, Names), Names), 0x4035);
}

// Every value whose key has a name, and is the lowest key code bearing that
// name, survives the way through its text form.
TEST(ShortcutTextTest, EveryNamedValueRoundTrips) {
    std::map<std::string, unsigned> lowestCodeOfName;
    for (unsigned k = 8; k <= 255; ++k) {
        const std::string name = FormatShortcut(static_cast<TShortCut>(k), Names);
        if (!name.empty()) lowestCodeOfName.emplace(name, k);
    }
    ASSERT_GE(lowestCodeOfName.size(), 15u + 10u + 26u + 24u);
    for (const auto& [name, k] : lowestCodeOfName) {
        for (TShortCut modifiers : {0x0000, 0x2000, 0x4000, 0x8000, 0x6000, 0xA000, 0xC000, 0xE000}) {
            const auto value = static_cast<TShortCut>(k | modifiers);
            const std::string text = FormatShortcut(value, Names);
            EXPECT_EQ(ParseShortcut(text, Names), value) << text;
        }
    }
}

}  // namespace
}  // namespace quilldeck
