#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "win/Handle.h"

namespace quilldeck::testing {

// A fresh folder under the temporary folder, removed with all it holds.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
// Names of the entries of a folder, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);

// The folder this test program runs from, with a trailing backslash.
std::string ProgramFolder();

// Polls until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Sets or removes an environment variable for this process while it lives.
class ScopedEnvironment {
public:
    ScopedEnvironment(const std::string& name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Sets a string value in the registry (or removes it, for nothing) while it
// lives; the value that was there comes back afterwards.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, const std::string& key, const std::string& name,
                        const std::optional<std::string>& value);
    // A DWORD value.
    ScopedRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD value);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

private:
    HKEY root_;
    std::string key_;
    std::string name_;
    void Remember();

    std::optional<std::string> previous_;  // the bytes of the value that was there
    DWORD previousType_ = REG_SZ;
};

// The DPI of the programs started while it lives (Wine reads LogPixels at a
// process's start); this test program keeps the one it started with.
class ScopedSystemDpi : public ScopedRegistryValue {
public:
    explicit ScopedSystemDpi(DWORD dpi)
        : ScopedRegistryValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", dpi) {}
};

// A shell link's target and working directory, as the shell reads them back;
// nothing when the file is no shell link. Needs COM on the calling thread.
struct ShellLinkView {
    std::string target;
    std::string workingDirectory;
};
std::optional<ShellLinkView> ReadShellLink(const std::string& path);

// COM on this thread while it lives.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

// The current environment block with the overrides applied (a value to set,
// nullopt to remove), sorted by name, as CreateProcessA takes it.
std::string EnvironmentBlock(const std::map<std::string, std::optional<std::string>>& overrides);

// A child process with an environment of its own; ended when it goes.
class ChildProcess {
public:
    // overrides: variables to set (a value) or to remove (nullopt).
    ChildProcess(const std::string& program,
                 const std::map<std::string, std::optional<std::string>>& overrides,
                 const std::string& currentFolder = {}, const std::string& arguments = {},
                 int showCommand = -1);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    DWORD Id() const { return id_; }
    // The exit code, or nothing while it still runs after the timeout.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    win::UniqueHandle process_;
    DWORD id_ = 0;
};

// Top-level windows of a process, shown or not; and those that are shown.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// The top-level window of that class, shown or not; null when there is none.
HWND WindowOfClass(DWORD processId, const std::string& className);
std::string WindowText(HWND window);
std::string ClassName(HWND window);
std::vector<HWND> ChildWindows(HWND parent);

// A message box as another process shows it.
struct MessageBoxView {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
    bool hasIcon = false;
};
std::optional<MessageBoxView> FindMessageBox(DWORD processId,
                                             std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Presses the box's button with the given caption.
void PressButton(const MessageBoxView& box, const std::string& caption);

}  // namespace quilldeck::testing

namespace quilldeck::testing {

// Runs a shell command of the Unix side (xdotool, xclip) and waits for it,
// dispatching this thread's messages; its exit code, or -1 when it could not
// be started or did not end in time.
int RunUnix(const std::string& shellCommand, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Runs a shell command line and returns what it printed.
std::string UnixOutput(const std::string& shellCommand);
// A path under the Unix /tmp that no other test or run uses.
std::string UnixTempFile(const std::string& purpose);
// The path on Wine's drive Z: (the Unix root) of a Unix path.
std::string WindowsPathOf(const std::string& unixPath);
// The Unix path of a path on Wine's drive Z: (the Unix root); empty for others.
std::string UnixPathOf(const std::string& windowsPath);

// The whole screen as the X server shows it, taken with ImageMagick's import.
class Screenshot {
public:
    // Nothing when it could not be taken. keepAsPng: a path on drive Z:
    // where a copy stays for people to look at.
    static std::optional<Screenshot> Take(const std::string& keepAsPng = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The colour at a screen point; CLR_INVALID outside the screen.
    COLORREF At(int x, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::string rgb_;  // three bytes a pixel, rows from the top
};

// The X window that shows a top-level Wine window.
unsigned long XWindowOf(HWND window);

// Dispatches this thread's messages until the condition holds or time is up.
bool PumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
void PumpFor(std::chrono::milliseconds duration);

}  // namespace quilldeck::testing
