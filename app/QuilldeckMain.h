#pragma once

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "hotkeys/Input.h"
#include "hotkeys/PasteAction.h"
#include "hotkeys/SlotHotKeys.h"
#include "slots/SettingsFile.h"
#include "slots/SlotTable.h"
#include "slots/win32/Win32Platform.h"
#include "tray/OneInstance.h"
#include "tray/StyledPopupMenu.h"
#include "tray/TrayIcon.h"
#include "win/Application.h"
#include "win/Window.h"

namespace quilldeck {

// Start-up cannot go on (another copy runs, or the settings file can be
// neither created nor opened); the program ends with exit code 0.
class StartupAbandoned : public std::runtime_error {
public:
    StartupAbandoned() : std::runtime_error("start-up abandoned") {}
};

// The main window: the slot list with its commands, the tray icon and menu,
// the hot keys, and the program's life from the first activation to Exit.
class TForm1 : private win::Window {
public:
    // Constructs the window and its components, lets the single-instance
    // guard act, then runs FormCreate.
    TForm1(win::Application& application, UINT taskbarCreatedMessage, const TAppProcess& process);
    ~TForm1() override;

    HWND Handle() const noexcept { return Window::Handle(); }
    // Shows the window as the launch asks; a minimised launch goes to the tray.
    void ShowFirst(int showCommand);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The window's own handling, behind the guard and the tray icon.
    LRESULT OwnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(const NMHDR& header);
    void OnCommand(int id);
    bool OnListKey(WPARAM virtualKey);
    // Moves the focus to the next tab stop after the control, or the one
    // before it with Shift.
    void TabFrom(HWND control);
    static LRESULT CALLBACK ControlMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR self);

    // Handlers.
    void FormCreate();
    void FormActivate();
    void FormShow();
    bool FormCloseQuery();
    bool FormClose();
    void AppMinimized();
    void ListView1SelectItem();
    void PopupMenu2Popup();
    void ListView1DblClick();
    void Up1Click();
    void Down1Click();
    void Delete2Click();
    void Options1Click();
    void Howtouse1Click();
    void About2Click();
    void Exit2Click();
    void OpenVarnholt1Click();
    void TrayIcon1DblClick();
    void StyledPopupMenu1Popup();
    void OneInstance1Custom();

    // Helpers.
    void LoadSettings();
    void SaveSettings();
    void ApplyAllSlots();
    void SetRunAtStartup(bool enable);
    std::string StartupShortcutFile() const;
    void Close();
    void CreateControls();
    void CreateStatusHint();
    void CreateMenus();
    void ShowRow(int row);
    int SelectedRow() const;
    void SelectRow(int row);
    void SetStatus(const std::string& text, const std::string& hint);
    // The fixed columns at their widths for the DPI and, once stretching is
    // on, the last one over the rest of the list.
    void FitColumns();
    void MakeOpaque();
    // The window's outer size for its design client area at a DPI.
    SIZE WindowSizeAt(UINT dpi) const;
    // Lays the window out again at a DPI; suggested: the rectangle the
    // system proposes, or none to keep the window's place.
    void OnDpiChanged(UINT dpi, const RECT* suggested);
    void OpenPopupMenu2(POINT at);

    win::Application& app_;
    // The DPI the window is laid out at, and the common font for it.
    UINT dpi_;
    win::UniqueFont font_;
    Win32CodePage codePage_;
    Win32KeyNames keyNames_;
    Win32FileSystem files_;
    SlotTable slots_{codePage_, keyNames_};
    SettingsFile settings_{files_, codePage_};

    bool StartMinimize = false;
    bool ExitRequested = false;
    bool FirstActivation = true;
    // The user's Startup folder, found afresh at every Options; empty before
    // the first and when the shell cannot name it.
    std::string StartupFolder;

    TStyledPopupMenu StyledPopupMenu1;
    Win32Keyboard keyboard_;
    Win32HotKeyRegistrar registrar_;
    std::unique_ptr<PasteAction> paste_;
    std::unique_ptr<SlotHotKeys> hotKeys_;
    std::unique_ptr<TTrayIcon> TrayIcon1;
    TOneInstance OneInstance1;

    std::vector<HWND> controls_;
    HWND Button_Dummy = nullptr;
    HWND ListView1 = nullptr;
    HWND StatusBar1 = nullptr;
    HWND statusHint_ = nullptr;
    // The hint the status bar shows, kept until its tooltip exists.
    std::string statusHintText_;
    static constexpr UINT CreateStatusHintMessage = WM_APP + 1;
    HMENU PopupMenu2 = nullptr;

    // Set once the single-instance guard has let the start go on.
    bool loaded_ = false;
    HWND focusBeforeDeactivation_ = nullptr;
    bool showingRows_ = false;
    bool stretchLastColumn_ = false;
    bool minimizedBeforeShown_ = false;
};

}  // namespace quilldeck
