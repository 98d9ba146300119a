#include <gtest/gtest.h>

#include "tray/InstanceName.h"

namespace quilldeck {
namespace {

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
    for (const NameCase& c : cases) EXPECT_EQ(InstanceMutexName(c.path), c.name) << c.path;
}

TEST(InstanceNameTest, BytesOutsideAsciiStayAsTheyAre) {
    // Windows-1252 "äöüß" and "ÿ" (whose capitals other rules would give), and
    // UTF-8 "é".
    EXPECT_EQ(InstanceMutexName("C:\\Programme\\Quill\xE4\xF6\xFC\xDF\xFF.exe"), "QUILL\xE4\xF6\xFC\xDF\xFF.EXE");
    EXPECT_EQ(InstanceMutexName("C:\\caf\xC3\xA9\\Caf\xC3\xA9.exe"), "CAF\xC3\xA9.EXE");
}

}  // namespace
}  // namespace quilldeck
