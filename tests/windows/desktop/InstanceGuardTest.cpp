#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "ProgramFixture.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

constexpr int IdExit2 = 202;

// Slot 1 pastes "quick" on Ctrl+Alt+Q.
const std::string OneSlot = " \r\n1\r\nQuick\r\nCtrl+Alt+Q\r\n[memo]\r\nquick\r\n[/memo]\r\n\r\n";
// The same, started into the tray.
const std::string OneSlotMinimized = "#" + OneSlot.substr(1);

bool QIsFree() { return CombinationIsFree(MOD_CONTROL | MOD_ALT, 'Q'); }

std::string QuilldeckExe() { return ProgramFolder() + "Quilldeck.exe"; }

// Starts a program file with that APPDATA, as a user starts Quilldeck.
std::unique_ptr<ChildProcess> Start(const std::string& program, const std::string& appData) {
    return std::make_unique<ChildProcess>(program, std::map<std::string, std::optional<std::string>>{{"APPDATA", appData}},
                                          std::string{}, std::string{}, SW_SHOWNORMAL);
}

// Quilldeck.exe copied into a folder of its own under another name.
class ProgramCopy {
public:
    explicit ProgramCopy(const std::string& fileName) : path_(folder_ / fileName) {
        if (!::CopyFileA(QuilldeckExe().c_str(), path_.c_str(), TRUE)) {
            throw std::runtime_error("copying Quilldeck.exe failed with " + std::to_string(::GetLastError()));
        }
    }
    const std::string& Path() const { return path_; }

private:
    TempFolder folder_;
    std::string path_;
};

// The settings file exactly as it was, its time included.
struct SettingsSnapshot {
    explicit SettingsSnapshot(const QuilldeckProgram& quilldeck)
        : bytes(quilldeck.Settings()), written(quilldeck.SettingsWriteTime()) {}
    std::string bytes;
    FILETIME written;
};

::testing::AssertionResult Unchanged(const QuilldeckProgram& quilldeck, const SettingsSnapshot& before) {
    const FILETIME written = quilldeck.SettingsWriteTime();
    if (quilldeck.Settings() != before.bytes) return ::testing::AssertionFailure() << "the settings file changed";
    if (::CompareFileTime(&written, &before.written) != 0) return ::testing::AssertionFailure() << "it was written";
    return ::testing::AssertionSuccess();
}

// A refused copy with its box open: the box says so and is all of the copy
// that shows; the copy waits for it and has added no tray icon.
std::optional<MessageBoxView> RefusalBox(ChildProcess& copy, std::size_t trayIcons) {
    const auto box = FindMessageBox(copy.Id());
    EXPECT_TRUE(box) << "no box";
    if (!box) return box;
    EXPECT_EQ(box->caption, "Quilldeck");
    EXPECT_EQ(box->text, "Quilldeck already running.!");
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(box->hasIcon);
    EXPECT_EQ(::GetWindow(box->window, GW_OWNER), nullptr);
    RECT rect{};
    ::GetWindowRect(box->window, &rect);
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(rect.left + rect.right, work.left + work.right, 2) << "not centred across";
    EXPECT_NEAR(rect.top + rect.bottom, work.top + work.bottom, 2) << "not centred down";
    // No main window, no taskbar entry: the box alone.
    EXPECT_EQ(VisibleWindowsOf(copy.Id()), std::vector<HWND>{box->window});
    EXPECT_EQ(ShownTrayIcons().size(), trayIcons);
    EXPECT_FALSE(copy.WaitForExit(0ms)) << "ended before the box was answered";
    return box;
}

// Clicks OK as a user does; the copy ends with exit code 0.
void AnswerOk(ChildProcess& copy, const MessageBoxView& box) {
    HWND ok = nullptr;
    for (HWND child : ChildWindows(box.window)) {
        if (WindowText(child) == "OK") ok = child;
    }
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(InputDriver().ClickOn(ok));
    EXPECT_EQ(copy.WaitForExit(10s), 0u);
}

// A second start from the given program file with that APPDATA is refused;
// whileOpen runs while its box is open.
void ExpectRefused(const std::string& program, const std::string& appData,
                   const std::function<void(ChildProcess&)>& whileOpen = {}) {
    const std::size_t trayIcons = ShownTrayIcons().size();
    const auto copy = Start(program, appData);
    const auto box = RefusalBox(*copy, trayIcons);
    ASSERT_TRUE(box);
    if (whileOpen) {
        whileOpen(*copy);
        EXPECT_TRUE(::IsWindowVisible(box->window)) << "the box went";
        EXPECT_EQ(VisibleWindowsOf(copy->Id()), std::vector<HWND>{box->window});
    }
    AnswerOk(*copy, *box);
    EXPECT_EQ(ShownTrayIcons().size(), trayIcons);
}

