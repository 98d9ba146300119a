// The in-process figures: the paste path from the hot key message to the last
// input event, its first press, the minimise path (save and re-bind) and the
// settings load, each beside a floor of the bare system calls, timed in the
// same run. Usage: quilldeck_bench_inprocess paste|first-quilldeck|first-floor|minimise|load
#include <windows.h>

#include <array>
#include <cstring>
#include <iostream>
#include <stdexcept>

#include "../../tests/windows/TestSupport.h"
#include "BenchSupport.h"
#include "BenchTimer.h"
#include "hotkeys/Input.h"
#include "hotkeys/PasteAction.h"
#include "hotkeys/SlotHotKeys.h"
#include "slots/SettingsCodec.h"
#include "slots/SettingsFile.h"
#include "slots/win32/Win32Platform.h"

using namespace quilldeck;
using namespace quilldeck::bench;

namespace {

constexpr TShortCut CtrlShiftAlt = CtrlBit | ShiftBit | AltBit;
constexpr TShortCut PasteShortcut = CtrlShiftAlt | VK_F8;

// The program's own paste path, put together as the main window does it.
struct QuilldeckPath {
    Win32CodePage codePage;
    Win32KeyNames keyNames;
    SlotTable table{codePage, keyNames};
    std::array<win::MenuItem, SlotCount> carriers;
    Win32HotKeyRegistrar registrar;
    Win32Keyboard keyboard;
    Win32Clipboard clipboard;
    HiddenWindow owner;
    PasteAction paste{codePage, keyboard, clipboard, owner.Handle()};
    SlotHotKeys binding{table, carriers, codePage, keyNames, registrar, paste};

    void Define(const std::string& text) {
        table.CommitSlot(0, "bench", PasteShortcut, text, true);
        binding.ApplyAllSlots();
    }
    // What the system does on a press: WM_HOTKEY to the component's window,
    // whose handler runs the paste before this returns.
    void Press() {
        const TGlobalHotKey& component = binding.GlobalHotKey(1);
        ::SendMessageA(component.MessageWindow(), WM_HOTKEY, component.Identifier(), 0);
    }
};

// The least a paste can do: the clipboard's four calls on a block of the text
// and one SendInput of the same four key events.
class FloorPaste {
public:
    FloorPaste(std::u16string text, HWND owner) : text_(std::move(text)), owner_(owner) {
        const BYTE keys[4][2] = {{VK_CONTROL, 0}, {'V', 0}, {'V', 1}, {VK_CONTROL, 1}};
        for (int i = 0; i < 4; ++i) {
            inputs_[i].type = INPUT_KEYBOARD;
            inputs_[i].ki.wVk = keys[i][0];
            inputs_[i].ki.wScan = static_cast<WORD>(::MapVirtualKeyA(keys[i][0], MAPVK_VK_TO_VSC));
            inputs_[i].ki.dwFlags = keys[i][1] ? KEYEVENTF_KEYUP : 0;
        }
    }
    // With the question the program must ask at every press: which of the
    // eight modifier keys the user still holds from the hot key.
    bool askHeld = false;

    void Press() {
        const std::size_t size = 2 * (text_.size() + 1);
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
        void* memory = ::GlobalLock(block);
        std::memcpy(memory, text_.c_str(), size);
        ::GlobalUnlock(block);
        while (!::OpenClipboard(owner_)) ::Sleep(1);
        ::EmptyClipboard();
        ::SetClipboardData(CF_UNICODETEXT, block);
        ::CloseClipboard();
        // Where the program must ask them: right before the keys go out.
        if (askHeld) {
            static const int modifiers[] = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL,
                                            VK_LMENU,  VK_RMENU,  VK_LWIN,     VK_RWIN};
            for (int key : modifiers) held_ += ::GetAsyncKeyState(key) & 0x8000 ? 1 : 0;
        }
        ::SendInput(4, inputs_.data(), sizeof(INPUT));
    }

private:
    std::u16string text_;
    HWND owner_;
    std::array<INPUT, 4> inputs_{};
    int held_ = 0;
};

// Times one press and waits, untimed, until the sink has the keys.
template <typename Path>
double TimedPress(Path& path, KeySink& sink) {
    const int expected = sink.controlReleases + 1;
    Stopwatch watch;
    path.Press();
    const double elapsed = watch.Milliseconds();
    if (!testing::PumpUntil([&] { return sink.controlReleases >= expected; }, std::chrono::seconds(2))) {
        Note("a paste's keys did not reach the sink");
        sink.controlReleases = expected;
    }
    return elapsed;
}

