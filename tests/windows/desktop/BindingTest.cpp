#include "SlotsFixture.h"

namespace quilldeck {
namespace {

using namespace testing;

constexpr TShortCut CtrlAltD = 0xC044;
constexpr TShortCut CtrlAlt1 = 0xC031;
constexpr TShortCut CtrlAlt2 = 0xC032;
constexpr TShortCut CtrlAltF9 = 0xC078;
constexpr TShortCut CtrlAltF10 = 0xC079;
constexpr UINT CtrlAlt = MOD_CONTROL | MOD_ALT;

class BindingTest : public SlotsFixture {};

// Counts the conversions to UTF-16, to tell when they happen.
class CountingCodePage final : public CodePage {
public:
    std::u16string ToUtf16(std::string_view text) const override {
        ++conversionsToUtf16;
        return system.ToUtf16(text);
    }
    std::string FromUtf16(std::u16string_view text) const override { return system.FromUtf16(text); }
    bool IsLeadByte(unsigned char byte) const override { return system.IsLeadByte(byte); }

    mutable int conversionsToUtf16 = 0;

private:
    Win32CodePage system;
};

TEST_F(BindingTest, ApplyCopiesEachSlotOntoItsCarrierAndHotKey) {
    Define(1, CtrlAltD, "Caf\xE9 \x80\r\nline", true);
    Define(7, CtrlAltF9, "seven", false);
    binding.ApplyAllSlots();

    EXPECT_EQ(carriers[0].caption, "Slot 1");
    EXPECT_EQ(carriers[0].shortCut, CtrlAltD);
    EXPECT_EQ(carriers[0].hint, "Caf\xE9 \x80\r\nline");
    EXPECT_FALSE(carriers[0].visible);
    EXPECT_EQ(binding.GlobalHotKey(1).HotKey(), CtrlAltD);
    EXPECT_TRUE(binding.GlobalHotKey(1).Active());
    EXPECT_EQ(binding.GlobalHotKey(7).HotKey(), CtrlAltF9);
    EXPECT_FALSE(binding.GlobalHotKey(7).Active());
    EXPECT_EQ(carriers[1].caption, "<Not Define>");
    EXPECT_EQ(carriers[1].hint, "");
    for (int n = 1; n <= SlotCount; ++n) EXPECT_EQ(binding.GlobalHotKey(n).Tag, n);
}

TEST_F(BindingTest, InactiveSlotsAndSlotsWithoutAKeyRegisterNothing) {
    table.Store(0, {true, "none", "None"}, u"a");
    table.Store(1, {false, "inactive", "Ctrl+Alt+F9"}, u"b");
    table.Store(2, {true, "unknown key", "Hyper+Q"}, u"c");
    table.Store(3, {true, "registered", "Ctrl+Alt+F10"}, u"d");
    binding.ApplyAllSlots();

    // Texts that name no key give no combination at all.
    EXPECT_EQ(binding.GlobalHotKey(1).HotKey(), 0);
    EXPECT_EQ(binding.GlobalHotKey(3).HotKey(), 0);
    EXPECT_TRUE(CombinationIsFree(CtrlAlt, VK_F9));
    EXPECT_FALSE(CombinationIsFree(CtrlAlt, VK_F10));
}

// The paste presses Ctrl+V and the modifier keys itself: a slot with such a
// shortcut keeps it but is never bound, so no press sets off the paste from
// within the paste.
TEST_F(BindingTest, AShortcutThePasteItselfPressesIsKeptButNeverRegistered) {
    table.Store(0, {true, "loop", "Ctrl+V"}, u"looping");
    table.Store(1, {true, "the Ctrl key", "Ctrl"}, u"ctrl");
    table.Store(2, {true, "Shift with Alt", "Shift+Alt"}, u"shift alt");
    Define(4, CtrlAltD, "quick");
    binding.ApplyAllSlots();

    EXPECT_EQ(table.At(0).shortcut, "Ctrl+V");
    EXPECT_EQ(carriers[0].shortCut, 0x4056);
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(binding.GlobalHotKey(n).HotKey(), 0) << n;
    for (const RecordingRegistrar::Call& call : registrar.calls) {
        if (call.registering) {
            EXPECT_EQ(call.virtualKey, UINT{'D'});
        }
    }
    EXPECT_TRUE(CombinationIsFree(MOD_CONTROL, 'V'));
    ASSERT_TRUE(PastesInto("ctrl+alt+d", u"quick"));
    CopyToClipboard(u"the user's own");
    ASSERT_TRUE(PastesInto("ctrl+v", u"the user's own"));
    EXPECT_EQ(ClipboardText(), u"the user's own");
}

TEST_F(BindingTest, TheLowerOfTwoSlotsWithOneShortcutPastesUntilItIsInactive) {
    Define(3, CtrlAltD, "three");
    Define(5, CtrlAltD, "five");
    binding.ApplyAllSlots();
    ASSERT_TRUE(PastesInto("ctrl+alt+d", u"three"));

    table.SetActive(2, false);
    ASSERT_TRUE(PastesInto("ctrl+alt+d", u"three")) << "changes wait for the next apply";
    binding.ApplyAllSlots();
    ASSERT_TRUE(PastesInto("ctrl+alt+d", u"five"));
}

TEST_F(BindingTest, ExchangedSlotsKeepBothCombinationsEachForItsNewSlot) {
    Define(1, CtrlAlt1, "one");
    Define(2, CtrlAlt2, "two");
    binding.ApplyAllSlots();
    ASSERT_TRUE(PastesInto("ctrl+alt+1", u"one"));

    EXPECT_EQ(table.MoveSlotDown(0), 1);
    binding.ApplyAllSlots();
    EXPECT_EQ(binding.GlobalHotKey(1).HotKey(), CtrlAlt2);
    EXPECT_EQ(binding.GlobalHotKey(2).HotKey(), CtrlAlt1);
    EXPECT_EQ(carriers[1].hint, "one");
    ASSERT_TRUE(PastesInto("ctrl+alt+1", u"one"));
    ASSERT_TRUE(PastesInto("ctrl+alt+2", u"two"));
}

TEST_F(BindingTest, ReapplyingReleasesWhatNoSlotHoldsAnyMore) {
    Define(4, CtrlAltF10, "four");
    binding.ApplyAllSlots();
    ASSERT_FALSE(CombinationIsFree(CtrlAlt, VK_F10));
    table.ClearSlot(3);
    binding.ApplyAllSlots();
    EXPECT_TRUE(CombinationIsFree(CtrlAlt, VK_F10));
}

// The press itself converts nothing: the text it pastes was made from the
// carrier's Hint when the slots were applied, cut at a zero byte as F1Click
// cuts it.
TEST_F(BindingTest, APressPastesTheTextPreparedFromTheHintWhenTheSlotsWereApplied) {
    CountingCodePage counting;
    PasteAction countingPaste(counting, keyboard, clipboard, clipboardOwner.Handle());
    std::array<win::MenuItem, SlotCount> items;
    SlotHotKeys countingBinding(table, items, counting, keyNames, registrar, countingPaste);
    const std::string withZero("before\0after", 12);
    table.CommitSlot(1, "zero byte", CtrlAlt2, withZero, true);
    countingBinding.ApplyAllSlots();
    EXPECT_EQ(items[1].hint, withZero) << "the Hint stays the whole 8-bit text";
    const int conversions = counting.conversionsToUtf16;
    target.Clear();

    const TGlobalHotKey& component = countingBinding.GlobalHotKey(2);
    ::SendMessageA(component.MessageWindow(), WM_HOTKEY, static_cast<WPARAM>(component.Identifier()), 0);
    EXPECT_EQ(counting.conversionsToUtf16, conversions);
    EXPECT_EQ(ClipboardText(), u"before");
    EXPECT_TRUE(PumpUntil([&] { return target.Text() == u"before"; }, std::chrono::seconds(5)));

    // Applied again with another text, the press pastes that one.
    table.CommitSlot(1, "zero byte", CtrlAlt2, "after", true);
    countingBinding.ApplyAllSlots();
    target.Clear();
    ::SendMessageA(component.MessageWindow(), WM_HOTKEY, static_cast<WPARAM>(component.Identifier()), 0);
    EXPECT_EQ(ClipboardText(), u"after");
    EXPECT_TRUE(PumpUntil([&] { return target.Text() == u"after"; }, std::chrono::seconds(5)));
}

}  // namespace
}  // namespace quilldeck
