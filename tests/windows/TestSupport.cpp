#include "TestSupport.h"

#include <objbase.h>
#include <shlobj.h>

#include <array>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>
#include <thread>

namespace quilldeck::testing {
namespace {

std::string LastErrorText(const char* what) {
    return std::string(what) + " failed with " + std::to_string(::GetLastError());
}

}  // namespace

std::string EnvironmentBlock(const std::map<std::string, std::optional<std::string>>& overrides) {
    std::map<std::string, std::string> variables;
    char* block = ::GetEnvironmentStringsA();
    for (const char* entry = block; *entry != '\0'; entry += std::strlen(entry) + 1) {
        const std::string text(entry);
        const std::size_t equals = text.find('=', 1);  // "=C:=C:\..." names start with '='
        if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    ::FreeEnvironmentStringsA(block);
    for (const auto& [name, value] : overrides) {
        for (auto it = variables.begin(); it != variables.end();) {
            it = ::lstrcmpiA(it->first.c_str(), name.c_str()) == 0 ? variables.erase(it) : std::next(it);
        }
        if (value) variables[name] = *value;
    }
    std::string result;
    for (const auto& [name, value] : variables) result += name + "=" + value + '\0';
    result += '\0';
    return result;
}

namespace {

}  // namespace

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    std::array<char, MAX_PATH + 1> temp{};
    ::GetTempPathA(MAX_PATH, temp.data());
    path_ = std::string(temp.data()) + "quilldeck-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(counter++);
    RemoveTree(path_);
    if (!::CreateDirectoryA(path_.c_str(), nullptr)) throw std::runtime_error(LastErrorText("CreateDirectory"));
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        for (const std::string& entry : FolderEntries(path)) RemoveTree(path + "\\" + entry);
        ::RemoveDirectoryA(path.c_str());
    } else {
        ::DeleteFileA(path.c_str());
    }
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> entries;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") entries.push_back(name);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return entries;
}

std::string ReadFileBytes(const std::string& path) {
    win::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) throw std::runtime_error(LastErrorText(("reading " + path).c_str()));
    std::string bytes;
    std::array<char, 4096> buffer;
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer.data(), buffer.size(), &read, nullptr) && read > 0) {
        bytes.append(buffer.data(), read);
    }
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    win::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) throw std::runtime_error(LastErrorText(("writing " + path).c_str()));
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool IsFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ProgramFolder() {
    std::array<char, MAX_PATH + 1> path{};
    ::GetModuleFileNameA(nullptr, path.data(), MAX_PATH);
    std::string folder(path.data());
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

ScopedEnvironment::ScopedEnvironment(const std::string& name, const std::optional<std::string>& value)
    : name_(name) {
    const DWORD size = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size > 0) {
        std::string previous(size, '\0');
        previous.resize(::GetEnvironmentVariableA(name.c_str(), previous.data(), size));
        previous_ = previous;
    }
    ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
}

ScopedEnvironment::~ScopedEnvironment() {
    ::SetEnvironmentVariableA(name_.c_str(), previous_ ? previous_->c_str() : nullptr);
}

void ScopedRegistryValue::Remember() {
    char previous[2048] = {};
    DWORD size = sizeof(previous);
    if (::RegGetValueA(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &previousType_, previous,
                       &size) == ERROR_SUCCESS) {
        previous_ = std::string(previous, size);
    }
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::string& key, const std::string& name,
                                         const std::optional<std::string>& value)
    : root_(root), key_(key), name_(name) {
    Remember();
    if (value) {
        ::RegSetKeyValueA(root, key.c_str(), name.c_str(), REG_SZ, value->c_str(),
                          static_cast<DWORD>(value->size() + 1));
    } else {
        ::RegDeleteKeyValueA(root, key.c_str(), name.c_str());
    }
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD value)
    : root_(root), key_(key), name_(name) {
    Remember();
    ::RegSetKeyValueA(root, key.c_str(), name.c_str(), REG_DWORD, &value, sizeof(value));
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (previous_) {
        ::RegSetKeyValueA(root_, key_.c_str(), name_.c_str(), previousType_, previous_->data(),
                          static_cast<DWORD>(previous_->size()));
    } else {
        ::RegDeleteKeyValueA(root_, key_.c_str(), name_.c_str());
    }
}

