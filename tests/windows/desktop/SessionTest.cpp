// A long session in one Quilldeck process: many pastes by real hot key
// presses and many trips into the tray and back. Nothing it holds may grow
// with use. tools/stress runs the full counts (QUILLDECK_SESSION_PASTES,
// QUILLDECK_SESSION_CYCLES).
#include <cstdint>
#include <iostream>
#include <vector>

#include "ProgramFixture.h"
#include <winternl.h>
// After <windows.h>, which it needs.
#include <psapi.h>

#include "tray/TrayIcon.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

const std::string OneSlotInTheTray =
    "#\r\n1\r\nQuick\r\nCtrl+Alt+Q\r\n[memo]\r\nquick\r\n[/memo]\r\n\r\n";

struct ProcessFigures {
    DWORD handles = 0;
    std::size_t windows = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    SIZE_T workingSet = 0;
};

// A process's handle count from the system's process list, which Wine fills
// (its GetProcessHandleCount of another process gives 0).
DWORD HandleCountOf(DWORD processId) {
    using Query = LONG(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    std::vector<unsigned char> buffer(1 << 20);
    ULONG needed = 0;
    while (query(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) != 0) {
        if (buffer.size() >= (64u << 20)) return 0;
        buffer.resize(buffer.size() * 2);
    }
    for (std::size_t at = 0;;) {
        const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
        if (reinterpret_cast<std::uintptr_t>(entry->UniqueProcessId) == processId) return entry->HandleCount;
        if (entry->NextEntryOffset == 0) return 0;
        at += entry->NextEntryOffset;
    }
}

ProcessFigures FiguresOf(DWORD processId) {
    win::UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    ProcessFigures figures;
    if (!::GetProcessHandleCount(process.Get(), &figures.handles) || figures.handles == 0) {
        figures.handles = HandleCountOf(processId);
    }
    figures.windows = TopLevelWindowsOf(processId).size();
    figures.gdiObjects = ::GetGuiResources(process.Get(), GR_GDIOBJECTS);
    figures.userObjects = ::GetGuiResources(process.Get(), GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::K32GetProcessMemoryInfo(process.Get(), &memory, sizeof(memory));
    figures.workingSet = memory.WorkingSetSize;
    return figures;
}

int CountFromEnvironment(const char* name, int shortRun) {
    const char* configured = std::getenv(name);
    return configured != nullptr ? std::atoi(configured) : shortRun;
}

class SessionTest : public ProgramFixture {
protected:
    // Back from the tray as a double click on the icon brings it: the
    // notification area posts the icon's message to the icon's window.
    static void DoubleClickIconOf(QuilldeckProgram& quilldeck) {
        const HWND iconWindow = WindowOfClass(quilldeck.Process().Id(), "QuilldeckTrayIconWindow");
        ::PostMessageA(iconWindow, TTrayIcon::NotifyMessage, 0, WM_LBUTTONDBLCLK);
    }

    // Shown again, its icon gone.
    static bool Restored(QuilldeckProgram& quilldeck) {
        return WaitFor([&] { return quilldeck.Shown() && ::IsWindowVisible(quilldeck.TaskbarEntry()); }, 10s) &&
               quilldeck.Settle();
    }
    // In the tray again, done with the save and the binding.
    static bool Minimised(QuilldeckProgram& quilldeck) { return InTray(quilldeck) && quilldeck.Settle(); }

    // Presses the hot key as often as asked, one press at a time, and counts
    // the pastes that arrived whole.
    int PasteBatch(QuilldeckProgram& quilldeck, PasteTarget& target, int presses) {
        if (::GetForegroundWindow() != target.Handle() || ::GetFocus() != target.Edit()) {
            // A click, as a user gives the focus back: after the program's
            // own window was in front, the window manager refuses a plain focus.
            // Now and then openbox lets the first click go while it is still
            // busy with the hidden window: the user clicks again.
            for (int click = 0; click < 3 && ::GetForegroundWindow() != target.Handle(); ++click) {
                input.ClickOn(target.Edit());
                PumpUntil([&] { return ::GetForegroundWindow() == target.Handle(); }, 3s);
            }
            EXPECT_EQ(::GetForegroundWindow(), target.Handle()) << "the target could not get the focus";
        }
        target.Clear();
        std::string keys;
        for (int i = 0; i < presses; ++i) keys += " ctrl+alt+q";
        std::u16string expected;
        for (int i = 0; i < presses; ++i) expected += u"quick";
        input.Run(InputSteps().Key(keys, UserKeyDelay), 60s);
        PumpUntil([&] { return target.Text() == expected; }, 10s);
        quilldeck.Settle();
        const std::u16string text = target.Text();
        if (text != expected) {
            std::cout << "a batch of " << presses << " pasted " << text.size() << " characters; foreground "
                      << (::GetForegroundWindow() == target.Handle() ? "the target" : "another window") << "\n";
        }
        int whole = 0;
        for (std::size_t at = text.find(u"quick"); at != std::u16string::npos; at = text.find(u"quick", at + 5)) {
            ++whole;
        }
        return text == expected ? presses : std::min(whole, presses - 1);
    }
};

TEST_F(SessionTest, ManyPastesAndTripsToTheTrayLeaveHandlesGdiObjectsAndMemoryAsTheyWere) {
    const int pastes = CountFromEnvironment("QUILLDECK_SESSION_PASTES", 300);
    const int cycles = CountFromEnvironment("QUILLDECK_SESSION_CYCLES", 30);
    QuilldeckProgram quilldeck(OneSlotInTheTray);
    ASSERT_TRUE(InTray(quilldeck));
    PasteTarget target;
    const DWORD id = quilldeck.Process().Id();

    // A first round of everything, so that what is made once and kept
    // (caches, the tray's window, the clipboard's) is in the starting figures.
    DoubleClickIconOf(quilldeck);
    ASSERT_TRUE(Restored(quilldeck));
    ::PostMessageA(quilldeck.MainWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Minimised(quilldeck));
    ASSERT_EQ(PasteBatch(quilldeck, target, 5), 5);
    const ProcessFigures start = FiguresOf(id);

    int pasted = 0, restores = 0, minimises = 0;
    const int perCycle = std::max(1, pastes / std::max(1, cycles));
    for (int done = 0, cycle = 0; done < pastes || cycle < cycles; ++cycle) {
        if (cycle < cycles) {
            DoubleClickIconOf(quilldeck);
            ASSERT_TRUE(Restored(quilldeck)) << "cycle " << cycle;
            ++restores;
            ::PostMessageA(quilldeck.MainWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            ASSERT_TRUE(Minimised(quilldeck)) << "cycle " << cycle;
            ++minimises;
        }
        const int batch = std::min(perCycle, pastes - done);
        if (batch > 0) {
            pasted += PasteBatch(quilldeck, target, batch);
            done += batch;
        }
    }
    const ProcessFigures end = FiguresOf(id);

    std::cout << "pastes " << pasted << " of " << pastes << ", restores " << restores << ", minimises "
              << minimises << "\n"
              << "|       | handles | GDI objects | USER objects | top-level windows | working set (KiB) |\n"
              << "| start | " << start.handles << " | " << start.gdiObjects << " | " << start.userObjects << " | "
              << start.windows << " | " << start.workingSet / 1024 << " |\n"
              << "| end   | " << end.handles << " | " << end.gdiObjects << " | " << end.userObjects << " | "
              << end.windows << " | " << end.workingSet / 1024 << " |\n"
              << "(Wine answers 0 for GDI and USER objects; Windows counts them.)\n";
    RecordProperty("pastes", pasted);
    RecordProperty("cycles", minimises);
    RecordProperty("handles_start", static_cast<int>(start.handles));
    RecordProperty("handles_end", static_cast<int>(end.handles));
    RecordProperty("gdi_start", static_cast<int>(start.gdiObjects));
    RecordProperty("gdi_end", static_cast<int>(end.gdiObjects));
    RecordProperty("working_set_kib_start", static_cast<int>(start.workingSet / 1024));
    RecordProperty("working_set_kib_end", static_cast<int>(end.workingSet / 1024));

    EXPECT_EQ(pasted, pastes);
    // Noise: a handle or object that the system opens on its own now and then,
    // and the heap's page-sized steps.
    EXPECT_LE(end.handles, start.handles + 5);
    EXPECT_LE(end.gdiObjects, start.gdiObjects + 5);
    EXPECT_LE(end.userObjects, start.userObjects + 5);
    EXPECT_GT(start.handles, 0u);
    EXPECT_EQ(end.windows, start.windows);
    EXPECT_LE(end.workingSet, start.workingSet + 2 * 1024 * 1024);
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

}  // namespace
}  // namespace quilldeck
