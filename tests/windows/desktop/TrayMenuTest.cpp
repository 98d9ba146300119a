#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

#include "ProgramFixture.h"
#include "TrayFixture.h"
#include "win/Dpi.h"

namespace quilldeck {
namespace {

using namespace testing;
using Texts = std::vector<std::string>;

// The menu's look as it must reach the screen.
constexpr COLORREF MenuColor = RGB(0xF6, 0xF6, 0xF6);
constexpr COLORREF MenuBorderColor = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF SeparatorColor = RGB(0xC5, 0xC5, 0xC5);
constexpr COLORREF HighlightBorderColor = RGB(0xDB, 0xCE, 0x99);
constexpr COLORREF HighlightTopFrom = RGB(0xFF, 0xFD, 0xEB);
constexpr COLORREF HighlightTopTo = RGB(0xFF, 0xEB, 0xAB);
constexpr COLORREF HighlightBottomFrom = RGB(0xFF, 0xD6, 0x69);
constexpr COLORREF HighlightBottomTo = RGB(0xFF, 0xE4, 0x96);

std::string Hex(COLORREF colour) {
    if (colour == CLR_INVALID) return "none";
    char text[8];
    std::snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// Whether every channel is within the tolerance.
bool Near(COLORREF colour, COLORREF expected, int tolerance) {
    return colour != CLR_INVALID && std::abs(GetRValue(colour) - GetRValue(expected)) <= tolerance &&
           std::abs(GetGValue(colour) - GetGValue(expected)) <= tolerance &&
           std::abs(GetBValue(colour) - GetBValue(expected)) <= tolerance;
}

int Brightest(COLORREF colour) { return std::max({GetRValue(colour), GetGValue(colour), GetBValue(colour)}); }

// Text's pixels: dark on the menu's light colours (gray text is lighter).
constexpr int DarkText = 0x80;
constexpr int GrayText = 0xC0;
bool IsInk(COLORREF colour, int below = DarkText) { return colour != CLR_INVALID && Brightest(colour) < below; }

struct Ink {
    int count = 0;
    int left = INT_MAX;
    int right = -1;
    int top = INT_MAX;
    int bottom = -1;
    COLORREF darkest = CLR_INVALID;
};

Ink InkIn(const Screenshot& shot, const RECT& area, int below = DarkText) {
    Ink ink;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF colour = shot.At(x, y);
            if (!IsInk(colour, below)) continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            if (ink.darkest == CLR_INVALID || Brightest(colour) < Brightest(ink.darkest)) ink.darkest = colour;
        }
    }
    return ink;
}

// The menu's face at the size it has at that DPI.
win::UniqueFont MenuFace(bool bold, UINT dpi) {
    return win::UniqueFont(::CreateFontA(-win::Scale(15, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                         FALSE, THAI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                         DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
}

// The height of the face's character cell, which an entry's height is made of.
int CellHeight(bool bold, UINT dpi) {
    const win::UniqueFont font = MenuFace(bold, dpi);
    const std::unique_ptr<HDC__, win::FunctionDeleter<&::DeleteDC>> dc(::CreateCompatibleDC(nullptr));
    ::SelectObject(dc.get(), font.get());
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc.get(), &metrics);
    return metrics.tmHeight;
}

// The ink of a text drawn in black on the menu's colour, in the menu's face
// at the size it has at that DPI: what the menu's text should come to in
// either weight. Its place is in the reference's own drawing.
Ink ReferenceInk(const std::string& text, bool bold, UINT dpi = win::DesignDpi) {
    constexpr int Width = 400;
    constexpr int Height = 60;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const win::UniqueFont font = MenuFace(bold, dpi);
    const std::unique_ptr<HBITMAP__, win::FunctionDeleter<&::DeleteObject>> bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const std::unique_ptr<HDC__, win::FunctionDeleter<&::DeleteDC>> dc(::CreateCompatibleDC(nullptr));
    if (!font || !bitmap || !dc) throw std::runtime_error("cannot draw the reference text");
    ::SelectObject(dc.get(), bitmap.get());
    ::SelectObject(dc.get(), font.get());
    ::SelectObject(dc.get(), ::GetStockObject(DC_BRUSH));
    ::SetDCBrushColor(dc.get(), MenuColor);
    ::PatBlt(dc.get(), 0, 0, Width, Height, PATCOPY);
    ::SetTextColor(dc.get(), RGB(0, 0, 0));
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::TextOutA(dc.get(), 10, 10, text.c_str(), static_cast<int>(text.size()));
    ::GdiFlush();
    Ink ink;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < Width * Height; ++i) {
        const std::uint32_t p = pixels[i];
        if (!IsInk(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF))) continue;
        ++ink.count;
        ink.left = std::min(ink.left, i % Width);
        ink.right = std::max(ink.right, i % Width);
        ink.top = std::min(ink.top, i / Width);
        ink.bottom = std::max(ink.bottom, i / Width);
    }
    return ink;
}

// A point in an entry that no text reaches: the menu's colour unless the
// entry is highlighted.
POINT ProbeOf(const MenuEntry& entry) { return {entry.rect.right - 4, (entry.rect.top + entry.rect.bottom) / 2}; }

bool LooksHighlighted(const Screenshot& shot, const MenuEntry& entry) {
    const POINT probe = ProbeOf(entry);
    return shot.At(probe.x, probe.y) != MenuColor;
}

// Takes screenshots until the highlight shows on that entry alone.
std::optional<Screenshot> ShotWithHighlightOn(const OpenMenu& menu, const std::string& text,
                                              const std::string& keepAsPng = {}) {
    std::optional<Screenshot> shot;
    WaitFor(
        [&] {
            shot = Screenshot::Take(keepAsPng);
            if (!shot) return false;
            for (const MenuEntry& entry : menu.entries) {
                if (!entry.separator && LooksHighlighted(*shot, entry) != (entry.text == text)) return false;
            }
            return true;
        },
        std::chrono::seconds(10));
    return shot;
}

// The highlight's frame in an entry, found by its colour; right and bottom exclusive.
std::optional<RECT> HighlightFrame(const Screenshot& shot, const RECT& entry) {
    const auto first = [&](int from, int to, int step, auto colourAt) {
        for (int i = from; i != to; i += step) {
            if (colourAt(i) == HighlightBorderColor) return i;
        }
        return -1;
    };
    const int row = (entry.top + entry.bottom) / 2;
    const auto onRow = [&](int x) { return shot.At(x, row); };
    const int left = first(entry.left, entry.right, 1, onRow);
    const int right = first(entry.right - 1, entry.left - 1, -1, onRow);
    if (left < 0 || right - left < 8) return std::nullopt;
    const int column = right - 3;
    const auto onColumn = [&](int y) { return shot.At(column, y); };
    const int top = first(entry.top, entry.bottom, 1, onColumn);
    const int bottom = first(entry.bottom - 1, entry.top - 1, -1, onColumn);
    if (top < 0 || bottom - top < 8) return std::nullopt;
    return RECT{left, top, right + 1, bottom + 1};
}

// Pixels on the outline of a rectangle that are not of that colour.
int OutlineMismatches(const Screenshot& shot, const RECT& rect, COLORREF colour) {
    int mismatches = 0;
    for (int x = rect.left; x < rect.right; ++x) {
        mismatches += shot.At(x, rect.top) != colour ? 1 : 0;
        mismatches += shot.At(x, rect.bottom - 1) != colour ? 1 : 0;
    }
    for (int y = rect.top + 1; y < rect.bottom - 1; ++y) {
        mismatches += shot.At(rect.left, y) != colour ? 1 : 0;
        mismatches += shot.At(rect.right - 1, y) != colour ? 1 : 0;
    }
    return mismatches;
}

// Pixels of an area that are not of that colour.
int AreaMismatches(const Screenshot& shot, const RECT& area, COLORREF colour) {
    int mismatches = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) mismatches += shot.At(x, y) != colour ? 1 : 0;
    }
    return mismatches;
}