ComApartment::ComApartment() : initialized_(SUCCEEDED(::CoInitialize(nullptr))) {}

ComApartment::~ComApartment() {
    if (initialized_) ::CoUninitialize();
}

std::optional<ShellLinkView> ReadShellLink(const std::string& path) {
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link)))) {
        return std::nullopt;
    }
    std::optional<ShellLinkView> view;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::wstring widePath(path.size() + 1, L'\0');
        widePath.resize(static_cast<std::size_t>(::MultiByteToWideChar(
            CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), widePath.data(), static_cast<int>(widePath.size()))));
        if (SUCCEEDED(file->Load(widePath.c_str(), STGM_READ))) {
            char target[MAX_PATH + 1] = {};
            char folder[MAX_PATH + 1] = {};
            link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
            link->GetWorkingDirectory(folder, MAX_PATH);
            view = ShellLinkView{target, folder};
        }
        file->Release();
    }
    link->Release();
    return view;
}

ChildProcess::ChildProcess(const std::string& program,
                           const std::map<std::string, std::optional<std::string>>& overrides,
                           const std::string& currentFolder, const std::string& arguments, int showCommand) {
    std::string environment = EnvironmentBlock(overrides);
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (showCommand >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
    }
    PROCESS_INFORMATION info{};
    const auto start = [&] {
        return ::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, environment.data(),
                                currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info) != FALSE;
    };
    // Under Wine a start now and then fails with ERROR_INTERNAL_ERROR while
    // the machine is busy (the new process died before it was running);
    // the same start a moment later works.
    bool started = start();
    for (int attempt = 1; !started && ::GetLastError() == ERROR_INTERNAL_ERROR && attempt < 3; ++attempt) {
        ::Sleep(200);
        started = start();
    }
    if (!started) throw std::runtime_error(LastErrorText(("starting " + program).c_str()));
    ::CloseHandle(info.hThread);
    process_ = win::UniqueHandle(info.hProcess);
    id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (WaitForExit(std::chrono::milliseconds(0))) return;
    ::TerminateProcess(process_.Get(), 1);
    ::WaitForSingleObject(process_.Get(), 5000);
}

std::optional<DWORD> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    if (::WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.Get(), &code);
    return code;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s.processId) s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    std::vector<HWND> visible;
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (::IsWindowVisible(window)) visible.push_back(window);
    }
    return visible;
}

HWND WindowOfClass(DWORD processId, const std::string& className) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (ClassName(window) == className) return window;
    }
    return nullptr;
}

std::string WindowText(HWND window) {
    std::array<char, 1024> text{};
    ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::string ClassName(HWND window) {
    std::array<char, 256> name{};
    ::GetClassNameA(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

std::optional<MessageBoxView> FindMessageBox(DWORD processId, std::chrono::milliseconds timeout) {
    std::optional<MessageBoxView> view;
    WaitFor(
        [&] {
            for (HWND window : VisibleWindowsOf(processId)) {
                if (ClassName(window) != "#32770") continue;
                MessageBoxView box;
                box.window = window;
                box.caption = WindowText(window);
                for (HWND child : ChildWindows(window)) {
                    const std::string kind = ClassName(child);
                    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
                    if (_stricmp(kind.c_str(), "Button") == 0) {
                        if (::IsWindowVisible(child)) box.buttons.push_back(WindowText(child));
                    } else if (_stricmp(kind.c_str(), "Static") == 0) {
                        if ((style & SS_TYPEMASK) == SS_ICON) {
                            box.hasIcon = box.hasIcon || ::SendMessageA(child, STM_GETICON, 0, 0) != 0;
                        } else if (!WindowText(child).empty()) {
                            box.text = WindowText(child);
                        }
                    }
                }
                view = box;
                return true;
            }
            return false;
        },
        timeout);
    return view;
}

void PressButton(const MessageBoxView& box, const std::string& caption) {
    for (HWND child : ChildWindows(box.window)) {
        if (WindowText(child) == caption) {
            ::PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(child), BN_CLICKED),
                           reinterpret_cast<LPARAM>(child));
            return;
        }
    }
    throw std::runtime_error("no button " + caption);
}

}  // namespace quilldeck::testing

