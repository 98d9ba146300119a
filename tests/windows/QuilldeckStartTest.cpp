#include <gtest/gtest.h>

#include "ProgramDriver.h"
#include "TestSupport.h"
#include "faults/FaultReport.h"

namespace quilldeck {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::TempFolder;

std::string QuilldeckExe() { return testing::ProgramFolder() + "Quilldeck.exe"; }

// Quilldeck.exe started as a user starts it, with its own APPDATA.
class QuilldeckStartTest : public ::testing::Test {
protected:
    std::string Folder() const { return appData / "Kestrovar"; }
    std::string Path() const { return Folder() + "\\Quilldeck.ini"; }

    TempFolder appData;
};

TEST(QuilldeckProgramStartTest, FirstStartCreatesTheFolderAndAnEmptyFileThatExitFills) {
    testing::QuilldeckProgram quilldeck;
    ASSERT_NE(quilldeck.MainWindow(), nullptr);
    // The window exists before the settings are loaded; the list fills after.
    ASSERT_TRUE(testing::WaitFor([&] { return quilldeck.RowText(0, 1) == "<Not Define>"; }));
    ASSERT_TRUE(testing::IsFile(quilldeck.SettingsPath()));
    EXPECT_EQ(quilldeck.Settings(), "");
    EXPECT_EQ(quilldeck.Exit(), 0u);
    EXPECT_TRUE(quilldeck.Settings().starts_with(" \r\n0\r\n<Not Define>\r\nNone\r\n[memo]\r\n[/memo]\r\n\r\n"));
}

TEST(QuilldeckProgramStartTest, AnExistingSettingsFileIsReadAndNotWrittenByTheStart) {
    const std::string content = " \r\n1\r\nKept\r\nF2\r\n[memo]\r\nold\r\n[/memo]\r\n\r\n";
    testing::QuilldeckProgram quilldeck(content);
    ASSERT_NE(quilldeck.MainWindow(), nullptr);
    ASSERT_TRUE(testing::WaitFor([&] { return quilldeck.RowText(0, 1) == "Kept"; }));
    EXPECT_EQ(quilldeck.RowText(0, 2), "F2");
    EXPECT_TRUE(quilldeck.Checked(0));
    EXPECT_EQ(quilldeck.Settings(), content);
}

TEST_F(QuilldeckStartTest, WithoutAppDataTheFolderIsInTheRootOfTheCurrentDrive) {
    const std::string drive = appData.Path().substr(0, 3);  // e.g. "C:\"
    const std::string rootFolder = drive + "Kestrovar";
    testing::RemoveTree(rootFolder);
    struct RemoveAfterwards {
        std::string path;
        ~RemoveAfterwards() { testing::RemoveTree(path); }
    } cleanup{rootFolder};

    ChildProcess quilldeck(QuilldeckExe(), {{"APPDATA", std::nullopt}}, appData.Path());
    EXPECT_TRUE(testing::WaitFor([&] { return testing::IsFile(rootFolder + "\\Quilldeck.ini"); }));
    EXPECT_FALSE(testing::IsFolder(Folder()));
    // Exit from the File menu.
    HWND main = nullptr;
    EXPECT_TRUE(testing::WaitFor([&] { return (main = testing::WindowOfClass(quilldeck.Id(), "QuilldeckMainWindow")) != nullptr; }));
    ::PostMessageA(main, WM_COMMAND, 202, 0);
    EXPECT_EQ(quilldeck.WaitForExit(), 0u);
}

TEST_F(QuilldeckStartTest, ADirectoryAtTheSettingsPathIsReportedAndEndsTheProgram) {
    ::CreateDirectoryA(Folder().c_str(), nullptr);
    ::CreateDirectoryA(Path().c_str(), nullptr);
    ChildProcess quilldeck(QuilldeckExe(), {{"APPDATA", appData.Path()}});

    const auto box = testing::FindMessageBox(quilldeck.Id());
    ASSERT_TRUE(box) << "no message box";
    EXPECT_EQ(box->caption, "Error");
    EXPECT_EQ(box->text, "Can not create " + Path());
    EXPECT_TRUE(box->hasIcon);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(quilldeck.WaitForExit(0ms)) << "ended before the box was dismissed";

    testing::PressButton(*box, "OK");
    EXPECT_EQ(quilldeck.WaitForExit(), 0u);
    // Nothing was there to lose, and nothing was put in its place.
    const bool kept = testing::IsFolder(Path()) && testing::FolderEntries(Path()).empty() &&
                      testing::FolderEntries(Folder()) == std::vector<std::string>{"Quilldeck.ini"};
    EXPECT_TRUE(kept);
    testing::ReportFault("a directory at the settings path, at start", "\"" + box->text + "\", then the end", kept);
}

TEST_F(QuilldeckStartTest, ASettingsFileLockedByAnotherProgramEndsTheStartSilently) {
    ::CreateDirectoryA(Folder().c_str(), nullptr);
    testing::WriteFileBytes(Path(), " \r\n");
    win::UniqueHandle lock(::CreateFileA(Path().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);

    ChildProcess quilldeck(QuilldeckExe(), {{"APPDATA", appData.Path()}});
    EXPECT_EQ(quilldeck.WaitForExit(), 0u);
    EXPECT_TRUE(testing::VisibleWindowsOf(quilldeck.Id()).empty());
    lock.Reset();
    const bool kept = testing::ReadFileBytes(Path()) == " \r\n" &&
                      testing::FolderEntries(Folder()) == std::vector<std::string>{"Quilldeck.ini"};
    EXPECT_TRUE(kept);
    testing::ReportFault("file held open without sharing, at start", "nothing; the program ended with 0", kept);
}

}  // namespace
}  // namespace quilldeck
