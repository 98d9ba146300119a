#include "TrayFixture.h"

#include "win/Application.h"

#include <commctrl.h>

#include <array>
#include <stdexcept>

namespace quilldeck::testing {
namespace {

// Memory in another process, for messages whose arguments point to it.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : process_(process), address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_ != nullptr) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* At(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
    explicit operator bool() const { return address_ != nullptr; }

private:
    HANDLE process_;
    void* address_;
};

std::vector<HWND> TopLevelWindowsOf(DWORD processId, const std::string& className) {
    std::vector<HWND> found;
    for (HWND window : testing::TopLevelWindowsOf(processId)) {
        if (ClassName(window) == className) found.push_back(window);
    }
    return found;
}


}  // namespace

HWND SystemTrayWindow() { return ::FindWindowA(nullptr, "Wine System Tray"); }

OpenMenu ReadMenu(HWND window) {
    OpenMenu view;
    view.window = window;
    ::GetWindowRect(window, &view.rect);
    ::GetCursorPos(&view.cursor);
    view.foreground = ::GetForegroundWindow();
    const auto menu = reinterpret_cast<HMENU>(::SendMessageA(window, MN_GETHMENU, 0, 0));
    const int count = menu != nullptr ? ::GetMenuItemCount(menu) : 0;
    for (int index = 0; index < count; ++index) {
        std::array<char, 256> text{};
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size() - 1);
        ::GetMenuItemInfoA(menu, static_cast<UINT>(index), TRUE, &info);
        MenuEntry entry;
        entry.separator = (info.fType & MFT_SEPARATOR) != 0;
        entry.text = entry.separator ? "-" : text.data();
        entry.isDefault = (info.fState & MFS_DEFAULT) != 0;
        entry.grayed = (info.fState & MFS_GRAYED) != 0;
        ::GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &entry.rect);
        view.entries.push_back(entry);
    }
    return view;
}

std::vector<ShownTrayIcon> ShownTrayIcons() {
    std::vector<ShownTrayIcon> icons;
    const HWND tray = SystemTrayWindow();
    if (tray == nullptr) return icons;
    DWORD desktop = 0;
    ::GetWindowThreadProcessId(tray, &desktop);
    win::UniqueHandle process(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, desktop));
    if (!process) throw std::runtime_error("cannot open Wine's desktop process");
    // Tooltip tools and their texts live in the desktop process: each tool
    // names the icon window it belongs to. The ANSI messages return no more
    // than 80 characters of a text, the Unicode ones all of it.
    constexpr SIZE_T TextOffset = 1024;
    constexpr int TextLength = 1024;
    RemoteBuffer remote(process.Get(), TextOffset + TextLength * sizeof(wchar_t));
    if (!remote) throw std::runtime_error("cannot allocate in Wine's desktop process");
    for (HWND tooltip : TopLevelWindowsOf(desktop, TOOLTIPS_CLASSA)) {
        const auto tools = static_cast<int>(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
        for (int index = 0; index < tools; ++index) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.lpszText = reinterpret_cast<wchar_t*>(remote.At(TextOffset));
            std::array<wchar_t, TextLength> text{};
            ::WriteProcessMemory(process.Get(), remote.At(0), &tool, sizeof(tool), nullptr);
            ::WriteProcessMemory(process.Get(), remote.At(TextOffset), text.data(), sizeof(text), nullptr);
            if (!::SendMessageW(tooltip, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(remote.At(0)))) continue;
            ::ReadProcessMemory(process.Get(), remote.At(0), &tool, sizeof(tool), nullptr);
            ::ReadProcessMemory(process.Get(), remote.At(TextOffset), text.data(), sizeof(text) - sizeof(wchar_t),
                                nullptr);
            if (!::IsChild(tray, tool.hwnd) || !::IsWindowVisible(tool.hwnd)) continue;
            ShownTrayIcon icon;
            icon.window = tool.hwnd;
            ::GetWindowRect(tool.hwnd, &icon.rect);
            std::array<char, TextLength * 2> ansi{};
            ::WideCharToMultiByte(CP_ACP, 0, text.data(), -1, ansi.data(), static_cast<int>(ansi.size()), nullptr,
                                  nullptr);
            icon.tip = ansi.data();
            icons.push_back(icon);
        }
    }
    return icons;
}