// The menu's own frame: a silver line, then the menu's colour up to the
// entries (no shaded edge, no side bar).
void ExpectFlatFrame(const Screenshot& shot, const OpenMenu& menu) {
    EXPECT_EQ(OutlineMismatches(shot, menu.rect, MenuBorderColor), 0)
        << "border at the top left is " << Hex(shot.At(menu.rect.left, menu.rect.top));
    RECT inside = menu.rect;
    ::InflateRect(&inside, -1, -1);
    RECT entries = menu.entries.front().rect;
    for (const MenuEntry& entry : menu.entries) ::UnionRect(&entries, &entries, &entry.rect);
    EXPECT_EQ(AreaMismatches(shot, {inside.left, inside.top, inside.right, entries.top}, MenuColor), 0);
    EXPECT_EQ(AreaMismatches(shot, {inside.left, entries.bottom, inside.right, inside.bottom}, MenuColor), 0);
    EXPECT_EQ(AreaMismatches(shot, {inside.left, inside.top, entries.left, inside.bottom}, MenuColor), 0);
    EXPECT_EQ(AreaMismatches(shot, {entries.right, inside.top, inside.right, inside.bottom}, MenuColor), 0);
}

// A plain entry: the menu's colour at its sides, dark text in the menu-text colour.
void ExpectPlainEntry(const Screenshot& shot, const MenuEntry& entry) {
    SCOPED_TRACE("plain " + entry.text);
    const RECT& r = entry.rect;
    EXPECT_EQ(AreaMismatches(shot, {r.left, r.top, r.left + 6, r.bottom}, MenuColor), 0);
    EXPECT_EQ(AreaMismatches(shot, {r.right - 12, r.top, r.right, r.bottom}, MenuColor), 0);
    const Ink ink = InkIn(shot, r);
    EXPECT_GE(ink.count, 20);
    EXPECT_TRUE(Near(ink.darkest, ::GetSysColor(COLOR_MENUTEXT), 0x30)) << Hex(ink.darkest);
}

