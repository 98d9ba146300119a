#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "slots/SlotTable.h"
#include "win/MenuTable.h"

namespace quilldeck::ui {

// The main window's list of the twenty slots with its status bar and its
// shortcut menu: a report list view with check boxes (number, description,
// shortcut), the fixed columns at their widths for the DPI and the last one
// over the rest; the status bar showing the selected row's number with its
// description as the bar's tooltip; the menu's commands, offered as far as
// the selection allows, also as keys in the list. Notifications come in
// through OnNotify and OnContextMenu; what the user did goes out through the
// On... handlers.
class SlotList {
public:
    static constexpr int NoRow = -1;

    // Takes the list view and the status bar made from the window's layout;
    // the rows stay empty until shown.
    SlotList(HWND owner, HWND list, HWND statusBar, UINT dpi, SlotTable& slots,
             const win::ShortcutNamer& shortcutText);
    ~SlotList();
    SlotList(const SlotList&) = delete;
    SlotList& operator=(const SlotList&) = delete;

    HWND List() const noexcept { return list_; }

    // Shows a slot of the table in its row again, raising no OnCheck.
    void ShowRow(int row);
    // Shows every slot of the table, redrawing once.
    void ShowRows();
    // The selected row, NoRow for none.
    int SelectedRow() const;
    bool HasSelectedSlot() const;
    // Selects a row, gives it the focus mark and scrolls it into view.
    void SelectRow(int row);
    // Moves the selected slot one row up (step -1) or down (+1), the
    // selection with it; nothing at either end.
    void MoveSelected(int step);
    // Clears a slot and shows it so; the status bar goes empty.
    void ClearSlot(int row);

    // The status bar's text, and its tooltip's.
    void SetStatus(const std::string& text, const std::string& hint);
    // The selected row's number and description there, or nothing.
    void ShowSelection();
    // Makes the status bar's tooltip; until then the hint is only kept.
    void CreateStatusHint();

    // The window has been shown: from now on the last column fills the list.
    void StretchLastColumn();
    // Lays the columns out again at another DPI.
    void SetDpi(UINT dpi);

    // Answers a notification the owner received, when it comes from the list
    // or its header; nothing for others.
    std::optional<LRESULT> OnNotify(const NMHDR& header);
    // Answers WM_CONTEXTMENU: the shortcut menu, when it is the list's.
    bool OnContextMenu(HWND window, LPARAM at);

    // A row's check box changed by the user (a click, Space).
    std::function<void(int row, bool active)> OnCheck;
    // The selection changed.
    std::function<void()> OnSelect;
    // A double click on the list.
    std::function<void()> OnDoubleClick;
    // A command of the shortcut menu, chosen there or by its key.
    std::function<void(int id)> OnCommand;

private:
    // The fixed columns at their widths for the DPI and, once stretching is
    // on, the last one over the rest of the list.
    void FitColumns();
    static LRESULT CALLBACK ListMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    std::optional<LRESULT> OnHeaderNotify(const NMHDR& header) const;
    // Offers the menu's commands as far as the selection allows.
    void PopupMenu2Popup() const;
    // A key that is a command's shortcut runs it, where it is offered.
    bool OnKey(WPARAM virtualKey);
    // Where a shortcut menu opened from the keyboard goes: below the selected
    // row's text, or at the list's corner, in screen coordinates.
    POINT KeyboardMenuPoint() const;

    HWND owner_;
    HWND list_;
    HWND statusBar_;
    UINT dpi_;
    SlotTable& slots_;
    win::ShortcutMenu PopupMenu2;
    HWND statusHint_ = nullptr;
    // The hint the status bar shows, kept until its tooltip exists.
    std::string statusHintText_;
    bool showingRows_ = false;
    bool stretchLastColumn_ = false;
};

}  // namespace quilldeck::ui
