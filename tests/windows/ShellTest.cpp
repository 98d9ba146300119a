#include <gtest/gtest.h>

#include <shlobj.h>

#include "TestSupport.h"
#include "win/ProgramFile.h"
#include "win/Shell.h"
#include "win/SystemError.h"

namespace quilldeck {
namespace {

using namespace testing;

TEST(ProgramFileTest, TheProgramFileIsThisTestProgram) {
    EXPECT_EQ(win::ProgramFilePath(), ProgramFolder() + "quilldeck_windows_tests.exe");
}

TEST(ShellTest, TheStartupFolderIsTheUsersAndExists) {
    char expected[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, expected), S_OK);
    const std::string path = win::ShellFolderPath(CSIDL_STARTUP);
    EXPECT_EQ(path, expected);
    EXPECT_TRUE(IsFolder(path)) << path;
}

TEST(ShellTest, AFolderTheShellCannotNameHasNoPath) {
    // A virtual folder has no place in the file system; 0x7F names none at all.
    EXPECT_EQ(win::ShellFolderPath(CSIDL_DRIVES), "");
    EXPECT_EQ(win::ShellFolderPath(0x7F), "");
}

class ShellLinkTest : public ::testing::TestWithParam<const char*> {
protected:
    ComApartment com;
    TempFolder folder;
};

// Plain, with blanks, and with letters of the system code page (1252).
INSTANTIATE_TEST_SUITE_P(Names, ShellLinkTest,
                         ::testing::Values("Quilldeck.lnk", "Start up here.lnk", "Caf\xE9 \xDC" "bersicht.lnk"));

TEST_P(ShellLinkTest, ASavedLinkPointsAtTheTargetAndWorksInItsFolder) {
    const std::string link = folder / GetParam();
    const std::string target = "C:\\Program Files\\Quilldeck\\Quilldeck.exe";
    win::SaveShellLink(link, target, "C:\\Program Files\\Quilldeck\\");
    ASSERT_TRUE(IsFile(link)) << link;
    const auto view = ReadShellLink(link);
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(view->target, target);
    EXPECT_EQ(view->workingDirectory, "C:\\Program Files\\Quilldeck\\");
}

TEST(ShellLinkFailureTest, ALinkObjectThatCannotBeCreatedThrowsASystemErrorAndWritesNothing) {
    ComApartment com;
    TempFolder folder;
    {
        // The shell link class now names a library that does not exist.
        const ScopedRegistryValue missing(HKEY_LOCAL_MACHINE,
                                          "Software\\Classes\\CLSID\\{00021401-0000-0000-C000-000000000046}"
                                          "\\InprocServer32",
                                          "", "quilldeck-no-such-library.dll");
        try {
            win::SaveShellLink(folder / "Quilldeck.lnk", "C:\\Quilldeck.exe", "C:\\");
            ADD_FAILURE() << "no error";
        } catch (const win::SystemError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with("System Error.  Code: ")) << error.what();
        }
        EXPECT_TRUE(FolderEntries(folder.Path()).empty());
    }
    // And the class is back.
    win::SaveShellLink(folder / "Quilldeck.lnk", "C:\\Quilldeck.exe", "C:\\");
    EXPECT_TRUE(IsFile(folder / "Quilldeck.lnk"));
}

}  // namespace
}  // namespace quilldeck