// A highlighted entry: a frame, an upper and a lower gradient inside it, and
// dark text in the window-text colour.
void ExpectHighlightedEntry(const Screenshot& shot, const MenuEntry& entry) {
    SCOPED_TRACE("highlighted " + entry.text);
    const RECT& r = entry.rect;
    const std::optional<RECT> frame = HighlightFrame(shot, r);
    ASSERT_TRUE(frame) << "no " << Hex(HighlightBorderColor) << " frame; middle right is "
                       << Hex(shot.At(ProbeOf(entry).x, ProbeOf(entry).y));
    // It fills the entry but for a pixel or two.
    EXPECT_LE(frame->left - r.left, 2);
    EXPECT_LE(r.right - frame->right, 2);
    EXPECT_LE(frame->top - r.top, 2);
    EXPECT_LE(r.bottom - frame->bottom, 2);
    EXPECT_EQ(OutlineMismatches(shot, *frame, HighlightBorderColor), 0);

    // Down a column right of the text: each half runs from its first colour
    // to its last, so the ends of each half lie within a step or so of them.
    constexpr int Tolerance = 12;
    const int x = frame->right - 4;
    const int top = frame->top + 1;
    const int bottom = frame->bottom - 2;
    EXPECT_TRUE(Near(shot.At(x, top), HighlightTopFrom, Tolerance)) << Hex(shot.At(x, top));
    EXPECT_TRUE(Near(shot.At(x, bottom), HighlightBottomTo, Tolerance)) << Hex(shot.At(x, bottom));
    const int middle = (top + bottom + 1) / 2;
    bool halvesMeet = false;
    for (int y = middle - 2; y <= middle + 1 && !halvesMeet; ++y) {
        halvesMeet = Near(shot.At(x, y), HighlightTopTo, Tolerance) &&
                     Near(shot.At(x, y + 1), HighlightBottomFrom, Tolerance);
    }
    EXPECT_TRUE(halvesMeet) << "around the middle: " << Hex(shot.At(x, middle - 1)) << " over "
                            << Hex(shot.At(x, middle));
    const Ink ink = InkIn(shot, *frame);
    EXPECT_GE(ink.count, 20);
    EXPECT_TRUE(Near(ink.darkest, ::GetSysColor(COLOR_WINDOWTEXT), 0x30)) << Hex(ink.darkest);
}

