#include <gtest/gtest.h>

#include "TestSupport.h"
#include "slots/InOutError.h"
#include "slots/SettingsCodec.h"
#include "slots/SettingsFile.h"
#include "slots/win32/Win32Platform.h"
#include "win/ErrorBox.h"

namespace quilldeck {
namespace {

using testing::TempFolder;

// The settings file on real files, with APPDATA pointing into a fresh folder.
class Win32SettingsFileTest : public ::testing::Test {
protected:
    std::string Folder() const { return appData / "Kestrovar"; }
    std::string Path() const { return Folder() + "\\Quilldeck.ini"; }

    void Load() { settings.Load(table, startMinimize); }
    void PrepareFile(const std::string& bytes) {
        ::CreateDirectoryA(Folder().c_str(), nullptr);
        testing::WriteFileBytes(Path(), bytes);
    }
    std::string SavedAfterEdit() {
        table.CommitSlot(0, "Greeting", 0xC047, "Hello,\r\nWorld", true);
        settings.Save(table, true);
        return testing::ReadFileBytes(Path());
    }

    TempFolder appData;
    testing::ScopedEnvironment environment{"APPDATA", appData.Path()};
    Win32FileSystem files;
    Win32CodePage codePage;
    Win32KeyNames keyNames;
    SlotTable table{codePage, keyNames};
    SettingsFile settings{files, codePage};
    bool startMinimize = false;
};

TEST_F(Win32SettingsFileTest, FirstStartCreatesFolderAndEmptyFileThatStaysEmptyUntilASave) {
    Load();
    EXPECT_EQ(settings.SettingsPath(), Path());
    EXPECT_TRUE(testing::IsFolder(Folder()));
    EXPECT_EQ(testing::ReadFileBytes(Path()), "");
    EXPECT_FALSE(startMinimize);
    for (int i = 0; i < SlotCount; ++i) EXPECT_EQ(table.At(i), Slot{});
}

TEST_F(Win32SettingsFileTest, SaveWritesExactlyTheLayoutAndLeavesNoTemporaryFile) {
    Load();
    const std::string saved = SavedAfterEdit();
    EXPECT_EQ(saved, EncodeSettings(table, true, codePage));
    EXPECT_TRUE(saved.starts_with("#\r\n1\r\nGreeting\r\nCtrl+Alt+G\r\n[memo]\r\nHello,\r\nWorld\r\n[/memo]\r\n\r\n"));
    EXPECT_EQ(testing::FolderEntries(Folder()), std::vector<std::string>{"Quilldeck.ini"});
}

TEST_F(Win32SettingsFileTest, WhatWasSavedLoadsAgain) {
    Load();
    table.CommitSlot(19, "Last", 0x2070, "Caf\xE9\r\n", true);
    settings.Save(table, true);
    SlotTable reread(codePage, keyNames);
    SettingsFile again(files, codePage);
    bool minimized = false;
    again.Load(reread, minimized);
    EXPECT_TRUE(minimized);
    EXPECT_EQ(reread.At(19), (Slot{true, "Last", "Shift+F1"}));
    EXPECT_EQ(reread.Text(19), u"Caf\u00E9\r\n");
}

TEST_F(Win32SettingsFileTest, AReadOnlyFileLoadsButEverySaveIsDeniedAndTheContentStays) {
    PrepareFile("#\r\n1\r\nKept\r\nF2\r\n[memo]\r\nold\r\n[/memo]\r\n\r\n");
    ::SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_READONLY);
    Load();
    EXPECT_EQ(table.At(0), (Slot{true, "Kept", "F2"}));
    const std::string before = testing::ReadFileBytes(Path());
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            SavedAfterEdit();
            FAIL() << "the save went through";
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.Code(), 5);
            EXPECT_EQ(win::ErrorBoxText(error.what()), "File access denied.");
        }
    }
    EXPECT_EQ(testing::ReadFileBytes(Path()), before);
    EXPECT_EQ(testing::FolderEntries(Folder()), std::vector<std::string>{"Quilldeck.ini"});
}

