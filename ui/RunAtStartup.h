#pragma once

#include <string>

#include "slots/CodePage.h"
#include "slots/FileSystem.h"

namespace quilldeck::ui {

// Starting with the log-on: a shortcut to the program, "Quilldeck.lnk", in the
// user's Startup folder. Its presence is the whole setting.
class RunAtStartup {
public:
    RunAtStartup(const FileSystem& files, const CodePage& codePage) : files_(files), codePage_(codePage) {}

    // Finds the user's Startup folder afresh; false when the shell cannot
    // name it, and then there is nothing to set.
    bool FindStartupFolder();
    // Whether the shortcut is there, pointing wherever it points.
    bool Enabled() const;
    // Makes the shortcut exist or not as asked; an existing one is the user's
    // and never rewritten.
    void SetRunAtStartup(bool enable);

private:
    std::string ShortcutFile() const;

    const FileSystem& files_;
    const CodePage& codePage_;
    // Empty before the first search and when the shell cannot name it.
    std::string StartupFolder;
};

}  // namespace quilldeck::ui
