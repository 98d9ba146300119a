#include "ProgramDriver.h"

#include <commctrl.h>

#include <array>

#include "InputDriver.h"

namespace quilldeck::testing {
namespace {

constexpr int ListViewId = 101;
constexpr int StatusBarId = 102;
constexpr int ExitCommand = 202;

// Memory in another process, for messages whose answers carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(DWORD processId, std::size_t size)
        : process_(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId)),
          size_(size) {
        address_ = ::VirtualAllocEx(process_.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() { ::VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE); }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* Address() const { return address_; }
    char* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
    void Write(std::size_t offset, const void* data, std::size_t size) {
        ::WriteProcessMemory(process_.Get(), At(offset), data, size, nullptr);
    }
    void Read(std::size_t offset, void* data, std::size_t size) {
        ::ReadProcessMemory(process_.Get(), At(offset), data, size, nullptr);
    }
    std::string ReadString(std::size_t offset, std::size_t size) {
        std::string text(size, '\0');
        ::ReadProcessMemory(process_.Get(), At(offset), text.data(), size, nullptr);
        return text.c_str();
    }

private:
    win::UniqueHandle process_;
    std::size_t size_;
    void* address_ = nullptr;
};

}  // namespace

QuilldeckProgram::QuilldeckProgram(const std::optional<std::string>& settings, int showCommand,
                                   bool readOnlySettings)
    : QuilldeckProgram(ProgramFolder() + "Quilldeck.exe", settings, showCommand, readOnlySettings) {}

QuilldeckProgram::QuilldeckProgram(const std::string& program, const std::optional<std::string>& settings,
                                   int showCommand, bool readOnlySettings) {
    if (settings) {
        ::CreateDirectoryA((appData_ / "Kestrovar").c_str(), nullptr);
        WriteFileBytes(SettingsPath(), *settings);
        if (readOnlySettings) ::SetFileAttributesA(SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY);
    }
    process_ = std::make_unique<ChildProcess>(program,
                                              std::map<std::string, std::optional<std::string>>{
                                                  {"APPDATA", appData_.Path()}},
                                              std::string{}, std::string{}, showCommand);
}

QuilldeckProgram::QuilldeckProgram(const Elsewhere& launch)
    : process_(std::make_unique<ChildProcess>(
          launch.program, std::map<std::string, std::optional<std::string>>{{"APPDATA", launch.appData}},
          launch.currentFolder)) {}

QuilldeckProgram::~QuilldeckProgram() {
    if (!process_->WaitForExit(std::chrono::milliseconds(0))) {
        if (main_ != nullptr) ::PostMessageA(main_, WM_COMMAND, ExitCommand, 0);
        process_->WaitForExit(std::chrono::seconds(10));
    }
}

FILETIME QuilldeckProgram::SettingsWriteTime() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(SettingsPath().c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

HWND QuilldeckProgram::MainWindow(std::chrono::milliseconds timeout) {
    if (main_ != nullptr) return main_;
    WaitFor([&] { return (main_ = WindowOfClass(process_->Id(), "QuilldeckMainWindow")) != nullptr; }, timeout);
    return main_;
}

HWND QuilldeckProgram::TaskbarEntry() { return ::GetWindow(MainWindow(), GW_OWNER); }
HWND QuilldeckProgram::ListView() { return ::GetDlgItem(MainWindow(), ListViewId); }
HWND QuilldeckProgram::StatusBar() { return ::GetDlgItem(MainWindow(), StatusBarId); }

void QuilldeckProgram::Command(int id) { ::PostMessageA(MainWindow(), WM_COMMAND, static_cast<WPARAM>(id), 0); }

bool QuilldeckProgram::Settle() {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer) != 0;
}

void QuilldeckProgram::SendDpiChanged(HWND window, UINT dpi, const RECT& suggested) {
    RemoteBuffer buffer(process_->Id(), sizeof(RECT));
    buffer.Write(0, &suggested, sizeof(suggested));
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(buffer.Address()),
                          SMTO_NORMAL, 10000, &answer);
}

std::optional<DWORD> QuilldeckProgram::Exit() {
    Command(ExitCommand);
    return process_->WaitForExit(std::chrono::seconds(15));
}

int QuilldeckProgram::RowCount() { return static_cast<int>(::SendMessageA(ListView(), LVM_GETITEMCOUNT, 0, 0)); }

