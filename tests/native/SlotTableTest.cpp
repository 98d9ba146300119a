#include <gtest/gtest.h>

#include "slots/SlotTable.h"

namespace quilldeck {
namespace {

class SlotTableTest : public ::testing::Test {
protected:
    // Slots 1..6 hold distinct values; slot 3 stays undefined but active.
    void SetUp() override {
        table.Store(0, {true, "One", "Ctrl+1"}, u"first");
        table.Store(1, {false, "Two", "Ctrl+2"}, u"second\r\nline");
        table.Store(2, {true, "", "Ctrl+3"}, u"third");
        table.Store(3, {false, "Four", "None"}, u"");
        table.Store(4, {true, "Five", "Alt+5"}, u"fifth");
        table.Store(5, {false, "Six", "Hyper+6"}, u"sixth");
    }

    void ExpectUnchanged(const SlotTable& before) {
        for (int i = 0; i < SlotCount; ++i) {
            EXPECT_EQ(table.At(i), before.At(i)) << "slot " << i + 1;
            EXPECT_EQ(table.Text(i), before.Text(i)) << "slot " << i + 1;
        }
    }

    Windows1252CodePage codePage;
    FixedKeyNames keyNames;
    SlotTable table{codePage, keyNames};
};

TEST(SlotTableDefaultsTest, EverySlotStartsUndefinedInactiveWithoutShortcutOrText) {
    Windows1252CodePage codePage;
    FixedKeyNames keyNames;
    SlotTable table(codePage, keyNames);
    for (int i = 0; i < SlotCount; ++i) {
        EXPECT_EQ(table.At(i), (Slot{false, "<Not Define>", "None"}));
        EXPECT_TRUE(table.Text(i).empty());
        EXPECT_FALSE(table.IsDefined(i));
    }
}

TEST_F(SlotTableTest, StoreTurnsEmptyFieldsIntoTheDefaults) {
    EXPECT_EQ(table.At(2).description, "<Not Define>");
    table.Store(7, {true, "x", ""}, u"t");
    EXPECT_EQ(table.At(7).shortcut, "None");
}

TEST_F(SlotTableTest, DefinednessIsAnExactComparison) {
    EXPECT_TRUE(table.IsDefined(0));
    EXPECT_FALSE(table.IsDefined(2));
    table.Store(8, {false, "<not define>", "None"}, u"");
    EXPECT_TRUE(table.IsDefined(8));
    table.Store(8, {false, "<Not Define> ", "None"}, u"");
    EXPECT_TRUE(table.IsDefined(8));
}

TEST_F(SlotTableTest, MovesAtTheEdgesOrWithoutSelectionChangeNothing) {
    const SlotTable before = table;
    EXPECT_EQ(table.MoveSlotUp(0), 0);
    EXPECT_EQ(table.MoveSlotUp(-1), -1);
    EXPECT_EQ(table.MoveSlotDown(19), 19);
    EXPECT_EQ(table.MoveSlotDown(-1), -1);
    ExpectUnchanged(before);
}

TEST_F(SlotTableTest, MoveDownExchangesAllFourFieldsAndFollowsTheSlot) {
    EXPECT_EQ(table.MoveSlotDown(4), 5);
    EXPECT_EQ(table.At(5), (Slot{true, "Five", "Alt+5"}));
    EXPECT_EQ(table.Text(5), u"fifth");
    EXPECT_EQ(table.At(4), (Slot{false, "Six", "Hyper+6"}));
    EXPECT_EQ(table.Text(4), u"sixth");
}

TEST_F(SlotTableTest, MoveUpExchangesWithThePreviousSlot) {
    EXPECT_EQ(table.MoveSlotUp(4), 3);
    EXPECT_EQ(table.At(3), (Slot{true, "Five", "Alt+5"}));
    EXPECT_EQ(table.Text(3), u"fifth");
    EXPECT_EQ(table.At(4), (Slot{false, "Four", "None"}));
    EXPECT_EQ(table.Text(4), u"");
}

TEST_F(SlotTableTest, MovingUpThenDownRestoresTheTable) {
    const SlotTable before = table;
    EXPECT_EQ(table.MoveSlotDown(table.MoveSlotUp(6)), 6);  // an undefined slot moves too
    EXPECT_EQ(table.MoveSlotUp(table.MoveSlotDown(0)), 0);
    ExpectUnchanged(before);
}

TEST_F(SlotTableTest, ClearResetsEveryFieldEvenOfAnUndefinedSlot) {
    table.ClearSlot(2);
    EXPECT_EQ(table.At(2), Slot{});
    EXPECT_TRUE(table.Text(2).empty());
    const SlotTable before = table;
    table.ClearSlot(-1);
    ExpectUnchanged(before);
}

struct CommitCase {
    const char* description;
    TShortCut shortcut;
    const char* text;
    Slot slot;
    std::u16string slotText;
    bool defined;
};

class CommitSlotTest : public SlotTableTest, public ::testing::WithParamInterface<CommitCase> {};

TEST_P(CommitSlotTest, StoresTheDialogValues) {
    const CommitCase& c = GetParam();
    table.CommitSlot(9, c.description, c.shortcut, c.text, c.slot.active);
    EXPECT_EQ(table.At(9), c.slot);
    EXPECT_EQ(table.Text(9), c.slotText);
    EXPECT_EQ(table.IsDefined(9), c.defined);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CommitSlotTest,
    ::testing::Values(
        CommitCase{"Greeting", 0xC047, "Hello,\r\nWorld", {true, "Greeting", "Ctrl+Alt+G"},
                   u"Hello,\r\nWorld", true},
        CommitCase{"", 0x4041, "\r\nsecond", {true, "<Not Define>", "Ctrl+A"}, u"\r\nsecond", false},
        CommitCase{"Keys", 0, "", {false, "Keys", "None"}, u"", true},
        CommitCase{"Ctrl only", 0x4000, "x", {false, "Ctrl only", "None"}, u"x", true},
        CommitCase{"<Not Define>", 0x70, "t", {true, "<Not Define>", "F1"}, u"t", false},
        CommitCase{"  ", 0x4065, "Caf\xE9 \x80", {false, "  ", "Ctrl+5"}, u"Caf\u00E9 \u20AC", true}));

TEST_F(SlotTableTest, TheSameShortcutOnTwoSlotsIsAccepted) {
    table.CommitSlot(10, "a", 0x4041, "a", true);
    table.CommitSlot(11, "b", 0x4041, "b", true);
    EXPECT_EQ(table.At(10).shortcut, table.At(11).shortcut);
}

TEST_F(SlotTableTest, EditValuesShowWhatTheDialogStartsWith) {
    EXPECT_EQ(table.EditValues(0), (SlotEditValues{"One", 0x4031, "first", true}));
    EXPECT_EQ(table.EditValues(1), (SlotEditValues{"Two", 0x4032, "second\r\nline", false}));
    // Undefined: the description field stays empty.
    EXPECT_EQ(table.EditValues(2), (SlotEditValues{"", 0x4033, "third", true}));
    // "None" and a text that names no key give an empty shortcut field.
    EXPECT_EQ(table.EditValues(3).shortcut, 0);
    EXPECT_EQ(table.EditValues(5).shortcut, 0);
    EXPECT_EQ(table.At(5).shortcut, "Hyper+6");
}

TEST_F(SlotTableTest, CommittingAnUnnamedShortcutUnchangedReplacesItByNone) {
    const SlotEditValues values = table.EditValues(5);
    table.CommitSlot(5, values.description, values.shortcut, values.text, values.active);
    EXPECT_EQ(table.At(5), (Slot{false, "Six", "None"}));
    EXPECT_EQ(table.Text(5), u"sixth");
}

TEST_F(SlotTableTest, SetActiveChangesTheFlagAlone) {
    table.SetActive(1, true);
    EXPECT_EQ(table.At(1), (Slot{true, "Two", "Ctrl+2"}));
    EXPECT_EQ(table.Text(1), u"second\r\nline");
}

}  // namespace
}  // namespace quilldeck
