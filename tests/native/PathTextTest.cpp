#include <gtest/gtest.h>

#include "DoubleByteLeads.h"
#include "slots/PathText.h"

namespace quilldeck {
namespace {

const Windows1252CodePage CodePage1252;
const CodePage932Leads CodePage932;

struct FolderCase {
    const char* path;
    const char* folder;
};

TEST(PathTextTest, TheFolderOfAPathKeepsItsTrailingSeparator) {
    const FolderCase cases[] = {
        {"C:\\Program Files\\Quilldeck\\Quilldeck.exe", "C:\\Program Files\\Quilldeck\\"},
        {"C:\\Quilldeck.exe", "C:\\"},
        {"\\\\server\\share\\Quilldeck.exe", "\\\\server\\share\\"},
        {"C:Quilldeck.exe", "C:"},
        {"C:/Tools/Quilldeck.exe", "C:/Tools/"},
        {"Quilldeck.exe", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOf(c.path, CodePage1252), c.folder) << c.path;
        EXPECT_EQ(FolderOf(c.path, CodePage932), c.folder) << c.path;
    }
}

// "表" is 95 5C in code page 932, "ソ" 83 5C: the second byte of each is the
// backslash, which a Japanese system does not read as one. In code page 1252
// the same bytes are two characters each, the second a backslash.
TEST(PathTextTest, ASecondByteThatIsABackslashEndsNoFolderUnderAJapaneseCodePage) {
    const FolderCase cases[] = {
        {"C:\\Tools\\\x95\x5C.exe", "C:\\Tools\\"},
        {"C:\\\x83\x5C\x83t\\\x95\x5C\x95\x5C.exe", "C:\\\x83\x5C\x83t\\"},
        {"C:\\\x95\x5C\\Quilldeck.exe", "C:\\\x95\x5C\\"},
        {"\x83\x5C.exe", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FolderOf(c.path, CodePage932), c.folder) << c.path;
    EXPECT_EQ(FolderOf("C:\\Tools\\\x95\x5C.exe", CodePage1252), "C:\\Tools\\\x95\x5C");
}

TEST(PathTextTest, OnlyAsciiLettersBecomeCapitalsAndSecondBytesStayAsTheyAre) {
    EXPECT_EQ(WithAsciiCapitals("quill\xE4.exe", CodePage1252), "QUILL\xE4.EXE");
    // "フ" (83 74) and "ヘ" (83 77) end in the bytes of "t" and "w".
    EXPECT_EQ(WithAsciiCapitals("a\x83tb\x83w.exe", CodePage932), "A\x83tB\x83w.EXE");
    EXPECT_EQ(WithAsciiCapitals("a\x83tb\x83w.exe", CodePage1252), "A\x83TB\x83W.EXE");
}

}  // namespace
}  // namespace quilldeck