int QuilldeckProgram::SelectedRow() {
    return static_cast<int>(::SendMessageA(ListView(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool QuilldeckProgram::Checked(int row) {
    const auto state = static_cast<UINT>(::SendMessageA(ListView(), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

std::string QuilldeckProgram::RowText(int row, int column) {
    RemoteBuffer buffer(process_->Id(), sizeof(LVITEMA) + 512);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.At(sizeof(LVITEMA));
    item.cchTextMax = 512;
    buffer.Write(0, &item, sizeof(item));
    ::SendMessageA(ListView(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(buffer.Address()));
    return buffer.ReadString(sizeof(LVITEMA), 512);
}

int QuilldeckProgram::ListTextWidth(const std::string& text) {
    RemoteBuffer buffer(process_->Id(), text.size() + 1);
    buffer.Write(0, text.c_str(), text.size() + 1);
    return static_cast<int>(
        ::SendMessageA(ListView(), LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(buffer.Address())));
}

std::optional<std::string> QuilldeckProgram::StatusHint() {
    const HWND main = MainWindow();
    const HWND status = StatusBar();
    constexpr std::size_t TextOffset = 512;
    constexpr std::size_t TextSize = 1024;
    RemoteBuffer remote(process_->Id(), TextOffset + TextSize);
    for (HWND tooltip : TopLevelWindowsOf(process_->Id())) {
        if (ClassName(tooltip) != TOOLTIPS_CLASSA) continue;
        TOOLINFOA tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = main;
        tool.uId = reinterpret_cast<UINT_PTR>(status);
        tool.lpszText = remote.At(TextOffset);
        const std::string empty(TextSize, '\0');
        remote.Write(TextOffset, empty.data(), empty.size());
        remote.Write(0, &tool, sizeof(tool));
        if (::SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0) == 0) continue;
        ::SendMessageA(tooltip, TTM_GETTEXTA, TextSize, reinterpret_cast<LPARAM>(remote.Address()));
        return remote.ReadString(TextOffset, TextSize - 1);
    }
    return std::nullopt;
}

std::string QuilldeckProgram::StatusText() {
    // In simple mode the status bar answers for part 0 only.
    RemoteBuffer buffer(process_->Id(), 512);
    ::SendMessageA(StatusBar(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buffer.Address()));
    return buffer.ReadString(0, 512);
}

POINT QuilldeckProgram::RowPoint(int row) {
    RemoteBuffer buffer(process_->Id(), sizeof(RECT));
    RECT rect{LVIR_LABEL, 0, 0, 0};
    buffer.Write(0, &rect, sizeof(rect));
    ::SendMessageA(ListView(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(buffer.Address()));
    buffer.Read(0, &rect, sizeof(rect));
    POINT at{rect.left + 60, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(ListView(), &at);
    return at;
}

POINT QuilldeckProgram::CheckBoxPoint(int row) {
    // The check box stands left of the row's (empty) icon, as wide as a small icon.
    RemoteBuffer buffer(process_->Id(), sizeof(RECT));
    RECT rect{LVIR_ICON, 0, 0, 0};
    buffer.Write(0, &rect, sizeof(rect));
    ::SendMessageA(ListView(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(buffer.Address()));
    buffer.Read(0, &rect, sizeof(rect));
    POINT at{rect.left - ::GetSystemMetrics(SM_CXSMICON) / 2, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(ListView(), &at);
    return at;
}

void QuilldeckProgram::SelectRowByClick(int row) {
    InputDriver().ClickAt(RowPoint(row));
}

void QuilldeckProgram::ClearSelection() {
    RemoteBuffer buffer(process_->Id(), sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    buffer.Write(0, &item, sizeof(item));
    ::SendMessageA(ListView(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(buffer.Address()));
}

bool QuilldeckProgram::Shown() { return ::IsWindowVisible(MainWindow()) != FALSE; }

HWND QuilldeckProgram::Dialog(const std::string& caption, std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND window : VisibleWindowsOf(process_->Id())) {
                if (ClassName(window) == "QuilldeckDialog" && WindowText(window) == caption) found = window;
            }
            return found != nullptr;
        },
        timeout);
    return found;
}

std::string ControlText(HWND control) {
    const auto length = ::SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const auto copied = ::SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::u16string ControlTextUtf16(HWND control) {
    const auto length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return std::u16string(text.begin(), text.end());
}

void SetControlText(HWND control, const std::string& text) {
    ::SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND FocusedControlOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

bool QuilldeckProgram::Opaque() { return (::GetWindowLongA(MainWindow(), GWL_EXSTYLE) & WS_EX_LAYERED) == 0; }

}  // namespace quilldeck::testing
