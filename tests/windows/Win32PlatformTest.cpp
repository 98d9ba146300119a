#include <gtest/gtest.h>

#include <map>

#include "slots/CodePage.h"
#include "slots/ShortcutText.h"
#include "slots/win32/Win32Platform.h"
#include "win/ErrorBox.h"
#include "win/SystemError.h"

namespace quilldeck {
namespace {

const Win32CodePage SystemCodePage;
const Win32KeyNames LayoutNames;

TEST(Win32CodePageTest, MatchesWindows1252WhereThatIsTheSystemCodePage) {
    if (::GetACP() != 1252) GTEST_SKIP() << "system code page is " << ::GetACP();
    const Windows1252CodePage portable;
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
    EXPECT_EQ(SystemCodePage.ToUtf16(all), portable.ToUtf16(all));
    EXPECT_EQ(SystemCodePage.FromUtf16(SystemCodePage.ToUtf16(all)), all);
    EXPECT_EQ(SystemCodePage.FromUtf16(u"Caf\u00E9 \u20AC\r\n"), "Caf\xE9 \x80\r\n");
}

TEST(Win32CodePageTest, CharactersTheCodePageLacksBecomeSubstitutes) {
    const std::string converted = SystemCodePage.FromUtf16(u"x\u4E2D\u0416y");
    ASSERT_EQ(converted.front(), 'x');
    ASSERT_EQ(converted.back(), 'y');
    EXPECT_EQ(converted.find('\0'), std::string::npos);
    EXPECT_TRUE(SystemCodePage.FromUtf16(u"").empty());
    EXPECT_TRUE(SystemCodePage.ToUtf16("").empty());
}

struct NamedKey {
    TShortCut value;
    const char* text;
};

class Win32ShortcutTextTest : public ::testing::TestWithParam<NamedKey> {};

TEST_P(Win32ShortcutTextTest, TheProgramsOwnNamesHoldUnderAnyLayout) {
    EXPECT_EQ(FormatShortcut(GetParam().value, LayoutNames), GetParam().text);
    EXPECT_EQ(ParseShortcut(GetParam().text, LayoutNames), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Win32ShortcutTextTest,
    ::testing::Values(NamedKey{0x4047, "Ctrl+G"}, NamedKey{0xC047, "Ctrl+Alt+G"},
                      NamedKey{0x6041, "Shift+Ctrl+A"}, NamedKey{0x2070, "Shift+F1"},
                      NamedKey{0x0087, "F24"}, NamedKey{0x8030, "Alt+0"}, NamedKey{0x0008, "BkSp"},
                      NamedKey{0x0009, "Tab"}, NamedKey{0x000D, "Enter"}, NamedKey{0x001B, "Esc"},
                      NamedKey{0x0020, "Space"}, NamedKey{0x0021, "PgUp"}, NamedKey{0x0022, "PgDn"},
                      NamedKey{0x0023, "End"}, NamedKey{0x0024, "Home"}, NamedKey{0x0025, "Left"},
                      NamedKey{0x0026, "Up"}, NamedKey{0x0027, "Right"}, NamedKey{0x0028, "Down"},
                      NamedKey{0x002D, "Ins"}, NamedKey{0x402E, "Ctrl+Del"}));

TEST(Win32ShortcutTextTest, LetterCaseIsIgnoredInTheUsersLocale) {
    EXPECT_EQ(ParseShortcut("ctrl+alt+g", LayoutNames), 0xC047);
    EXPECT_EQ(ParseShortcut("ALT+SHIFT+x", LayoutNames), 0xA058);
    EXPECT_EQ(ParseShortcut("^a", LayoutNames), 0x4041);
    EXPECT_EQ(ParseShortcut("Ctrl+ A", LayoutNames), 0);
    EXPECT_EQ(ParseShortcut("None", LayoutNames), 0);
    EXPECT_EQ(FormatShortcut(0x4065, LayoutNames), "Ctrl+5");
}

// Whatever names the layout gives, each value of a lowest key bearing a name
// comes back from its text.
TEST(Win32ShortcutTextTest, EveryNamedValueRoundTripsThroughTheLayout) {
    std::map<std::string, unsigned> lowestCodeOfName;
    for (unsigned k = 8; k <= 255; ++k) {
        std::string name = FormatShortcut(static_cast<TShortCut>(k), LayoutNames);
        if (name.empty()) continue;
        bool known = false;
        for (const auto& [other, code] : lowestCodeOfName) known = known || LayoutNames.EqualIgnoringCase(other, name);
        if (!known) lowestCodeOfName.emplace(std::move(name), k);
    }
    ASSERT_GE(lowestCodeOfName.size(), 75u);
    for (const auto& [name, k] : lowestCodeOfName) {
        for (TShortCut modifiers : {0x0000, 0x2000, 0x4000, 0x8000, 0xE000}) {
            const auto value = static_cast<TShortCut>(k | modifiers);
            EXPECT_EQ(ParseShortcut(FormatShortcut(value, LayoutNames), LayoutNames), value)
                << FormatShortcut(value, LayoutNames);
        }
    }
}

struct BoxTextCase {
    const char* message;
    const char* shown;
};

class ErrorBoxTextTest : public ::testing::TestWithParam<BoxTextCase> {};

TEST_P(ErrorBoxTextTest, AppendsAFullStopAfterLettersAndDigits) {
    EXPECT_EQ(win::ErrorBoxText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxTextTest,
    ::testing::Values(BoxTextCase{"File access denied", "File access denied."},
                      BoxTextCase{"I/O error 32", "I/O error 32."}, BoxTextCase{"Done.", "Done."},
                      BoxTextCase{"Really?", "Really?."}, BoxTextCase{"(x)", "(x)"},
                      BoxTextCase{"a!", "a!"}, BoxTextCase{"", ""}, BoxTextCase{"slash/", "slash/."},
                      BoxTextCase{"Caf\xE9", "Caf\xE9."}));

}  // namespace
}  // namespace quilldeck

namespace quilldeck {
namespace {

TEST(SystemErrorTest, NamesTheCodeAndTheSystemsTextWithoutItsEnding) {
    const std::string message = win::SystemError::Message(ERROR_ACCESS_DENIED);
    ASSERT_TRUE(message.starts_with("System Error.  Code: 5.\r\n")) << message;
    const std::string text = message.substr(std::string("System Error.  Code: 5.\r\n").size());
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), '.');
    EXPECT_GT(static_cast<unsigned char>(text.back()), ' ');
    EXPECT_EQ(win::ErrorBoxText(message).back(), '.');
}

TEST(SystemErrorTest, WithoutACodeTheCallFailedInGeneral) {
    EXPECT_EQ(win::SystemError::Message(0), "A call to an OS function failed");
    EXPECT_STREQ(win::SystemError(0).what(), "A call to an OS function failed");
}

}  // namespace
}  // namespace quilldeck