// Bold or regular: the text's ink is nearer to one weight's than the other's.
void ExpectWeight(const Screenshot& shot, const MenuEntry& entry, bool bold, UINT dpi = win::DesignDpi) {
    const int ink = InkIn(shot, entry.rect).count;
    const int regular = ReferenceInk(entry.text, false, dpi).count;
    const int heavy = ReferenceInk(entry.text, true, dpi).count;
    ASSERT_LT(regular, heavy);
    const int distance = std::abs(ink - (bold ? heavy : regular));
    const int otherDistance = std::abs(ink - (bold ? regular : heavy));
    EXPECT_LT(distance, otherDistance) << entry.text << ": " << ink << " dark pixels, " << regular
                                       << " in regular weight, " << heavy << " in bold";
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
        clickedAt = ClickIcon(icon, MouseButton::Right);
        std::optional<OpenMenu> seen = user.Seen();
        EXPECT_TRUE(user.ActedCleanly());
        return seen;
    }

    TrayRig rig;
    TStyledPopupMenu menu = MakeTrayMenu();
    ShownTrayIcon icon;
    POINT clickedAt{};
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
    EXPECT_EQ(seen->rect.left, clickedAt.x);
    EXPECT_EQ(seen->rect.top, clickedAt.y);
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
        {"click on Exit", ClickEntry("Exit"), "Exit3"},
        {"click on Restore", ClickEntry("Restore"), "OpenVarnholt1"},
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

// The keys move the highlight, which the menu draws in its own look; Enter
// then chooses the highlighted entry.
TEST_F(TrayMenuTest, TheMenuIsDrawnFlatAndLightWithTheHighlightFollowingTheArrowKeys) {
    const struct {
        const char* key;
        const char* highlighted;
        const char* plain;
    } steps[] = {{"Down", "Restore", "Exit"}, {"Down", "Exit", "Restore"}, {"Up", "Restore", "Exit"}};
    std::vector<std::optional<Screenshot>> shots;
    const std::optional<OpenMenu> seen = RightClick([&](const OpenMenu& open) {
        for (const auto& step : steps) {
            if (!PressKeys(step.key)(open)) return false;
            // The first stays beside the test program for people to look at.
            shots.push_back(ShotWithHighlightOn(open, step.highlighted,
                                                shots.empty() ? ProgramFolder() + "tray-menu.png" : ""));
        }
        return PressKeys("Return")(open);
    });
    ASSERT_TRUE(seen);
    ASSERT_EQ(seen->Texts(), (Texts{"Restore", "Exit"}));
    ASSERT_EQ(shots.size(), std::size(steps));
    for (std::size_t i = 0; i < shots.size(); ++i) {
        SCOPED_TRACE(std::string("after ") + steps[i].key + " number " + std::to_string(i + 1));
        ASSERT_TRUE(shots[i]);
        const Screenshot& shot = *shots[i];
        ExpectFlatFrame(shot, *seen);
        ExpectHighlightedEntry(shot, seen->Entry(steps[i].highlighted));
        ExpectPlainEntry(shot, seen->Entry(steps[i].plain));
        // The default entry in bold, highlighted or not.
        ExpectWeight(shot, seen->Entry("Restore"), true);
        ExpectWeight(shot, seen->Entry("Exit"), false);
    }
    EXPECT_EQ(clicked, Texts{"OpenVarnholt1"});
    EXPECT_FALSE(menuOpenDuringClick);
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

    // The owner never had to draw anything.
    EXPECT_EQ(owner.Handled(WM_MEASUREITEM), 0);
    EXPECT_EQ(owner.Handled(WM_DRAWITEM), 0);

    // Without a text for shortcuts the caption stands alone.
    menu.ShortCutText = nullptr;
    MenuUser plain(CloseQuietly());
    menu.Popup(owner.Handle(), {300, 200});
    ASSERT_TRUE(plain.Seen());
    EXPECT_EQ(plain.Seen()->Texts(), (Texts{"Open file", "-", "Save"}));
}

