#include "RunAtStartup.h"

#include <windows.h>
#include <shlobj.h>

#include "slots/PathText.h"
#include "win/ProgramFile.h"
#include "win/Shell.h"

namespace quilldeck::ui {

bool RunAtStartup::FindStartupFolder() {
    StartupFolder = win::ShellFolderPath(CSIDL_STARTUP);
    return !StartupFolder.empty();
}

std::string RunAtStartup::ShortcutFile() const { return StartupFolder + "\\Quilldeck.lnk"; }

bool RunAtStartup::Enabled() const { return !StartupFolder.empty() && files_.FileExists(ShortcutFile()); }

void RunAtStartup::SetRunAtStartup(bool enable) {
    if (StartupFolder.empty()) return;
    const std::string shortcut = ShortcutFile();
    if (!enable) {
        ::DeleteFileA(shortcut.c_str());  // a missing file is what was asked for
        return;
    }
    if (files_.FileExists(shortcut)) return;
    const std::string program = win::ProgramFilePath();
    win::SaveShellLink(shortcut, program, FolderOf(program, codePage_));
}

}  // namespace quilldeck::ui
