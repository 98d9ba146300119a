// Pastes with the modifier keys held in every way a user holds them: each
// hot key's modifiers on either side, the Windows key held before the hot key
// or pressed after it, the modifiers kept down through the paste or let go
// right after the key. Quilldeck.exe does the pasting; real keys come through
// the X server. tools/stress runs the long version (QUILLDECK_MODIFIER_PRESSES).
#include <iostream>
#include <sstream>

#include "ProgramFixture.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

enum Modifier : unsigned { Ctrl = 1, Alt = 2, Shift = 4 };

struct HotKeySlot {
    unsigned modifiers;
    const char* shortcutText;
    const char* keysym;
    UINT virtualKey;
    const char16_t* text;
};

// One slot for every set of modifiers a hot key can have.
const HotKeySlot Slots[] = {
    {Ctrl, "Ctrl+J", "j", 'J', u"{c}"},
    {Alt, "Alt+K", "k", 'K', u"{a}"},
    {Shift, "Shift+F9", "F9", VK_F9, u"{s}"},
    {Ctrl | Alt, "Ctrl+Alt+Q", "q", 'Q', u"{ca}"},
    {Ctrl | Shift, "Shift+Ctrl+Y", "y", 'Y', u"{cs}"},
    {Alt | Shift, "Shift+Alt+P", "p", 'P', u"{as}"},
    {Ctrl | Alt | Shift, "Shift+Ctrl+Alt+Z", "z", 'Z', u"{cas}"},
};

struct PhysicalKey {
    const char* keysym;
    int virtualKey;
};

// Each modifier's two keys, left first.
const PhysicalKey CtrlKeys[] = {{"Control_L", VK_LCONTROL}, {"Control_R", VK_RCONTROL}};
const PhysicalKey AltKeys[] = {{"Alt_L", VK_LMENU}, {"Alt_R", VK_RMENU}};
const PhysicalKey ShiftKeys[] = {{"Shift_L", VK_LSHIFT}, {"Shift_R", VK_RSHIFT}};
const PhysicalKey WinKeys[] = {{"Super_L", VK_LWIN}, {"Super_R", VK_RWIN}};

enum class WinKey { None, HeldBefore, PressedAfter };
enum class Release { AfterThePaste, RightAfterTheKey };

struct Press {
    const HotKeySlot* slot;
    std::vector<PhysicalKey> modifiers;
    WinKey winTiming;
    PhysicalKey win;
    Release release;

    // Win held before the hot key makes another combination: the system
    // reports no hot key and nothing is pasted.
    bool Pastes() const { return winTiming != WinKey::HeldBefore; }

    std::string Name() const {
        std::ostringstream name;
        if (winTiming == WinKey::HeldBefore) name << win.keysym << "+";
        for (const PhysicalKey& key : modifiers) name << key.keysym << "+";
        name << slot->keysym;
        if (winTiming == WinKey::PressedAfter) name << " then " << win.keysym;
        name << (release == Release::AfterThePaste ? ", held through the paste" : ", let go right after");
        return name.str();
    }
};

std::vector<Press> EveryCombination() {
    std::vector<Press> presses;
    for (const HotKeySlot& slot : Slots) {
        std::vector<const PhysicalKey*> sides;
        if (slot.modifiers & Ctrl) sides.push_back(CtrlKeys);
        if (slot.modifiers & Alt) sides.push_back(AltKeys);
        if (slot.modifiers & Shift) sides.push_back(ShiftKeys);
        for (unsigned sideBits = 0; sideBits < (1u << sides.size()); ++sideBits) {
            std::vector<PhysicalKey> modifiers;
            for (std::size_t i = 0; i < sides.size(); ++i) modifiers.push_back(sides[i][(sideBits >> i) & 1]);
            for (WinKey winTiming : {WinKey::None, WinKey::HeldBefore, WinKey::PressedAfter}) {
                for (int winSide = 0; winSide < (winTiming == WinKey::None ? 1 : 2); ++winSide) {
                    for (Release release : {Release::AfterThePaste, Release::RightAfterTheKey}) {
                        presses.push_back({&slot, modifiers, winTiming, WinKeys[winSide], release});
                    }
                }
            }
        }
    }
    return presses;
}

std::string SettingsWithSlots() {
    std::string settings = " \r\n";
    for (const HotKeySlot& slot : Slots) {
        std::string text;
        for (const char16_t* c = slot.text; *c != 0; ++c) text += static_cast<char>(*c);
        settings += std::string("1\r\nSlot\r\n") + slot.shortcutText + "\r\n[memo]\r\n" + text + "\r\n[/memo]\r\n\r\n";
    }
    return "#" + settings.substr(1);
}

