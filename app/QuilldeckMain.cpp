#include "QuilldeckMain.h"

#include "Version.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "slots/InOutError.h"
#include "slots/PathText.h"
#include "ui/MainWindowLayout.h"
#include "ui/QuilldeckAbout.h"
#include "ui/QuilldeckDefine.h"
#include "ui/QuilldeckOptions.h"
#include "win/Controls.h"
#include "win/Dpi.h"
#include "win/ProgramFile.h"
#include "win/Shell.h"

namespace quilldeck {
namespace {

constexpr int NoRow = -1;
constexpr const char* StatusSuffix = "/20";
// The version the About box shows.
constexpr const char* VersionText = QUILLDECK_VERSION;
// The help page. The host lies under the reserved .example domain, which no
// one else can ever own.
constexpr const char* HelpPageAddress = "http://kestrovar.example/redirect/quilldeck.htm";
constexpr const char* StartupShortcutName = "\\Quilldeck.lnk";

HICON ProgramIcon(int size) {
    return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, size,
                                           size, LR_DEFAULTCOLOR));
}

bool IsDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

// The shortcut value of a key press, as the menus name their shortcuts.
TShortCut PressedShortcut(WPARAM virtualKey) {
    TShortCut value = static_cast<TShortCut>(virtualKey & 0xFF);
    if (IsDown(VK_SHIFT)) value |= ShiftBit;
    if (IsDown(VK_CONTROL)) value |= CtrlBit;
    if (IsDown(VK_MENU)) value |= AltBit;
    return value;
}

}  // namespace

TForm1::TForm1(win::Application& application, UINT taskbarCreatedMessage, const TAppProcess& process)
    : app_(application),
      dpi_(win::SystemDpi()),
      font_(win::MakeCommonFont(dpi_)),
      StyledPopupMenu1(MakeTrayMenu()),
      OneInstance1(process) {
    // The window's outer size follows from its client area and frame, at the
    // DPI of the primary monitor, where it opens.
    const SIZE size = WindowSizeAt(dpi_);
    const int width = size.cx;
    const int height = size.cy;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    // Created fully transparent: the first activation makes it opaque, so a
    // start into the tray never shows the window.
    Create("QuilldeckMainWindow", WS_EX_LAYERED, ui::MainWindowStyle, ui::MainWindowCaption, left, top, width,
           height, app_.TaskbarEntry(), nullptr, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
           ProgramIcon(win::SystemMetricForDpi(SM_CXSMICON, dpi_)));
    ::SetLayeredWindowAttributes(Handle(), 0, 0, LWA_ALPHA);
    app_.MainWindow = Handle();
    CreateMenus();
    CreateControls();
    // Another monitor may have taken it.
    if (const UINT dpi = win::DpiOfWindow(Handle()); dpi != dpi_) OnDpiChanged(dpi, nullptr);

    paste_ = std::make_unique<PasteAction>(codePage_, keyboard_, app_.TaskbarEntry());
    std::span<win::MenuItem, SlotCount> carriers(StyledPopupMenu1.Items().data(), SlotCount);
    hotKeys_ = std::make_unique<SlotHotKeys>(slots_, carriers, codePage_, keyNames_, registrar_, *paste_);
    StyledPopupMenu1.ShortCutText = [this](TShortCut value) { return FormatShortcut(value, keyNames_); };
    StyledPopupMenu1.Item("OpenVarnholt1").onClick = [this](win::MenuItem&) { OpenVarnholt1Click(); };
    StyledPopupMenu1.Item("Exit3").onClick = [this](win::MenuItem&) { Exit2Click(); };
    StyledPopupMenu1.OnPopup = [this] { StyledPopupMenu1Popup(); };

    TrayIcon1 = std::make_unique<TTrayIcon>(app_.TaskbarEntry(), taskbarCreatedMessage,
                                            ProgramIcon(win::SystemMetricForDpi(SM_CXSMICON, win::SystemDpi())),
                                            [this] { app_.ProcessMessages(); });
    TrayIcon1->PopupMenu = &StyledPopupMenu1;
    TrayIcon1->OnDblClick = [this] { TrayIcon1DblClick(); };
    OneInstance1.Enabled = true;
    OneInstance1.Mode = TOneInstanceMode::oiCustom;
    OneInstance1.OnCustom = [this] { OneInstance1Custom(); };

    // The components have loaded. The guard comes first: a second copy ends
    // in it before the tray icon's first setting shows the taskbar button and
    // before FormCreate reads or creates the settings file.
    OneInstance1.Loaded();
    loaded_ = true;
    // Inactive, as the window is stored: this shows the taskbar entry.
    TrayIcon1->SetActive(false);

    FormCreate();
}