// Whatever window owns it, the menu draws grayed entries in the gray-text
// colour, separators as lines and shortcuts against the right edge.
TEST(StyledPopupMenuTest, DrawsGrayedEntriesSeparatorLinesAndShortcutsAtTheRight) {
    TaskbarEntryWindow entry;
    OwnerWindow owner(entry.Handle());
    FixedKeyNames keyNames;
    std::vector<win::MenuItem> items(4);
    const char* captions[] = {"Open file", "-", "Save", "A caption longer than the others"};
    for (std::size_t i = 0; i < items.size(); ++i) items[i].caption = captions[i];
    items[0].shortCut = 0x404F;  // Ctrl+O
    items[2].enabled = false;
    TStyledPopupMenu menu(std::move(items));
    menu.ShortCutText = [&](TShortCut value) { return FormatShortcut(value, keyNames); };

    std::optional<Screenshot> shot;
    MenuUser user([&](const OpenMenu& open) {
        // Once it shows, the whole border is there. The screenshot stays
        // beside the test program for people to look at.
        WaitFor([&] {
            shot = Screenshot::Take(ProgramFolder() + "styled-popup-menu.png");
            return shot && OutlineMismatches(*shot, open.rect, MenuBorderColor) == 0;
        });
        return CloseQuietly()(open);
    });
    menu.Popup(owner.Handle(), {300, 200});
    const std::optional<OpenMenu> seen = user.Seen();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(user.ActedCleanly());
    ASSERT_EQ(seen->Texts(), (Texts{"Open file\tCtrl+O", "-", "Save", "A caption longer than the others"}));
    ASSERT_TRUE(shot);
    ExpectFlatFrame(*shot, *seen);

    // A line of the separator colour across the middle of its entry, nothing else.
    const RECT line = seen->entries[1].rect;
    int lines = 0;
    for (int y = line.top; y < line.bottom; ++y) {
        const int x = (line.left + line.right) / 2;
        if (shot->At(x, y) != SeparatorColor) continue;
        ++lines;
        EXPECT_EQ(AreaMismatches(*shot, {line.left + 4, y, line.right - 4, y + 1}, SeparatorColor), 0);
        EXPECT_EQ(AreaMismatches(*shot, {line.left, line.top, line.right, y}, MenuColor), 0);
        EXPECT_EQ(AreaMismatches(*shot, {line.left, y + 1, line.right, line.bottom}, MenuColor), 0);
    }
    EXPECT_EQ(lines, 1);

    const Ink open = InkIn(*shot, seen->Entry("Open file\tCtrl+O").rect);
    const Ink save = InkIn(*shot, seen->Entry("Save").rect, GrayText);
    EXPECT_TRUE(Near(open.darkest, ::GetSysColor(COLOR_MENUTEXT), 0x30)) << Hex(open.darkest);
    // Grayed: no pixel much darker than the gray-text colour.
    EXPECT_GE(save.count, 10);
    EXPECT_TRUE(Near(save.darkest, ::GetSysColor(COLOR_GRAYTEXT), 0x20)) << Hex(save.darkest);

    // The longest caption sets the width, so only a shortcut drawn against
    // the right edge ends near it; the caption stays at the left.
    const RECT& openRect = seen->Entry("Open file\tCtrl+O").rect;
    const Ink longest = InkIn(*shot, seen->entries[3].rect);
    EXPECT_LE(open.left - openRect.left, 16);
    EXPECT_NEAR(open.left, longest.left, 2);
    EXPECT_GE(open.right, openRect.right - 16) << "entry " << openRect.left << ".." << openRect.right;
}

// The highlight's frame anywhere in a menu, found by its colour: the first
// and last rows that hold a long line of it are its top and bottom. Right and
// bottom exclusive; nothing while no whole frame shows.
std::optional<RECT> HighlightFrameIn(const Screenshot& shot, const RECT& menu) {
    constexpr int LongLine = 16;
    std::optional<RECT> frame;
    for (int y = menu.top; y < menu.bottom; ++y) {
        for (int x = menu.left; x < menu.right; ++x) {
            int end = x;
            while (end < menu.right && shot.At(end, y) == HighlightBorderColor) ++end;
            if (end - x >= LongLine) {
                if (!frame) frame = RECT{x, y, end, y + 1};
                frame->bottom = y + 1;
            }
            x = end;
        }
    }
    if (!frame || frame->bottom - frame->top < 8 || OutlineMismatches(shot, *frame, HighlightBorderColor) != 0) {
        return std::nullopt;
    }
    return frame;
}

