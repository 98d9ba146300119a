// A dialog or a question of the program open when the program goes into the
// tray: it hides with the main window and comes back with it, and Exit from
// the tray menu ends the program cleanly with everything saved.

#include <windows.h>

#include <functional>

#include "JourneyFixture.h"
#include "ui/DefineLayout.h"
#include "ui/OptionsLayout.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

const std::string TwoSlots = SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick"),
                                         Record("0", "Second", "Ctrl+Alt+W", "second")});
// The same once row 2 is ticked.
const std::string SecondTicked = SettingsOf({Record("1", "Quick", "Ctrl+Alt+Q", "quick"),
                                             Record("1", "Second", "Ctrl+Alt+W", "second")});

struct OpenWay {
    const char* name;
    // Opens it from the shown main window with the user's keys; the window
    // that opened.
    std::function<HWND(QuilldeckProgram&, const InputDriver&)> open;
};

HWND Box(QuilldeckProgram& quilldeck) {
    const auto box = FindMessageBox(quilldeck.Process().Id());
    return box ? box->window : nullptr;
}

const OpenWay Ways[] = {
    {"Define/Edit",
     [](QuilldeckProgram& quilldeck, const InputDriver& input) {
         input.Key("F5", XdotoolKeyDelay);
         return quilldeck.Dialog(ui::DefineCaption);
     }},
    {"Options",
     [](QuilldeckProgram& quilldeck, const InputDriver& input) {
         input.Key("alt+f o", UserKeyDelay);
         return quilldeck.Dialog(ui::options::Caption);
     }},
    {"About",
     [](QuilldeckProgram& quilldeck, const InputDriver& input) {
         input.Key("alt+h a", UserKeyDelay);
         return quilldeck.Dialog("About");
     }},
    {"the Delete question",
     [](QuilldeckProgram& quilldeck, const InputDriver& input) {
         input.Key("ctrl+Delete", XdotoolKeyDelay);
         return Box(quilldeck);
     }},
};

class DialogInTrayTest : public JourneyFixture, public ::testing::WithParamInterface<int> {
protected:
    void TearDown() override {
        JourneyFixture::TearDown();
        EXPECT_TRUE(NoKeyHeld());
    }
};

TEST_P(DialogInTrayTest, HidesWithTheWindowComesBackWithItAndExitFromTheTrayEndsCleanly) {
    const OpenWay& way = Ways[GetParam()];
    SCOPED_TRACE(way.name);
    QuilldeckProgram quilldeck(TwoSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    FocusQuilldeck(quilldeck);
    // A change in memory only, which the way into the tray saves.
    quilldeck.SelectRowByClick(1);
    ASSERT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == 1; }));
    input.Key("space");
    ASSERT_TRUE(WaitFor([&] { return quilldeck.Checked(1); }));

    const HWND dialog = way.open(quilldeck, input);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(quilldeck.MainWindow()));
    // A message box shows itself the first time its loop finds no message:
    // the user minimises a box that has long been there.
    ASSERT_TRUE(quilldeck.Settle());
    PumpFor(300ms);

    // The taskbar button minimises the program, the open window with it.
    ::PostMessageA(quilldeck.TaskbarEntry(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog); })) << "shown while in the tray";
    EXPECT_EQ(quilldeck.Settings(), SecondTicked);

    DoubleClickTheIcon();
    ASSERT_TRUE(WaitFor([&] { return quilldeck.Shown(); }));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(dialog) != FALSE; })) << "not back with the window";
    EXPECT_FALSE(::IsWindowEnabled(quilldeck.MainWindow()));

    // Into the tray once more, and Exit from there with the window still open.
    ::PostMessageA(quilldeck.TaskbarEntry(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(InTray(quilldeck));
    EXPECT_TRUE(ChooseInTrayMenu(quilldeck, "Exit"));
    EXPECT_EQ(quilldeck.Process().WaitForExit(15s), 0u);
    EXPECT_EQ(quilldeck.Settings(), SecondTicked);
    EXPECT_TRUE(WaitFor([] { return !TrayShowsAnIcon(); }));
    EXPECT_TRUE(CombinationIsFree(MOD_CONTROL | MOD_ALT, 'Q'));
}

INSTANTIATE_TEST_SUITE_P(Open, DialogInTrayTest, ::testing::Range(0, 4));

}  // namespace
}  // namespace quilldeck
