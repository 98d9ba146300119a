// The figures taken from outside the program: start-up to the main window
// visible and opaque, the working set after start and over 1000 pastes, and a
// real key press (xdotool) to the text arrived in a target window, each
// beside a floor program measured in the same run.
// Usage: quilldeck_bench_process startup|memory|end-to-end|late-target DESKTOP
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

#include "../../tests/windows/InputDriver.h"
#include "../../tests/windows/TestSupport.h"
#include "BenchSupport.h"
#include "BenchTimer.h"
#include "slots/SettingsCodec.h"
#include "slots/win32/Win32Platform.h"

using namespace quilldeck;
using namespace quilldeck::bench;
using testing::ChildProcess;

namespace {

// Shift+Ctrl+F8: X keeps Ctrl+Alt+F1..F12 for console switches.
constexpr TShortCut PasteShortcut = CtrlBit | ShiftBit | VK_F8;
constexpr UINT PasteModifiers = MOD_CONTROL | MOD_SHIFT;
constexpr const char* PasteKeys = "shift+ctrl+F8";

// A settings file: slot 1 carries the paste shortcut and a 255-character
// text; the other nineteen hold texts of that length too, on other keys.
std::string SettingsText(bool startMinimize) {
    Win32CodePage codePage;
    Win32KeyNames keyNames;
    SlotTable table(codePage, keyNames);
    const std::string text = SampleText(255);
    table.CommitSlot(0, "Slot 1", PasteShortcut, text, true);
    for (int row = 1; row < SlotCount; ++row) {
        table.CommitSlot(row, "Slot " + std::to_string(row + 1),
                         static_cast<TShortCut>(CtrlBit | ShiftBit | AltBit | ('A' + row)), text, true);
    }
    return EncodeSettings(table, startMinimize, codePage);
}

// Quilldeck.exe with an APPDATA of its own holding the given settings.
class Quilldeck {
public:
    explicit Quilldeck(const std::string& settings) {
        ::CreateDirectoryA((appData_ / "Kestrovar").c_str(), nullptr);
        testing::WriteFileBytes(appData_ / "Kestrovar\\Quilldeck.ini", settings);
    }
    std::unique_ptr<ChildProcess> Start() {
        return std::make_unique<ChildProcess>(testing::ProgramFolder() + "Quilldeck.exe",
                                              std::map<std::string, std::optional<std::string>>{
                                                  {"APPDATA", appData_.Path()}},
                                              std::string{}, std::string{}, SW_SHOWNORMAL);
    }

private:
    testing::TempFolder appData_;
};

std::unique_ptr<ChildProcess> StartFloor(const std::string& kind) {
    return std::make_unique<ChildProcess>(testing::ProgramFolder() + "quilldeck_bench_floor.exe",
                                          std::map<std::string, std::optional<std::string>>{}, std::string{}, kind,
                                          SW_SHOWNORMAL);
}

// The process's window of that class once it is visible and opaque.
HWND ShownOpaque(DWORD processId, const char* className) {
    for (HWND window : testing::TopLevelWindowsOf(processId)) {
        if (!::IsWindowVisible(window)) continue;
        if ((::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) continue;
        if (testing::ClassName(window) == className) return window;
    }
    return nullptr;
}

double WorkingSetMiB(DWORD processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    const BOOL ok = ::GetProcessMemoryInfo(process, &counters, sizeof(counters));
    ::CloseHandle(process);
    return ok ? static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0) : -1;
}

// Settles a started program: idle in its message loop, then a moment more.
void Settle(std::unique_ptr<ChildProcess>& process) {
    HANDLE handle = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process->Id());
    ::WaitForInputIdle(handle, 5000);
    ::CloseHandle(handle);
    testing::PumpFor(std::chrono::milliseconds(500));
}

struct StartKind {
    std::string key;
    const char* className;
    std::function<std::unique_ptr<ChildProcess>()> start;
    std::vector<double> times;
    std::vector<double> workingSets;
};

