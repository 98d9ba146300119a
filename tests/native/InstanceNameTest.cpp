#include <gtest/gtest.h>

#include "DoubleByteLeads.h"
#include "tray/InstanceName.h"

namespace quilldeck {
namespace {

const Windows1252CodePage CodePage1252;
const CodePage932Leads CodePage932;

struct NameCase {
    const char* path;
    const char* name;
};

TEST(InstanceNameTest, IsTheFileNameAfterTheLastBackslashOrColonWithAsciiLettersInCapitals) {
    const NameCase cases[] = {
        {"C:\\Program Files\\Quilldeck\\Quilldeck.exe", "QUILLDECK.EXE"},
        {"D:\\Temp\\copy\\quilldeck.EXE", "QUILLDECK.EXE"},
        {"C:quill.exe", "QUILL.EXE"},
        {"\\\\?\\C:\\Tools\\QuIlLdEcK.eXe", "QUILLDECK.EXE"},
        {"\\\\server\\share\\QuilldeckTwo.exe", "QUILLDECKTWO.EXE"},
        {"quilldeck.exe", "QUILLDECK.EXE"},
        // Only "\" and ":" end a folder.
        {"C:/Tools/quill.exe", "/TOOLS/QUILL.EXE"},
        {"C:\\Tools\\", ""},
        // Bytes next to the letters, digits and punctuation stay.
        {"C:\\x\\`az{@AZ[ 09_-.exe", "`AZ{@AZ[ 09_-.EXE"},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(InstanceMutexName(c.path, CodePage1252), c.name) << c.path;
        // Without double-byte characters a Japanese system gives the same name.
        EXPECT_EQ(InstanceMutexName(c.path, CodePage932), c.name) << c.path;
    }
}

TEST(InstanceNameTest, BytesOutsideAsciiStayAsTheyAre) {
    // Windows-1252 "äöüß" and "ÿ" (whose capitals other rules would give), and
    // UTF-8 "é".
    EXPECT_EQ(InstanceMutexName("C:\\Programme\\Quill\xE4\xF6\xFC\xDF\xFF.exe", CodePage1252),
              "QUILL\xE4\xF6\xFC\xDF\xFF.EXE");
    EXPECT_EQ(InstanceMutexName("C:\\caf\xC3\xA9\\Caf\xC3\xA9.exe", CodePage1252), "CAF\xC3\xA9.EXE");
}

// In code page 932 "表" is 95 5C and "ソ" is 83 5C, whose second bytes are
// the backslash; "フ" is 83 74, whose second byte is the letter "t".
TEST(InstanceNameTest, DoubleByteCharactersStayWholeUnderAJapaneseCodePage) {
    const NameCase cases[] = {
        {"C:\\\x95\x5C\\\x95\x5C.exe", "\x95\x5C.EXE"},
        {"C:\\Tools\\\x83\x5C\x83\x74\x83g.exe", "\x83\x5C\x83\x74\x83g.EXE"},
        {"C:\\\x83\x5C\\quill\x83\x74.exe", "QUILL\x83\x74.EXE"},
        {"C:\x95\x5C.exe", "\x95\x5C.EXE"},
        // A lead byte at the end has nothing to hold together.
        {"C:\\x\\a\x95", "A\x95"},
    };
    for (const NameCase& c : cases) EXPECT_EQ(InstanceMutexName(c.path, CodePage932), c.name) << c.path;
}

}  // namespace
}  // namespace quilldeck
