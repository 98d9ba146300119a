#include <map>
#include <stdexcept>

#include "TrayFixture.h"
#include "tray/SeparatorRule.h"

namespace quilldeck {
namespace {

using namespace testing;
using Texts = std::vector<std::string>;

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

// The tray menu as the main window sets it up, opened from a real icon.
class TrayMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (win::MenuItem& item : menu.Items()) {
            item.onClick = [this](win::MenuItem& sender) {
                clicked.push_back(sender.name);
                menuOpenDuringClick = menuOpenDuringClick || OpenMenuWindow() != nullptr;
            };
        }
        menu.OnPopup = [this] {
            ++popups;
            menu.Item("OpenVarnholt1").visible = rig.icon->Active();
            menu.Item("Exit3").visible = rig.icon->Active();
        };
        rig.icon->PopupMenu = &menu;
        rig.icon->SetActive(true);
        icon = rig.ShownIcon();
    }

    // Right-clicks the icon; the user acts on the menu that opens.
    std::optional<OpenMenu> RightClick(MenuUser::Action action) {
        // A second click within the double-click time would be a double click.
        PumpFor(std::chrono::milliseconds(::GetDoubleClickTime() + 100));
        MenuUser user(std::move(action));
        MouseAt(icon.Centre(), "click 3");
        std::optional<OpenMenu> seen = user.Seen();
        EXPECT_TRUE(user.ActedCleanly());
        return seen;
    }

    TrayRig rig;
    TStyledPopupMenu menu = MakeTrayMenu();
    ShownTrayIcon icon;
    int popups = 0;
    std::vector<std::string> clicked;
    bool menuOpenDuringClick = false;
};

TEST_F(TrayMenuTest, ARightClickOpensRestoreAndExitAtTheMouseWhateverTheCarriersHold) {
    // Carriers as the hot key binding leaves them, one with a separator's caption.
    const char* captions[] = {"Greeting", "-", "<Not Define>", "Address"};
    for (int n = 0; n < 20; ++n) {
        win::MenuItem& carrier = menu.Items()[n];
        carrier.caption = captions[n % 4];
        carrier.shortCut = static_cast<TShortCut>(0xC070 + n);
        carrier.hint = "text " + std::to_string(n);
    }
    const int processingBefore = rig.processMessagesCalls;

    const std::optional<OpenMenu> seen = RightClick(CloseQuietly());
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->Texts(), (Texts{"Restore", "Exit"}));
    EXPECT_TRUE(seen->Entry("Restore").isDefault);
    EXPECT_FALSE(seen->Entry("Exit").isDefault);
    EXPECT_FALSE(seen->Entry("Restore").grayed);
    EXPECT_FALSE(seen->Entry("Exit").grayed);
    // Left-aligned with its top left corner where the button went down.
    EXPECT_EQ(seen->rect.left, icon.Centre().x);
    EXPECT_EQ(seen->rect.top, icon.Centre().y);
    EXPECT_EQ(seen->foreground, rig.entry.Handle());
    EXPECT_EQ(rig.processMessagesCalls, processingBefore + 1);
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(clicked.empty());
    EXPECT_FALSE(menu.Item("N5").visible);
    for (int n = 0; n < 20; ++n) EXPECT_FALSE(menu.Items()[n].visible);

    // A second opening looks the same.
    const std::optional<OpenMenu> again = RightClick(CloseQuietly());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Texts(), (Texts{"Restore", "Exit"}));
    EXPECT_EQ(popups, 2);
}

TEST_F(TrayMenuTest, AChosenEntryRunsItsHandlerOnceTheMenuHasClosed) {
    const struct {
        const char* how;
        MenuUser::Action action;
        const char* handler;
    } cases[] = {
        {"click on Exit", ClickOn("Exit"), "Exit3"},
        {"click on Restore", ClickOn("Restore"), "OpenVarnholt1"},
        {"keys to Exit", PressKeys("Down Down Return"), "Exit3"},
        {"keys to Restore", PressKeys("Down Return"), "OpenVarnholt1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        clicked.clear();
        ASSERT_TRUE(RightClick(c.action));
        EXPECT_EQ(clicked, Texts{c.handler});
        EXPECT_FALSE(menuOpenDuringClick);
    }
}

TEST_F(TrayMenuTest, DismissingTheMenuRunsNothing) {
    const RECT tray = [] {
        RECT rect{};
        ::GetWindowRect(SystemTrayWindow(), &rect);
        return rect;
    }();
    const struct {
        const char* how;
        MenuUser::Action action;
    } cases[] = {
        {"Escape", PressKeys("Escape")},
        {"a click elsewhere", ClickAt({tray.right + 400, tray.bottom + 300})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        ASSERT_TRUE(RightClick(c.action));
        EXPECT_TRUE(clicked.empty());
        EXPECT_EQ(OpenMenuWindow(), nullptr);
    }
}

// The menu opened directly, with entries of every kind.
TEST(StyledPopupMenuTest, ShowsTheVisibleEntriesAsOnPopupLeavesThemWithShortcutsAndGrayedOnes) {
    TaskbarEntryWindow entry;
    OwnerWindow owner(entry.Handle());
    FixedKeyNames keyNames;
    std::vector<win::MenuItem> items(7);
    const char* captions[] = {"-", "Open", "Hidden", "-", "-", "Save", "-"};
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].name = "Item" + std::to_string(i);
        items[i].caption = captions[i];
    }
    items[1].shortCut = 0x404F;  // Ctrl+O
    items[5].enabled = false;
    items[5].isDefault = true;
    TStyledPopupMenu menu(std::move(items));
    menu.ShortCutText = [&](TShortCut value) { return FormatShortcut(value, keyNames); };
    menu.OnPopup = [&] {
        menu.Item("Item2").visible = false;
        menu.Item("Item1").caption = "Open file";
    };
    int clicks = 0;
    for (win::MenuItem& item : menu.Items()) item.onClick = [&](win::MenuItem&) { ++clicks; };

    MenuUser user(CloseQuietly());
    menu.Popup(owner.Handle(), {300, 200});
    const std::optional<OpenMenu> seen = user.Seen();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(user.ActedCleanly());
    ASSERT_EQ(seen->Texts(), (Texts{"Open file\tCtrl+O", "-", "Save"}));
    EXPECT_TRUE(seen->entries[1].separator);
    EXPECT_TRUE(seen->Entry("Save").grayed);
    EXPECT_TRUE(seen->Entry("Save").isDefault);
    EXPECT_FALSE(seen->entries[0].grayed);
    EXPECT_EQ(seen->rect.left, 300);
    EXPECT_EQ(seen->rect.top, 200);
    EXPECT_EQ(clicks, 0);
    // The owner hears from the menu once it has closed.
    EXPECT_TRUE(PumpUntil([&] { return owner.Handled(WM_NULL) == 1; }));

    // Without a text for shortcuts the caption stands alone.
    menu.ShortCutText = nullptr;
    MenuUser plain(CloseQuietly());
    menu.Popup(owner.Handle(), {300, 200});
    ASSERT_TRUE(plain.Seen());
    EXPECT_EQ(plain.Seen()->Texts(), (Texts{"Open file", "-", "Save"}));
}

}  // namespace
}  // namespace quilldeck