void StartupFigures() {
    Quilldeck quilldeck(SettingsText(false));
    std::vector<StartKind> kinds = {
        {"quilldeck", "QuilldeckMainWindow", [&] { return quilldeck.Start(); }, {}, {}},
        {"floor-parts", "QuilldeckBenchFloor", [] { return StartFloor("parts"); }, {}, {}},
        {"floor-design", "QuilldeckBenchFloor", [] { return StartFloor("design"); }, {}, {}},
        {"floor-bare", "QuilldeckBenchFloor", [] { return StartFloor("bare"); }, {}, {}},
    };
    // One start of each first, untimed: the system's own first-start costs.
    for (StartKind& kind : kinds) {
        auto process = kind.start();
        testing::WaitFor([&] { return ShownOpaque(process->Id(), kind.className) != nullptr; });
    }
    for (int round = 0; round < 20; ++round) {
        for (StartKind& kind : kinds) {
            Stopwatch watch;
            auto process = kind.start();
            while (ShownOpaque(process->Id(), kind.className) == nullptr) {
                if (watch.Milliseconds() > 20000) throw std::runtime_error(kind.key + " did not show its window");
                ::Sleep(0);
            }
            kind.times.push_back(watch.Milliseconds());
            if (round % 4 == 0) {
                Settle(process);
                kind.workingSets.push_back(WorkingSetMiB(process->Id()));
            }
        }
    }
    for (const StartKind& kind : kinds) {
        Report("startup." + kind.key, Median(kind.times), "ms");
        Report("workingset." + kind.key, Median(kind.workingSets), "MiB");
    }
}

// The combination is held by some window of the desktop.
bool CombinationTaken(UINT modifiers, UINT key) {
    if (!::RegisterHotKey(nullptr, 0xBFFF, modifiers, key)) return true;
    ::UnregisterHotKey(nullptr, 0xBFFF);
    return false;
}

// Quilldeck started into the tray, its hot keys bound.
std::unique_ptr<ChildProcess> StartBound(Quilldeck& quilldeck) {
    auto process = quilldeck.Start();
    if (!testing::WaitFor([] { return CombinationTaken(PasteModifiers, VK_F8); }, std::chrono::seconds(20))) {
        throw std::runtime_error("Quilldeck did not bind its hot keys");
    }
    Settle(process);
    return process;
}

void MemoryFigures() {
    Quilldeck quilldeck(SettingsText(true));
    KeySink sink;
    auto process = StartBound(quilldeck);
    sink.Focus();
    // The hot key components' message-only windows.
    std::vector<HWND> hotKeyWindows;
    for (HWND window = nullptr;
         (window = ::FindWindowExA(HWND_MESSAGE, window, "QuilldeckHotKeyWindow", nullptr)) != nullptr;) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == process->Id()) hotKeyWindows.push_back(window);
    }
    if (hotKeyWindows.size() != SlotCount) throw std::runtime_error("Quilldeck's hot key windows were not found");
    // A press as the system delivers it; each component pastes its own slot's
    // text, whatever the message says, so one press of every component is
    // twenty pastes.
    const auto pressAll = [&] {
        const int expected = sink.controlReleases + SlotCount;
        for (HWND window : hotKeyWindows) ::PostMessageA(window, WM_HOTKEY, 0, 0);
        if (!testing::PumpUntil([&] { return sink.controlReleases >= expected; }, std::chrono::seconds(10))) {
            throw std::runtime_error("the pastes' keys did not reach the sink");
        }
    };
    pressAll();
    testing::PumpFor(std::chrono::milliseconds(500));
    const double before = WorkingSetMiB(process->Id());
    for (int round = 0; round < 1000 / SlotCount; ++round) pressAll();
    testing::PumpFor(std::chrono::milliseconds(500));
    const double after = WorkingSetMiB(process->Id());
    Report("pastes.workingset.before", before, "MiB");
    Report("pastes.workingset.after", after, "MiB");
}