// Quilldeck's own tray menu, opened from its icon with a right click after a
// start straight into the tray at a display scale. Another process's menu
// cannot be read here (Wine keeps menus in the process that made them), so its
// entries are found on the screen: each arrow key moves the highlight, whose
// frame is the entry's rectangle.
struct ScaledTrayMenu {
    OpenMenu menu;
    std::optional<Screenshot> shot;  // with Restore highlighted
};

class TrayMenuScaleTest : public ProgramFixture {
protected:
    // keepAsPng: where the screenshot stays for people to look at.
    static std::optional<ScaledTrayMenu> OpenAt(UINT dpi, const std::string& keepAsPng) {
        const ScopedSystemDpi scale(dpi);
        QuilldeckProgram quilldeck("#\r\n1\r\nQuick\r\nCtrl+Alt+Q\r\n[memo]\r\nquick\r\n[/memo]\r\n\r\n");
        EXPECT_TRUE(InTray(quilldeck));
        const auto icons = ShownTrayIconsWithTip("Quilldeck 1.01");
        if (icons.size() != 1) return std::nullopt;
        ClickIcon(icons.front(), MouseButton::Right);
        HWND window = nullptr;
        const bool opened = WaitFor([&] {
            window = WindowOfClass(quilldeck.Process().Id(), "#32768");
            return window != nullptr && ::IsWindowVisible(window);
        });
        EXPECT_TRUE(opened) << "no menu at " << dpi << " DPI";
        if (!opened) return std::nullopt;

        ScaledTrayMenu scaled;
        scaled.menu.window = window;
        ::GetWindowRect(window, &scaled.menu.rect);
        // Down highlights Restore, then Exit, then Restore again: two entries.
        const char* names[] = {"Restore", "Exit", "Restore"};
        std::vector<RECT> frames;
        for (const char* name : names) {
            PressKeysInMenu(window, "Down", XdotoolKeyDelay);
            std::optional<Screenshot> shot;
            std::optional<RECT> frame;
            const bool moved = WaitFor([&] {
                shot = Screenshot::Take(frames.empty() ? keepAsPng : std::string());
                frame = shot ? HighlightFrameIn(*shot, scaled.menu.rect) : std::nullopt;
                return frame && (frames.empty() || !::EqualRect(&*frame, &frames.back())) &&
                       InkIn(*shot, *frame).count > 0;
            });
            EXPECT_TRUE(moved) << "no highlight on " << name;
            if (!moved) break;
            frames.push_back(*frame);
            if (frames.size() == 1) scaled.shot = std::move(shot);
        }
        PressKeysInMenu(window, "Escape", XdotoolKeyDelay);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(window); }));
        EXPECT_EQ(quilldeck.Exit(), 0u);
        if (frames.size() != std::size(names)) return std::nullopt;
        EXPECT_TRUE(::EqualRect(&frames[2], &frames[0])) << "more than two entries";
        for (std::size_t i = 0; i < 2; ++i) {
            MenuEntry entry;
            entry.text = names[i];
            entry.isDefault = i == 0;
            entry.rect = frames[i];
            scaled.menu.entries.push_back(entry);
        }
        return scaled;
    }
};

