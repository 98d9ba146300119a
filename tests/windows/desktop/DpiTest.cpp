#include <windows.h>
#include <commctrl.h>

#include <array>

#include "DialogLayouts.h"
#include "ProgramFixture.h"
#include "ui/MainWindowLayout.h"
#include "ui/QuilldeckAbout.h"
#include "win/Dpi.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

// Slots 1 and 3 ticked, slot 2 not.
const std::string ThreeSlots =
    " \r\n1\r\nQuick\r\nCtrl+Alt+Q\r\n[memo]\r\nquick\r\n[/memo]\r\n\r\n"
    "0\r\nSecond\r\nCtrl+Alt+W\r\n[memo]\r\nsecond\r\n[/memo]\r\n\r\n"
    "1\r\nThird\r\nCtrl+Alt+E\r\n[memo]\r\nthird\r\n[/memo]\r\n\r\n";

// The character height of a font of this process's windows.
int FontHeightOf(HWND window) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA description{};
    if (font == nullptr || ::GetObjectA(font, sizeof(description), &description) == 0) return 0;
    return description.lfHeight < 0 ? -description.lfHeight : description.lfHeight;
}

// A text as wide as the list's font draws it at 96 DPI: the font's handle
// means nothing in this process, so its size shows in what it measures.
constexpr const char* Sample = "Description of a slot, 0123456789";

RECT ClientRectIn(HWND control, HWND parent) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The rectangle the system would propose at another DPI: same place, same
// frame, the client area of the design at that DPI.
RECT SuggestedAt(HWND window, int designWidth, int designHeight, UINT dpi) {
    RECT outer{}, client{};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &client);
    const int frameWidth = (outer.right - outer.left) - client.right;
    const int frameHeight = (outer.bottom - outer.top) - client.bottom;
    return {outer.left, outer.top, outer.left + frameWidth + AtDpi(designWidth, dpi),
            outer.top + frameHeight + AtDpi(designHeight, dpi)};
}

class DpiTest : public ProgramFixture {
protected:
    // The main window as its design says at a DPI: client area, list,
    // columns (the last takes the rest), status bar, font.
    static void ExpectMainWindowAt(QuilldeckProgram& quilldeck, UINT dpi, int sampleWidthAt96) {
        const HWND main = quilldeck.MainWindow();
        RECT client{};
        ::GetClientRect(main, &client);
        EXPECT_EQ(client.right, AtDpi(ui::MainClientWidth, dpi));
        EXPECT_EQ(client.bottom, AtDpi(ui::MainClientHeight, dpi));
        const RECT list = ClientRectIn(quilldeck.ListView(), main);
        EXPECT_EQ(list.right - list.left, AtDpi(436, dpi));
        EXPECT_EQ(list.bottom - list.top, AtDpi(245, dpi));
        EXPECT_EQ(ClientRectIn(quilldeck.StatusBar(), main).top, AtDpi(245, dpi));
        const HWND view = quilldeck.ListView();
        const int first = ListView_GetColumnWidth(view, 0);
        const int second = ListView_GetColumnWidth(view, 1);
        EXPECT_EQ(first, AtDpi(25, dpi));
        EXPECT_EQ(second, AtDpi(250, dpi));
        RECT listClient{};
        ::GetClientRect(view, &listClient);
        EXPECT_EQ(first + second + ListView_GetColumnWidth(view, 2), listClient.right - 1);
        const int sampleWidth = quilldeck.ListTextWidth(Sample);
        EXPECT_NEAR(sampleWidth, AtDpi(sampleWidthAt96, dpi), AtDpi(sampleWidthAt96, dpi) / 10) << sampleWidth;
    }

    static std::string ShotName(const char* window, UINT dpi) {
        return ProgramFolder() + window + "-" + std::to_string(dpi) + "dpi.png";
    }
};

class DpiStartTest : public DpiTest, public ::testing::WithParamInterface<UINT> {};

// What the list's font at 96 DPI makes of the sample text.
int SampleWidthAt96() {
    static const int width = [] {
        QuilldeckProgram quilldeck(ThreeSlots);
        int measured = 0;
        WaitFor([&] { return quilldeck.MainWindow() != nullptr && (measured = quilldeck.ListTextWidth(Sample)) > 0; });
        return measured;
    }();
    return width;
}