TForm1::~TForm1() {
    // The components go before the window: the tray icon leaves the
    // notification area and the hot keys are released.
    TrayIcon1.reset();
    hotKeys_.reset();
    if (PopupMenu2 != nullptr) ::DestroyMenu(PopupMenu2);
    app_.MainWindow = nullptr;
    Destroy();
}

void TForm1::CreateMenus() {
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuA(file, MF_STRING, ui::IdOptions1, "&Options...");
    ::AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(file, MF_STRING, ui::IdExit2, "&Exit");
    HMENU help = ::CreatePopupMenu();
    ::AppendMenuA(help, MF_STRING, ui::IdHowtouse1, "&How to use");
    ::AppendMenuA(help, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(help, MF_STRING, ui::IdAbout2, "&About...");
    HMENU MainMenu1 = ::CreateMenu();
    ::AppendMenuA(MainMenu1, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    ::AppendMenuA(MainMenu1, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    ::SetMenu(Handle(), MainMenu1);  // destroyed with the window

    PopupMenu2 = ::CreatePopupMenu();
    for (const ui::PopupEntry& entry : ui::PopupMenu2Entries) {
        if (entry.id == 0) {
            ::AppendMenuA(PopupMenu2, MF_SEPARATOR, 0, nullptr);
        } else {
            const std::string caption = std::string(entry.caption) + "\t" + FormatShortcut(entry.shortcut, keyNames_);
            ::AppendMenuA(PopupMenu2, MF_STRING, static_cast<UINT_PTR>(entry.id), caption.c_str());
        }
    }
    ::SetMenuDefaultItem(PopupMenu2, ui::IdDefine1, FALSE);
}

void TForm1::CreateControls() {
    controls_ = win::CreateControls(Handle(), ui::MainWindowControls, font_.get(), dpi_, win::TableOrder::BottomFirst);
    Button_Dummy = controls_[0];
    ListView1 = controls_[1];
    StatusBar1 = controls_[2];

    ListView_SetExtendedListViewStyle(ListView1, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (std::size_t i = 0; i < ui::ListView1Columns.size(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(ui::ListView1Columns[i].header);
        column.cx = win::Scale(ui::ListView1Columns[i].width, dpi_);
        column.iSubItem = static_cast<int>(i);
        ::SendMessageA(ListView1, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int row = 0; row < SlotCount; ++row) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>("");
        ::SendMessageA(ListView1, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    // The focus holder, where the focus is parked at every minimise, and the
    // list take Tab; the list also its shortcuts and its last column's width.
    for (HWND control : {Button_Dummy, ListView1}) {
        ::SetWindowSubclass(control, &TForm1::ControlMessages, 1, reinterpret_cast<DWORD_PTR>(this));
    }

    ::SendMessageA(StatusBar1, SB_SIMPLE, TRUE, 0);
    // The status bar's hint waits for the message loop: a tooltip is a
    // top-level window, which under Wine costs the start-up an X window, and
    // nobody points at the status bar before the window shows.
    ::PostMessageA(Handle(), CreateStatusHintMessage, 0, 0);
}

void TForm1::CreateStatusHint() {
    if (statusHint_ != nullptr) return;
    // The status bar's hint, the selected slot's description, as its tooltip.
    statusHint_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(StatusBar1);
    tool.lpszText = const_cast<char*>(statusHintText_.c_str());
    ::SendMessageA(statusHint_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// ---- Settings and binding ------------------------------------------------

void TForm1::LoadSettings() {
    try {
        settings_.Load(slots_, StartMinimize);
    } catch (const SettingsUnavailable& unavailable) {
        if (unavailable.Why() == SettingsUnavailable::Reason::CannotCreate) {
            ::MessageBoxA(nullptr, unavailable.what(), "Error", MB_OK | MB_ICONERROR);
        }
        throw StartupAbandoned();
    } catch (const EInOutError& error) {
        // A read that failed part-way: the slots not read keep their defaults.
        app_.ShowException(error);
    }
    // The list redraws once for the twenty rows, not after every change:
    // each change costs a round trip to the wineserver.
    ::SendMessageA(ListView1, WM_SETREDRAW, FALSE, 0);
    for (int row = 0; row < SlotCount; ++row) ShowRow(row);
    ::SendMessageA(ListView1, WM_SETREDRAW, TRUE, 0);
}

void TForm1::SaveSettings() { settings_.Save(slots_, StartMinimize); }

void TForm1::ApplyAllSlots() { hotKeys_->ApplyAllSlots(); }

// ---- Life cycle ------------------------------------------------------------

void TForm1::FormCreate() {
    LoadSettings();
    TrayIcon1->SetHint(ui::MainWindowCaption);
    app_.OnMinimize = [this] { AppMinimized(); };
}

void TForm1::OneInstance1Custom() {
    // No owner: the box stands on its own, centred on the screen. The copy
    // that runs is neither told nor brought to the front.
    ::MessageBoxA(nullptr, "Quilldeck already running.!", app_.Title().c_str(), MB_OK);
    throw StartupAbandoned();
}

void TForm1::ShowFirst(int showCommand) {
    if (showCommand == SW_SHOWMINNOACTIVE || showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE) {
        // Straight into the tray; the window appears at the first restore.
        minimizedBeforeShown_ = true;
        try {
            app_.Minimize();
        } catch (const std::exception& error) {
            // The first save failed (a read-only settings file): the error
            // is shown and the program stays minimised with its taskbar
            // button, as after any failed minimise.
            app_.ShowException(error);
        }
        return;
    }
    ::ShowWindow(Handle(), SW_SHOWNORMAL);
}

void TForm1::FormActivate() {
    if (!FirstActivation) return;
    FirstActivation = false;
    SelectRow(0);
    ::SetFocus(Button_Dummy);
    ::SetFocus(ListView1);
    try {
        if (StartMinimize && !minimizedBeforeShown_) app_.Minimize();
    } catch (...) {
        // The user must see the error and the program, not an invisible window.
        MakeOpaque();
        app_.Restore();
        throw;
    }
    MakeOpaque();
}

void TForm1::MakeOpaque() {
    ::SetWindowLongA(Handle(), GWL_EXSTYLE, ::GetWindowLongA(Handle(), GWL_EXSTYLE) & ~WS_EX_LAYERED);
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
}

SIZE TForm1::WindowSizeAt(UINT dpi) const {
    RECT frame{0, 0, win::Scale(ui::MainClientWidth, dpi), win::Scale(ui::MainClientHeight, dpi)};
    win::AdjustWindowRectForDpi(frame, ui::MainWindowStyle, true, WS_EX_LAYERED, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void TForm1::OnDpiChanged(UINT dpi, const RECT* suggested) {
    win::UniqueFont font = win::MakeCommonFont(dpi);
    dpi_ = dpi;
    if (suggested != nullptr) {
        ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        const SIZE size = WindowSizeAt(dpi);
        ::SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    win::PlaceControls(controls_, ui::MainWindowControls, font.get(), dpi);
    // The controls hold the new font before the old one goes.
    font_ = std::move(font);
    // Rows, selection and check boxes stay; the fixed columns take their
    // widths at this DPI and the last one the rest.
    FitColumns();
}

void TForm1::FormShow() {
    stretchLastColumn_ = true;
    FitColumns();
}

void TForm1::AppMinimized() {
    SelectRow(0);
    ::SetFocus(Button_Dummy);  // fails harmlessly on a window never shown
    SaveSettings();
    // The hot keys come last, once the icon is in place: hiding the taskbar
    // button may hold this thread for a while (Wine without a window manager
    // waits two seconds for one), and a press in that time would wait too.
    TrayIcon1->SetActive(true);
    ApplyAllSlots();
}

bool TForm1::FormCloseQuery() {
    if (ExitRequested || TrayIcon1->Active()) return true;
    app_.Minimize();
    return false;
}

bool TForm1::FormClose() {
    try {
        SaveSettings();
        return true;
    } catch (const std::exception& error) {
        app_.ShowException(error);
        return win::Confirm(Handle(), "Settings could not be saved. Exit anyway?");
    }
}

void TForm1::Close() {
    if (FormCloseQuery() && FormClose()) app_.Terminate();
}

void TForm1::Exit2Click() {
    ExitRequested = true;
    Close();
}

void TForm1::OpenVarnholt1Click() {
    TrayIcon1->SetActive(false);
    app_.Restore();
}

void TForm1::StyledPopupMenu1Popup() {
    // A right click queued behind a double click opens the menu after the
    // restore: then it offers nothing.
    const bool inTray = TrayIcon1->Active();
    StyledPopupMenu1.Item("OpenVarnholt1").visible = inTray;
    StyledPopupMenu1.Item("Exit3").visible = inTray;
}

void TForm1::TrayIcon1DblClick() {
    OpenVarnholt1Click();
    app_.ProcessMessages();
    app_.BringToFront();
}

// ---- The slot list ---------------------------------------------------------

void TForm1::ShowRow(int row) {
    const Slot& slot = slots_.At(row);
    showingRows_ = true;
    ListView_SetItemText(ListView1, row, 1, const_cast<char*>(slot.description.c_str()));
    ListView_SetItemText(ListView1, row, 2, const_cast<char*>(slot.shortcut.c_str()));
    ListView_SetCheckState(ListView1, row, slot.active);
    showingRows_ = false;
}

int TForm1::SelectedRow() const {
    return static_cast<int>(::SendMessageA(ListView1, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TForm1::SelectRow(int row) {
    ListView_SetItemState(ListView1, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(ListView1, row, FALSE);
}

void TForm1::SetStatus(const std::string& text, const std::string& hint) {
    ::SendMessageA(StatusBar1, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
    statusHintText_ = hint;
    if (statusHint_ == nullptr) return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(StatusBar1);
    tool.lpszText = const_cast<char*>(hint.c_str());
    ::SendMessageA(statusHint_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TForm1::ListView1SelectItem() {
    const int row = SelectedRow();
    if (row >= 0 && row < SlotCount) {
        SetStatus(std::to_string(row + 1) + StatusSuffix, slots_.At(row).description);
    } else {
        SetStatus("", "");
    }
}

void TForm1::FitColumns() {
    // A width that the header did not ask about first (a change from another
    // program comes with no notification to refuse) is put back here.
    int others = 0;
    for (int column = 0; column + 1 < static_cast<int>(ui::ListView1Columns.size()); ++column) {
        const int fixed = win::Scale(ui::ListView1Columns[column].width, dpi_);
        if (ListView_GetColumnWidth(ListView1, column) != fixed) ListView_SetColumnWidth(ListView1, column, fixed);
        others += fixed;
    }
    if (!stretchLastColumn_) return;
    RECT client;
    ::GetClientRect(ListView1, &client);
    const int last = static_cast<int>(ui::ListView1Columns.size()) - 1;
    const int width = client.right - others - 1;
    if (width > 0 && width != ListView_GetColumnWidth(ListView1, last)) ListView_SetColumnWidth(ListView1, last, width);
}

void TForm1::PopupMenu2Popup() {
    const int row = SelectedRow();
    const bool selected = row >= 0 && row < SlotCount;
    const auto enable = [&](int id, bool on) { ::EnableMenuItem(PopupMenu2, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
    enable(ui::IdDefine1, selected);
    enable(ui::IdUp1, selected && row > 0);
    enable(ui::IdDown1, selected && row < SlotCount - 1);
    enable(ui::IdDelete2, selected && slots_.IsDefined(row));
}

void TForm1::OpenPopupMenu2(POINT at) {
    PopupMenu2Popup();
    const int id = ::TrackPopupMenu(PopupMenu2, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0,
                                    Handle(), nullptr);
    if (id != 0) OnCommand(id);
}

bool TForm1::OnListKey(WPARAM virtualKey) {
    const TShortCut pressed = PressedShortcut(virtualKey);
    for (const ui::PopupEntry& entry : ui::PopupMenu2Entries) {
        if (entry.id == 0 || entry.shortcut != pressed) continue;
        PopupMenu2Popup();
        if ((::GetMenuState(PopupMenu2, entry.id, MF_BYCOMMAND) & MF_GRAYED) == 0) OnCommand(entry.id);
        return true;
    }
    return false;
}

void TForm1::TabFrom(HWND control) {
    if (const HWND next = ::GetNextDlgTabItem(Handle(), control, IsDown(VK_SHIFT))) ::SetFocus(next);
}

LRESULT CALLBACK TForm1::ControlMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
    auto& form = *reinterpret_cast<TForm1*>(self);
    // The last column fills the rest of the list whenever the list is resized
    // or painted, whatever changed a width in between.
    if (window == form.ListView1 && message == WM_SIZE) {
        const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
        form.FitColumns();
        return result;
    }
    if (window == form.ListView1 && message == WM_PAINT) form.FitColumns();
    // Tab and Shift+Tab move between the window's tab stops, as in any
    // dialog-like window; the character Tab makes is no key of the list's.
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_TAB && !IsDown(VK_CONTROL) &&
        !IsDown(VK_MENU)) {
        if (message == WM_KEYDOWN) form.TabFrom(window);
        return 0;
    }
    if (message == WM_KEYDOWN && window == form.ListView1) {
        try {
            if (form.OnListKey(wParam)) return 0;
        } catch (const std::exception& error) {
            form.app_.ShowException(error);
            return 0;
        }
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void TForm1::ListView1DblClick() {
    const int row = SelectedRow();
    if (row < 0 || row >= SlotCount) return;
    SlotEditValues values;
    {
        TForm2 Form2(app_.TaskbarEntry(), Handle(), slots_.EditValues(row), codePage_, keyNames_);
        if (Form2.ShowModal() != IDOK) return;
        values = Form2.Values();
    }
    slots_.CommitSlot(row, values.description, values.shortcut, values.text, values.active);
    // The row shows the new values even when the save fails.
    ShowRow(row);
    SaveSettings();
    ApplyAllSlots();
}

void TForm1::Up1Click() {
    const int row = SelectedRow();
    if (row <= 0) return;
    const int moved = slots_.MoveSlotUp(row);
    ShowRow(row);
    ShowRow(moved);
    SelectRow(moved);
}

void TForm1::Down1Click() {
    const int row = SelectedRow();
    if (row < 0 || row >= SlotCount - 1) return;
    const int moved = slots_.MoveSlotDown(row);
    ShowRow(row);
    ShowRow(moved);
    SelectRow(moved);
}

void TForm1::Delete2Click() {
    const int row = SelectedRow();
    if (row < 0) return;
    if (!win::Confirm(Handle(), "Are you sure?")) return;
    slots_.ClearSlot(row);
    ShowRow(row);
    SetStatus("", "");
}

// ---- Options, help and About ----------------------------------------------

std::string TForm1::StartupShortcutFile() const { return StartupFolder + StartupShortcutName; }

void TForm1::Options1Click() {
    TForm3 Form3(app_.TaskbarEntry(), Handle());
    StartupFolder = win::ShellFolderPath(CSIDL_STARTUP);
    // Without a Startup folder there is nothing to tick: the box stays
    // unticked and unavailable, and OK leaves the file system alone.
    const bool folderKnown = !StartupFolder.empty();
    win::SetChecked(Form3.CheckBox1(), folderKnown && files_.FileExists(StartupShortcutFile()));
    ::EnableWindow(Form3.CheckBox1(), folderKnown);
    win::SetChecked(Form3.CheckBox2(), StartMinimize);
    if (Form3.ShowModal() != IDOK) return;
    SetRunAtStartup(win::IsChecked(Form3.CheckBox1()));
    // Memory only: the file has it at the next save.
    StartMinimize = win::IsChecked(Form3.CheckBox2());
}

void TForm1::SetRunAtStartup(bool enable) {
    if (StartupFolder.empty()) return;
    const std::string shortcut = StartupShortcutFile();
    if (!enable) {
        ::DeleteFileA(shortcut.c_str());  // a missing file is what was asked for
        return;
    }
    // An existing shortcut is the user's, wherever it points: never rewritten.
    if (files_.FileExists(shortcut)) return;
    const std::string program = win::ProgramFilePath();
    win::SaveShellLink(shortcut, program, FolderOf(program, codePage_));
}

void TForm1::Howtouse1Click() {
    const win::WaitCursor hourglass;
    // Without a browser nothing opens, and nothing is said.
    ::ShellExecuteA(Handle(), "OPEN", HelpPageAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

void TForm1::About2Click() {
    TForm4 Form4(app_.TaskbarEntry(), Handle(), VersionText);
    Form4.ShowModal();
}

void TForm1::OnCommand(int id) {
    switch (id) {
        case ui::IdOptions1: Options1Click(); break;
        case ui::IdExit2: Exit2Click(); break;
        case ui::IdHowtouse1: Howtouse1Click(); break;
        case ui::IdAbout2: About2Click(); break;
        case ui::IdDefine1: ListView1DblClick(); break;
        case ui::IdUp1: Up1Click(); break;
        case ui::IdDown1: Down1Click(); break;
        case ui::IdDelete2: Delete2Click(); break;
    }
}

LRESULT TForm1::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == ListView1) {
        switch (header.code) {
            case LVN_ITEMCHANGED: {
                const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
                if (change.iItem < 0 || !(change.uChanged & LVIF_STATE)) return 0;
                if ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) {
                    // A click on the check box, or Space: memory only until the next save.
                    if (!showingRows_) slots_.SetActive(change.iItem, ListView_GetCheckState(ListView1, change.iItem) != 0);
                }
                if ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) ListView1SelectItem();
                return 0;
            }
            case NM_DBLCLK:
                ListView1DblClick();
                return 0;
            case LVN_BEGINLABELEDITA:
            case LVN_BEGINLABELEDITW:
                return TRUE;  // no editing in place
        }
    } else if (::GetParent(header.hwndFrom) == ListView1) {
        // The fixed columns keep their widths: no drag or double click on
        // their edges, and no width but their own at this DPI, however it
        // comes (Ctrl and the keypad's plus, another program).
        switch (header.code) {
            case HDN_ITEMCHANGINGA:
            case HDN_ITEMCHANGINGW: {
                const auto& change = reinterpret_cast<const NMHEADERA&>(header);
                const int column = change.iItem;
                if (column < 0 || column >= static_cast<int>(ui::ListView1Columns.size()) ||
                    !ui::ListView1Columns[column].fixed || change.pitem == nullptr ||
                    (change.pitem->mask & HDI_WIDTH) == 0) {
                    return FALSE;
                }
                return change.pitem->cxy != win::Scale(ui::ListView1Columns[column].width, dpi_) ? TRUE : FALSE;
            }
            case HDN_BEGINTRACKA:
            case HDN_BEGINTRACKW:
            case HDN_DIVIDERDBLCLICKA:
            case HDN_DIVIDERDBLCLICKW: {
                const int column = reinterpret_cast<const NMHEADERA&>(header).iItem;
                return column >= 0 && column < static_cast<int>(ui::ListView1Columns.size()) &&
                               ui::ListView1Columns[column].fixed
                           ? TRUE
                           : FALSE;
            }
        }
    }
    return 0;
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!loaded_) {
        // A refused copy keeps this window, hidden, while its box is open, and
        // its tray icon still counts as active: a close or Exit sent to it then
        // would go through to FormClose and a save of slots never read. Until
        // the guard has let the start go on, nothing closes, saves or minimises.
        switch (message) {
            case WM_CLOSE:
            case WM_COMMAND:
            case WM_SYSCOMMAND:
            case WM_ACTIVATE:
                return 0;
            case WM_QUERYENDSESSION:
                return TRUE;
        }
    } else if (TrayIcon1) {
        // While the icon is active it stands in front of this handler.
        LRESULT result = 0;
        const auto ownHandling = [&] { return OwnMessage(message, wParam, lParam); };
        if (TrayIcon1->FilterOwnerMessage(Handle(), message, wParam, ownHandling, result)) return result;
    }
    return OwnMessage(message, wParam, lParam);
}

LRESULT TForm1::OwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case CreateStatusHintMessage:
            CreateStatusHint();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                // The control that had the focus gets it back on return.
                const HWND focus = ::GetFocus();
                if (focus != nullptr && ::IsChild(Handle(), focus)) focusBeforeDeactivation_ = focus;
                return 0;
            }
            if (focusBeforeDeactivation_ != nullptr && ::IsWindow(focusBeforeDeactivation_)) {
                ::SetFocus(focusBeforeDeactivation_);
            }
            FormActivate();
            return 0;
        case WM_SHOWWINDOW:
            if (wParam) FormShow();
            break;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE) {
                app_.Minimize();
                return 0;
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_QUERYENDSESSION:
            // Only the close check: no save here, the end of the session
            // comes without one.
            return FormCloseQuery() ? TRUE : FALSE;
        case WM_COMMAND:
            if (lParam == 0) OnCommand(LOWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == ListView1) {
                POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                if (lParam == -1) {
                    // From the keyboard: beside the selected row, or the list's corner.
                    RECT row{};
                    const int selected = SelectedRow();
                    if (selected >= 0) ListView_GetItemRect(ListView1, selected, &row, LVIR_LABEL);
                    at = {row.left, row.bottom};
                    ::ClientToScreen(ListView1, &at);
                }
                OpenPopupMenu2(at);
                return 0;
            }
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace quilldeck