void PasteFigures() {
    KeySink sink;
    sink.Focus();
    QuilldeckPath quilldeck;
    for (const std::size_t length : {std::size_t{255}, std::size_t{65536}}) {
        const std::string text = SampleText(length);
        quilldeck.Define(text);
        FloorPaste floor(quilldeck.codePage.ToUtf16(text), quilldeck.owner.Handle());
        FloorPaste floorAsking(quilldeck.codePage.ToUtf16(text), quilldeck.owner.Handle());
        floorAsking.askHeld = true;
        const int rounds = length > 1000 ? 60 : 200;
        std::vector<double> ours, floors, floorsAsking;
        for (int warm = 0; warm < 5; ++warm) {
            TimedPress(quilldeck, sink);
            TimedPress(floor, sink);
            TimedPress(floorAsking, sink);
        }
        // Each path in turn comes first in a round: what one press leaves
        // behind (the desktop taking over the clipboard) falls on all alike.
        for (int round = 0; round < rounds; ++round) {
            for (int turn = 0; turn < 3; ++turn) {
                switch ((round + turn) % 3) {
                    case 0: ours.push_back(TimedPress(quilldeck, sink)); break;
                    case 1: floors.push_back(TimedPress(floor, sink)); break;
                    default: floorsAsking.push_back(TimedPress(floorAsking, sink)); break;
                }
            }
        }
        const std::string size = std::to_string(length);
        Report("paste." + size + ".quilldeck", Median(ours), "ms");
        Report("paste." + size + ".floor", Median(floors), "ms");
        Report("paste." + size + ".floor-held", Median(floorsAsking), "ms");
    }
}

// The first press in a fresh process, then the second, for one path.
void FirstPress(bool ours) {
    KeySink sink;
    sink.Focus();
    QuilldeckPath quilldeck;
    const std::string text = SampleText(255);
    quilldeck.Define(text);
    FloorPaste floor(quilldeck.codePage.ToUtf16(text), quilldeck.owner.Handle());
    const std::string who = ours ? "quilldeck" : "floor";
    const auto press = [&] { return ours ? TimedPress(quilldeck, sink) : TimedPress(floor, sink); };
    Report("first." + who, press(), "ms");
    Report("second." + who, press(), "ms");
}