// Started at a scale: every window takes its design scaled.
TEST_P(DpiStartTest, EveryWindowTakesItsDesignScaled) {
    const UINT dpi = GetParam();
    const int sampleWidthAt96 = SampleWidthAt96();
    ASSERT_GT(sampleWidthAt96, 100);
    const ScopedSystemDpi scale(dpi);
    QuilldeckProgram quilldeck(ThreeSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    FocusQuilldeck(quilldeck);
    ExpectMainWindowAt(quilldeck, dpi, sampleWidthAt96);
    PumpFor(300ms);
    Screenshot::Take(ShotName("main-window", dpi));

    // Define/Edit on row 4, which is empty.
    quilldeck.SelectRowByClick(3);
    ASSERT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == 3; }));
    input.Key("F5");
    HWND dialog = quilldeck.Dialog("Define/Edit");
    ASSERT_NE(dialog, nullptr);
    ExpectDialogFrame(dialog, quilldeck.MainWindow(), 438, 275, dpi);
    ExpectControls(dialog, DefineDesign, dpi);
    PumpFor(300ms);
    Screenshot::Take(ShotName("define-dialog", dpi));
    input.ClickOn(::GetDlgItem(dialog, ui::IdButton3));
    ASSERT_TRUE(Closes(dialog));

    FocusQuilldeck(quilldeck);
    input.Key("alt+f o");
    dialog = quilldeck.Dialog(ui::options::Caption);
    ASSERT_NE(dialog, nullptr);
    ExpectDialogFrame(dialog, quilldeck.MainWindow(), 245, 115, dpi);
    ExpectControls(dialog, OptionsDesign, dpi);
    PumpFor(300ms);
    Screenshot::Take(ShotName("options-dialog", dpi));
    input.ClickOn(::GetDlgItem(dialog, ui::options::IdButton3));
    ASSERT_TRUE(Closes(dialog));

    FocusQuilldeck(quilldeck);
    input.Key("alt+h a");
    dialog = quilldeck.Dialog(ui::about::Caption);
    ASSERT_NE(dialog, nullptr);
    ExpectDialogFrame(dialog, quilldeck.MainWindow(), 265, 103, dpi);
    ExpectControls(dialog, AboutDesign, dpi);
    const RECT version = ClientRectIn(::GetDlgItem(dialog, ui::about::IdLabel4), dialog);
    EXPECT_EQ(version.right, AtDpi(AboutVersionRight, dpi));
    EXPECT_EQ(version.top, AtDpi(AboutVersionTop, dpi));
    PumpFor(300ms);
    Screenshot::Take(ShotName("about-box", dpi));
    input.ClickOn(::GetDlgItem(dialog, ui::about::IdButton1));
    ASSERT_TRUE(Closes(dialog));
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Scales, DpiStartTest, ::testing::Values(96u, 120u, 144u, 192u));

