#include <stdexcept>

#include "TrayFixture.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

std::size_t IconWindowsShown() {
    const HWND tray = SystemTrayWindow();
    if (tray == nullptr || !::IsWindowVisible(tray)) return 0;
    std::size_t shown = 0;
    for (HWND child : ChildWindows(tray)) shown += ::IsWindowVisible(child) ? 1 : 0;
    return shown;
}

// Takes the icon away behind the component's back, as a shell that starts
// anew knows no icons.
void ForgetIcon(const TTrayIcon& icon) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = icon.CallbackWindow();
    data.uID = 0;
    ::Shell_NotifyIconA(NIM_DELETE, &data);
}

// Long enough that the next click is not taken as the second of a double click.
void WaitOutDoubleClick() { PumpFor(std::chrono::milliseconds(::GetDoubleClickTime() + 100)); }

TEST(TrayIconTest, ANewIconIsActiveAndItsFirstDeactivationOnlyShowsTheTaskbarEntry) {
    const std::size_t before = IconWindowsShown();
    TrayRig rig(false);
    ASSERT_TRUE(rig.icon->Active());
    ::ShowWindow(rig.entry.Handle(), SW_HIDE);

    rig.icon->SetActive(false);
    EXPECT_FALSE(rig.icon->Active());
    EXPECT_TRUE(rig.EntryVisible());
    EXPECT_EQ(rig.processMessagesCalls, 0);
    PumpFor(300ms);
    EXPECT_EQ(IconWindowsShown(), before);
    EXPECT_TRUE(::IsWindow(rig.icon->CallbackWindow()));
    EXPECT_FALSE(::IsWindowVisible(rig.icon->CallbackWindow()));
}

TEST(TrayIconTest, ActivatingHidesTheTaskbarEntryProcessesMessagesThenAddsTheIconWithTheHintAsTooltip) {
    TrayRig rig;
    ASSERT_TRUE(rig.EntryVisible());
    ASSERT_EQ(rig.icon->Hint(), rig.tip);
    bool entryVisibleWhileProcessing = true;
    std::size_t iconsWhileProcessing = 1;
    rig.whileProcessing = [&] {
        entryVisibleWhileProcessing = rig.EntryVisible();
        iconsWhileProcessing = ShownTrayIconsWithTip(rig.tip).size();
    };
    ::PostMessageA(rig.owner.Handle(), WM_APP, 0, 0);

    rig.icon->SetActive(true);
    EXPECT_TRUE(rig.icon->Active());
    EXPECT_EQ(rig.processMessagesCalls, 1);
    EXPECT_FALSE(entryVisibleWhileProcessing);
    EXPECT_EQ(iconsWhileProcessing, 0u);
    EXPECT_EQ(rig.owner.Handled(WM_APP), 1);
    EXPECT_FALSE(rig.EntryVisible());
    EXPECT_TRUE(WaitForIconsWithTip(rig.tip, 1));
    EXPECT_TRUE(::IsWindowVisible(SystemTrayWindow()));
}

TEST(TrayIconTest, SettingTheStateItAlreadyHasDoesNothing) {
    TrayRig rig;
    rig.icon->SetActive(true);
    ASSERT_TRUE(WaitForIconsWithTip(rig.tip, 1));
    // Shown by hand: a second activation would hide it again.
    ::ShowWindow(rig.entry.Handle(), SW_SHOWNA);
    rig.icon->SetActive(true);
    EXPECT_TRUE(rig.EntryVisible());
    EXPECT_EQ(rig.processMessagesCalls, 1);
    PumpFor(300ms);
    EXPECT_EQ(ShownTrayIconsWithTip(rig.tip).size(), 1u);

    ::ShowWindow(rig.entry.Handle(), SW_HIDE);
    rig.icon->SetActive(false);
    EXPECT_TRUE(rig.EntryVisible());
    EXPECT_TRUE(WaitForIconsWithTip(rig.tip, 0));
    ::ShowWindow(rig.entry.Handle(), SW_HIDE);
    rig.icon->SetActive(false);
    EXPECT_FALSE(rig.EntryVisible());
}

