#include <windows.h>

#include "DialogLayouts.h"
#include "ProgramFixture.h"
#include "ui/AboutLayout.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;
namespace about = ui::about;

const std::string OneSlot = " \r\n1\r\nQuick\r\nCtrl+Alt+Q\r\n[memo]\r\nquick\r\n[/memo]\r\n\r\n";

class AboutBoxTest : public ShownProgramFixture {
protected:
    AboutBoxTest() : ShownProgramFixture(OneSlot) {}

    // "&About..." from the Help menu, with the keys a user presses.
    HWND OpenAbout() {
        FocusQuilldeck(quilldeck);
        input.Key("alt+h a");
        return quilldeck.Dialog(about::Caption);
    }

    static HWND Control(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }
    static RECT ClientRectOf(HWND dialog, int id) {
        RECT rect{};
        ::GetWindowRect(Control(dialog, id), &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
};

TEST_F(AboutBoxTest, ShowsTheIconTitleBylineAndVersionInPlaceWithTheFocusOnOK) {
    const HWND dialog = OpenAbout();
    ASSERT_NE(dialog, nullptr);
    ExpectDialogFrame(dialog, quilldeck.MainWindow(), 265, 103);
    ExpectControls(dialog, AboutDesign);
    EXPECT_NE(::SendMessageA(Control(dialog, about::IdImage1), STM_GETICON, 0, 0), 0);
    // The version is sized to its text and keeps its right edge.
    EXPECT_EQ(ControlText(Control(dialog, about::IdLabel4)), "1.0.0");
    const RECT version = ClientRectOf(dialog, about::IdLabel4);
    EXPECT_EQ(version.right, AboutVersionRight);
    EXPECT_EQ(version.top, AboutVersionTop);
    EXPECT_GT(version.right - version.left, 10);
    EXPECT_LE(version.right - version.left, 40);
    // OK is the only control that takes the focus.
    const int tabOrder[] = {about::IdButton1};
    ExpectTabOrder(dialog, tabOrder);
    EXPECT_TRUE(WaitFor([&] { return FocusedControlOf(dialog) == Control(dialog, about::IdButton1); }));
    input.KeyTo(dialog, "Tab");
    ASSERT_TRUE(quilldeck.Settle());
    EXPECT_EQ(FocusedControlOf(dialog), Control(dialog, about::IdButton1));
    PumpFor(300ms);
    EXPECT_TRUE(Screenshot::Take(ProgramFolder() + "about-box.png").has_value());
    input.ClickOn(Control(dialog, about::IdButton1));
    EXPECT_TRUE(Closes(dialog));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(quilldeck.MainWindow()) != FALSE; }));
}

class AboutEndTest : public AboutBoxTest, public ::testing::WithParamInterface<int> {};

// Escape leaves it open; a click on OK, Enter on OK and the close box end it,
// and the next opening shows the version again.
TEST_P(AboutEndTest, OnlyOKAndTheCloseBoxEndItAndEveryOpeningShowsTheVersion) {
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        const HWND dialog = OpenAbout();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(ControlText(Control(dialog, about::IdLabel4)), "1.0.0");
        input.KeyTo(dialog, "Escape");
        EXPECT_TRUE(StaysOpen(dialog));
        switch (GetParam()) {
            case 0: input.ClickOn(Control(dialog, about::IdButton1)); break;
            case 1: input.KeyTo(dialog, "Return"); break;
            case 2: CloseBoxOf(dialog); break;
        }
        ASSERT_TRUE(Closes(dialog));
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowEnabled(quilldeck.MainWindow()) != FALSE; }));
    }
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 0ms));
}

INSTANTIATE_TEST_SUITE_P(Ways, AboutEndTest, ::testing::Range(0, 3));

// Wine hands a web address to the first program of its browser list that
// runs: a script of ours stands in for the browser and writes down what it
// was given; or a name that no program has stands for no browser at all.
class HowToUseTest : public AboutBoxTest {
protected:
    HowToUseTest() {
        RunUnix("mkdir -p " + folder_ + " && printf '#!/bin/sh\\nprintf %%s \"$1\" > " + folder_ +
                "/url.part && mv " + folder_ + "/url.part " + folder_ + "/url\\n' > " + folder_ +
                "/browser && chmod +x " + folder_ + "/browser");
    }
    ~HowToUseTest() override { RunUnix("rm -rf " + folder_); }

    std::string Recorder() const { return folder_ + "/browser"; }
    std::string OpenedAddress() const { return WindowsPathOf(folder_ + "/url"); }

    // "&How to use" from the Help menu, with the keys a user presses.
    void HowToUse() {
        FocusQuilldeck(quilldeck);
        input.Key("alt+h h");
    }

private:
    std::string folder_ = UnixTempFile("browser");
};

TEST_F(HowToUseTest, OpensTheHelpPageInTheBrowser) {
    const ScopedRegistryValue browser(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers", Recorder());
    HowToUse();
    ASSERT_TRUE(WaitFor([&] { return IsFile(OpenedAddress()); }, 20s));
    EXPECT_EQ(ReadFileBytes(OpenedAddress()), "http://kestrovar.example/redirect/quilldeck.htm");
}

TEST_F(HowToUseTest, WithoutABrowserItReturnsAtOnceAndShowsNothing) {
    const ScopedRegistryValue browser(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers",
                                      "quilldeck-no-such-browser");
    const auto windowsBefore = VisibleWindowsOf(quilldeck.Process().Id());
    HowToUse();
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(quilldeck.Settle());
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s);
    EXPECT_FALSE(FindMessageBox(quilldeck.Process().Id(), 1s));
    EXPECT_EQ(VisibleWindowsOf(quilldeck.Process().Id()), windowsBefore);
    EXPECT_TRUE(::IsWindowEnabled(quilldeck.MainWindow()));
}

}  // namespace
}  // namespace quilldeck