void MinimiseFigures() {
    testing::TempFolder appData;
    ::SetEnvironmentVariableA("APPDATA", appData.Path().c_str());
    KeySink sink;
    QuilldeckPath quilldeck;
    Win32FileSystem files;
    SettingsFile settings(files, quilldeck.codePage);
    bool startMinimize = false;
    settings.Load(quilldeck.table, startMinimize);
    // The full table: twenty active slots, each with a shortcut and 255 characters.
    const std::string text = SampleText(255);
    for (int row = 0; row < SlotCount; ++row) {
        quilldeck.table.CommitSlot(row, "Slot " + std::to_string(row + 1),
                                   static_cast<TShortCut>(CtrlShiftAlt | ('A' + row)), text, true);
    }
    settings.Save(quilldeck.table, startMinimize);
    const std::string bytes = testing::ReadFileBytes(settings.SettingsPath());
    const std::string floorFile = appData / "floor.ini";

    const auto floorMinimise = [&] {
        Stopwatch watch;
        HANDLE file = ::CreateFileA(floorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
        // Other combinations than the slots', which stay registered meanwhile.
        for (int id = 1; id <= SlotCount; ++id) ::RegisterHotKey(sink.Handle(), id, MOD_CONTROL | MOD_ALT, 'A' + id - 1);
        const double elapsed = watch.Milliseconds();
        for (int id = 1; id <= SlotCount; ++id) ::UnregisterHotKey(sink.Handle(), id);
        return elapsed;
    };
    // The floor again with every system call the program makes: the save
    // through a flushed temporary file that replaces the settings file, and
    // the clearing pass before the binding.
    const std::string sameCallsFile = appData / "same-calls.ini";
    const auto sameCallsMinimise = [&] {
        Stopwatch watch;
        ::CloseHandle(::CreateFileA(sameCallsFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        const std::string temporary = sameCallsFile + ".tmp";
        HANDLE file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::FlushFileBuffers(file);
        ::CloseHandle(file);
        ::MoveFileExA(temporary.c_str(), sameCallsFile.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        for (int id = 1; id <= SlotCount; ++id) ::UnregisterHotKey(sink.Handle(), id);
        for (int id = 1; id <= SlotCount; ++id) ::RegisterHotKey(sink.Handle(), id, MOD_CONTROL | MOD_ALT, 'A' + id - 1);
        return watch.Milliseconds();
    };
    const auto ourMinimise = [&] {
        Stopwatch watch;
        settings.Save(quilldeck.table, startMinimize);
        quilldeck.binding.ApplyAllSlots();
        return watch.Milliseconds();
    };
    std::vector<double> ours, floors, sameCalls;
    for (int warm = 0; warm < 3; ++warm) {
        ourMinimise();
        floorMinimise();
    }
    for (int round = 0; round < 40; ++round) {
        for (int turn = 0; turn < 3; ++turn) {
            switch ((round + turn) % 3) {
                case 0: ours.push_back(ourMinimise()); break;
                case 1: floors.push_back(floorMinimise()); break;
                default: sameCalls.push_back(sameCallsMinimise()); break;
            }
        }
    }
    for (int id = 1; id <= SlotCount; ++id) ::UnregisterHotKey(sink.Handle(), id);
    std::vector<double> saves, applies;
    for (int round = 0; round < 20; ++round) {
        Stopwatch watch;
        settings.Save(quilldeck.table, startMinimize);
        saves.push_back(watch.Milliseconds());
        watch.Restart();
        quilldeck.binding.ApplyAllSlots();
        applies.push_back(watch.Milliseconds());
    }
    std::vector<double> parses;
    for (int round = 0; round < 20; ++round) {
        Stopwatch watch;
        for (int row = 0; row < SlotCount; ++row) ParseShortcut(quilldeck.table.At(row).shortcut, quilldeck.keyNames);
        parses.push_back(watch.Milliseconds());
    }
    Report("minimise.parse", Median(parses), "ms");
    Report("minimise.save", Median(saves), "ms");
    Report("minimise.apply", Median(applies), "ms");
    Report("minimise.quilldeck", Median(ours), "ms");
    Report("minimise.floor", Median(floors), "ms");
    Report("minimise.floor-same-calls", Median(sameCalls), "ms");
    Report("minimise.bytes", static_cast<double>(bytes.size()), "B");
}

void LoadFigures() {
    testing::TempFolder appData;
    ::SetEnvironmentVariableA("APPDATA", appData.Path().c_str());
    Win32CodePage codePage;
    Win32KeyNames keyNames;
    Win32FileSystem files;
    SlotTable table(codePage, keyNames);
    SettingsFile settings(files, codePage);
    bool startMinimize = false;
    settings.Load(table, startMinimize);
    const std::string text = SampleText(65536);
    for (int row = 0; row < SlotCount; ++row) {
        table.CommitSlot(row, "Slot " + std::to_string(row + 1), static_cast<TShortCut>(CtrlShiftAlt | ('A' + row)),
                         text, true);
    }
    settings.Save(table, startMinimize);
    const std::string path = settings.SettingsPath();

    // The floors' read: the whole file in one call, nothing else.
    const auto readWhole = [&] {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        std::string bytes(::GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        ::CloseHandle(file);
        return bytes;
    };
    // The bytes are let go again, as the load lets go of the file's bytes
    // once it has the texts.
    const auto floorLoad = [&] {
        Stopwatch watch;
        readWhole();
        return watch.Milliseconds();
    };
    // The same read, and the bytes turned into UTF-16 in one call: the fresh
    // memory a table of UTF-16 texts needs, twice the file's size, without
    // the reading of lines and records.
    const auto floorLoadToUtf16 = [&] {
        Stopwatch watch;
        {
            const std::string bytes = readWhole();
            std::u16string units(bytes.size(), u'\0');
            ::MultiByteToWideChar(::GetACP(), 0, bytes.data(), static_cast<int>(bytes.size()),
                                  reinterpret_cast<wchar_t*>(units.data()), static_cast<int>(units.size()));
        }
        return watch.Milliseconds();
    };
    const auto ourLoad = [&] {
        SlotTable loaded(codePage, keyNames);
        SettingsFile reader(files, codePage);
        bool minimize = false;
        Stopwatch watch;
        reader.Load(loaded, minimize);
        const double elapsed = watch.Milliseconds();
        if (loaded.Text(19).size() != 65536) throw std::runtime_error("the load lost text");
        return elapsed;
    };
    std::vector<double> ours, floors, floorsToUtf16;
    for (int warm = 0; warm < 3; ++warm) {
        ourLoad();
        floorLoad();
        floorLoadToUtf16();
    }
    for (int round = 0; round < 30; ++round) {
        ours.push_back(ourLoad());
        floors.push_back(floorLoad());
        floorsToUtf16.push_back(floorLoadToUtf16());
    }
    std::vector<double> reads, decodes, conversions;
    for (int round = 0; round < 20; ++round) {
        Stopwatch watch;
        const std::optional<FileContent> content = files.ReadAll(path);
        reads.push_back(watch.Milliseconds());
        SlotTable decoded(codePage, keyNames);
        watch.Restart();
        DecodeSettings(content->bytes, decoded, codePage);
        decodes.push_back(watch.Milliseconds());
        watch.Restart();
        for (int row = 0; row < SlotCount; ++row) codePage.ToUtf16(text);
        conversions.push_back(watch.Milliseconds());
    }
    Report("load.read", Median(reads), "ms");
    Report("load.decode", Median(decodes), "ms");
    Report("load.decode.conversions", Median(conversions), "ms");
    Report("load.quilldeck", Median(ours), "ms");
    Report("load.floor", Median(floors), "ms");
    Report("load.floor-utf16", Median(floorsToUtf16), "ms");
    Report("load.bytes", static_cast<double>(testing::ReadFileBytes(path).size()), "B");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "paste") {
            PasteFigures();
        } else if (mode == "first-quilldeck" || mode == "first-floor") {
            FirstPress(mode == "first-quilldeck");
        } else if (mode == "minimise") {
            MinimiseFigures();
        } else if (mode == "load") {
            LoadFigures();
        } else {
            std::cerr << "usage: quilldeck_bench_inprocess paste|first-quilldeck|first-floor|minimise|load\n";
            return 2;
        }
    } catch (const std::exception& error) {
        std::cerr << "bench failed: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