TEST(TrayIconTest, TheTooltipIsTheHintCutToItsFieldAndFollowsItWhileActive) {
    TrayRig rig;
    rig.icon->SetActive(true);
    ASSERT_TRUE(WaitForIconsWithTip(rig.tip, 1));

    const std::string base = rig.tip + " ";
    const std::string longest = base + std::string(127 - base.size(), 'm');
    const struct {
        std::string hint;
        std::string tip;
    } cases[] = {
        {base + "changed", base + "changed"},
        {longest, longest},
        {longest + "x", longest},
        {longest + std::string(300, 'y'), longest},
        {base + "\xE9t\xE9", base + "\xE9t\xE9"},
    };
    for (const auto& c : cases) {
        rig.icon->SetHint(c.hint);
        EXPECT_EQ(rig.icon->Hint(), c.hint);
        EXPECT_TRUE(WaitForIconsWithTip(c.tip, 1)) << c.hint;
    }

    // While inactive the hint is only kept, and shows from the next add on.
    rig.icon->SetActive(false);
    ASSERT_TRUE(WaitForIconsWithTip(base + "\xE9t\xE9", 0));
    const std::string later = base + "later";
    rig.icon->SetHint(later);
    PumpFor(300ms);
    EXPECT_TRUE(ShownTrayIconsWithTip(later).empty());
    rig.icon->SetActive(true);
    EXPECT_TRUE(WaitForIconsWithTip(later, 1));
}

TEST(TrayIconTest, ASingleClickDoesNothingAndADoubleClickWithAnyButtonRaisesOnDblClick) {
    TrayRig rig;
    TStyledPopupMenu menu = MakeTrayMenu();
    int doubleClicks = 0;
    rig.icon->OnDblClick = [&] { ++doubleClicks; };
    rig.icon->SetActive(true);
    const ShownTrayIcon icon = rig.ShownIcon();

    // The right button goes down first in its double click, which would open
    // the menu: that button is tried without one.
    const struct {
        MouseButton button;
        bool withMenu;
    } cases[] = {{MouseButton::Left, true}, {MouseButton::Middle, true}, {MouseButton::Right, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE("button " + std::to_string(static_cast<int>(c.button)));
        rig.icon->PopupMenu = c.withMenu ? &menu : nullptr;
        MenuUser noMenu(CloseQuietly());
        doubleClicks = 0;
        WaitOutDoubleClick();
        ClickIcon(icon, c.button);
        PumpFor(std::chrono::milliseconds(::GetDoubleClickTime() + 100));
        EXPECT_EQ(doubleClicks, 0);

        ClickIcon(icon, c.button, 2);
        EXPECT_TRUE(PumpUntil([&] { return doubleClicks > 0; }, 3s));
        PumpFor(300ms);
        EXPECT_EQ(doubleClicks, 1);
        EXPECT_FALSE(noMenu.Opened());
    }
}

TEST(TrayIconTest, AnErrorInTheDoubleClickHandlerIsShownAndTheIconGoesOn) {
    TrayRig rig;
    int doubleClicks = 0;
    rig.icon->OnDblClick = [&] {
        if (++doubleClicks == 1) throw std::runtime_error("Restore failed");
    };
    rig.icon->SetActive(true);
    const ShownTrayIcon icon = rig.ShownIcon();
    BoxAnswerer answerer;

    // The test before may have clicked where this icon is a moment ago.
    WaitOutDoubleClick();
    ClickIcon(icon, MouseButton::Left, 2);
    ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == 1; }))
        << "double clicks heard: " << doubleClicks;
    EXPECT_EQ(answerer.Seen()[0].caption, "Quilldeck");
    EXPECT_EQ(answerer.Seen()[0].text, "Restore failed.");
    ASSERT_TRUE(PumpUntil([&] { return FindMessageBox(::GetCurrentProcessId(), 0ms) == std::nullopt; }));

    WaitOutDoubleClick();
    ClickIcon(icon, MouseButton::Left, 2);
    EXPECT_TRUE(PumpUntil([&] { return doubleClicks == 2; }));
    EXPECT_EQ(answerer.Seen().size(), 1u);
}