class InstanceGuardTest : public ProgramFixture {};

TEST_F(InstanceGuardTest, ASecondCopyBesideAShownOneSaysSoAndEndsHavingTouchedNothing) {
    QuilldeckProgram first(OneSlot);
    ASSERT_TRUE(ShownOpaque(first));
    // Were the copy let through, this file would send it into the tray with
    // a save and Ctrl+Alt+Q bound.
    WriteFileBytes(first.SettingsPath(), OneSlotMinimized);
    const SettingsSnapshot before(first);

    // Its hidden window exists while the box is open; what reaches it then
    // neither saves nor closes nor minimises anything.
    ExpectRefused(QuilldeckExe(), first.AppData(), [](ChildProcess& copy) {
        const HWND main = WindowOfClass(copy.Id(), "QuilldeckMainWindow");
        ASSERT_NE(main, nullptr);
        const HWND entry = ::GetWindow(main, GW_OWNER);
        const auto send = [](HWND window, UINT message, WPARAM wParam) {
            DWORD_PTR answer = 0;
            EXPECT_NE(::SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, 5000, &answer), 0);
            return answer;
        };
        send(main, WM_COMMAND, IdExit2);
        send(main, WM_CLOSE, 0);
        send(entry, WM_CLOSE, 0);
        send(main, WM_SYSCOMMAND, SC_MINIMIZE);
        EXPECT_EQ(send(main, WM_QUERYENDSESSION, 0), 1u) << "a log-off must not wait for it";
    });
    EXPECT_TRUE(Unchanged(first, before));
    EXPECT_TRUE(QIsFree());
    EXPECT_FALSE(TrayShowsAnIcon());
    // The first stands as it stood, and was told nothing.
    EXPECT_TRUE(ShownOpaque(first));
    EXPECT_EQ(first.SelectedRow(), 0);
    EXPECT_FALSE(FindMessageBox(first.Process().Id(), 0ms));
    EXPECT_EQ(first.Exit(), 0u);
}

TEST_F(InstanceGuardTest, ASecondCopyBesideOneInTheTrayLeavesItThereWithItsHotKeys) {
    QuilldeckProgram first(OneSlotMinimized);
    ASSERT_TRUE(InTray(first));
    ASSERT_TRUE(WaitFor([&] { return first.Settings().size() > OneSlot.size(); }));
    ASSERT_FALSE(QIsFree());
    const SettingsSnapshot before(first);

    ExpectRefused(QuilldeckExe(), first.AppData());
    EXPECT_TRUE(Unchanged(first, before));
    EXPECT_TRUE(InTray(first));
    EXPECT_EQ(ShownTrayIconsWithTip("Quilldeck 1.01").size(), 1u);
    // Its hot key still pastes.
    PasteTarget target;
    target.Focus();
    EXPECT_TRUE(input.Key("ctrl+alt+q", XdotoolKeyDelay));
    EXPECT_TRUE(PumpUntil([&] { return target.Text() == u"quick"; }, 5s));
    EXPECT_EQ(first.Exit(), 0u);
}

TEST_F(InstanceGuardTest, ARefusedCopyCreatesNoSettingsFolderWhereThereIsNone) {
    QuilldeckProgram first(OneSlot);
    ASSERT_TRUE(ShownOpaque(first));
    TempFolder emptyAppData;
    ExpectRefused(QuilldeckExe(), emptyAppData.Path());
    EXPECT_TRUE(FolderEntries(emptyAppData.Path()).empty());
    EXPECT_EQ(first.Exit(), 0u);
}

TEST_F(InstanceGuardTest, TheSameFileNameInAnotherFolderInOtherLetterCaseIsRefused) {
    const ProgramCopy copy("quilldeck.EXE");
    QuilldeckProgram first(OneSlot);
    ASSERT_TRUE(ShownOpaque(first));
    const SettingsSnapshot before(first);
    ExpectRefused(copy.Path(), first.AppData());
    EXPECT_TRUE(Unchanged(first, before));
    EXPECT_EQ(first.Exit(), 0u);
}