// Moved to a monitor with another scale: laid out as a start there would
// be, with the selection, the ticks and what is typed in a dialog kept.
TEST_F(DpiTest, ANewDpiLaysTheWindowsOutAgainAndKeepsWhatTheyHold) {
    QuilldeckProgram quilldeck(ThreeSlots);
    ASSERT_TRUE(ShownOpaque(quilldeck));
    FocusQuilldeck(quilldeck);
    quilldeck.SelectRowByClick(1);
    ASSERT_TRUE(WaitFor([&] { return quilldeck.SelectedRow() == 1; }));

    const HWND main = quilldeck.MainWindow();
    const int sampleWidthAt96 = quilldeck.ListTextWidth(Sample);
    quilldeck.SendDpiChanged(main, 144, SuggestedAt(main, ui::MainClientWidth, ui::MainClientHeight, 144));
    ExpectMainWindowAt(quilldeck, 144, sampleWidthAt96);
    EXPECT_EQ(quilldeck.SelectedRow(), 1);
    EXPECT_TRUE(quilldeck.Checked(0));
    EXPECT_FALSE(quilldeck.Checked(1));
    EXPECT_TRUE(quilldeck.Checked(2));
    EXPECT_EQ(quilldeck.RowText(2, 1), "Third");

    // And back, with a dialog open and text typed into it.
    quilldeck.SendDpiChanged(main, 96, SuggestedAt(main, ui::MainClientWidth, ui::MainClientHeight, 96));
    ExpectMainWindowAt(quilldeck, 96, sampleWidthAt96);
    FocusQuilldeck(quilldeck);
    input.Key("F5");
    const HWND dialog = quilldeck.Dialog("Define/Edit");
    ASSERT_NE(dialog, nullptr);
    const HWND description = ::GetDlgItem(dialog, ui::IdInp_1);
    input.KeyTo(dialog, "End");
    input.TypeTo(dialog, " typed");
    ASSERT_TRUE(WaitFor([&] { return ControlText(description) == "Second typed"; })) << ControlText(description);
    quilldeck.SendDpiChanged(dialog, 144, SuggestedAt(dialog, 438, 275, 144));
    // Placed anew; what they hold is checked below.
    std::array<ExpectedControl, 3> fields = {DefineDesign[0], DefineDesign[1], DefineDesign[2]};
    for (ExpectedControl& field : fields) field.caption = nullptr;
    ExpectControls(dialog, fields, 144);
    RECT client{};
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, AtDpi(438, 144));
    EXPECT_EQ(client.bottom, AtDpi(275, 144));
    EXPECT_EQ(ControlText(description), "Second typed");
    EXPECT_EQ(ControlText(::GetDlgItem(dialog, ui::IdMemo1)), "second");
    EXPECT_EQ(FocusedControlOf(dialog), description);
    input.ClickOn(::GetDlgItem(dialog, ui::IdButton3));
    ASSERT_TRUE(Closes(dialog));

    // The About box lays out its own parts too: icon, title, version.
    FocusQuilldeck(quilldeck);
    input.Key("alt+h a");
    const HWND about = quilldeck.Dialog(ui::about::Caption);
    ASSERT_NE(about, nullptr);
    quilldeck.SendDpiChanged(about, 192, SuggestedAt(about, 265, 103, 192));
    ExpectControls(about, AboutDesign, 192);
    const RECT version = ClientRectIn(::GetDlgItem(about, ui::about::IdLabel4), about);
    EXPECT_EQ(version.right, AtDpi(AboutVersionRight, 192));
    EXPECT_EQ(version.top, AtDpi(AboutVersionTop, 192));
    EXPECT_EQ(ControlText(::GetDlgItem(about, ui::about::IdLabel4)), "1.0.0");
    input.ClickOn(::GetDlgItem(about, ui::about::IdButton1));
    ASSERT_TRUE(Closes(about));
    EXPECT_EQ(quilldeck.Exit(), 0u);
}

// The fonts, which only this process can read: dialogs made here, at this
// program's DPI, then told of another.
TEST(DialogDpiTest, ADialogTakesItsFontsAtTheNewDpi) {
    TForm4 about(nullptr, nullptr, "1.0.0");
    const UINT dpi = win::DpiOfWindow(about.Handle());
    EXPECT_EQ(FontHeightOf(::GetDlgItem(about.Handle(), ui::about::IdLabel2)), AtDpi(13, dpi));
    EXPECT_EQ(FontHeightOf(::GetDlgItem(about.Handle(), ui::about::IdLabel1)), AtDpi(16, dpi));
    RECT suggested{};
    ::GetWindowRect(about.Handle(), &suggested);
    for (const UINT next : {144u, 192u, 96u}) {
        SCOPED_TRACE(next);
        ::SendMessageA(about.Handle(), WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(FontHeightOf(::GetDlgItem(about.Handle(), ui::about::IdButton1)), AtDpi(13, next));
        EXPECT_EQ(FontHeightOf(::GetDlgItem(about.Handle(), ui::about::IdLabel2)), AtDpi(13, next));
        EXPECT_EQ(FontHeightOf(::GetDlgItem(about.Handle(), ui::about::IdLabel1)), AtDpi(16, next));
        EXPECT_EQ(FontHeightOf(::GetDlgItem(about.Handle(), ui::about::IdLabel4)), AtDpi(11, next));
    }
}

}  // namespace
}  // namespace quilldeck
