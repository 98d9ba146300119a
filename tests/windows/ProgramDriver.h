#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "TestSupport.h"

namespace quilldeck::testing {

// Quilldeck.exe as a user runs it, with an APPDATA of its own, driven and
// read from outside: its windows, its list, its settings file.
class QuilldeckProgram {
public:
    // settings: the settings file's content before the start; none for a
    // first start.
    explicit QuilldeckProgram(const std::optional<std::string>& settings = std::nullopt,
                              int showCommand = SW_SHOWNORMAL, bool readOnlySettings = false);
    // The same for the program at another path (an installed copy).
    QuilldeckProgram(const std::string& program, const std::optional<std::string>& settings, int showCommand,
                     bool readOnlySettings = false);
    // A copy of the program at another path, started with APPDATA as given
    // (unset for none) from the current folder given. AppData() and the
    // settings file are then not the program's.
    struct Elsewhere {
        std::string program;
        std::optional<std::string> appData;
        std::string currentFolder;
    };
    explicit QuilldeckProgram(const Elsewhere& launch);
    ~QuilldeckProgram();

    ChildProcess& Process() { return *process_; }
    // The APPDATA folder it was started with.
    const std::string& AppData() const { return appData_.Path(); }
    std::string SettingsPath() const { return appData_ / "Kestrovar\\Quilldeck.ini"; }
    std::string Settings() const { return ReadFileBytes(SettingsPath()); }
    FILETIME SettingsWriteTime() const;

    // The main window, once it exists; null when it did not come.
    HWND MainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    HWND TaskbarEntry();
    HWND ListView();
    HWND StatusBar();

    void Command(int id);
    // Waits until the program is back in a message loop, done with what it
    // was given before: a sent message is answered only from a loop.
    bool Settle();
    // Tells a window of the program that its DPI changed, as the system does
    // when it moves to a monitor with another scale; waits for the answer.
    void SendDpiChanged(HWND window, UINT dpi, const RECT& suggested);
    // Exit from the File menu; the exit code.
    std::optional<DWORD> Exit();

    int RowCount();
    int SelectedRow();
    bool Checked(int row);
    std::string RowText(int row, int column);
    std::string StatusText();
    // The status bar's tooltip text; nothing while it has no tooltip.
    std::optional<std::string> StatusHint();
    // The width of a text in the list's font, as the list measures it.
    int ListTextWidth(const std::string& text);
    // A screen point on a row's description, where a user clicks.
    POINT RowPoint(int row);
    void SelectRowByClick(int row);
    // A screen point on a row's check box.
    POINT CheckBoxPoint(int row);
    // No row selected: a state the list reaches only in odd ways.
    void ClearSelection();

    bool Shown();
    bool Opaque();

    // A shown dialog of the program with that caption; null when none came.
    HWND Dialog(const std::string& caption, std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    TempFolder appData_;
    std::unique_ptr<ChildProcess> process_;
    HWND main_ = nullptr;
};

// A control's text through WM_GETTEXT / WM_SETTEXT, which cross processes
// (GetWindowText does not ask another process's edit for its text).
std::string ControlText(HWND control);
void SetControlText(HWND control, const std::string& text);
// The same in UTF-16, whole whatever the system code page holds.
std::u16string ControlTextUtf16(HWND control);
// The window that has the keyboard focus in the thread that owns this one.
HWND FocusedControlOf(HWND window);

}  // namespace quilldeck::testing