TEST_F(InstanceGuardTest, AProgramFileUnderAnotherNameRunsBesideTheFirst) {
    const ProgramCopy copy("QuilldeckTwo.exe");
    QuilldeckProgram first(OneSlot);
    ASSERT_TRUE(ShownOpaque(first));
    TempFolder appData;
    const auto two = Start(copy.Path(), appData.Path());
    ASSERT_TRUE(ShownOpaque(two->Id()));
    EXPECT_TRUE(IsFile(appData / "Kestrovar\\Quilldeck.ini"));
    EXPECT_FALSE(FindMessageBox(two->Id(), 500ms));
    EXPECT_FALSE(FindMessageBox(first.Process().Id(), 0ms));
    ::PostMessageA(WindowOfClass(two->Id(), "QuilldeckMainWindow"), WM_COMMAND, IdExit2, 0);
    EXPECT_EQ(two->WaitForExit(10s), 0u);
    EXPECT_TRUE(ShownOpaque(first));
    EXPECT_EQ(first.Exit(), 0u);
}

// Once the copy that held the name has gone, by Exit or killed, the next
// start runs normally.
class NextStartTest : public InstanceGuardTest, public ::testing::WithParamInterface<bool> {};

TEST_P(NextStartTest, RunsNormallyOnceTheFirstHasEnded) {
    const bool killed = GetParam();
    {
        QuilldeckProgram first(OneSlot);
        ASSERT_TRUE(ShownOpaque(first));
        if (killed) {
            const win::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, first.Process().Id()));
            ASSERT_TRUE(::TerminateProcess(process.Get(), 1));
            EXPECT_EQ(first.Process().WaitForExit(10s), 1u);
        } else {
            EXPECT_EQ(first.Exit(), 0u);
        }
    }
    QuilldeckProgram next(OneSlot);
    ASSERT_TRUE(ShownOpaque(next));
    EXPECT_FALSE(FindMessageBox(next.Process().Id(), 500ms));
    EXPECT_EQ(next.Exit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(ByExitOrKilled, NextStartTest, ::testing::Bool());

TEST_F(InstanceGuardTest, ARefusedCopyHoldsTheNameUntilItsBoxIsAnsweredEvenWhenTheFirstHasEnded) {
    const std::size_t trayIcons = ShownTrayIcons().size();
    auto first = std::make_unique<QuilldeckProgram>(OneSlot);
    ASSERT_TRUE(ShownOpaque(*first));
    const auto second = Start(QuilldeckExe(), first->AppData());
    const auto secondBox = RefusalBox(*second, trayIcons);
    ASSERT_TRUE(secondBox);
    EXPECT_EQ(first->Exit(), 0u);
    first.reset();

    const TempFolder thirdAppData;
    const auto third = Start(QuilldeckExe(), thirdAppData.Path());
    const auto thirdBox = RefusalBox(*third, trayIcons);
    ASSERT_TRUE(thirdBox);
    // The boxes lie one on the other: the newer on top.
    AnswerOk(*third, *thirdBox);
    AnswerOk(*second, *secondBox);

    QuilldeckProgram next(OneSlot);
    EXPECT_TRUE(ShownOpaque(next));
    EXPECT_EQ(next.Exit(), 0u);
}

TEST_F(InstanceGuardTest, TheRunningProgramHoldsAMutexNamedAfterItsFileInCapitals) {
    const auto exists = [](const char* name) {
        return win::UniqueHandle(::OpenMutexA(SYNCHRONIZE, FALSE, name)).Valid();
    };
    {
        QuilldeckProgram quilldeck(OneSlot);
        ASSERT_TRUE(ShownOpaque(quilldeck));
        EXPECT_TRUE(exists("QUILLDECK.EXE"));
        // Created, not owned: anyone may take it.
        const win::UniqueHandle mutex(::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, "QUILLDECK.EXE"));
        EXPECT_EQ(::WaitForSingleObject(mutex.Get(), 0), WAIT_OBJECT_0);
        ::ReleaseMutex(mutex.Get());
        EXPECT_EQ(quilldeck.Exit(), 0u);
    }
    EXPECT_FALSE(exists("QUILLDECK.EXE"));
}

TEST_F(InstanceGuardTest, WhenAnotherKindOfObjectHoldsTheNameTheProgramRunsAsIfAlone) {
    const win::UniqueHandle event(::CreateEventA(nullptr, TRUE, FALSE, "QUILLDECK.EXE"));
    ASSERT_TRUE(event.Valid());
    QuilldeckProgram quilldeck(OneSlot);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 500ms));
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

}  // namespace
}  // namespace quilldeck
