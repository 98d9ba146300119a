#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Handle.h"
#include "MinimizedRecord.h"
#include "Window.h"

namespace quilldeck::win {

// The application object: its taskbar entry, a zero-size top-level window
// titled with the application's title, owns the main window and every dialog
// and carries the taskbar button. It minimises and restores the program as a
// whole, and shows the exceptions that escape the program's handlers.
class Application : private Window {
public:
    explicit Application(std::string title);
    ~Application() override;

    HWND TaskbarEntry() const noexcept { return Handle(); }
    const std::string& Title() const noexcept { return title_; }

    // The window that ends the program when it closes; set by that window.
    HWND MainWindow = nullptr;
    // Raised at the end of every minimise.
    std::function<void()> OnMinimize;
    // Raised when the log-on really ends: the program must end at once.
    std::function<void()> OnEndSession;

    // Whether the program is minimised is kept by the record given here (the
    // main window's life), or by the application's own until one is given.
    void KeepMinimizedIn(MinimizedRecord* record) noexcept { record_ = record != nullptr ? record : &ownRecord_; }
    bool Minimized() const { return record_->Minimized(); }
    // Minimising while minimised, and restoring while not, do nothing.
    void Minimize();
    void Restore();
    void BringToFront();
    // Dispatches every message already queued for this thread, then returns.
    void ProcessMessages();
    void Terminate();
    // The message loop; returns the exit code of the quit message.
    int Run();

    void ShowException(const std::exception& error) const;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::vector<HWND> VisibleOwnedWindows() const;

    std::string title_;
    PlainMinimizedRecord ownRecord_;
    MinimizedRecord* record_ = &ownRecord_;
    std::vector<HWND> hiddenWhileMinimized_;
};

// Dispatches every message already queued for this thread, then returns; a
// quit message taken on the way is posted again for the loop that called.
void ProcessPendingMessages();

// Asks a question in the "Confirm" box: question icon, "&Yes" (default) and
// "&No", which Escape answers as well. True for Yes.
bool Confirm(HWND owner, const std::string& question);

}  // namespace quilldeck::win
