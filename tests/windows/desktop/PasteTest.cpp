#include <cstdlib>
#include <iostream>

#include "SlotsFixture.h"

namespace quilldeck {
namespace {

using namespace testing;

constexpr TShortCut CtrlAltG = 0xC047;
constexpr TShortCut ShiftAltP = 0xA050;
constexpr TShortCut CtrlShiftY = 0x6059;
constexpr TShortCut CtrlAltE = 0xC045;
constexpr TShortCut CtrlAltM = 0xC04D;

bool Down(int key) { return (::GetAsyncKeyState(key) & 0x8000) != 0; }

class PasteTest : public SlotsFixture {};

TEST_F(PasteTest, TheTextArrivesWithItsLineBreaksAsOneCtrlV) {
    Define(1, CtrlAltG, "Hello,\r\nWorld \xE9\x80");
    binding.ApplyAllSlots();

    ASSERT_TRUE(PastesInto("ctrl+alt+g", u"Hello,\r\nWorld \u00E9\u20AC"));
    const auto vDowns = target.KeyDowns('V');
    ASSERT_EQ(vDowns.size(), 1u);
    EXPECT_TRUE(vDowns[0].ctrl);
    EXPECT_FALSE(vDowns[0].alt);
    EXPECT_FALSE(vDowns[0].shift);
    EXPECT_EQ(target.menuOpenings, 0);
    EXPECT_FALSE(Down(VK_CONTROL));
    EXPECT_FALSE(Down('V'));
}

TEST_F(PasteTest, TheClipboardHoldsOneUnicodeTextBlockOfTheTextAndItsZero) {
    Define(1, CtrlAltG, "abc\r\nd");
    binding.ApplyAllSlots();
    ASSERT_TRUE(PastesInto("ctrl+alt+g", u"abc\r\nd"));

    EXPECT_EQ(ClipboardText(), u"abc\r\nd");
    EXPECT_EQ(ClipboardTextBlockSize(), 2u * (6 + 1));
    const std::vector<UINT> formats = ClipboardFormats();
    ASSERT_FALSE(formats.empty());
    EXPECT_EQ(formats.front(), static_cast<UINT>(CF_UNICODETEXT));
    // Anything else listed is what the system derives from Unicode text itself.
    for (UINT format : formats) {
        EXPECT_TRUE(format == CF_UNICODETEXT || format == CF_TEXT || format == CF_OEMTEXT || format == CF_LOCALE)
            << format;
    }
    // Other programs read it too; X shows CR LF as LF.
    EXPECT_EQ(UnixOutput("xclip -o -selection clipboard"), "abc\nd");
}

TEST_F(PasteTest, ABlockForAnEmptyTextHoldsOneZero) {
    PutTextOnClipboard(u"", target.Handle());
    EXPECT_EQ(ClipboardText(), u"");
    EXPECT_EQ(ClipboardTextBlockSize(), 2u);
}

// The user still holds Ctrl and Alt of the hot key while the paste happens.
TEST_F(PasteTest, AHeldCtrlAltHotKeyStillGivesPlainCtrlVAndOpensNoMenu) {
    Define(1, CtrlAltG, "held");
    binding.ApplyAllSlots();
    target.Clear();

    EXPECT_TRUE(input.KeyDown("ctrl+alt+g"));
    ASSERT_TRUE(PumpUntil([&] { return target.Text() == u"held"; }, std::chrono::seconds(5)));
    PumpFor(std::chrono::milliseconds(100));
    // The user's keys are still down, and nothing else is.
    EXPECT_TRUE(Down(VK_CONTROL));
    EXPECT_TRUE(Down(VK_MENU));
    EXPECT_FALSE(Down(VK_SHIFT));
    EXPECT_FALSE(Down('V'));

    // Pressed again while Ctrl and Alt stay down: the paste repeats.
    EXPECT_TRUE(input.Run(InputSteps().KeyUp("g").Key("g")));
    ASSERT_TRUE(PumpUntil([&] { return target.Text() == u"heldheld"; }, std::chrono::seconds(5)));
    EXPECT_TRUE(input.KeyUp("alt ctrl"));
    PumpFor(std::chrono::milliseconds(300));

    const auto vDowns = target.KeyDowns('V');
    ASSERT_EQ(vDowns.size(), 2u);
    for (const ReceivedKey& v : vDowns) {
        EXPECT_TRUE(v.ctrl);
        EXPECT_FALSE(v.alt);
        EXPECT_FALSE(v.shift);
    }
    EXPECT_EQ(target.menuOpenings, 0);
    EXPECT_FALSE(Down(VK_CONTROL));
    EXPECT_FALSE(Down(VK_MENU));
}

TEST_F(PasteTest, AHotKeyWithoutCtrlLeavesNoCtrlBehind) {
    Define(2, ShiftAltP, "no ctrl");
    binding.ApplyAllSlots();
    target.Clear();

    EXPECT_TRUE(input.KeyDown("shift+alt+p"));
    ASSERT_TRUE(PumpUntil([&] { return target.Text() == u"no ctrl"; }, std::chrono::seconds(5)));
    PumpFor(std::chrono::milliseconds(100));
    EXPECT_FALSE(Down(VK_CONTROL));
    EXPECT_TRUE(Down(VK_SHIFT));
    EXPECT_TRUE(Down(VK_MENU));
    EXPECT_TRUE(input.KeyUp("p alt shift"));
    PumpFor(std::chrono::milliseconds(300));

    const auto vDowns = target.KeyDowns('V');
    ASSERT_EQ(vDowns.size(), 1u);
    EXPECT_TRUE(vDowns[0].ctrl);
    EXPECT_FALSE(vDowns[0].alt);
    EXPECT_FALSE(vDowns[0].shift);
    EXPECT_EQ(target.menuOpenings, 0);
    EXPECT_FALSE(Down(VK_CONTROL));
    EXPECT_FALSE(Down(VK_SHIFT));
    EXPECT_FALSE(Down(VK_MENU));
}

TEST_F(PasteTest, AHeldCtrlShiftHotKeyPastesWithoutShift) {
    Define(3, CtrlShiftY, "upper");
    binding.ApplyAllSlots();
    target.Clear();

    EXPECT_TRUE(input.KeyDown("ctrl+shift+y"));
    ASSERT_TRUE(PumpUntil([&] { return target.Text() == u"upper"; }, std::chrono::seconds(5)));
    PumpFor(std::chrono::milliseconds(100));
    EXPECT_TRUE(Down(VK_CONTROL));
    EXPECT_TRUE(Down(VK_SHIFT));
    EXPECT_TRUE(input.KeyUp("y shift ctrl"));
    PumpFor(std::chrono::milliseconds(200));

    const auto vDowns = target.KeyDowns('V');
    ASSERT_EQ(vDowns.size(), 1u);
    EXPECT_TRUE(vDowns[0].ctrl);
    EXPECT_FALSE(vDowns[0].shift);
    EXPECT_FALSE(Down(VK_CONTROL));
    EXPECT_FALSE(Down(VK_SHIFT));
}

TEST_F(PasteTest, AnEmptyTextLeavesClipboardAndKeyboardUntouched) {
    Define(4, CtrlAltE, "");
    binding.ApplyAllSlots();
    PutTextOnClipboard(u"sentinel", target.Handle());
    // A hot key of our own, pressed after, tells when the first press was handled.
    Win32HotKeyRegistrar plain;
    TGlobalHotKey marker(plain);
    bool markerPressed = false;
    marker.OnKeyDown = [&](TGlobalHotKey&, std::uint16_t&, TShiftState) { markerPressed = true; };
    marker.SetHotKey(CtrlAltM);
    target.Clear();

    EXPECT_TRUE(input.Key("ctrl+alt+e ctrl+alt+m"));
    ASSERT_TRUE(PumpUntil([&] { return markerPressed; }));
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_TRUE(target.KeyDowns('V').empty());
    EXPECT_EQ(target.Text(), u"");
    EXPECT_EQ(ClipboardText(), u"sentinel");
    // The combination is still held for the slot.
    EXPECT_FALSE(CombinationIsFree(MOD_CONTROL | MOD_ALT, 'E'));
}

TEST_F(PasteTest, AClipboardHeldByAnotherProgramIsReportedAndNothingIsTyped) {
    Define(1, CtrlAltG, "blocked");
    binding.ApplyAllSlots();
    PutTextOnClipboard(u"sentinel", target.Handle());
    target.Clear();
    expectedBoxText = "Cannot open clipboard.";
    {
        ClipboardHolder holder(3000);
        ASSERT_TRUE(holder.WaitUntilHeld());
        EXPECT_TRUE(input.Key("ctrl+alt+g"));
        ASSERT_TRUE(PumpUntil([&] { return !answerer->Seen().empty(); }));
        const MessageBoxView box = answerer->Seen().front();
        EXPECT_EQ(box.caption, "Quilldeck");
        EXPECT_EQ(box.text, "Cannot open clipboard.");
        EXPECT_TRUE(box.hasIcon);
        EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
        EXPECT_EQ(holder.WaitForRelease(std::chrono::seconds(10)), 0u);
    }
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_TRUE(target.KeyDowns('V').empty());
    EXPECT_EQ(target.Text(), u"");
    EXPECT_EQ(ClipboardText(), u"sentinel");

    // Once the other program lets go, the next press pastes.
    target.Focus();
    EXPECT_TRUE(PastesInto("ctrl+alt+g", u"blocked"));
    EXPECT_EQ(answerer->Seen().size(), 1u);
}

TEST_F(PasteTest, HoldingTheHotKeyPastesAgainWithEveryAutoRepeat) {
    Define(1, CtrlAltG, "r");
    binding.ApplyAllSlots();
    target.Clear();
    AutoRepeat repeat(true);

    EXPECT_TRUE(input.KeyDown("ctrl+alt+g"));
    const bool repeated = PumpUntil([&] { return target.Text().size() >= 4; }, std::chrono::seconds(5));
    EXPECT_TRUE(input.KeyUp("g alt ctrl"));
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_TRUE(repeated) << "pasted \"" << Narrow(target.Text()) << "\"";
    EXPECT_EQ(target.Text(), std::u16string(target.Text().size(), u'r'));
    EXPECT_EQ(target.menuOpenings, 0);
    EXPECT_FALSE(Down(VK_CONTROL));
    EXPECT_FALSE(Down(VK_MENU));
}

// Auto-repeat keeps pressing while the first error is on screen: the user gets
// one box to answer, not a pile of them.
TEST_F(PasteTest, AHeldHotKeyOnABlockedClipboardShowsOneBoxAtATime) {
    Define(1, CtrlAltG, "blocked");
    binding.ApplyAllSlots();
    answerer = std::make_unique<BoxAnswerer>(std::chrono::milliseconds(1500));
    expectedBoxText = "Cannot open clipboard.";
    ClipboardHolder holder(4000);
    ASSERT_TRUE(holder.WaitUntilHeld());
    AutoRepeat repeat(true);

    EXPECT_TRUE(input.KeyDown("ctrl+alt+g"));
    PumpFor(std::chrono::milliseconds(2500));
    EXPECT_TRUE(input.KeyUp("g alt ctrl"));
    EXPECT_EQ(holder.WaitForRelease(std::chrono::seconds(10)), 0u);
    PumpFor(std::chrono::milliseconds(500));
    std::cout << "| held 4000 ms, hot key held with auto-repeat | boxes " << answerer->Seen().size()
              << " | most open at once " << answerer->MostOpenAtOnce() << " |\n";
    EXPECT_FALSE(answerer->Seen().empty());
    EXPECT_EQ(answerer->MostOpenAtOnce(), 1u);
}

TEST_F(PasteTest, AClipboardHeldForAMomentIsWaitedFor) {
    PutTextOnClipboard(u"sentinel", target.Handle());
    ClipboardHolder holder(15);
    ASSERT_TRUE(holder.WaitUntilHeld());
    EXPECT_NO_THROW(PutTextOnClipboard(u"after the moment", target.Handle()));
    EXPECT_EQ(holder.WaitForRelease(std::chrono::seconds(10)), 0u);
    EXPECT_EQ(ClipboardText(), u"after the moment");
}


// Another program holds the clipboard for a while when a press comes. A
// moment (a clipboard tool reading what changed) is waited for and the
// paste goes on; a long hold is reported and nothing is typed. The short
// holds are timed to the millisecond, so the press is the message the system
// posts for it, sent as soon as the clipboard is held; the long one is a key.
struct ClipboardHold {
    int milliseconds;
    bool pastes;
};

class ClipboardHoldTest : public PasteTest, public ::testing::WithParamInterface<ClipboardHold> {
protected:
    static int Repeats() {
        const char* configured = std::getenv("QUILLDECK_CLIPBOARD_HOLDS");
        return configured != nullptr ? std::atoi(configured) : 1;
    }
};

TEST_P(ClipboardHoldTest, AShortHoldIsWaitedForAndALongOneIsReported) {
    const ClipboardHold hold = GetParam();
    Define(1, CtrlAltG, "after the hold");
    binding.ApplyAllSlots();
    if (!hold.pastes) expectedBoxText = "Cannot open clipboard.";
    const int repeats = Repeats();
    int pasted = 0, reported = 0, pressedWhileHeld = 0;
    long longestWait = 0;

    for (int round = 0; round < repeats; ++round) {
        PutTextOnClipboard(u"sentinel", target.Handle());
        target.Focus();
        target.Clear();
        const std::size_t boxesBefore = answerer->Seen().size();
        ClipboardHolder holder(hold.milliseconds);
        ASSERT_TRUE(holder.WaitUntilHeld());
        const auto pressed = std::chrono::steady_clock::now();
        if (hold.pastes) {
            ::PostMessageA(binding.GlobalHotKey(1).MessageWindow(), WM_HOTKEY, binding.GlobalHotKey(1).Identifier(),
                           MAKELPARAM(MOD_CONTROL | MOD_ALT, 'G'));
            if (!holder.WaitForRelease(std::chrono::milliseconds(0))) ++pressedWhileHeld;
            if (PumpUntil([&] { return target.Text() == u"after the hold"; }, std::chrono::seconds(5))) ++pasted;
            longestWait = std::max<long>(longestWait, static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                                            std::chrono::steady_clock::now() - pressed)
                                                                            .count()));
            EXPECT_EQ(ClipboardText(), u"after the hold");
        } else {
            EXPECT_TRUE(input.Key("ctrl+alt+g"));
            if (PumpUntil([&] { return answerer->Seen().size() > boxesBefore; })) ++reported;
            if (!holder.WaitForRelease(std::chrono::milliseconds(0))) ++pressedWhileHeld;
        }
        EXPECT_EQ(holder.WaitForRelease(std::chrono::seconds(10)), 0u);
        if (!hold.pastes) {
            // The box is answered; whatever the press would have typed has come by now.
            ASSERT_TRUE(PumpUntil([&] { return FindMessageBox(::GetCurrentProcessId(), std::chrono::milliseconds(0)) ==
                                               std::nullopt; }));
            PumpFor(std::chrono::milliseconds(200));
            EXPECT_EQ(target.Text(), u"");
            EXPECT_TRUE(target.KeyDowns('V').empty());
            EXPECT_EQ(ClipboardText(), u"sentinel");
        }
        EXPECT_FALSE(Down(VK_CONTROL));
        EXPECT_FALSE(Down(VK_MENU));
    }

    std::cout << "| held " << hold.milliseconds << " ms | presses " << repeats << " | while held "
              << pressedWhileHeld << " | pasted " << pasted << " | reported " << reported;
    if (hold.pastes) std::cout << " | longest wait " << longestWait << " ms";
    std::cout << " |\n";
    RecordProperty("pasted", pasted);
    RecordProperty("reported", reported);
    EXPECT_EQ(pressedWhileHeld, repeats) << "the press came after the hold: nothing was tested";
    EXPECT_EQ(pasted, hold.pastes ? repeats : 0);
    EXPECT_EQ(reported, hold.pastes ? 0 : repeats);
    for (const MessageBoxView& box : answerer->Seen()) EXPECT_EQ(box.text, "Cannot open clipboard.");
}

INSTANTIATE_TEST_SUITE_P(Holds, ClipboardHoldTest,
                         ::testing::Values(ClipboardHold{10, true}, ClipboardHold{40, true},
                                           ClipboardHold{2000, false}));

}  // namespace
}  // namespace quilldeck
