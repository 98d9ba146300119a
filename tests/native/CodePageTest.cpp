#include <gtest/gtest.h>

#include "slots/CodePage.h"
#include "slots/InOutError.h"

namespace quilldeck {
namespace {

const Windows1252CodePage CodePage1252;

TEST(Windows1252CodePageTest, ConvertsBytesTheWayWindowsDoes) {
    EXPECT_EQ(CodePage1252.ToUtf16("Caf\xE9 \x80 \x81 \x9F"), u"Caf\u00E9 \u20AC \u0081 \u0178");
    EXPECT_EQ(CodePage1252.ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Windows1252CodePageTest, EveryByteSurvivesTheWayThereAndBack) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
    EXPECT_EQ(CodePage1252.FromUtf16(CodePage1252.ToUtf16(all)), all);
}

TEST(Windows1252CodePageTest, MissingCharactersBecomeTheDefaultCharacter) {
    EXPECT_EQ(CodePage1252.FromUtf16(u"\u20AC\u0100x"), "\x80?x");
    // A surrogate pair is one character.
    EXPECT_EQ(CodePage1252.FromUtf16(u"a\U0001F600b"), "a?b");
}

struct WordsCase {
    int code;
    const char* words;
};

class InOutErrorTest : public ::testing::TestWithParam<WordsCase> {};

TEST_P(InOutErrorTest, MessageIsTheWordsForTheCode) {
    const EInOutError error(GetParam().code);
    EXPECT_STREQ(error.what(), GetParam().words);
    EXPECT_EQ(error.Code(), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, InOutErrorTest,
    ::testing::Values(WordsCase{2, "File not found"}, WordsCase{3, "Invalid filename"},
                      WordsCase{4, "Too many open files"}, WordsCase{5, "File access denied"},
                      WordsCase{100, "Read beyond end of file"}, WordsCase{101, "Disk full"},
                      WordsCase{106, "Invalid numeric input"}, WordsCase{32, "I/O error 32"},
                      WordsCase{112, "I/O error 112"}, WordsCase{0, "I/O error 0"}));

}  // namespace
}  // namespace quilldeck
