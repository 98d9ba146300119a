#pragma once

#include <windows.h>

#include <string>

namespace quilldeck::win {

// The file-system path of a shell folder (a CSIDL_ value) in the system code
// page; empty when the shell cannot name it.
std::string ShellFolderPath(int folder);

// Saves a shell link to a program: its target and working directory, nothing
// else. COM must be initialised on the calling thread. A link object that
// cannot be created throws SystemError; whether the file could be written is
// not examined (the caller reads the file system afresh).
void SaveShellLink(const std::string& linkFile, const std::string& target, const std::string& workingDirectory);

// The hourglass while it lives; the cursor it replaced afterwards.
class WaitCursor {
public:
    WaitCursor() : previous_(::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
    ~WaitCursor() { ::SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

}  // namespace quilldeck::win
