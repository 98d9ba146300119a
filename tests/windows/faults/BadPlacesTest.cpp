#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>

#include "../ProgramDriver.h"
#include "../TestSupport.h"
#include "FaultReport.h"
#include "slots/SettingsCodec.h"
#include "slots/win32/Win32Platform.h"

namespace quilldeck {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::TempFolder;

constexpr int IdExit2 = 202;

// One record only: a save writes all twenty, so a file that still reads like
// this was not written.
const std::string OldSettings = " \r\n1\r\nKept\r\nF2\r\n[memo]\r\nold text\r\n[/memo]\r\n\r\n";

std::string QuilldeckExe() { return testing::ProgramFolder() + "Quilldeck.exe"; }

// Null when the main window did not come, or did not show opaque.
HWND ShownMainWindow(DWORD processId) {
    HWND main = nullptr;
    const bool shown = testing::WaitFor([&] {
        main = testing::WindowOfClass(processId, "QuilldeckMainWindow");
        return main != nullptr && ::IsWindowVisible(main) && (::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_LAYERED) == 0;
    });
    return shown ? main : nullptr;
}

std::optional<testing::MessageBoxView> BoxCaptioned(DWORD processId, const std::string& caption) {
    std::optional<testing::MessageBoxView> found;
    testing::WaitFor([&] {
        found = testing::FindMessageBox(processId, 0ms);
        return found && found->caption == caption;
    });
    return found;
}

// Exit from the File menu while the file cannot be written: the error box,
// then the offer to end without saving, which the user declines. What the
// error box said, or nothing when it did not come; the screen with the box
// stays as picture beside the test program.
std::optional<std::string> ExitIsRefused(ChildProcess& quilldeck, HWND main, const std::string& picture) {
    ::PostMessageA(main, WM_COMMAND, IdExit2, 0);
    const auto error = BoxCaptioned(quilldeck.Id(), "Quilldeck");
    if (!error) {
        ADD_FAILURE() << "no error box";
        return std::nullopt;
    }
    EXPECT_EQ(error->buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(error->hasIcon);
    testing::KeepScreenAtRest(picture);
    testing::PressButton(*error, "OK");
    const auto offer = BoxCaptioned(quilldeck.Id(), "Confirm");
    EXPECT_TRUE(offer) << "no offer to end without saving";
    if (offer) {
        EXPECT_EQ(offer->text, "Settings could not be saved. Exit anyway?");
        testing::PressButton(*offer, "&No");
    }
    EXPECT_TRUE(testing::WaitFor([&] { return !testing::FindMessageBox(quilldeck.Id(), 0ms); }));
    EXPECT_FALSE(quilldeck.WaitForExit(0ms)) << "it ended without saving";
    EXPECT_TRUE(::IsWindowVisible(main));
    return error->text;
}

// The fault gone, Exit saves all twenty records and ends with 0.
void ExitSavesOnceTheFaultIsGone(ChildProcess& quilldeck, HWND main, const std::string& path) {
    ::PostMessageA(main, WM_COMMAND, IdExit2, 0);
    EXPECT_EQ(quilldeck.WaitForExit(15s), 0u);
    const std::string saved = testing::ReadFileBytes(path);
    EXPECT_TRUE(saved.starts_with(" \r\n1\r\nKept\r\nF2\r\n[memo]\r\nold text\r\n[/memo]\r\n\r\n0\r\n<Not Define>"))
        << saved.substr(0, 200);
}

bool OnlyTheSettingsFileIn(const std::string& folder) {
    return testing::FolderEntries(folder) == std::vector<std::string>{"Quilldeck.ini"};
}

// Exit from the File menu where the save must go through all the same: it
// ends with 0 and the file holds all twenty records (and, where a folder is
// named, nothing else lies in it); reported as the fault's outcome. A box that
// came instead is answered, so that the program ends.
void ExitSavesInSpiteOf(ChildProcess& quilldeck, HWND main, const std::string& fault, const std::string& path,
                        const std::string& folderToKeepClean = {}) {
    ::PostMessageA(main, WM_COMMAND, IdExit2, 0);
    const auto exitCode = quilldeck.WaitForExit(15s);
    const auto box = exitCode ? std::nullopt : testing::FindMessageBox(quilldeck.Id(), 0ms);
    EXPECT_EQ(exitCode, 0u) << "the box said: " << (box ? box->text : "nothing");
    const std::string saved = testing::ReadFileBytes(path);
    const bool savedWhole = saved.starts_with(OldSettings + "0\r\n<Not Define>") &&
                            (folderToKeepClean.empty() || OnlyTheSettingsFileIn(folderToKeepClean));
    EXPECT_TRUE(savedWhole) << saved.substr(0, 120);
    testing::ReportFault(fault,
                         exitCode == 0u ? "nothing; Exit saved and ended" : "\"" + (box ? box->text : "") + "\"",
                         saved == OldSettings || savedWhole);
    if (box) {
        testing::PressButton(*box, "OK");
        if (const auto offer = BoxCaptioned(quilldeck.Id(), "Confirm")) testing::PressButton(*offer, "&Yes");
    }
}

class BadPlacesTest : public ::testing::Test {
protected:
    std::string Folder() const { return appData / "Kestrovar"; }
    std::string Path() const { return Folder() + "\\Quilldeck.ini"; }
    void PrepareOldSettings() {
        ::CreateDirectoryA(Folder().c_str(), nullptr);
        testing::WriteFileBytes(Path(), OldSettings);
    }
    TempFolder appData;
};

TEST_F(BadPlacesTest, AFileHeldWithoutSharingAtASaveIsReportedAndKeepsItsContent) {
    PrepareOldSettings();
    ChildProcess quilldeck(QuilldeckExe(), {{"APPDATA", appData.Path()}});
    const HWND main = ShownMainWindow(quilldeck.Id());
    ASSERT_NE(main, nullptr);
    std::optional<std::string> saw;
    {
        const win::UniqueHandle other(
            ::CreateFileA(Path().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(other);
        saw = ExitIsRefused(quilldeck, main, "save-fault-file-held.png");
        EXPECT_EQ(saw, "I/O error 32.");  // ERROR_SHARING_VIOLATION
    }
    const bool kept = testing::ReadFileBytes(Path()) == OldSettings && OnlyTheSettingsFileIn(Folder());
    EXPECT_TRUE(kept);
    testing::ReportFault("file held open without sharing, at a save",
                         "\"" + saw.value_or("no box") + "\", then \"Exit anyway?\"", kept);
    ExitSavesOnceTheFaultIsGone(quilldeck, main, Path());
}

// A viewer or a backup that keeps the file open for reading and lets others
// write it: a save in place would go through, and so must ours.
TEST_F(BadPlacesTest, AFileAnotherProgramKeepsOpenForReadingIsSavedAllTheSame) {
    PrepareOldSettings();
    ChildProcess quilldeck(QuilldeckExe(), {{"APPDATA", appData.Path()}});
    const HWND main = ShownMainWindow(quilldeck.Id());
    ASSERT_NE(main, nullptr);
    const win::UniqueHandle reader(::CreateFileA(Path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    ExitSavesInSpiteOf(quilldeck, main, "file kept open for reading by another program, at a save", Path(),
                       Folder());
}

// A writable settings file in a folder where the user may create no file
// (the program's own folder, where the settings file goes when APPDATA cannot
// hold it): the save cannot go through a temporary file, and writes the file
// in place. Under Wine, as root, a folder at the temporary file's name stands
// for the missing right.
TEST_F(BadPlacesTest, AFolderWhereNoFileCanBeCreatedStillTakesTheSave) {
    PrepareOldSettings();
    ASSERT_TRUE(::CreateDirectoryA((Path() + ".tmp").c_str(), nullptr));
    ChildProcess quilldeck(QuilldeckExe(), {{"APPDATA", appData.Path()}});
    const HWND main = ShownMainWindow(quilldeck.Id());
    ASSERT_NE(main, nullptr);
    ExitSavesInSpiteOf(quilldeck, main, "no file can be created in the settings folder, at a save", Path());
}

TEST_F(BadPlacesTest, AReadOnlyFileIsReportedAtASaveAndKeepsItsContent) {
    PrepareOldSettings();
    ::SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_READONLY);
    ChildProcess quilldeck(QuilldeckExe(), {{"APPDATA", appData.Path()}});
    const HWND main = ShownMainWindow(quilldeck.Id());
    ASSERT_NE(main, nullptr);
    const auto saw = ExitIsRefused(quilldeck, main, "save-fault-read-only.png");
    EXPECT_EQ(saw, "File access denied.");
    const bool kept = testing::ReadFileBytes(Path()) == OldSettings && OnlyTheSettingsFileIn(Folder());
    EXPECT_TRUE(kept);
    EXPECT_NE(::GetFileAttributesA(Path().c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    testing::ReportFault("read-only file, at a save", "\"" + saw.value_or("no box") + "\", then \"Exit anyway?\"",
                         kept);
    ::SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    ExitSavesOnceTheFaultIsGone(quilldeck, main, Path());
}

// What Wine makes of the read-only attribute when the tests run as root.
TEST(ReadOnlyUnderWineTest, TheAttributeIsKeptAndWhatWineDoesWithAWriteIsReported) {
    const std::string unixFile = testing::UnixTempFile("read-only");
    const std::string path = testing::WindowsPathOf(unixFile);
    testing::WriteFileBytes(path, "old");
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    const std::string mode = testing::UnixOutput("stat -c %a " + unixFile);
    const std::string user = testing::UnixOutput("id -un");
    const win::UniqueHandle writer(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const DWORD openError = writer ? 0 : ::GetLastError();
    std::cout << "read-only under Wine: Unix user " << user.substr(0, user.find('\n')) << ", Unix mode "
              << mode.substr(0, mode.find('\n')) << ", CreateFile for writing "
              << (writer ? std::string("allowed") : "refused with " + std::to_string(openError)) << std::endl;
    // Wine keeps the attribute as the Unix write bits and leaves the refusal
    // to Unix, which refuses everyone but root. Windows refuses every user,
    // so the program's save refuses a read-only file itself (the test above
    // meets that path whoever runs it).
    EXPECT_EQ(mode.substr(0, 3), "444");
    if (user.starts_with("root")) {
        EXPECT_TRUE(writer);
    } else {
        EXPECT_FALSE(writer);
        EXPECT_EQ(openError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path.c_str());
}

// A small tmpfs on the Unix side, to stand for a full disk; unmounted when
// it goes.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& size) : unixPath_(testing::UnixTempFile("small-disk")) {
        mounted_ = testing::RunUnix("mkdir -p " + unixPath_ + " && mount -t tmpfs -o size=" + size +
                                    " quilldeck-small-disk " + unixPath_) == 0;
    }
    ~SmallDisk() {
        if (mounted_) testing::RunUnix("umount " + unixPath_ + " || umount -l " + unixPath_, 20s);
        testing::RunUnix("rmdir " + unixPath_);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    std::string WindowsPath() const { return testing::WindowsPathOf(unixPath_); }
    // Fills what is left with a file of that name.
    void Fill(const std::string& name) {
        testing::RunUnix("dd if=/dev/zero of=" + unixPath_ + "/" + name + " bs=4096 2>/dev/null", 30s);
    }
    std::string Free() const { return testing::UnixOutput("df -k --output=avail " + unixPath_ + " | tail -1"); }

private:
    std::string unixPath_;
    bool mounted_ = false;
};

// The settings folder on a Unix file system whose reads fail part-way
// (failing-read-fs beside this source, on FUSE), mounted while it lives.
class FailingReadDisk {
public:
    FailingReadDisk(const std::string& content, std::size_t failAt)
        : unixPath_(testing::UnixTempFile("failing-read")), contentPath_(unixPath_ + ".content") {
        testing::WriteFileBytes(testing::WindowsPathOf(contentPath_), content);
        testing::RunUnix("mkdir -p " + unixPath_ + " && { setsid " QUILLDECK_FAULTS_DIR "/failing-read-fs " +
                         unixPath_ + " " + contentPath_ + " " + std::to_string(failAt) + " > " + unixPath_ +
                         ".log 2>&1 & }");
        mounted_ = testing::WaitFor([&] { return testing::RunUnix("mountpoint -q " + unixPath_) == 0; });
    }
    ~FailingReadDisk() {
        if (mounted_) testing::RunUnix("umount " + unixPath_ + " || umount -l " + unixPath_, 20s);
        testing::RunUnix("rmdir " + unixPath_ + "; rm -f " + contentPath_ + " " + unixPath_ + ".log");
    }
    FailingReadDisk(const FailingReadDisk&) = delete;
    FailingReadDisk& operator=(const FailingReadDisk&) = delete;

    bool Mounted() const { return mounted_; }
    std::string WindowsPath() const { return testing::WindowsPathOf(unixPath_); }

private:
    std::string unixPath_;
    std::string contentPath_;
    bool mounted_ = false;
};

// A read that fails part-way: the error is shown and the start goes on with
// the slots read before the failure; the line it cut short is no field (a
// shortcut cut from "Ctrl+Alt+G" to "Ctrl+A" would bind another key and be
// saved so), and what was not read keeps its defaults.
TEST(ReadFaultTest, AReadThatFailsPartWayKeepsWhatWasReadAndTakesNoLineCutShort) {
    const std::string content = " \r\n1\r\nOne\r\nF1\r\n[memo]\r\none\r\n[/memo]\r\n\r\n"
                                "1\r\nTwo\r\nCtrl+Alt+G\r\n[memo]\r\ntwo\r\n[/memo]\r\n\r\n"
                                "1\r\nThree\r\nF3\r\n[memo]\r\nthree\r\n[/memo]\r\n\r\n";
    FailingReadDisk disk(content, content.find("Ctrl+Alt+G") + 6);
    ASSERT_TRUE(disk.Mounted()) << "mounting a FUSE file system needs root";
    testing::QuilldeckProgram quilldeck(testing::QuilldeckProgram::Elsewhere{QuilldeckExe(), disk.WindowsPath(), {}});
    const auto box = BoxCaptioned(quilldeck.Process().Id(), "Quilldeck");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "I/O error 21.");  // EIO, as Wine gives it: ERROR_NOT_READY
    testing::PressButton(*box, "OK");
    ASSERT_NE(ShownMainWindow(quilldeck.Process().Id()), nullptr);
    EXPECT_EQ(quilldeck.RowText(0, 1), "One");
    EXPECT_EQ(quilldeck.RowText(0, 2), "F1");
    EXPECT_EQ(quilldeck.RowText(1, 1), "Two");
    EXPECT_EQ(quilldeck.RowText(1, 2), "None");
    EXPECT_TRUE(quilldeck.Checked(1));
    EXPECT_EQ(quilldeck.RowText(2, 1), "<Not Define>");
    EXPECT_FALSE(quilldeck.Checked(2));
    testing::ReportFault("a read failing part-way, at start",
                         "\"" + box->text + "\", then the slots read before it", true);
    // The file system takes no writes: Exit ends without saving when asked.
    quilldeck.Command(IdExit2);
    const auto error = BoxCaptioned(quilldeck.Process().Id(), "Quilldeck");
    ASSERT_TRUE(error);
    testing::PressButton(*error, "OK");
    const auto offer = BoxCaptioned(quilldeck.Process().Id(), "Confirm");
    ASSERT_TRUE(offer);
    testing::PressButton(*offer, "&Yes");
    EXPECT_EQ(quilldeck.Process().WaitForExit(), 0u);
}

TEST(FullDiskTest, AFullDiskAtASaveIsReportedAndKeepsTheOldFile) {
    SmallDisk disk("1m");
    ASSERT_TRUE(disk.Mounted()) << "mounting a tmpfs needs root";
    const std::string appData = disk.WindowsPath();
    const std::string folder = appData + "\\Kestrovar";
    const std::string path = folder + "\\Quilldeck.ini";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    testing::WriteFileBytes(path, OldSettings);
    disk.Fill("filler");
    ChildProcess quilldeck(QuilldeckExe(), {{"APPDATA", appData}});
    const HWND main = ShownMainWindow(quilldeck.Id());
    ASSERT_NE(main, nullptr);
    const auto saw = ExitIsRefused(quilldeck, main, "save-fault-disk-full.png");
    EXPECT_EQ(saw, "I/O error 112.");  // ERROR_DISK_FULL
    const bool kept = testing::ReadFileBytes(path) == OldSettings && OnlyTheSettingsFileIn(folder);
    EXPECT_TRUE(kept);
    testing::ReportFault("full disk, at a save", "\"" + saw.value_or("no box") + "\", then \"Exit anyway?\"", kept);
    ASSERT_TRUE(::DeleteFileA((appData + "\\filler").c_str()));
    ExitSavesOnceTheFaultIsGone(quilldeck, main, path);
}

// Fifty megabytes that were never a settings file: the program starts, its
// list shows what the reader made of them, and Exit writes a valid file that
// reads back to the same table. The second case hides the bytes in one
// slot's text, which the program then holds and writes back whole.
struct BigFileCase {
    const char* name;
    const char* picture;
    std::string prefix;  // before the random bytes
    // Without Ctrl+Z, which ends the data at the start of a line: the text
    // then runs to the end of the file.
    bool withoutEndOfData;
};

void PrintTo(const BigFileCase& bigCase, std::ostream* out) { *out << bigCase.picture; }

class BigFileTest : public ::testing::TestWithParam<BigFileCase> {};

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (std::size_t at = 0; at + 4 <= size; at += 4) {
        const std::uint32_t word = random();
        std::memcpy(&bytes[at], &word, 4);
    }
    return bytes;
}

// A text block ends at a line that is exactly "[/memo]": random bytes hold
// none, but the block case must not depend on luck.
void BreakBlockClosers(std::string& bytes) {
    for (std::size_t at = bytes.find("[/memo]"); at != std::string::npos; at = bytes.find("[/memo]", at + 1)) {
        bytes[at] = '(';
    }
}

TEST_P(BigFileTest, StartsShowsWhatItReadAndSavesAValidFile) {
    const BigFileCase& bigCase = GetParam();
    // QUILLDECK_SEED repeats a run.
    const char* seedText = std::getenv("QUILLDECK_SEED");
    const unsigned seed = seedText != nullptr ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10))
                                              : std::random_device{}();
    std::string content = bigCase.prefix + RandomBytes(50u << 20, seed);
    BreakBlockClosers(content);
    if (bigCase.withoutEndOfData) std::replace(content.begin(), content.end(), '\x1A', ' ');
    Win32CodePage codePage;
    Win32KeyNames keyNames;
    SlotTable expected(codePage, keyNames);
    const bool expectedMinimize = DecodeSettings(content, expected, codePage);
    if (expectedMinimize) content[0] = ' ';  // the window must show
    DecodeSettings(content, expected, codePage);

    const auto started = std::chrono::steady_clock::now();
    testing::QuilldeckProgram quilldeck(content);
    const HWND main = ShownMainWindow(quilldeck.Process().Id());
    ASSERT_NE(main, nullptr) << "seed " << seed;
    const auto shownAfter = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    // The list as the reader filled it: a description shows up to its first
    // zero byte.
    int defined = 0;
    for (int row = 0; row < SlotCount; ++row) {
        const Slot& slot = expected.At(row);
        const std::string description = slot.description.substr(0, std::min(slot.description.find('\0'), std::size_t{511}));
        // Wine fills the whole buffer without a terminator when the text is
        // longer: the first 511 bytes are what the list holds.
        std::string shown;
        EXPECT_TRUE(testing::WaitFor([&] { return (shown = quilldeck.RowText(row, 1).substr(0, 511)) == description; }, 5s))
            << "row " << row << " seed " << seed << ": " << shown.size() << " bytes shown of " << description.size()
            << ", first difference at "
            << std::mismatch(shown.begin(), shown.end(), description.begin(), description.end()).first - shown.begin();
        EXPECT_EQ(quilldeck.Checked(row), slot.active) << "row " << row;
        if (expected.IsDefined(row)) ++defined;
    }
    testing::KeepScreenAtRest(bigCase.picture);
    const std::optional<DWORD> exitCode = quilldeck.Exit();
    EXPECT_EQ(exitCode, 0u);
    const std::string saved = quilldeck.Settings();
    EXPECT_EQ(saved, EncodeSettings(expected, false, codePage));
    SlotTable reread(codePage, keyNames);
    EXPECT_FALSE(DecodeSettings(saved, reread, codePage));
    bool same = true;
    for (int row = 0; row < SlotCount; ++row) {
        same = same && reread.At(row) == expected.At(row) && reread.Text(row) == expected.Text(row);
    }
    EXPECT_TRUE(same) << "seed " << seed;
    std::size_t longestText = 0;
    for (int row = 0; row < SlotCount; ++row) longestText = std::max(longestText, expected.Text(row).size());
    testing::ReportFault(std::string("50 MB of random bytes") + bigCase.name,
                         "the window after " + std::to_string(shownAfter.count()) + " ms, " + std::to_string(defined) +
                             " slots defined, the longest text " + std::to_string(longestText) +
                             " characters; Exit saved " + std::to_string(saved.size()) + " bytes",
                         same && exitCode == 0u);
}

INSTANTIATE_TEST_SUITE_P(Contents, BigFileTest,
                         ::testing::Values(BigFileCase{"", "big-random-file.png", "", false},
                                           BigFileCase{" in one slot's text", "big-text-file.png",
                                                       " \r\n1\r\nBig\r\nNone\r\n[memo]\r\n", true}));

}  // namespace
}  // namespace quilldeck
