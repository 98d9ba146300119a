#pragma once

#include <array>
#include <memory>

#include "DesktopFixture.h"
#include "hotkeys/PasteAction.h"
#include "hotkeys/SlotHotKeys.h"
#include "slots/win32/Win32Platform.h"

namespace quilldeck::testing {

class ClipboardOwnerWindow : public win::Window {
public:
    ClipboardOwnerWindow() { Create("QuilldeckTestOwner", 0, WS_POPUP, "owner", 0, 0, 0, 0, nullptr, nullptr); }
};

// The hot key path as the program builds it, pasting into a target window.
class SlotsFixture : public ::testing::Test {
protected:
    SlotsFixture() {
        for (int n = 1; n <= SlotCount; ++n) {
            carriers[n - 1].name = "F" + std::to_string(n);
            carriers[n - 1].caption = "<Not define>";
            carriers[n - 1].visible = false;
        }
    }

    void SetUp() override { target.Focus(); }

    void TearDown() override {
        // Keys of a failed test must not stay down for the next one.
        input.KeyUp("ctrl alt shift super");
        for (const MessageBoxView& box : answerer->Seen()) {
            if (box.text != expectedBoxText) ADD_FAILURE() << "unexpected box: " << box.text;
        }
    }

    void Define(int slot, TShortCut shortcut, const std::string& text, bool active = true) {
        table.CommitSlot(slot - 1, "Slot " + std::to_string(slot), shortcut, text, active);
    }

    // Presses keys and waits until the target holds the text.
    ::testing::AssertionResult PastesInto(const std::string& keys, const std::u16string& expected) {
        target.Clear();
        if (!input.Key(keys)) return ::testing::AssertionFailure() << "xdotool";
        if (PumpUntil([&] { return target.Text() == expected; }, std::chrono::seconds(5))) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << keys << " pasted \"" << Narrow(target.Text()) << "\"";
    }

    static std::string Narrow(const std::u16string& text) { return codePage.FromUtf16(text); }

    const InputDriver input;
    static inline const Win32CodePage codePage;
    Win32KeyNames keyNames;
    SlotTable table{codePage, keyNames};
    std::array<win::MenuItem, SlotCount> carriers;
    RecordingRegistrar registrar;
    Win32Keyboard keyboard;
    Win32Clipboard clipboard;
    PasteTarget target;
    // The program opens the clipboard for a hidden window of its own.
    ClipboardOwnerWindow clipboardOwner;
    PasteAction paste{codePage, keyboard, clipboard, clipboardOwner.Handle()};
    SlotHotKeys binding{table, carriers, codePage, keyNames, registrar, paste};
    std::unique_ptr<BoxAnswerer> answerer = std::make_unique<BoxAnswerer>();
    std::string expectedBoxText = "no box expected";
};

}  // namespace quilldeck::testing