// A target window with an edit that notes when the whole text has arrived,
// and, for the floor, a hot key of its own that notes when it was pressed.
class Target : public win::Window {
public:
    Target() {
        Create("QuilldeckBenchTarget", 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, "Quilldeck bench target", 60, 60, 420,
               260, nullptr, nullptr, 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        edit_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 400,
                                  200, Handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
        testing::PumpFor(std::chrono::milliseconds(100));
    }
    void Focus() {
        testing::InputDriver().FocusForKeyboard(Handle());
        ::SetFocus(edit_);
    }
    void Clear() {
        ::SetWindowTextW(edit_, L"");
        arrived = false;
        pressed = false;
    }
    std::size_t expectedLength = 0;
    bool arrived = false;
    bool pressed = false;
    Stopwatch* watch = nullptr;
    double at = 0;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && reinterpret_cast<HWND>(lParam) == edit_ && HIWORD(wParam) == EN_CHANGE &&
            !arrived && static_cast<std::size_t>(::GetWindowTextLengthW(edit_)) == expectedLength) {
            arrived = true;
            if (watch != nullptr) at = watch->Milliseconds();
        }
        if (message == WM_HOTKEY && !pressed) {
            pressed = true;
            if (watch != nullptr) at = watch->Milliseconds();
        }
        return Window::HandleMessage(message, wParam, lParam);
    }
    HWND edit_ = nullptr;
};

// How a press is made: by xdotool through the X server, as a user's, or
// injected with SendInput from this process.
enum class PressBy { Xdotool, SendInput };

// Makes one press and waits, dispatching, until the target saw what it waits
// for; the time from the press's start to that moment.
double Press(Target& target, const bool& done, PressBy by) {
    Stopwatch watch;
    target.watch = &watch;
    if (by == PressBy::Xdotool) {
        std::string commandLine = std::string("/usr/bin/xdotool key ") + PasteKeys;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        // Wine's values for a Unix process are not handles of ours: never closed.
        if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info)) {
            throw std::runtime_error("xdotool could not be started");
        }
    } else {
        const BYTE keys[6][2] = {{VK_SHIFT, 0}, {VK_CONTROL, 0}, {VK_F8, 0}, {VK_F8, 1}, {VK_CONTROL, 1}, {VK_SHIFT, 1}};
        INPUT inputs[6] = {};
        for (int i = 0; i < 6; ++i) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wVk = keys[i][0];
            inputs[i].ki.wScan = static_cast<WORD>(::MapVirtualKeyA(keys[i][0], MAPVK_VK_TO_VSC));
            inputs[i].ki.dwFlags = keys[i][1] ? KEYEVENTF_KEYUP : 0;
        }
        ::SendInput(6, inputs, sizeof(INPUT));
    }
    const bool arrived = testing::PumpUntil([&] { return done; }, std::chrono::seconds(10));
    target.watch = nullptr;
    if (!arrived) return -1;
    // The key releases, untimed.
    testing::PumpFor(std::chrono::milliseconds(60));
    return target.at;
}

// The first press and the median of the fifty after it.
struct Presses {
    double first = 0;
    double median = 0;
};

Presses PressRepeatedly(Target& target, const bool& done, PressBy by, const std::string& key) {
    std::vector<double> times;
    int lost = 0;
    for (int press = 0; press <= 50; ++press) {
        target.Clear();
        const double time = Press(target, done, by);
        if (time >= 0) {
            times.push_back(time);
            continue;
        }
        // On a busy desktop the focus may wander off: the press is made again.
        Note(key + ": a press did not arrive within 10 s; the target takes the focus again");
        if (++lost > 3) throw std::runtime_error(key + ": the presses do not arrive");
        target.Focus();
        --press;
    }
    return {times.front(), Median(std::vector<double>(times.begin() + 1, times.end()))};
}

