#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win/Handle.h"
#include "win/OwnerDrawnMenu.h"

namespace quilldeck {

// The look of a styled popup menu: the flat, light scheme "osObsidian", not
// adapted to the system's theme. The text colours are system colours
// (GetSysColor indices), the others fixed. The scheme's icon bar (#E9EEEE,
// separator #C5C5C5) is never drawn, since the menus have no icons, and there
// is no side bar.
struct TMenuStyler {
    std::string fontName = "Tahoma";
    int fontHeight = 15;  // character height in pixels
    BYTE fontCharset = THAI_CHARSET;
    int textSysColor = COLOR_MENUTEXT;
    int selectedTextSysColor = COLOR_WINDOWTEXT;
    COLORREF menuColor = RGB(0xF6, 0xF6, 0xF6);
    COLORREF separatorColor = RGB(0xC5, 0xC5, 0xC5);
    // The highlighted entry: one gradient over its upper half, one over its lower half.
    COLORREF selectedTopFrom = RGB(0xFF, 0xFD, 0xEB);
    COLORREF selectedTopTo = RGB(0xFF, 0xEB, 0xAB);
    COLORREF selectedBottomFrom = RGB(0xFF, 0xD6, 0x69);
    COLORREF selectedBottomTo = RGB(0xFF, 0xE4, 0x96);
    COLORREF selectedBorderColor = RGB(0xDB, 0xCE, 0x99);
    COLORREF borderColor = RGB(0xC0, 0xC0, 0xC0);  // silver
};

// An entry of a styled menu as it is drawn.
struct PaintedEntry {
    std::string caption;
    std::string shortcut;  // shown right-aligned; empty for none
    bool separator = false;
    bool isDefault = false;  // drawn in bold
};

// Draws the owner-drawn entries of a popup menu, and its window's border, in a
// styler's look. Each entry is drawn from its typed description, found by its
// command identifier; the grayed state comes with the drawing request.
// The styler's font height and the entries' spacing are designs at 96 DPI,
// scaled to the DPI the menu is drawn at; lines stay one pixel wide.
class MenuPainter final : public win::MenuArtist {
public:
    // entries: the entry of command identifier c at index c - 1. Makes the
    // fonts and brushes for that DPI; a system error when it cannot.
    MenuPainter(const TMenuStyler& styler, UINT dpi, std::vector<PaintedEntry> entries);
    MenuPainter(const MenuPainter&) = delete;
    MenuPainter& operator=(const MenuPainter&) = delete;

    // For the menu's own background (MENUINFO::hbrBack).
    HBRUSH MenuBrush() const noexcept { return menuBrush_.get(); }

    // Answers WM_MEASUREITEM for an entry of the menu.
    void Measure(UINT command, MEASUREITEMSTRUCT& item) const override;
    // Answers WM_DRAWITEM for an entry of the menu.
    void Draw(UINT command, const DRAWITEMSTRUCT& item) const override;
    // Paints the menu window's border and everything around its entries.
    void PaintFrame(HWND window, HMENU menu) const override;

private:
    const PaintedEntry& EntryOf(UINT command) const;

    // The entries' spacing in pixels at the painter's DPI.
    struct Layout {
        int textLeft;
        int textRight;
        int shortcutGap;
        int textPadding;
        int separatorHeight;
        int separatorInset;
    };
    static Layout LayoutFor(UINT dpi);

    const TMenuStyler& styler_;
    Layout layout_;
    std::vector<PaintedEntry> entries_;
    win::UniqueFont font_;
    win::UniqueFont boldFont_;
    win::UniqueBrush menuBrush_;
    win::UniqueBrush separatorBrush_;
    win::UniqueBrush selectedBorderBrush_;
    win::UniqueBrush borderBrush_;
};

}  // namespace quilldeck