// The shell announces a new taskbar: the icon comes back while active,
// and the announcement goes no further; otherwise it reaches the window.
TEST(TrayIconTest, ANewTaskbarGetsTheIconAgainOnlyWhileActive) {
    const struct {
        const char* name;
        bool active;
        bool registered;
        bool iconAfter;
        bool entryVisibleAfter;
        int processingAdded;
        int ownerHandled;
    } cases[] = {
        {"active", true, true, true, false, 1, 0},
        {"inactive", false, true, false, true, 0, 1},
        // With no registered message, message 0 is only WM_NULL.
        {"active without the message", true, false, false, false, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TrayRig rig(true, c.registered);
        if (c.active) {
            rig.icon->SetActive(true);
            ASSERT_TRUE(WaitForIconsWithTip(rig.tip, 1));
            ForgetIcon(*rig.icon);
            ASSERT_TRUE(WaitForIconsWithTip(rig.tip, 0));
        }
        const int processing = rig.processMessagesCalls;

        ::SendMessageA(rig.owner.Handle(), rig.taskbarCreated, 0, 0);
        EXPECT_EQ(rig.icon->Active(), c.active);
        EXPECT_EQ(rig.EntryVisible(), c.entryVisibleAfter);
        EXPECT_EQ(rig.processMessagesCalls, processing + c.processingAdded);
        EXPECT_EQ(rig.owner.Handled(rig.taskbarCreated), c.ownerHandled);
        if (c.iconAfter) {
            EXPECT_TRUE(WaitForIconsWithTip(rig.tip, 1));
        } else {
            PumpFor(300ms);
            EXPECT_TRUE(ShownTrayIconsWithTip(rig.tip).empty());
        }
    }
}

TEST(TrayIconTest, WhileActiveShowingOrMinimisingTheWindowKeepsTheTaskbarEntryHidden) {
    const struct {
        const char* name;
        bool active;
    } cases[] = {{"active", true}, {"inactive", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TrayRig rig;
        if (c.active) rig.icon->SetActive(true);
        const HWND owner = rig.owner.Handle();

        ::ShowWindow(rig.entry.Handle(), SW_SHOWNA);
        ::ShowWindow(owner, SW_SHOWNORMAL);
        EXPECT_EQ(rig.EntryVisible(), !c.active);
        EXPECT_TRUE(::IsWindowVisible(owner));
        EXPECT_EQ(rig.owner.Handled(WM_SHOWWINDOW), 1);

        // The owner's own handling comes first either way (here the system's
        // minimise); while active the icon then hides both windows.
        ::ShowWindow(rig.entry.Handle(), SW_SHOWNA);
        ::SendMessageA(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(::IsIconic(owner));
        EXPECT_EQ(rig.EntryVisible(), !c.active);
        EXPECT_EQ(::IsWindowVisible(owner) != FALSE, !c.active);
        EXPECT_EQ(rig.owner.Handled(WM_SYSCOMMAND), 1);
    }
}

TEST(TrayIconTest, DestructionRemovesTheIconAndItsWindow) {
    TrayRig rig;
    rig.icon->SetActive(true);
    ASSERT_TRUE(WaitForIconsWithTip(rig.tip, 1));
    const HWND callback = rig.icon->CallbackWindow();
    ASSERT_TRUE(::IsWindow(callback));

    rig.DestroyIcon();
    EXPECT_FALSE(::IsWindow(callback));
    EXPECT_TRUE(WaitForIconsWithTip(rig.tip, 0));
}

}  // namespace
}  // namespace quilldeck