std::vector<ShownTrayIcon> ShownTrayIconsWithTip(const std::string& tip) {
    std::vector<ShownTrayIcon> matching;
    for (const ShownTrayIcon& icon : ShownTrayIcons()) {
        if (icon.tip == tip) matching.push_back(icon);
    }
    return matching;
}

bool WaitForIconsWithTip(const std::string& tip, std::size_t count) {
    return PumpUntil([&] { return ShownTrayIconsWithTip(tip).size() == count; });
}

std::string UniqueTip(const std::string& text) {
    static int serial = 0;
    return text + " " + std::to_string(::GetCurrentProcessId()) + "." + std::to_string(++serial);
}

TaskbarEntryWindow::TaskbarEntryWindow() {
    Create("QuilldeckTestTaskbarEntry", 0, WS_POPUP | WS_VISIBLE, "Quilldeck", 0, 0, 0, 0, nullptr, nullptr);
}

OwnerWindow::OwnerWindow(HWND taskbarEntry) {
    // No caption: hiding a captioned window stalls without a window manager.
    Create("QuilldeckTestOwner", 0, WS_POPUP, "Quilldeck 1.01", 400, 300, 240, 160, taskbarEntry, nullptr, 0,
           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

int OwnerWindow::Handled(UINT message) const {
    int count = 0;
    for (UINT seen : handled) count += seen == message ? 1 : 0;
    return count;
}

LRESULT OwnerWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto ownHandling = [&] {
        handled.push_back(message);
        return Window::HandleMessage(message, wParam, lParam);
    };
    LRESULT result = 0;
    if (icon != nullptr && icon->FilterOwnerMessage(Handle(), message, wParam, ownHandling, result)) return result;
    return ownHandling();
}

TrayRig::TrayRig(bool inactive, bool withTaskbarCreated) {
    if (withTaskbarCreated) taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    icon = std::make_unique<TTrayIcon>(entry.Handle(), taskbarCreated,
                                       ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)), [this] {
                                           ++processMessagesCalls;
                                           if (whileProcessing) whileProcessing();
                                           win::ProcessPendingMessages();
                                       });
    owner.icon = icon.get();
    if (inactive) {
        icon->SetActive(false);
        icon->SetHint(tip);
    }
}

TrayRig::~TrayRig() { DestroyIcon(); }

void TrayRig::DestroyIcon() {
    owner.icon = nullptr;
    icon.reset();
}

ShownTrayIcon TrayRig::ShownIcon() const {
    std::vector<ShownTrayIcon> shown;
    PumpUntil([&] { return (shown = ShownTrayIconsWithTip(tip)).size() == 1; });
    if (shown.size() != 1) throw std::runtime_error(std::to_string(shown.size()) + " icons show " + tip);
    return shown.front();
}