TEST_F(Win32SettingsFileTest, AFileLockedByAnotherHandleCannotBeOpened) {
    PrepareFile(" \r\n");
    win::UniqueHandle lock(::CreateFileA(Path().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    try {
        Load();
        FAIL() << "the load went through";
    } catch (const SettingsUnavailable& error) {
        EXPECT_EQ(error.Why(), SettingsUnavailable::Reason::CannotOpen);
    }
}

TEST_F(Win32SettingsFileTest, ASaveWhileAnotherHandleWritesTheFileFailsAndKeepsItsContent) {
    PrepareFile(" \r\n");
    Load();
    win::UniqueHandle lock(::CreateFileA(Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_THROW(SavedAfterEdit(), EInOutError);
    lock.Reset();
    EXPECT_EQ(testing::ReadFileBytes(Path()), " \r\n");
    EXPECT_EQ(testing::FolderEntries(Folder()), std::vector<std::string>{"Quilldeck.ini"});
    // Once the other handle is gone the next save goes through.
    EXPECT_NE(SavedAfterEdit(), " \r\n");
}

TEST_F(Win32SettingsFileTest, ASaveWhileAnotherHandleReadsAndLetsOthersWriteGoesThrough) {
    PrepareFile("#\r\n1\r\nOld\r\nF2\r\n[memo]\r\n" + std::string(5000, 'o') + "\r\n[/memo]\r\n\r\n");
    Load();
    win::UniqueHandle reader(::CreateFileA(Path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    // Shorter than the old content: nothing of it may stay at the end.
    const std::string saved = SavedAfterEdit();
    EXPECT_EQ(saved, EncodeSettings(table, true, codePage));
    EXPECT_EQ(testing::FolderEntries(Folder()), std::vector<std::string>{"Quilldeck.ini"});
}

// A folder where no file can be created beside the settings file (under
// Wine, as root, a folder standing at the temporary file's name does what a
// folder without the right to create files does on Windows): the file is
// written in place, and keeps its links.
TEST_F(Win32SettingsFileTest, WhereNoTemporaryFileCanBeCreatedTheFileIsWrittenInPlace) {
    PrepareFile("#\r\n1\r\nOld\r\nF2\r\n[memo]\r\n" + std::string(5000, 'o') + "\r\n[/memo]\r\n\r\n");
    Load();
    ASSERT_TRUE(::CreateDirectoryA((Path() + ".tmp").c_str(), nullptr));
    const std::string link = appData / "link.ini";
    ASSERT_TRUE(::CreateHardLinkA(link.c_str(), Path().c_str(), nullptr));
    const std::string saved = SavedAfterEdit();
    EXPECT_EQ(saved, EncodeSettings(table, true, codePage));
    EXPECT_EQ(testing::ReadFileBytes(link), saved);
    EXPECT_TRUE(testing::IsFolder(Path() + ".tmp")) << "not ours to remove";
}

TEST_F(Win32SettingsFileTest, ADirectoryAtTheSettingsPathCannotBeCreated) {
    ::CreateDirectoryA(Folder().c_str(), nullptr);
    ::CreateDirectoryA(Path().c_str(), nullptr);
    try {
        Load();
        FAIL() << "the load went through";
    } catch (const SettingsUnavailable& error) {
        EXPECT_EQ(error.Why(), SettingsUnavailable::Reason::CannotCreate);
        EXPECT_EQ(std::string(error.what()), "Can not create " + Path());
    }
}

TEST_F(Win32SettingsFileTest, AnUncreatableFolderFallsBackToTheProgramsShortFolder) {
    testing::ScopedEnvironment missingParent("APPDATA", appData / "no\\such\\folder");
    const std::string fallback = files.ProgramFolderShortPath();
    ASSERT_FALSE(fallback.empty());
    EXPECT_EQ(fallback.back(), '\\');
    EXPECT_EQ(fallback.find(' '), std::string::npos);
    struct RemoveAfterwards {
        std::string path;
        ~RemoveAfterwards() { ::DeleteFileA(path.c_str()); }
    } cleanup{fallback + "Quilldeck.ini"};
    ::DeleteFileA(cleanup.path.c_str());

    Load();
    EXPECT_EQ(settings.SettingsPath(), fallback + "Quilldeck.ini");
    EXPECT_TRUE(testing::IsFile(settings.SettingsPath()));
}

TEST(Win32FileSystemTest, EnvironmentValueIsEmptyForAMissingOrEmptyVariable) {
    Win32FileSystem files;
    testing::ScopedEnvironment missing("QUILLDECK_TEST_VALUE", std::nullopt);
    EXPECT_EQ(files.EnvironmentValue("QUILLDECK_TEST_VALUE"), "");
    testing::ScopedEnvironment set("QUILLDECK_TEST_VALUE", "C:\\some where");
    EXPECT_EQ(files.EnvironmentValue("QUILLDECK_TEST_VALUE"), "C:\\some where");
}

TEST(Win32FileSystemTest, AFolderIsNoFileAndAFileIsNoFolder) {
    TempFolder folder;
    Win32FileSystem files;
    testing::WriteFileBytes(folder / "f", "x");
    EXPECT_TRUE(files.FolderExists(folder.Path()));
    EXPECT_FALSE(files.FileExists(folder.Path()));
    EXPECT_TRUE(files.FileExists(folder / "f"));
    EXPECT_FALSE(files.FolderExists(folder / "f"));
    EXPECT_FALSE(files.FileExists(folder / "missing"));
    EXPECT_FALSE(files.MakeFolder(folder / "a\\b"));
    EXPECT_TRUE(files.MakeFolder(folder / "a"));
}

TEST(Win32FileSystemTest, ReadAllReadsLargeFilesWhole) {
    TempFolder folder;
    Win32FileSystem files;
    std::string big(300000, 'q');
    big[123456] = '\x1A';
    testing::WriteFileBytes(folder / "big", big);
    const auto content = files.ReadAll(folder / "big");
    ASSERT_TRUE(content);
    EXPECT_EQ(content->readError, 0);
    EXPECT_EQ(content->bytes, big);
    EXPECT_FALSE(files.ReadAll(folder / "missing"));
}

}  // namespace
}  // namespace quilldeck
