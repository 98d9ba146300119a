#include "MainWindowLife.h"

#include <array>

namespace quilldeck {
namespace {

using Stage = MainWindowLife::Stage;
using Event = MainWindowLife::Event;

struct Transition {
    Stage from;
    Event event;
    Stage to;
};

constexpr std::array<Transition, 12> Transitions = {{
    {Stage::Loading, Event::GuardPassed, Stage::Transparent},
    // The first activation shows the window; a start-minimised flag then
    // minimises it from Shown.
    {Stage::Transparent, Event::FirstActivation, Stage::Shown},
    {Stage::Unveiled, Event::FirstActivation, Stage::Shown},
    // A launch asking for a minimised window, before any activation.
    {Stage::Transparent, Event::Minimize, Stage::HiddenMinimized},
    {Stage::Unveiled, Event::Minimize, Stage::HiddenMinimized},
    {Stage::HiddenMinimized, Event::IconPlaced, Stage::HiddenInTray},
    {Stage::HiddenMinimized, Event::Restore, Stage::Unveiled},
    {Stage::HiddenInTray, Event::Restore, Stage::Unveiled},
    // Minimise and restore: the box, the taskbar button, a refused close,
    // the tray icon and its menu.
    {Stage::Shown, Event::Minimize, Stage::Minimized},
    {Stage::Minimized, Event::IconPlaced, Stage::InTray},
    {Stage::Minimized, Event::Restore, Stage::Shown},
    {Stage::InTray, Event::Restore, Stage::Shown},
}};

}  // namespace

bool MainWindowLife::Take(Event event) {
    for (const Transition& row : Transitions) {
        if (row.from == stage_ && row.event == event) {
            stage_ = row.to;
            return true;
        }
    }
    return false;
}

bool MainWindowLife::Minimized() const {
    switch (stage_) {
        case Stage::HiddenMinimized:
        case Stage::HiddenInTray:
        case Stage::Minimized:
        case Stage::InTray:
            return true;
        default:
            return false;
    }
}

}  // namespace quilldeck
