#include "MenuStyler.h"

#include <string>
#include <utility>
#include <vector>

#include "win/Dpi.h"
#include "win/SystemError.h"

namespace quilldeck {
namespace {

// Layout of an entry, in pixels at 96 DPI: the text's distance from the
// entry's left edge, the room kept right of it, the gap before a shortcut, the
// space above and below the text, the height of a separator's entry and the
// space at either end of its line.
constexpr int TextLeft = 10;
constexpr int TextRight = 10;
constexpr int ShortcutGap = 24;
constexpr int TextPadding = 3;
constexpr int SeparatorHeight = 7;
constexpr int SeparatorInset = 2;

win::UniqueFont MakeFont(const TMenuStyler& styler, int weight, UINT dpi) {
    win::UniqueFont font(::CreateFontA(-win::Scale(styler.fontHeight, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                                       styler.fontCharset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_DONTCARE, styler.fontName.c_str()));
    if (!font) win::ThrowLastSystemError();
    return font;
}

win::UniqueBrush MakeBrush(COLORREF colour) {
    win::UniqueBrush brush(::CreateSolidBrush(colour));
    if (!brush) win::ThrowLastSystemError();
    return brush;
}

SIZE TextSize(HDC dc, const std::string& text) {
    RECT rect{};
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_SINGLELINE | DT_CALCRECT);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void FillGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to) {
    if (rect.bottom <= rect.top) return;
    const auto channel = [](BYTE value) { return static_cast<COLOR16>(value << 8); };
    TRIVERTEX corners[2] = {
        {rect.left, rect.top, channel(GetRValue(from)), channel(GetGValue(from)), channel(GetBValue(from)), 0},
        {rect.right, rect.bottom, channel(GetRValue(to)), channel(GetGValue(to)), channel(GetBValue(to)), 0},
    };
    GRADIENT_RECT span{0, 1};
    ::GradientFill(dc, corners, 2, &span, 1, GRADIENT_FILL_RECT_V);
}

}  // namespace

MenuPainter::Layout MenuPainter::LayoutFor(UINT dpi) {
    return {win::Scale(TextLeft, dpi),        win::Scale(TextRight, dpi),       win::Scale(ShortcutGap, dpi),
            win::Scale(TextPadding, dpi),     win::Scale(SeparatorHeight, dpi), win::Scale(SeparatorInset, dpi)};
}

MenuPainter::MenuPainter(const TMenuStyler& styler, UINT dpi, std::vector<PaintedEntry> entries)
    : styler_(styler),
      layout_(LayoutFor(dpi)),
      entries_(std::move(entries)),
      font_(MakeFont(styler, FW_NORMAL, dpi)),
      boldFont_(MakeFont(styler, FW_BOLD, dpi)),
      menuBrush_(MakeBrush(styler.menuColor)),
      separatorBrush_(MakeBrush(styler.separatorColor)),
      selectedBorderBrush_(MakeBrush(styler.selectedBorderColor)),
      borderBrush_(MakeBrush(styler.borderColor)) {}

const PaintedEntry& MenuPainter::EntryOf(UINT command) const {
    static const PaintedEntry none;
    return command >= 1 && command <= entries_.size() ? entries_[command - 1] : none;
}

void MenuPainter::Measure(UINT command, MEASUREITEMSTRUCT& item) const {
    const PaintedEntry& entry = EntryOf(command);
    if (entry.separator) {
        item.itemWidth = static_cast<UINT>(layout_.textLeft + layout_.textRight);
        item.itemHeight = static_cast<UINT>(layout_.separatorHeight);
        return;
    }
    const win::WindowDc screen(nullptr);
    const win::SavedDc saved(screen.Get());
    ::SelectObject(screen.Get(), entry.isDefault ? boldFont_.get() : font_.get());
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(screen.Get(), &metrics);
    LONG width = layout_.textLeft + TextSize(screen.Get(), entry.caption).cx + layout_.textRight;
    if (!entry.shortcut.empty()) width += layout_.shortcutGap + TextSize(screen.Get(), entry.shortcut).cx;
    item.itemWidth = static_cast<UINT>(width);
    item.itemHeight = static_cast<UINT>(metrics.tmHeight + 2 * layout_.textPadding);
}

void MenuPainter::Draw(UINT command, const DRAWITEMSTRUCT& item) const {
    const PaintedEntry& entry = EntryOf(command);
    const HDC dc = item.hDC;
    const win::SavedDc saved(dc);
    const RECT& rect = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0 && !entry.separator;
    if (selected) {
        RECT inner = rect;
        ::InflateRect(&inner, -1, -1);
        const LONG middle = inner.top + (inner.bottom - inner.top) / 2;
        FillGradient(dc, {inner.left, inner.top, inner.right, middle}, styler_.selectedTopFrom, styler_.selectedTopTo);
        FillGradient(dc, {inner.left, middle, inner.right, inner.bottom}, styler_.selectedBottomFrom,
                     styler_.selectedBottomTo);
        ::FrameRect(dc, &rect, selectedBorderBrush_.get());
    } else {
        ::FillRect(dc, &rect, menuBrush_.get());
    }

    if (entry.separator) {
        const LONG middle = rect.top + (rect.bottom - rect.top) / 2;
        const RECT line{rect.left + layout_.separatorInset, middle, rect.right - layout_.separatorInset,
                        middle + 1};
        ::FillRect(dc, &line, separatorBrush_.get());
        return;
    }

    const bool grayed = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const int textColor = grayed ? COLOR_GRAYTEXT : selected ? styler_.selectedTextSysColor : styler_.textSysColor;
    ::SetTextColor(dc, ::GetSysColor(textColor));
    ::SetBkMode(dc, TRANSPARENT);
    ::SelectObject(dc, entry.isDefault ? boldFont_.get() : font_.get());
    RECT text{rect.left + layout_.textLeft, rect.top, rect.right - layout_.textRight, rect.bottom};
    constexpr UINT format = DT_SINGLELINE | DT_VCENTER;
    ::DrawTextA(dc, entry.caption.c_str(), static_cast<int>(entry.caption.size()), &text, format | DT_LEFT);
    if (!entry.shortcut.empty()) {
        ::DrawTextA(dc, entry.shortcut.c_str(), static_cast<int>(entry.shortcut.size()), &text, format | DT_RIGHT);
    }
}

void MenuPainter::PaintFrame(HWND window, HMENU menu) const {
    RECT bounds{};
    if (!::GetWindowRect(window, &bounds)) return;
    const win::WindowDc dc(window, true);
    if (dc.Get() == nullptr) return;
    const win::SavedDc saved(dc.Get());
    // The entries draw themselves; everything else is background, then the border.
    const int count = ::GetMenuItemCount(menu);
    for (int index = 0; index < count; ++index) {
        RECT entry{};
        if (!::GetMenuItemRect(window, menu, static_cast<UINT>(index), &entry)) continue;
        ::OffsetRect(&entry, -bounds.left, -bounds.top);
        ::ExcludeClipRect(dc.Get(), entry.left, entry.top, entry.right, entry.bottom);
    }
    const RECT whole{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
    ::FillRect(dc.Get(), &whole, menuBrush_.get());
    ::FrameRect(dc.Get(), &whole, borderBrush_.get());
}

}  // namespace quilldeck