bool Down(int key) { return (::GetAsyncKeyState(key) & 0x8000) != 0; }

// Keys whose logical state the paste could leave wrong.
const int WatchedKeys[] = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_LWIN,
                           VK_RWIN,   VK_SHIFT,  VK_CONTROL,  VK_MENU,    'V',      0xE8};

std::string KeyName(int key) {
    switch (key) {
        case VK_LSHIFT: return "Shift_L";
        case VK_RSHIFT: return "Shift_R";
        case VK_LCONTROL: return "Control_L";
        case VK_RCONTROL: return "Control_R";
        case VK_LMENU: return "Alt_L";
        case VK_RMENU: return "Alt_R";
        case VK_LWIN: return "Super_L";
        case VK_RWIN: return "Super_R";
        case VK_SHIFT: return "Shift";
        case VK_CONTROL: return "Ctrl";
        case VK_MENU: return "Alt";
        case VK_PAUSE: return "Pause";
        default: {
            if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
            char name[8];
            std::snprintf(name, sizeof(name), "0x%02X", key);
            return name;
        }
    }
}

// The keys whose logical state differs from what the user holds.
// While keys are held, only the side-blind state counts: the X server's right
// modifier keys show as both sides down under Wine.
std::string WrongKeys(const std::vector<int>& held, bool eachSide = true) {
    std::string wrong;
    const auto holds = [&](int key) {
        for (int h : held) {
            if (h == key) return true;
            if (key == VK_SHIFT && (h == VK_LSHIFT || h == VK_RSHIFT)) return true;
            if (key == VK_CONTROL && (h == VK_LCONTROL || h == VK_RCONTROL)) return true;
            if (key == VK_MENU && (h == VK_LMENU || h == VK_RMENU)) return true;
        }
        return false;
    };
    for (int key : WatchedKeys) {
        const bool oneSide = key == VK_LSHIFT || key == VK_RSHIFT || key == VK_LCONTROL || key == VK_RCONTROL ||
                             key == VK_LMENU || key == VK_RMENU;
        if (!eachSide && oneSide) continue;
        if (!eachSide && (key == VK_LWIN || key == VK_RWIN)) {
            const bool winHeld = holds(VK_LWIN) || holds(VK_RWIN);
            if (key == VK_LWIN && (Down(VK_LWIN) || Down(VK_RWIN)) != winHeld) wrong += std::string("Win ") + (winHeld ? "up " : "down ");
            continue;
        }
        if (Down(key) != holds(key)) wrong += KeyName(key) + (Down(key) ? " down " : " up ");
    }
    return wrong;
}

// A pasted text with its control characters shown as codes.
std::string Printable(const std::u16string& text) {
    std::string shown;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            char code[12];
            std::snprintf(code, sizeof(code), "<%04X>", static_cast<unsigned>(c));
            shown += code;
        }
    }
    return shown;
}

int PressCount() {
    const char* configured = std::getenv("QUILLDECK_MODIFIER_PRESSES");
    return configured != nullptr ? std::atoi(configured) : 80;
}

class ModifierPasteTest : public ProgramFixture {
protected:
    void TearDown() override { ReleaseEveryModifier(); }

    void ReleaseEveryModifier() const { input.KeyUp("Control_L Control_R Alt_L Alt_R Shift_L Shift_R Super_L Super_R"); }
};