POINT ClickIcon(const ShownTrayIcon& icon, MouseButton button, int times) {
    const InputDriver input;
    const DesktopView desktop{};
    // Always asked for: the window is unmapped while it has no icons, and the
    // window manager may still name it active after it came back. It can be
    // activated only once the X server shows it again.
    const HWND tray = SystemTrayWindow();
    EXPECT_TRUE(PumpUntil([&] { return desktop.IsViewable(tray); }, std::chrono::seconds(5)))
        << "the notification area is not shown";
    input.Run(InputSteps().AskToActivate(tray));
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == tray; }, std::chrono::seconds(3)))
        << "the notification area did not come to the front";
    // Its process has handled the activation before the click comes.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(tray, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
    // The window manager places the window after it is mapped again, so an
    // icon read before that is where the window was, not where it shows. Wine
    // learns of the move a moment after the X server: wait until the two
    // agree, then read the icon afresh.
    std::optional<POINT> placedAt;
    POINT origin{};
    const bool placed = PumpUntil(
        [&] {
            origin = {};
            ::ClientToScreen(tray, &origin);
            placedAt = desktop.Origin(tray);
            return placedAt && placedAt->x == origin.x && placedAt->y == origin.y;
        },
        std::chrono::seconds(3));
    EXPECT_TRUE(placed) << "the notification area shows at "
                        << (placedAt ? std::to_string(placedAt->x) + " " + std::to_string(placedAt->y) : "no place")
                        << " but Wine has it at " << origin.x << " " << origin.y;
    ShownTrayIcon clicked = icon;
    ::GetWindowRect(icon.window, &clicked.rect);
    EXPECT_TRUE(input.Run(InputSteps().MoveTo(clicked.Centre()).Click(button, times)));
    return clicked.Centre();
}

std::vector<std::string> OpenMenu::Texts() const {
    std::vector<std::string> texts;
    for (const MenuEntry& entry : entries) texts.push_back(entry.text);
    return texts;
}

const MenuEntry& OpenMenu::Entry(const std::string& text) const {
    for (const MenuEntry& entry : entries) {
        if (entry.text == text) return entry;
    }
    throw std::runtime_error("the menu has no entry " + text);
}

HWND OpenMenuWindow() {
    for (HWND window : VisibleWindowsOf(::GetCurrentProcessId())) {
        if (ClassName(window) == "#32768") return window;
    }
    return nullptr;
}

MenuUser::MenuUser(Action action)
    : thread_([this, action] {
          HWND window = nullptr;
          WaitFor([&] { return stop_ || (window = OpenMenuWindow()) != nullptr; }, std::chrono::seconds(15));
          if (window != nullptr) {
              seen_ = ReadMenu(window);
              opened_ = true;
              acted_ = action(*seen_);
              closed_ = WaitFor([&] { return !::IsWindowVisible(window); }, std::chrono::seconds(5));
              // A menu left open would hold the test inside its loop forever.
              for (int attempt = 0; attempt < 50 && ::IsWindowVisible(window); ++attempt) {
                  ::PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
              }
          }
          finished_ = true;
      }) {}

MenuUser::~MenuUser() {
    stop_ = true;
    thread_.join();
}

std::optional<OpenMenu> MenuUser::Seen(std::chrono::milliseconds timeout) {
    PumpUntil([&] { return finished_.load(); }, timeout);
    if (!finished_) return std::nullopt;
    return seen_;
}

bool MenuUser::ActedCleanly() {
    Seen();
    return finished_ && acted_ && closed_;
}

MenuUser::Action ClickAt(POINT at) {
    return [at](const OpenMenu&) { return InputDriver().ClickAt(at); };
}

MenuUser::Action ClickEntry(const std::string& text) {
    return [text](const OpenMenu& menu) {
        for (const MenuEntry& entry : menu.entries) {
            if (entry.text != text) continue;
            const POINT centre{(entry.rect.left + entry.rect.right) / 2, (entry.rect.top + entry.rect.bottom) / 2};
            return ClickAt(centre)(menu);
        }
        return false;
    };
}

MenuUser::Action PressKeys(const std::string& keys) {
    return [keys](const OpenMenu& menu) { return PressKeysInMenu(menu.window, keys); };
}

bool PressKeysInMenu(HWND menuWindow, const std::string& keys, std::chrono::milliseconds delay) {
    const InputDriver input;
    input.FocusOnceMapped(menuWindow);
    return input.Key(keys, delay);
}

MenuUser::Action CloseQuietly() {
    return [](const OpenMenu& menu) { return ::PostMessageA(menu.window, WM_KEYDOWN, VK_ESCAPE, 0) != FALSE; };
}

}  // namespace quilldeck::testing