namespace quilldeck::testing {

std::string UnixTempFile(const std::string& purpose) {
    // The process id alone repeats: every fresh Wine prefix hands out the same
    // small ids, and an earlier run's files may still be there.
    static const std::string run = std::to_string(std::random_device{}());
    static int serial = 0;
    return "/tmp/quilldeck-test-" + purpose + "-" + std::to_string(::GetCurrentProcessId()) + "-" + run + "-" +
           std::to_string(++serial);
}

std::string WindowsPathOf(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
}

namespace {

}  // namespace

int RunUnix(const std::string& shellCommand, std::chrono::milliseconds timeout) {
    // Wine gives no waitable handle for a Unix process, so the shell leaves
    // the exit code in a file once the command has ended.
    const std::string status = UnixTempFile("status");
    std::string commandLine = "/bin/sh -c \"" + shellCommand + "; echo $? > " + status + ".part; mv " + status +
                              ".part " + status + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        return -1;
    }
    // The handles Wine returns for a Unix process are not handles of ours:
    // closing them would close whatever of ours bears those numbers (the
    // window station among them, which takes the clipboard away).
    // Our windows must keep answering the X server meanwhile (focus changes
    // wait for them), so messages are dispatched while the command runs.
    const std::string statusFile = WindowsPathOf(status);
    if (!PumpUntil([&] { return IsFile(statusFile); }, timeout)) return -1;
    const std::string code = ReadFileBytes(statusFile);
    ::DeleteFileA(statusFile.c_str());
    return std::atoi(code.c_str());
}

std::string UnixOutput(const std::string& shellCommand) {
    const std::string output = UnixTempFile("output");
    RunUnix(shellCommand + " > " + output);
    const std::string outputFile = WindowsPathOf(output);
    std::string text = IsFile(outputFile) ? ReadFileBytes(outputFile) : std::string();
    ::DeleteFileA(outputFile.c_str());
    return text;
}

std::string UnixPathOf(const std::string& windowsPath) {
    if (windowsPath.size() < 2 || (windowsPath.compare(0, 2, "Z:") != 0 && windowsPath.compare(0, 2, "z:") != 0)) {
        return {};
    }
    std::string path = windowsPath.substr(2);
    for (char& c : path) c = c == '\\' ? '/' : c;
    return path;
}

std::optional<Screenshot> Screenshot::Take(const std::string& keepAsPng) {
    const std::string file = UnixTempFile("screen") + ".ppm";
    std::string command = "import -window root -depth 8 " + file;
    if (!keepAsPng.empty()) command += " && convert " + file + " png:" + UnixPathOf(keepAsPng);
    const int code = RunUnix(command, std::chrono::seconds(30));
    const std::string path = WindowsPathOf(file);
    const std::string bytes = IsFile(path) ? ReadFileBytes(path) : std::string();
    ::DeleteFileA(path.c_str());
    if (code != 0) return std::nullopt;
    // A binary PPM: "P6", width, height and the largest value, then the pixels.
    std::size_t at = 0;
    const auto number = [&]() -> long {
        while (at < bytes.size() && (std::isspace(static_cast<unsigned char>(bytes[at])) || bytes[at] == '#')) {
            if (bytes[at] == '#') {
                while (at < bytes.size() && bytes[at] != '\n') ++at;
            } else {
                ++at;
            }
        }
        long value = 0;
        while (at < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[at]))) value = value * 10 + (bytes[at++] - '0');
        return value;
    };
    if (bytes.compare(0, 2, "P6") != 0) return std::nullopt;
    at = 2;
    Screenshot shot;
    shot.width_ = static_cast<int>(number());
    shot.height_ = static_cast<int>(number());
    const long largest = number();
    ++at;  // the one white-space character before the pixels
    const std::size_t size = static_cast<std::size_t>(shot.width_) * shot.height_ * 3;
    if (largest != 255 || bytes.size() < at + size) return std::nullopt;
    shot.rgb_ = bytes.substr(at, size);
    return shot;
}

COLORREF Screenshot::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const std::size_t at = (static_cast<std::size_t>(y) * width_ + x) * 3;
    const auto byte = [&](std::size_t offset) { return static_cast<BYTE>(rgb_[at + offset]); };
    return RGB(byte(0), byte(1), byte(2));
}

unsigned long XWindowOf(HWND window) {
    return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(::GetPropA(window, "__wine_x11_whole_window")));
}

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

}  // namespace quilldeck::testing