void ReportPresses(const std::string& key, const Presses& presses) {
    Report("e2e.first." + key, presses.first, "ms");
    Report("e2e." + key, presses.median, "ms");
}

void EndToEndFigures() {
    Target target;
    target.expectedLength = Win32CodePage().ToUtf16(SampleText(255)).size();
    target.Focus();

    // The floor: the same press to the target's own hot key.
    ::RegisterHotKey(target.Handle(), 1, PasteModifiers, VK_F8);
    ReportPresses("floor", PressRepeatedly(target, target.pressed, PressBy::Xdotool, "floor"));
    ::UnregisterHotKey(target.Handle(), 1);

    // The least program that pastes, and Quilldeck, each started afresh for
    // each way of pressing: their first presses tell whether a slow first
    // paste is the system's or Quilldeck's.
    for (const PressBy by : {PressBy::Xdotool, PressBy::SendInput}) {
        const std::string suffix = by == PressBy::Xdotool ? "" : "-sendinput";
        // The first press once the program has started and the target has
        // the keyboard again (a start into the tray makes Wine show its
        // notification area, which the window manager gives the focus).
        const auto pressAfterStart = [&](const std::string& key, std::unique_ptr<ChildProcess>& process) {
            if (!testing::WaitFor([] { return CombinationTaken(PasteModifiers, VK_F8); }, std::chrono::seconds(20))) {
                throw std::runtime_error(key + " did not register its hot key");
            }
            Settle(process);
            target.Focus();
            ReportPresses(key + suffix, PressRepeatedly(target, target.arrived, by, key + suffix));
        };
        {
            auto floorProgram = StartFloor("paste");
            pressAfterStart("floor-paste", floorProgram);
        }
        testing::WaitFor([] { return !CombinationTaken(PasteModifiers, VK_F8); });
        {
            Quilldeck quilldeck(SettingsText(true));
            auto process = quilldeck.Start();
            pressAfterStart("quilldeck", process);
        }
        testing::WaitFor([] { return !CombinationTaken(PasteModifiers, VK_F8); });
    }
}

// The first press after a start into the tray when the window the user types
// in is opened only after the program has started, as after a log-on: each
// program is started afresh, its hot key awaited, and only then the target
// made, given the focus and the hot key injected with SendInput. tools/bench
// runs this with the window manager and again without one; desktop names the
// run in the figures' keys.
void LateTargetFigures(const std::string& desktop) {
    const auto measure = [&](const std::string& key, std::unique_ptr<ChildProcess> process) {
        if (!testing::WaitFor([] { return CombinationTaken(PasteModifiers, VK_F8); }, std::chrono::seconds(20))) {
            throw std::runtime_error(key + " did not register its hot key");
        }
        Target target;
        target.expectedLength = Win32CodePage().ToUtf16(SampleText(255)).size();
        target.Focus();
        ReportPresses(key + "-late-target-" + desktop, PressRepeatedly(target, target.arrived, PressBy::SendInput, key));
    };
    measure("floor-paste", StartFloor("paste"));
    testing::WaitFor([] { return !CombinationTaken(PasteModifiers, VK_F8); });
    Quilldeck quilldeck(SettingsText(true));
    measure("quilldeck", quilldeck.Start());
    testing::WaitFor([] { return !CombinationTaken(PasteModifiers, VK_F8); });
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "startup") {
            StartupFigures();
        } else if (mode == "memory") {
            MemoryFigures();
        } else if (mode == "end-to-end") {
            EndToEndFigures();
        } else if (mode == "late-target" && argc > 2) {
            LateTargetFigures(argv[2]);
        } else {
            std::cerr << "usage: quilldeck_bench_process startup|memory|end-to-end|late-target DESKTOP\n";
            return 2;
        }
    } catch (const std::exception& error) {
        std::cerr << "bench failed: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
