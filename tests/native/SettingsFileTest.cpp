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

TEST_F(SettingsFileTest, AReadThatFailsPartWayKeepsTheWholeLinesReadAndReportsTheError) {
    const std::string first = "#\r\n1\r\nOne\r\nF1\r\n[memo]\r\nt\r\n[/memo]\r\n\r\n";
    const struct {
        const char* name;
        std::string read;
        Slot second;
        std::u16string secondText;
    } cases[] = {
        {"a description cut", first + "1\r\nTw", Slot{true, "<Not Define>", "None"}, u""},
        {"a shortcut cut from Ctrl+Alt+G", first + "1\r\nTwo\r\nCtrl+A", Slot{true, "Two", "None"}, u""},
        {"a text line cut", first + "1\r\nTwo\r\nF2\r\n[memo]\r\nline\r\nsecond li", Slot{true, "Two", "F2"},
         u"line"},
        {"the cut after a line break", first + "1\r\nTwo\r\n", Slot{true, "Two", "None"}, u""},
        {"a line break cut in two", first + "1\r\nTwo\r", Slot{true, "<Not Define>", "None"}, u""},
    };
    files.folders.insert(Folder);
    files.files[Path] = "unused";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files.failingReads[Path] = FileContent{c.read, 23};
        try {
            Load();
            FAIL() << "no error";
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.Code(), 23);
        }
        EXPECT_TRUE(startMinimize);
        EXPECT_EQ(table.At(0), (Slot{true, "One", "F1"}));
        EXPECT_EQ(table.Text(0), u"t");
        EXPECT_EQ(table.At(1), c.second);
        EXPECT_EQ(table.Text(1), c.secondText);
        for (int i = 2; i < SlotCount; ++i) EXPECT_EQ(table.At(i), Slot{});
        // The path is known, so later saves still go to the file.
        EXPECT_EQ(settings.SettingsPath(), Path);
    }
    // Nothing read, not even a whole line: every slot keeps its defaults.
    files.failingReads[Path] = FileContent{"#", 23};
    EXPECT_THROW(Load(), EInOutError);
    EXPECT_FALSE(startMinimize);
    for (int i = 0; i < SlotCount; ++i) EXPECT_EQ(table.At(i), Slot{});
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
