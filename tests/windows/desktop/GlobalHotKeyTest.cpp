#include <stdexcept>

#include "DesktopFixture.h"
#include "hotkeys/GlobalHotKey.h"

namespace quilldeck {
namespace {

using namespace testing;

constexpr TShortCut CtrlAltF7 = 0xC076;
constexpr TShortCut CtrlAltF8 = 0xC077;
// Ctrl+Alt+F5 is a console switch to the X server, so presses use Shift.
constexpr TShortCut ShiftCtrlF5 = 0x6074;
constexpr UINT CtrlAlt = MOD_CONTROL | MOD_ALT;

std::string AtomName(const TGlobalHotKey& key) {
    return std::to_string(reinterpret_cast<std::intptr_t>(&key));
}

TEST(GlobalHotKeyTest, ANewComponentIsActiveAndRegistersNothing) {
    RecordingRegistrar registrar;
    TGlobalHotKey key(registrar);
    EXPECT_TRUE(key.Active());
    EXPECT_EQ(key.HotKey(), 0);
    EXPECT_TRUE(registrar.calls.empty());
    EXPECT_NE(key.MessageWindow(), nullptr);
    EXPECT_FALSE(::IsWindowVisible(key.MessageWindow()));
    EXPECT_EQ(::GlobalFindAtomA(AtomName(key).c_str()), key.Identifier());
}

TEST(GlobalHotKeyTest, RegistrationIsHeldExactlyWhileActiveWithAHotKey) {
    RecordingRegistrar registrar;
    TGlobalHotKey key(registrar);
    ASSERT_TRUE(CombinationIsFree(CtrlAlt, VK_F7));

    key.SetHotKey(CtrlAltF7);
    ASSERT_EQ(registrar.calls.size(), 1u);
    EXPECT_TRUE(registrar.calls[0].registering);
    EXPECT_EQ(registrar.calls[0].window, key.MessageWindow());
    EXPECT_EQ(registrar.calls[0].identifier, key.Identifier());
    EXPECT_EQ(registrar.calls[0].modifiers, CtrlAlt);
    EXPECT_EQ(registrar.calls[0].virtualKey, static_cast<UINT>(VK_F7));
    EXPECT_FALSE(CombinationIsFree(CtrlAlt, VK_F7));

    // Writing what is already held asks nothing of the system.
    key.SetHotKey(CtrlAltF7);
    key.SetActive(true);
    EXPECT_EQ(registrar.calls.size(), 1u);

    key.SetActive(false);
    EXPECT_TRUE(CombinationIsFree(CtrlAlt, VK_F7));
    key.SetActive(false);
    key.SetHotKey(CtrlAltF8);  // only stored while inactive
    EXPECT_EQ(registrar.calls.size(), 2u);
    EXPECT_TRUE(CombinationIsFree(CtrlAlt, VK_F8));

    key.SetActive(true);
    EXPECT_FALSE(CombinationIsFree(CtrlAlt, VK_F8));
    key.SetHotKey(0);
    EXPECT_TRUE(CombinationIsFree(CtrlAlt, VK_F8));
    EXPECT_EQ(registrar.calls.size(), 4u);

    // With no hot key, switching asks nothing of the system.
    key.SetActive(false);
    key.SetActive(true);
    EXPECT_EQ(registrar.calls.size(), 4u);
    EXPECT_EQ(registrar.Registrations(), 2);
}

TEST(GlobalHotKeyTest, DestructionReleasesTheCombinationAndTheIdentifier) {
    RecordingRegistrar registrar;
    std::string atomName;
    HWND window = nullptr;
    {
        TGlobalHotKey key(registrar);
        key.SetHotKey(CtrlAltF7);
        atomName = AtomName(key);
        window = key.MessageWindow();
        ASSERT_FALSE(CombinationIsFree(CtrlAlt, VK_F7));
    }
    EXPECT_TRUE(CombinationIsFree(CtrlAlt, VK_F7));
    EXPECT_EQ(::GlobalFindAtomA(atomName.c_str()), 0);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(registrar.calls.back().registering);
}

TEST(GlobalHotKeyTest, ARealPressReportsKeyAndShiftFromTheStoredValue) {
    Win32HotKeyRegistrar registrar;
    TGlobalHotKey key(registrar);
    key.SetHotKey(ShiftCtrlF5);
    TGlobalHotKey* sender = nullptr;
    std::uint16_t reportedKey = 0;
    TShiftState reportedShift = 0;
    int presses = 0;
    key.OnKeyDown = [&](TGlobalHotKey& source, std::uint16_t& pressedKey, TShiftState shift) {
        sender = &source;
        reportedKey = pressedKey;
        reportedShift = shift;
        ++presses;
    };
    const InputDriver input;
    PasteTarget focus;
    focus.Focus();

    EXPECT_TRUE(input.Key("shift+ctrl+F5"));
    ASSERT_TRUE(PumpUntil([&] { return presses == 1; }));
    EXPECT_EQ(sender, &key);
    EXPECT_EQ(reportedKey, VK_F5);
    EXPECT_EQ(reportedShift, ssShift | ssCtrl);
    // The focused window never sees the combination.
    EXPECT_TRUE(focus.KeyDowns(VK_F5).empty());
}

TEST(GlobalHotKeyTest, AnErrorOfTheHandlerIsShownAndTheNextPressWorks) {
    Win32HotKeyRegistrar registrar;
    TGlobalHotKey key(registrar);
    key.SetHotKey(ShiftCtrlF5);
    int presses = 0;
    key.OnKeyDown = [&](TGlobalHotKey&, std::uint16_t&, TShiftState) {
        if (++presses == 1) throw std::runtime_error("The snippet went astray");
    };
    const InputDriver input;
    PasteTarget focus;
    focus.Focus();
    BoxAnswerer answerer;

    EXPECT_TRUE(input.Key("shift+ctrl+F5"));
    ASSERT_TRUE(PumpUntil([&] { return !answerer.Seen().empty(); }));
    const MessageBoxView box = answerer.Seen().front();
    EXPECT_EQ(box.caption, "Quilldeck");
    EXPECT_EQ(box.text, "The snippet went astray.");
    EXPECT_TRUE(box.hasIcon);
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});

    PumpFor(std::chrono::milliseconds(200));
    focus.Focus();
    EXPECT_TRUE(input.Key("shift+ctrl+F5"));
    ASSERT_TRUE(PumpUntil([&] { return presses == 2; }));
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(key.HotKey(), ShiftCtrlF5);
    EXPECT_TRUE(key.Active());
}

}  // namespace
}  // namespace quilldeck