// Everything the menu measures is a 96-DPI design scaled by the owner's DPI;
// the entries keep their look, their text whole and sharp inside them.
TEST_F(TrayMenuScaleTest, TheTrayMenuGrowsWithTheDisplayScaleAndDrawsItsTextWhole) {
    const struct {
        UINT dpi;
        const char* keepAsPng;
    } scales[] = {{96, ""}, {144, "tray-menu-144dpi.png"}};
    std::map<UINT, ScaledTrayMenu> seen;
    for (const auto& scale : scales) {
        SCOPED_TRACE(std::to_string(scale.dpi) + " DPI");
        std::optional<ScaledTrayMenu> scaled =
            OpenAt(scale.dpi, *scale.keepAsPng ? ProgramFolder() + scale.keepAsPng : std::string());
        ASSERT_TRUE(scaled);
        ASSERT_TRUE(scaled->shot);
        const Screenshot& shot = *scaled->shot;
        // One entry under the other.
        EXPECT_EQ(scaled->menu.entries[1].rect.top, scaled->menu.entries[0].rect.bottom);
        ExpectFlatFrame(shot, scaled->menu);
        ExpectHighlightedEntry(shot, scaled->menu.Entry("Restore"));
        ExpectPlainEntry(shot, scaled->menu.Entry("Exit"));
        ExpectWeight(shot, scaled->menu.Entry("Restore"), true, scale.dpi);
        ExpectWeight(shot, scaled->menu.Entry("Exit"), false, scale.dpi);
        // The text starts where the scaled spacing puts it and no stroke
        // reaches an edge of its entry: nothing is cut off.
        for (const MenuEntry& entry : scaled->menu.entries) {
            SCOPED_TRACE(entry.text);
            const RECT& r = entry.rect;
            const Ink ink = InkIn(shot, r);
            EXPECT_GE(ink.left - r.left, win::Scale(10, scale.dpi));
            EXPECT_LE(ink.left - r.left, win::Scale(10, scale.dpi) + win::Scale(2, scale.dpi));
            EXPECT_GE(ink.top - r.top, win::Scale(3, scale.dpi));
            EXPECT_GE(r.bottom - 1 - ink.bottom, win::Scale(3, scale.dpi));
            EXPECT_GE(r.right - 1 - ink.right, win::Scale(10, scale.dpi));
        }
        seen.emplace(scale.dpi, std::move(*scaled));
    }

    // At 144 DPI the text is the face at one and a half times its size, and
    // the room around its character cell one and a half times the room at 96
    // DPI, within the rounding of the figures it is made of (spacing, the
    // system's own margin). The cell itself grows as the face's design says,
    // not exactly by half. Every entry is as wide as the one with the widest
    // text.
    struct Measured {
        int width = 0, height = 0;          // the entry's
        int textWidth = 0, textHeight = 0;  // the ink's
        int cellHeight = 0;                 // the face's
    };
    std::map<UINT, std::vector<Measured>> measured;
    std::map<UINT, int> widestText;
    for (const auto& [dpi, scaled] : seen) {
        for (const MenuEntry& entry : scaled.menu.entries) {
            SCOPED_TRACE(entry.text + " at " + std::to_string(dpi) + " DPI");
            const Ink ink = InkIn(*scaled.shot, entry.rect);
            const Ink reference = ReferenceInk(entry.text, entry.isDefault, dpi);
            EXPECT_NEAR(ink.right - ink.left, reference.right - reference.left, 1);
            EXPECT_NEAR(ink.bottom - ink.top, reference.bottom - reference.top, 1);
            measured[dpi].push_back({entry.rect.right - entry.rect.left, entry.rect.bottom - entry.rect.top,
                                     ink.right - ink.left + 1, ink.bottom - ink.top + 1,
                                     CellHeight(entry.isDefault, dpi)});
            widestText[dpi] = std::max(widestText[dpi], measured[dpi].back().textWidth);
        }
    }
    for (std::size_t i = 0; i < measured.at(96).size(); ++i) {
        SCOPED_TRACE(seen.at(96).menu.entries[i].text);
        const Measured& at96 = measured.at(96)[i];
        const Measured& at144 = measured.at(144)[i];
        EXPECT_NEAR(at144.height - at144.cellHeight, (at96.height - at96.cellHeight) * 1.5, 2.0)
            << "heights " << at96.height << " and " << at144.height << ", cells " << at96.cellHeight << " and "
            << at144.cellHeight;
        EXPECT_NEAR(at144.width - widestText.at(144), (at96.width - widestText.at(96)) * 1.5, 3.0)
            << "widths " << at96.width << " and " << at144.width;
        EXPECT_NEAR(at144.textHeight, at96.textHeight * 1.5, 2.0);
    }
}

}  // namespace
}  // namespace quilldeck
