#pragma once

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "MainWindowLife.h"
#include "Residence.h"
#include "slots/SettingsFile.h"
#include "slots/SlotTable.h"
#include "slots/win32/Win32Platform.h"
#include "tray/OneInstance.h"
#include "ui/RunAtStartup.h"
#include "ui/SlotList.h"
#include "win/Application.h"
#include "win/Controls.h"
#include "win/MenuTable.h"
#include "win/ScaledWindow.h"

namespace quilldeck {

// Start-up cannot go on (another copy runs, or the settings file can be
// neither created nor opened); the program ends with exit code 0.
class StartupAbandoned : public std::runtime_error {
public:
    StartupAbandoned() : std::runtime_error("start-up abandoned") {}
};

// The main window: the slot list with its commands, the tray icon and menu,
// the hot keys, and the program's life from the first activation to Exit.
class TForm1 : private win::ScaledWindow {
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

    // Handlers.
    void FormCreate();
    void FormActivate();
    void FormShow();
    bool FormCloseQuery();
    bool FormClose();
    void AppMinimized();
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
    void Close();
    void CreateControls();
    void CreateMenus();
    // The shortcuts' texts as the menus show them.
    win::ShortcutNamer ShortcutText() const;
    void MakeOpaque();
    // The list's columns follow the window's DPI.
    void DpiChanged() override;

    win::Application& app_;
    // The title bar's icon.
    win::UniqueIcon windowIcon_;
    Win32CodePage codePage_;
    Win32KeyNames keyNames_;
    Win32FileSystem files_;
    SlotTable slots_{codePage_, keyNames_};
    SettingsFile settings_{files_, codePage_};

    bool StartMinimize = false;
    // Loading, shown, in the tray, Exit chosen: the program's life.
    MainWindowLife life_;
    ui::RunAtStartup runAtStartup_{files_, codePage_};

    // The tray icon with its menu, and the hot keys.
    std::unique_ptr<Residence> residence_;
    TOneInstance OneInstance1;

    HWND Button_Dummy = nullptr;
    HWND ListView1 = nullptr;
    std::unique_ptr<ui::SlotList> list_;
    static constexpr UINT CreateStatusHintMessage = WM_APP + 1;

};

}  // namespace quilldeck
