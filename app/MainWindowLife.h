#pragma once

#include "win/MinimizedRecord.h"

namespace quilldeck {

// Where the program is in its life, from the start to Exit, in one place:
// each event moves it from one stage to another by a row of one table, and
// whatever is not in the table changes nothing. A new event is a new row.
class MainWindowLife final : public win::MinimizedRecord {
public:
    enum class Stage {
        // The single-instance guard has not let the start go on: nothing
        // closes, saves or minimises yet.
        Loading,
        // Loaded; the window (fully transparent) has never been activated.
        Transparent,
        // A start straight into the tray, before the window was ever shown:
        // minimised, then with the icon in place.
        HiddenMinimized,
        HiddenInTray,
        // Back from such a start, the window not yet activated.
        Unveiled,
        // Activated once, opaque, on the screen.
        Shown,
        // Minimised, the icon not yet in place: inside the minimise path, or
        // after it failed (the taskbar button is still there).
        Minimized,
        InTray,
    };

    enum class Event {
        GuardPassed,
        // The window's first activation; every later one finds no row.
        FirstActivation,
        // A minimise or a restore of the application starts.
        Minimize,
        Restore,
        // The minimise path has saved and the icon goes into the tray.
        IconPlaced,
    };

    // Moves on by the table's row for the event in the current stage; false,
    // and no change, where there is none.
    bool Take(Event event);
    Stage Current() const noexcept { return stage_; }

    bool Loaded() const noexcept { return stage_ != Stage::Loading; }
    bool InTray() const noexcept { return stage_ == Stage::InTray || stage_ == Stage::HiddenInTray; }

    // Exit, once chosen, holds in every stage: a close that failed to save
    // leaves the program where it was, and the next close saves again.
    void ChooseExit() noexcept { exitRequested_ = true; }
    bool ExitRequested() const noexcept { return exitRequested_; }
    // A close of the window proceeds after Exit and in the tray; otherwise
    // it is turned into a minimise.
    bool CloseProceeds() const noexcept { return exitRequested_ || InTray(); }

    bool StartMinimize() override { return Take(Event::Minimize); }
    bool StartRestore() override { return Take(Event::Restore); }
    bool Minimized() const override;

private:
    Stage stage_ = Stage::Loading;
    bool exitRequested_ = false;
};

}  // namespace quilldeck