TEST_F(ModifierPasteTest, EveryPasteIsExactlyCtrlVAndLeavesOnlyTheUsersKeysDown) {
    QuilldeckProgram quilldeck(SettingsWithSlots());
    ASSERT_TRUE(InTray(quilldeck));
    PasteTarget target;
    const std::vector<Press> combinations = EveryCombination();
    const int presses = PressCount();

    int pastes = 0, misses = 0, stuck = 0, unexpected = 0, menus = 0;
    std::vector<std::string> faults;
    // What went wrong, with the key messages the target got, for the first few.
    const auto fault = [&](const Press& press, const std::string& what) {
        if (faults.size() >= 20) return;
        std::string received;
        for (const ReceivedKey& key : target.keys) {
            const bool down = key.message == WM_KEYDOWN || key.message == WM_SYSKEYDOWN;
            received += " " + KeyName(static_cast<int>(key.virtualKey)) + (down ? "+" : "-");
        }
        faults.push_back(press.Name() + ": " + what + "\n    keys:" + received);
    };

    for (int i = 0; i < presses; ++i) {
        // A step coprime with the count of combinations visits each once per round, in a mixed order.
        const Press& press = combinations[(static_cast<std::size_t>(i) * 97) % combinations.size()];
        if (::GetForegroundWindow() != target.Handle() || ::GetFocus() != target.Edit()) target.Focus();
        target.Clear();

        std::string pressed;
        std::vector<int> held;
        if (press.winTiming == WinKey::HeldBefore) {
            pressed += std::string(" ") + press.win.keysym;
            held.push_back(press.win.virtualKey);
        }
        for (const PhysicalKey& key : press.modifiers) pressed += std::string(" ") + key.keysym;
        pressed += std::string(" ") + press.slot->keysym;
        if (press.winTiming == WinKey::PressedAfter) {
            pressed += std::string(" ") + press.win.keysym;
            held.push_back(press.win.virtualKey);
        }
        InputSteps down;
        down.KeyDown(pressed);
        if (press.release == Release::RightAfterTheKey) {
            std::string modifiers;
            for (const PhysicalKey& key : press.modifiers) modifiers += std::string(" ") + key.keysym;
            down.KeyUp(modifiers);
        } else {
            for (const PhysicalKey& key : press.modifiers) held.push_back(key.virtualKey);
        }
        std::string released = std::string(" ") + press.slot->keysym;
        for (int h : held) {
            for (const PhysicalKey* keys : {CtrlKeys, AltKeys, ShiftKeys, WinKeys}) {
                for (int side = 0; side < 2; ++side) {
                    if (keys[side].virtualKey == h) released += std::string(" ") + keys[side].keysym;
                }
            }
        }
        // Pause does nothing in the edit: once it arrives, every key before it has.
        InputSteps up;
        up.KeyUp(released).Key("Pause");

        ASSERT_TRUE(input.Run(down)) << down.Arguments();
        const std::u16string expected = press.Pastes() ? press.slot->text : u"";
        if (press.Pastes()) {
            PumpUntil([&] { return target.Text() == expected; }, 5s);
            // The paste's own keys are all in once its handler has returned.
            quilldeck.Settle();
            if (press.release == Release::AfterThePaste) {
                const std::string wrong = WrongKeys(held, false);
                if (!wrong.empty()) {
                    ++stuck;
                    fault(press, "while held: " + wrong);
                }
            }
        }
        ASSERT_TRUE(input.Run(up)) << up.Arguments();
        const bool pauseSeen = PumpUntil(
            [&] {
                for (const ReceivedKey& key : target.keys) {
                    if (key.virtualKey == VK_PAUSE && (key.message == WM_KEYUP || key.message == WM_SYSKEYUP)) {
                        return true;
                    }
                }
                return false;
            },
            5s);
        quilldeck.Settle();
        if (!pauseSeen) fault(press, "the marker key never arrived");

        const auto vDowns = target.KeyDowns('V');
        bool exactCtrlV = vDowns.size() == (press.Pastes() ? 1u : 0u);
        for (const ReceivedKey& v : vDowns) exactCtrlV = exactCtrlV && v.ctrl && !v.alt && !v.shift && !v.win;
        if (press.Pastes()) {
            if (target.Text() == expected && exactCtrlV) {
                ++pastes;
            } else {
                ++misses;
                fault(press, "pasted \"" + Printable(target.Text()) + "\" with " +
                                 std::to_string(vDowns.size()) + " V");
            }
            if (target.menuOpenings != 0) {
                ++menus;
                fault(press, "a menu opened");
            }
        } else if (!vDowns.empty() || target.Text().find(press.slot->text) != std::u16string::npos) {
            ++unexpected;
            fault(press, "pasted although Win was held");
        }
        const std::string wrong = WrongKeys({});
        if (!wrong.empty()) {
            ++stuck;
            fault(press, "after release: " + wrong);
            ReleaseEveryModifier();
        }
    }

    std::cout << "presses " << presses << " (" << combinations.size() << " combinations)\n"
              << "| pastes | misses | stuck keys | pastes with Win held | menus opened |\n"
              << "| " << pastes << " | " << misses << " | " << stuck << " | " << unexpected << " | " << menus
              << " |\n";
    for (const std::string& line : faults) std::cout << "  " << line << "\n";
    RecordProperty("presses", presses);
    RecordProperty("pastes", pastes);
    RecordProperty("misses", misses);
    RecordProperty("stuck", stuck);
    EXPECT_EQ(misses, 0);
    EXPECT_EQ(stuck, 0);
    EXPECT_EQ(unexpected, 0);
    EXPECT_EQ(menus, 0);
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

}  // namespace
}  // namespace quilldeck
