#include <gtest/gtest.h>

#include "MemoryFileSystem.h"
#include "slots/InOutError.h"
#include "slots/SettingsCodec.h"
#include "slots/SettingsFile.h"

namespace quilldeck {
namespace {

using testing::MemoryFileSystem;

const std::string AppData = "C:\\Users\\me\\AppData\\Roaming";
const std::string Folder = AppData + "\\Kestrovar";
const std::string Path = Folder + "\\Quilldeck.ini";

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() {
        files.environment["APPDATA"] = AppData;
        files.folders.insert(AppData);
    }

    void Load() { settings.Load(table, startMinimize); }

    std::string Encoded(const SlotTable& slots, bool minimized) {
        return EncodeSettings(slots, minimized, codePage);
    }

    MemoryFileSystem files;
    Windows1252CodePage codePage;
    FixedKeyNames keyNames;
    SlotTable table{codePage, keyNames};
    bool startMinimize = false;
    SettingsFile settings{files, codePage};
};

TEST_F(SettingsFileTest, FirstStartCreatesTheFolderAndAnEmptyFile) {
    table.Store(3, {true, "stale", "F1"}, u"stale");
    Load();
    EXPECT_EQ(settings.SettingsPath(), Path);
    EXPECT_TRUE(files.FolderExists(Folder));
    EXPECT_EQ(files.files.at(Path), "");
    EXPECT_FALSE(startMinimize);
    EXPECT_EQ(table.At(3), Slot{});
}

TEST_F(SettingsFileTest, AnExistingFileIsReadAndNotRecreated) {
    files.folders.insert(Folder);
    SlotTable stored(codePage, keyNames);
    stored.Store(4, {true, "Five", "Ctrl+5"}, u"five");
    files.files[Path] = Encoded(stored, true);
    Load();
    EXPECT_EQ(files.emptyFilesMade, 0);
    EXPECT_TRUE(startMinimize);
    EXPECT_EQ(table.At(4), (Slot{true, "Five", "Ctrl+5"}));
    EXPECT_EQ(table.Text(4), u"five");
}

struct LocationCase {
    const char* name;
    const char* appData;
    bool folderCreatable;
    const char* programFolder;
    const char* expectedPath;
};

class SettingsLocationTest : public ::testing::TestWithParam<LocationCase> {};

TEST_P(SettingsLocationTest, PicksTheFolderInOrder) {
    const LocationCase& c = GetParam();
    MemoryFileSystem files;
    if (*c.appData != '\0') files.environment["APPDATA"] = c.appData;
    files.programFolderShortPath = c.programFolder;
    const std::string folder = std::string(c.appData) + "\\Kestrovar";
    if (!c.folderCreatable) files.uncreatableFolders.insert(folder);
    Windows1252CodePage codePage;
    FixedKeyNames keyNames;
    SlotTable table(codePage, keyNames);
    SettingsFile settings(files, codePage);
    bool startMinimize = false;

    settings.Load(table, startMinimize);
    EXPECT_EQ(settings.SettingsPath(), c.expectedPath);
    EXPECT_TRUE(files.FileExists(c.expectedPath));
}

INSTANTIATE_TEST_SUITE_P(
    Locations, SettingsLocationTest,
    ::testing::Values(
        LocationCase{"AppData", "D:\\Data", true, "C:\\PROG\\", "D:\\Data\\Kestrovar\\Quilldeck.ini"},
        LocationCase{"NoAppData", "", true, "C:\\PROG\\", "\\Kestrovar\\Quilldeck.ini"},
        LocationCase{"FolderNotCreatable", "D:\\Data", false, "C:\\PROG\\", "C:\\PROG\\Quilldeck.ini"},
        LocationCase{"NoAppDataNorRootFolder", "", false, "C:\\PROGRA~1\\", "C:\\PROGRA~1\\Quilldeck.ini"},
        LocationCase{"NoShortProgramFolder", "D:\\Data", false, "", "Quilldeck.ini"}),
    [](const ::testing::TestParamInfo<LocationCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsFileTest, AFileThatCannotBeCreatedEndsTheStart) {
    files.uncreatableFiles.insert(Path);
    try {
        Load();
        FAIL() << "no error";
    } catch (const SettingsUnavailable& error) {
        EXPECT_EQ(error.Why(), SettingsUnavailable::Reason::CannotCreate);
        EXPECT_EQ(std::string(error.what()), "Can not create " + Path);
    }
}

TEST_F(SettingsFileTest, AFileThatCannotBeOpenedEndsTheStart) {
    files.folders.insert(Folder);
    files.files[Path] = "#\r\n";
    files.unopenableFiles.insert(Path);
    try {
        Load();
        FAIL() << "no error";
    } catch (const SettingsUnavailable& error) {
        EXPECT_EQ(error.Why(), SettingsUnavailable::Reason::CannotOpen);
    }
}

TEST_F(SettingsFileTest, AReadThatFailsPartWayKeepsWhatWasReadAndReportsTheError) {
    files.folders.insert(Folder);
    files.files[Path] = "unused";
    files.failingReads[Path] = FileContent{"#\r\n1\r\nOne\r\nF1\r\n[memo]\r\nt\r\n[/memo]\r\n\r\n1\r\nTw", 23};
    try {
        Load();
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Code(), 23);
    }
    EXPECT_TRUE(startMinimize);
    EXPECT_EQ(table.At(0), (Slot{true, "One", "F1"}));
    EXPECT_EQ(table.At(1), (Slot{true, "Tw", "None"}));
    for (int i = 2; i < SlotCount; ++i) EXPECT_EQ(table.At(i), Slot{});
    // The path is known, so later saves still go to the file.
    EXPECT_EQ(settings.SettingsPath(), Path);
}

TEST_F(SettingsFileTest, SaveWritesTheWholeTableToTheLoadedPath) {
    Load();
    table.CommitSlot(0, "Greeting", 0xC047, "Hello,\r\nWorld", true);
    settings.Save(table, true);
    EXPECT_EQ(files.files.at(Path), Encoded(table, true));
}

TEST_F(SettingsFileTest, AFailedSaveRaisesTheErrorAndLeavesTheFileAndTable) {
    Load();
    settings.Save(table, false);
    const std::string before = files.files.at(Path);
    table.CommitSlot(0, "Greeting", 0xC047, "Hello", true);
    files.writeError = 5;
    try {
        settings.Save(table, true);
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_STREQ(error.what(), "File access denied");
    }
    EXPECT_EQ(files.files.at(Path), before);
    EXPECT_EQ(table.At(0), (Slot{true, "Greeting", "Ctrl+Alt+G"}));
}

}  // namespace
}  // namespace quilldeck
