#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include "desktop/ProgramFixture.h"
#include "faults/FaultReport.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

constexpr int IdExit2 = 202;

int CountFromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

// Two copies of Quilldeck.exe made suspended and let go one right after the
// other, so that both reach the single-instance test together.
class TwinStart {
public:
    explicit TwinStart(const std::string& appData) {
        const std::string program = ProgramFolder() + "Quilldeck.exe";
        std::string environment = EnvironmentBlock({{"APPDATA", appData}});
        for (auto& copy : copies_) {
            std::string commandLine = "\"" + program + "\"";
            STARTUPINFOA startup{};
            startup.cb = sizeof(startup);
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = SW_SHOWNORMAL;
            PROCESS_INFORMATION info{};
            if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                  environment.data(), nullptr, &startup, &info)) {
                throw std::runtime_error("starting Quilldeck.exe suspended failed with " +
                                         std::to_string(::GetLastError()));
            }
            copy.process = win::UniqueHandle(info.hProcess);
            copy.thread = win::UniqueHandle(info.hThread);
            copy.id = info.dwProcessId;
        }
    }
    ~TwinStart() {
        for (auto& copy : copies_) {
            if (::WaitForSingleObject(copy.process.Get(), 0) == WAIT_OBJECT_0) continue;
            const HWND main = WindowOfClass(copy.id, "QuilldeckMainWindow");
            if (main != nullptr) ::PostMessageA(main, WM_COMMAND, IdExit2, 0);
            if (::WaitForSingleObject(copy.process.Get(), 10000) != WAIT_OBJECT_0) {
                ::TerminateProcess(copy.process.Get(), 1);
                ::WaitForSingleObject(copy.process.Get(), 5000);
            }
        }
    }
    TwinStart(const TwinStart&) = delete;
    TwinStart& operator=(const TwinStart&) = delete;

    // Lets both run, the one named first a moment before the other.
    void Release(int first) {
        ::ResumeThread(copies_[first].thread.Get());
        ::ResumeThread(copies_[1 - first].thread.Get());
    }
    DWORD Id(int copy) const { return copies_[copy].id; }
    std::optional<DWORD> ExitCode(int copy, std::chrono::milliseconds timeout) {
        if (::WaitForSingleObject(copies_[copy].process.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        ::GetExitCodeProcess(copies_[copy].process.Get(), &code);
        return code;
    }

private:
    struct Copy {
        win::UniqueHandle process;
        win::UniqueHandle thread;
        DWORD id = 0;
    };
    Copy copies_[2];
};

bool MainWindowShown(DWORD processId) {
    const HWND main = WindowOfClass(processId, "QuilldeckMainWindow");
    return main != nullptr && ::IsWindowVisible(main) && (::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_LAYERED) == 0;
}

class SimultaneousStartTest : public ProgramFixture {};

// Of two copies started at the same moment exactly one runs; the other says
// so in its box and ends with 0 once it is answered, and the one that runs
// goes on untouched.
TEST_F(SimultaneousStartTest, OfTwoCopiesStartedTogetherExactlyOneRunsAndTheOtherSaysSo) {
    const int pairs = CountFromEnvironment("QUILLDECK_START_PAIRS", 3);
    const std::string settings = " \r\n1\r\nTwins\r\nNone\r\n[memo]\r\nkept\r\n[/memo]\r\n\r\n";
    int oneRanOneRefused = 0, refusedEndedWithZero = 0, runnerExitedWithZero = 0, firstReleasedRan = 0,
        secondReleasedRan = 0, bothRan = 0, noneRan = 0;
    for (int pair = 0; pair < pairs; ++pair) {
        TempFolder appData;
        ::CreateDirectoryA((appData / "Kestrovar").c_str(), nullptr);
        WriteFileBytes(appData / "Kestrovar\\Quilldeck.ini", settings);
        TwinStart twins(appData.Path());
        const int first = pair % 2;
        twins.Release(first);

        // Settled: one shows its main window, the other its box, or the
        // wait ran out.
        std::optional<MessageBoxView> box;
        int refused = -1;
        WaitFor(
            [&] {
                for (int copy = 0; copy < 2; ++copy) {
                    box = FindMessageBox(twins.Id(copy), 0ms);
                    if (box && MainWindowShown(twins.Id(1 - copy))) {
                        refused = copy;
                        return true;
                    }
                }
                return false;
            },
            20s);
        if (refused < 0) {
            const bool shown0 = MainWindowShown(twins.Id(0)), shown1 = MainWindowShown(twins.Id(1));
            if (shown0 && shown1) ++bothRan;
            if (!shown0 && !shown1) ++noneRan;
            ADD_FAILURE() << "pair " << pair << ": main window shown " << shown0 << " / " << shown1 << ", boxes "
                          << FindMessageBox(twins.Id(0), 0ms).has_value() << " / "
                          << FindMessageBox(twins.Id(1), 0ms).has_value();
            continue;
        }
        const int runner = 1 - refused;
        EXPECT_EQ(box->caption, "Quilldeck");
        EXPECT_EQ(box->text, "Quilldeck already running.!");
        EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
        EXPECT_EQ(VisibleWindowsOf(twins.Id(refused)), std::vector<HWND>{box->window});
        ++oneRanOneRefused;
        (runner == first ? firstReleasedRan : secondReleasedRan) += 1;

        if (pair == 0) KeepScreenAtRest("twin-start.png");
        PressButton(*box, "OK");
        const auto refusedCode = twins.ExitCode(refused, 10s);
        EXPECT_EQ(refusedCode, 0u) << "pair " << pair;
        if (refusedCode == 0u) ++refusedEndedWithZero;
        // The one that runs is still there, shown, and alone.
        EXPECT_FALSE(twins.ExitCode(runner, 0ms)) << "pair " << pair;
        EXPECT_TRUE(MainWindowShown(twins.Id(runner)));
        EXPECT_FALSE(FindMessageBox(twins.Id(runner), 0ms));
        EXPECT_EQ(ReadFileBytes(appData / "Kestrovar\\Quilldeck.ini"), settings) << "a start wrote the file";
        ::PostMessageA(WindowOfClass(twins.Id(runner), "QuilldeckMainWindow"), WM_COMMAND, IdExit2, 0);
        const auto runnerCode = twins.ExitCode(runner, 15s);
        EXPECT_EQ(runnerCode, 0u) << "pair " << pair;
        if (runnerCode == 0u) ++runnerExitedWithZero;
    }
    std::cout << "two copies started together\n"
              << "  pairs                          " << pairs << "\n"
              << "  one ran, the other refused     " << oneRanOneRefused << "\n"
              << "  refused copy ended with 0      " << refusedEndedWithZero << "\n"
              << "  running copy ended with 0      " << runnerExitedWithZero << " (at Exit)\n"
              << "  the one let go first ran       " << firstReleasedRan << "\n"
              << "  the one let go second ran      " << secondReleasedRan << "\n"
              << "  both ran                       " << bothRan << "\n"
              << "  neither ran                    " << noneRan << "\n";
    RecordProperty("pairs", pairs);
    RecordProperty("oneRanOneRefused", oneRanOneRefused);
    RecordProperty("refusedEndedWithZero", refusedEndedWithZero);
    EXPECT_EQ(oneRanOneRefused, pairs);
    EXPECT_EQ(refusedEndedWithZero, pairs);
}

}  // namespace
}  // namespace quilldeck
