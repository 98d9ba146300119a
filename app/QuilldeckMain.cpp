#include "QuilldeckMain.h"

#include "Version.h"

#include <commctrl.h>
#include <shellapi.h>

#include "slots/InOutError.h"
#include "ui/MainWindowLayout.h"
#include "ui/QuilldeckAbout.h"
#include "ui/QuilldeckDefine.h"
#include "ui/QuilldeckOptions.h"
#include "win/Controls.h"
#include "win/Dpi.h"
#include "win/Focus.h"
#include "win/ProgramFile.h"
#include "win/Shell.h"
#include "win/SystemError.h"

namespace quilldeck {
namespace {

using Life = MainWindowLife::Event;
// The version the About box shows.
constexpr const char* VersionText = QUILLDECK_VERSION;
// The help page. The host lies under the reserved .example domain, which no
// one else can ever own.
constexpr const char* HelpPageAddress = "http://kestrovar.example/redirect/quilldeck.htm";

}  // namespace

TForm1::TForm1(win::Application& application, UINT taskbarCreatedMessage, const TAppProcess& process)
    : ScaledWindow(ui::MainWindowDesign, win::SystemDpi()),
      app_(application),
      windowIcon_(win::ProgramIcon(win::SystemMetricForDpi(SM_CXSMICON, Dpi()))),
      OneInstance1(process) {
    // The window's outer size follows from its client area and frame, at the
    // DPI of the primary monitor, where it opens. Created fully transparent:
    // the first activation makes it opaque, so a start into the tray never
    // shows the window.
    const SIZE size = OuterSizeAt(Dpi());
    const RECT place = win::CentredIn({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, size);
    Create("QuilldeckMainWindow", WS_EX_LAYERED, ui::MainWindowStyle, ui::MainWindowCaption, place.left, place.top,
           size.cx, size.cy, app_.TaskbarEntry(), nullptr, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // The window's own icon rather than its class's: the window goes before
    // the icon does.
    for (const WPARAM kind : {ICON_SMALL, ICON_BIG}) {
        ::SendMessageA(Handle(), WM_SETICON, kind, reinterpret_cast<LPARAM>(windowIcon_.get()));
    }
    ::SetLayeredWindowAttributes(Handle(), 0, 0, LWA_ALPHA);
    app_.MainWindow = Handle();
    app_.KeepMinimizedIn(&life_);
    CreateMenus();
    CreateControls();
    // Another monitor may have taken it.
    if (const UINT dpi = win::DpiOfWindow(Handle()); dpi != Dpi()) Rescale(dpi, nullptr);

    residence_ = std::make_unique<Residence>(app_, taskbarCreatedMessage, slots_, codePage_, keyNames_);
    TStyledPopupMenu& trayMenu = residence_->StyledPopupMenu1();
    trayMenu.Item("OpenVarnholt1").onClick = [this](win::MenuItem&) { OpenVarnholt1Click(); };
    trayMenu.Item("Exit3").onClick = [this](win::MenuItem&) { Exit2Click(); };
    trayMenu.OnPopup = [this] { StyledPopupMenu1Popup(); };
    residence_->TrayIcon1().OnDblClick = [this] { TrayIcon1DblClick(); };
    OneInstance1.Enabled = true;
    OneInstance1.Mode = TOneInstanceMode::oiCustom;
    OneInstance1.OnCustom = [this] { OneInstance1Custom(); };

    // The components have loaded. The guard comes first: a second copy ends
    // in it before the tray icon's first setting shows the taskbar button and
    // before FormCreate reads or creates the settings file.
    OneInstance1.Loaded();
    life_.Take(Life::GuardPassed);
    // Inactive, as the window is stored: this shows the taskbar entry.
    residence_->TrayIcon1().SetActive(false);

    FormCreate();
}

TForm1::~TForm1() {
    // The components go before the window: the tray icon leaves the
    // notification area and the hot keys are released.
    residence_.reset();
    app_.MainWindow = nullptr;
    app_.KeepMinimizedIn(nullptr);
    Destroy();
}

win::ShortcutNamer TForm1::ShortcutText() const {
    return [this](TShortCut value) { return FormatShortcut(value, keyNames_); };
}

void TForm1::CreateMenus() {
    win::UniqueMenu bar = win::MakeMenuBar(ui::MainMenu1Entries, ShortcutText());
    if (!::SetMenu(Handle(), bar.get())) win::ThrowLastSystemError();
    bar.release();  // the window's now, destroyed with it
}

void TForm1::CreateControls() {
    const win::ControlSet& controls =
        ScaledWindow::CreateControls(ui::MainWindowControls, win::TableOrder::BottomFirst);
    Button_Dummy = controls[ui::IdButtonDummy];
    ListView1 = controls[ui::IdListView1];
    list_ = std::make_unique<ui::SlotList>(Handle(), ListView1, controls[ui::IdStatusBar1], Dpi(), slots_,
                                           ShortcutText());
    // A click on a check box, or Space: memory only until the next save.
    list_->OnCheck = [this](int row, bool active) { slots_.SetActive(row, active); };
    list_->OnSelect = [this] { list_->ShowSelection(); };
    list_->OnDoubleClick = [this] { ListView1DblClick(); };
    list_->OnCommand = [this](int id) { OnCommand(id); };
    // The focus holder, where the focus is parked at every minimise, and the
    // list take Tab.
    for (HWND control : {Button_Dummy, ListView1}) win::TakeTabKeys(control);
    // The status bar's hint waits for the message loop: a tooltip is a
    // top-level window, which under Wine costs the start-up an X window, and
    // nobody points at the status bar before the window shows.
    ::PostMessageA(Handle(), CreateStatusHintMessage, 0, 0);
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
    list_->ShowRows();
}

void TForm1::SaveSettings() { settings_.Save(slots_, StartMinimize); }

void TForm1::ApplyAllSlots() { residence_->ApplyAllSlots(); }

// ---- Life cycle ------------------------------------------------------------

void TForm1::FormCreate() {
    LoadSettings();
    residence_->TrayIcon1().SetHint(ui::MainWindowCaption);
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
    // Back from a start straight into the tray, the start-minimised flag has
    // had its effect already.
    const bool startedInTray = life_.Current() == MainWindowLife::Stage::Unveiled;
    if (!life_.Take(Life::FirstActivation)) return;
    list_->SelectRow(0);
    ::SetFocus(Button_Dummy);
    ::SetFocus(ListView1);
    try {
        if (StartMinimize && !startedInTray) app_.Minimize();
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

void TForm1::DpiChanged() {
    if (list_) list_->SetDpi(Dpi());
}

void TForm1::FormShow() { list_->StretchLastColumn(); }

void TForm1::AppMinimized() {
    list_->SelectRow(0);
    ::SetFocus(Button_Dummy);  // fails harmlessly on a window never shown
    SaveSettings();
    // The hot keys come last, once the icon is in place: hiding the taskbar
    // button may hold this thread for a while (Wine without a window manager
    // waits two seconds for one), and a press in that time would wait too.
    life_.Take(Life::IconPlaced);
    residence_->TrayIcon1().SetActive(true);
    ApplyAllSlots();
}

bool TForm1::FormCloseQuery() {
    if (life_.CloseProceeds()) return true;
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
    life_.ChooseExit();
    Close();
}

void TForm1::OpenVarnholt1Click() {
    residence_->TrayIcon1().SetActive(false);
    app_.Restore();
}

void TForm1::StyledPopupMenu1Popup() {
    // A right click queued behind a double click opens the menu after the
    // restore: then it offers nothing.
    const bool inTray = life_.InTray();
    residence_->StyledPopupMenu1().Item("OpenVarnholt1").visible = inTray;
    residence_->StyledPopupMenu1().Item("Exit3").visible = inTray;
}

void TForm1::TrayIcon1DblClick() {
    OpenVarnholt1Click();
    app_.ProcessMessages();
    app_.BringToFront();
}

// ---- The slot list's commands --------------------------------------------

void TForm1::ListView1DblClick() {
    if (!list_->HasSelectedSlot()) return;
    const int row = list_->SelectedRow();
    SlotEditValues values;
    {
        TForm2 Form2(app_.TaskbarEntry(), Handle(), slots_.EditValues(row), codePage_, keyNames_);
        if (Form2.ShowModal() != IDOK) return;
        values = Form2.Values();
    }
    slots_.CommitSlot(row, values.description, values.shortcut, values.text, values.active);
    // The row shows the new values even when the save fails.
    list_->ShowRow(row);
    SaveSettings();
    ApplyAllSlots();
}

void TForm1::Up1Click() { list_->MoveSelected(-1); }

void TForm1::Down1Click() { list_->MoveSelected(+1); }

void TForm1::Delete2Click() {
    const int row = list_->SelectedRow();
    if (row >= 0 && win::Confirm(Handle(), "Are you sure?")) list_->ClearSlot(row);
}

// ---- Options, help and About ----------------------------------------------

void TForm1::Options1Click() {
    TForm3 Form3(app_.TaskbarEntry(), Handle());
    // Without a Startup folder there is nothing to tick: the box stays
    // unticked and unavailable, and OK leaves the file system alone.
    ::EnableWindow(Form3.CheckBox1(), runAtStartup_.FindStartupFolder());
    win::SetChecked(Form3.CheckBox1(), runAtStartup_.Enabled());
    win::SetChecked(Form3.CheckBox2(), StartMinimize);
    if (Form3.ShowModal() != IDOK) return;
    runAtStartup_.SetRunAtStartup(win::IsChecked(Form3.CheckBox1()));
    // Memory only: the file has it at the next save.
    StartMinimize = win::IsChecked(Form3.CheckBox2());
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
    // The list notifies already while the component that answers is being made.
    return list_ ? list_->OnNotify(header).value_or(0) : 0;
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!life_.Loaded()) {
        // A refused copy keeps this window, hidden, while its box is open: an
        // Exit sent to it then would go through to FormClose and a save of
        // slots never read. Until the guard has let the start go on, nothing
        // closes, saves or minimises.
        switch (message) {
            case WM_CLOSE:
            case WM_COMMAND:
            case WM_SYSCOMMAND:
            case WM_ACTIVATE:
                return 0;
            case WM_QUERYENDSESSION:
                return TRUE;
        }
    } else if (residence_) {
        // While the icon is active it stands in front of this handler.
        LRESULT result = 0;
        const auto ownHandling = [&] { return OwnMessage(message, wParam, lParam); };
        if (residence_->TrayIcon1().FilterOwnerMessage(Handle(), message, wParam, ownHandling, result)) return result;
    }
    return OwnMessage(message, wParam, lParam);
}

LRESULT TForm1::OwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case CreateStatusHintMessage:
            list_->CreateStatusHint();
            return 0;
        case WM_ACTIVATE:
            // The control that had the focus first gets it back.
            ScaledWindow::HandleMessage(message, wParam, lParam);
            if (LOWORD(wParam) != WA_INACTIVE) FormActivate();
            return 0;
        case WM_SHOWWINDOW:
            if (wParam) FormShow();
            break;
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
            if (list_->OnContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
            break;
    }
    return ScaledWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace quilldeck
