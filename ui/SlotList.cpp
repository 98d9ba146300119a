#include "SlotList.h"

#include <commctrl.h>

#include <exception>
#include <string>

#include "MainWindowLayout.h"
#include "win/Dpi.h"
#include "win/ErrorBox.h"

namespace quilldeck::ui {
namespace {

constexpr UINT_PTR ListSubclassId = 2;
constexpr int ColumnCount = static_cast<int>(ListView1Columns.size());

bool IsFixedColumn(int column) { return column >= 0 && column < ColumnCount && ListView1Columns[column].fixed; }

bool IsDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

// The shortcut value of a key press, as the menus name their shortcuts.
TShortCut PressedShortcut(WPARAM virtualKey) {
    auto value = static_cast<TShortCut>(virtualKey & 0xFF);
    if (IsDown(VK_SHIFT)) value |= ShiftBit;
    if (IsDown(VK_CONTROL)) value |= CtrlBit;
    if (IsDown(VK_MENU)) value |= AltBit;
    return value;
}

}  // namespace

SlotList::SlotList(HWND owner, HWND list, HWND statusBar, UINT dpi, SlotTable& slots,
                   const win::ShortcutNamer& shortcutText)
    : owner_(owner),
      list_(list),
      statusBar_(statusBar),
      dpi_(dpi),
      slots_(slots),
      PopupMenu2(PopupMenu2Entries, shortcutText) {
    ListView_SetExtendedListViewStyle(list_, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < ColumnCount; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(ListView1Columns[i].header);
        column.cx = win::Scale(ListView1Columns[i].width, dpi_);
        column.iSubItem = i;
        ::SendMessageA(list_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int row = 0; row < SlotCount; ++row) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>("");
        ::SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    // For the columns' widths and the shortcut keys.
    ::SetWindowSubclass(list_, &SlotList::ListMessages, ListSubclassId, reinterpret_cast<DWORD_PTR>(this));
    ::SendMessageA(statusBar_, SB_SIMPLE, TRUE, 0);
}

SlotList::~SlotList() { ::RemoveWindowSubclass(list_, &SlotList::ListMessages, ListSubclassId); }

void SlotList::ShowRow(int row) {
    const Slot& slot = slots_.At(row);
    showingRows_ = true;
    ListView_SetItemText(list_, row, 1, const_cast<char*>(slot.description.c_str()));
    ListView_SetItemText(list_, row, 2, const_cast<char*>(slot.shortcut.c_str()));
    ListView_SetCheckState(list_, row, slot.active);
    showingRows_ = false;
}

void SlotList::ShowRows() {
    // The list redraws once for the twenty rows, not after every change:
    // each change costs a round trip to the wineserver.
    ::SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    for (int row = 0; row < SlotCount; ++row) ShowRow(row);
    ::SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
}

int SlotList::SelectedRow() const {
    return static_cast<int>(::SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool SlotList::HasSelectedSlot() const {
    const int row = SelectedRow();
    return row >= 0 && row < SlotCount;
}

void SlotList::SelectRow(int row) {
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, row, FALSE);
}

void SlotList::MoveSelected(int step) {
    const int row = SelectedRow();
    if (row < 0 || row + step < 0 || row + step >= SlotCount) return;
    const int moved = step < 0 ? slots_.MoveSlotUp(row) : slots_.MoveSlotDown(row);
    ShowRow(row);
    ShowRow(moved);
    SelectRow(moved);
}

void SlotList::ClearSlot(int row) {
    slots_.ClearSlot(row);
    ShowRow(row);
    SetStatus("", "");
}

POINT SlotList::KeyboardMenuPoint() const {
    RECT row{};
    const int selected = SelectedRow();
    if (selected >= 0) ListView_GetItemRect(list_, selected, &row, LVIR_LABEL);
    POINT at{row.left, row.bottom};
    ::ClientToScreen(list_, &at);
    return at;
}

void SlotList::SetStatus(const std::string& text, const std::string& hint) {
    ::SendMessageA(statusBar_, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
    statusHintText_ = hint;
    if (statusHint_ == nullptr) return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(statusBar_);
    tool.lpszText = const_cast<char*>(hint.c_str());
    ::SendMessageA(statusHint_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void SlotList::ShowSelection() {
    if (HasSelectedSlot()) {
        const int row = SelectedRow();
        SetStatus(std::to_string(row + 1) + "/" + std::to_string(SlotCount), slots_.At(row).description);
    } else {
        SetStatus("", "");
    }
}

void SlotList::PopupMenu2Popup() const {
    const int row = SelectedRow();
    const bool selected = HasSelectedSlot();
    PopupMenu2.Enable(IdDefine1, selected);
    PopupMenu2.Enable(IdUp1, selected && row > 0);
    PopupMenu2.Enable(IdDown1, selected && row < SlotCount - 1);
    PopupMenu2.Enable(IdDelete2, selected && slots_.IsDefined(row));
}

bool SlotList::OnContextMenu(HWND window, LPARAM at) {
    if (window != list_) return false;
    POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    // From the keyboard: beside the selected row, or the list's corner.
    if (at == -1) point = KeyboardMenuPoint();
    PopupMenu2Popup();
    if (const int id = PopupMenu2.Track(owner_, point); id != 0 && OnCommand) OnCommand(id);
    return true;
}

bool SlotList::OnKey(WPARAM virtualKey) {
    PopupMenu2Popup();
    const std::optional<int> command = PopupMenu2.CommandOfShortcut(PressedShortcut(virtualKey));
    if (!command) return false;
    if (*command != 0 && OnCommand) OnCommand(*command);
    return true;
}

void SlotList::CreateStatusHint() {
    if (statusHint_ != nullptr) return;
    // A top-level window owned by the owner, which destroys it.
    statusHint_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(statusBar_);
    tool.lpszText = const_cast<char*>(statusHintText_.c_str());
    ::SendMessageA(statusHint_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void SlotList::StretchLastColumn() {
    stretchLastColumn_ = true;
    FitColumns();
}

void SlotList::SetDpi(UINT dpi) {
    // Rows, selection and check boxes stay; the fixed columns take their
    // widths at this DPI and the last one the rest.
    dpi_ = dpi;
    FitColumns();
}

void SlotList::FitColumns() {
    // A width that the header did not ask about first (a change from another
    // program comes with no notification to refuse) is put back here.
    int others = 0;
    for (int column = 0; column + 1 < ColumnCount; ++column) {
        const int fixed = win::Scale(ListView1Columns[column].width, dpi_);
        if (ListView_GetColumnWidth(list_, column) != fixed) ListView_SetColumnWidth(list_, column, fixed);
        others += fixed;
    }
    if (!stretchLastColumn_) return;
    RECT client;
    ::GetClientRect(list_, &client);
    const int last = ColumnCount - 1;
    const int width = client.right - others - 1;
    if (width > 0 && width != ListView_GetColumnWidth(list_, last)) ListView_SetColumnWidth(list_, last, width);
}

LRESULT CALLBACK SlotList::ListMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
    auto& list = *reinterpret_cast<SlotList*>(self);
    // The last column fills the rest of the list whenever the list is resized
    // or painted, whatever changed a width in between.
    if (message == WM_SIZE) {
        const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
        list.FitColumns();
        return result;
    }
    if (message == WM_PAINT) list.FitColumns();
    if (message == WM_KEYDOWN) {
        // No exception may cross the system's code.
        try {
            if (list.OnKey(wParam)) return 0;
        } catch (const std::exception& error) {
            win::ShowErrorBox(error.what(), ::GetAncestor(window, GA_ROOTOWNER));
            return 0;
        }
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

std::optional<LRESULT> SlotList::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_) return OnHeaderNotify(header);
    switch (header.code) {
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if (change.iItem < 0 || !(change.uChanged & LVIF_STATE)) return 0;
            if ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) {
                // A click on the check box, or Space.
                if (!showingRows_ && OnCheck) OnCheck(change.iItem, ListView_GetCheckState(list_, change.iItem) != 0);
            }
            if (((change.uNewState ^ change.uOldState) & LVIS_SELECTED) && OnSelect) OnSelect();
            return 0;
        }
        case NM_DBLCLK:
            if (OnDoubleClick) OnDoubleClick();
            return 0;
        case LVN_BEGINLABELEDITA:
        case LVN_BEGINLABELEDITW:
            return TRUE;  // no editing in place
    }
    return 0;
}

std::optional<LRESULT> SlotList::OnHeaderNotify(const NMHDR& header) const {
    if (::GetParent(header.hwndFrom) != list_) return std::nullopt;
    // The fixed columns keep their widths: no drag or double click on their
    // edges, and no width but their own at this DPI, however it comes (Ctrl
    // and the keypad's plus, another program).
    switch (header.code) {
        case HDN_ITEMCHANGINGA:
        case HDN_ITEMCHANGINGW: {
            const auto& change = reinterpret_cast<const NMHEADERA&>(header);
            if (!IsFixedColumn(change.iItem) || change.pitem == nullptr || (change.pitem->mask & HDI_WIDTH) == 0) {
                return FALSE;
            }
            return change.pitem->cxy != win::Scale(ListView1Columns[change.iItem].width, dpi_) ? TRUE : FALSE;
        }
        case HDN_BEGINTRACKA:
        case HDN_BEGINTRACKW:
        case HDN_DIVIDERDBLCLICKA:
        case HDN_DIVIDERDBLCLICKW:
            return IsFixedColumn(reinterpret_cast<const NMHEADERA&>(header).iItem) ? TRUE : FALSE;
    }
    return 0;
}

}  // namespace quilldeck::ui
