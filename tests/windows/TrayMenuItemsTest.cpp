// The tray menu's entries as plain data: the separator rule and the menu the
// main window starts with. Nothing here needs a desktop.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tray/SeparatorRule.h"
#include "tray/StyledPopupMenu.h"

namespace quilldeck {
namespace {

// Menu entries written one letter each: 'x' a visible entry, '.' a hidden
// one, '-' a visible separator, '_' a hidden separator.
std::vector<win::MenuItem> EntriesOf(const std::string& layout) {
    std::vector<win::MenuItem> items;
    for (char kind : layout) {
        win::MenuItem item;
        item.caption = kind == '-' || kind == '_' ? "-" : "Entry";
        item.visible = kind == 'x' || kind == '-';
        items.push_back(item);
    }
    return items;
}

std::string LayoutOf(const std::vector<win::MenuItem>& items) {
    std::string layout;
    for (const win::MenuItem& item : items) {
        if (IsSeparator(item)) {
            layout += item.visible ? '-' : '_';
        } else {
            layout += item.visible ? 'x' : '.';
        }
    }
    return layout;
}

TEST(SeparatorRuleTest, LeavesOnlySeparatorsThatStandBetweenVisibleEntries) {
    const std::map<std::string, std::string> cases = {
        {"", ""},
        {"x", "x"},
        {"-", "_"},
        {"--", "__"},
        {"-.", "_."},
        // Nothing above: hidden.
        {"-x", "_x"},
        {"--x", "__x"},
        {"-.-x", "_._x"},
        {"_x", "_x"},
        // Nothing below: hidden.
        {"x-", "x_"},
        {"x--", "x__"},
        {"x-.", "x_."},
        {"x-.-.", "x_._."},
        // Between visible entries: one line, the last of the run.
        {"x-x", "x-x"},
        {"x--x", "x_-x"},
        {"x---x", "x__-x"},
        {"x-x-x", "x-x-x"},
        // Hidden entries do not end a run.
        {"x-.-x", "x_.-x"},
        {"x-..-.x", "x_..-.x"},
        {"x-.x", "x-.x"},
        // The run's last separator is shown again, the others hidden.
        {"x_x", "x-x"},
        {"x-_x", "x_-x"},
        {"x_._x", "x_.-x"},
        {".x_.", ".x_."},
        // Hidden entries ahead of the first visible one take no part.
        {"..._xx", "..._xx"},
        {"...-.x-x-", "..._.x-x_"},
        // The tray menu: twenty carriers, N5, then Restore and Exit shown or not.
        {std::string(20, '.') + "-xx", std::string(20, '.') + "_xx"},
        {std::string(20, '.') + "-..", std::string(20, '.') + "_.."},
        {std::string(20, '.') + "_xx", std::string(20, '.') + "_xx"},
    };
    for (const auto& [before, after] : cases) {
        std::vector<win::MenuItem> items = EntriesOf(before);
        ApplySeparatorRule(items);
        EXPECT_EQ(LayoutOf(items), after) << "from " << before;
        // Applying it again changes nothing more.
        ApplySeparatorRule(items);
        EXPECT_EQ(LayoutOf(items), after) << "again from " << before;
    }
}

TEST(SeparatorRuleTest, OnlyTheCaptionMakesASeparatorAndOnlySeparatorsChange) {
    std::vector<win::MenuItem> items = EntriesOf("xxxxx");
    items[0].caption = "--";
    items[1].caption = " -";
    items[2].caption = "";
    items[4].caption = "-";
    items[4].visible = false;
    ApplySeparatorRule(items);
    EXPECT_EQ(LayoutOf(items), "xxxx_");
    items = EntriesOf("-.x.-");
    items[1].enabled = false;
    ApplySeparatorRule(items);
    EXPECT_EQ(LayoutOf(items), "_.x._");
    EXPECT_FALSE(items[1].enabled);
}

TEST(MakeTrayMenuTest, HoldsTwentyHiddenCarrierItemsThenSeparatorRestoreAndExit) {
    TStyledPopupMenu menu = MakeTrayMenu();
    std::vector<win::MenuItem>& items = menu.Items();
    ASSERT_EQ(items.size(), 23u);
    for (int n = 1; n <= 20; ++n) {
        const win::MenuItem& carrier = items[n - 1];
        EXPECT_EQ(carrier.name, "F" + std::to_string(n));
        EXPECT_EQ(carrier.caption, "<Not define>");
        EXPECT_FALSE(carrier.visible);
        EXPECT_EQ(carrier.shortCut, 0);
        EXPECT_EQ(carrier.hint, "");
        EXPECT_FALSE(carrier.isDefault);
        EXPECT_EQ(&menu.Item(carrier.name), &carrier);
    }
    const struct {
        const char* name;
        const char* caption;
        bool isDefault;
    } visible[] = {{"N5", "-", false}, {"OpenVarnholt1", "Restore", true}, {"Exit3", "Exit", false}};
    for (std::size_t i = 0; i < std::size(visible); ++i) {
        const win::MenuItem& item = items[20 + i];
        EXPECT_EQ(item.name, visible[i].name);
        EXPECT_EQ(item.caption, visible[i].caption);
        EXPECT_EQ(item.isDefault, visible[i].isDefault);
        EXPECT_TRUE(item.visible);
        EXPECT_TRUE(item.enabled);
        EXPECT_FALSE(item.onClick);
    }
    EXPECT_THROW(menu.Item("Exit2"), std::invalid_argument);
}

}  // namespace
}  // namespace quilldeck
