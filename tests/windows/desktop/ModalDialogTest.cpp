#include <array>
#include <atomic>
#include <thread>

#include "DesktopFixture.h"
#include "hotkeys/GlobalHotKey.h"
#include "win/Controls.h"
#include "win/ModalDialog.h"

namespace quilldeck {
namespace {

using namespace testing;
using namespace std::chrono_literals;

constexpr int EditId = 10;
constexpr int OkId = 1001;
constexpr int CancelId = 1002;

const std::array<win::ControlLayout, 3> Layout = {{
    {EditId, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 12, 12, 200, 24},
    {OkId, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 80, 80, 75, 25},
    {CancelId, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 160, 80, 75, 25},
}};

class TestDialog : public win::ModalDialog {
public:
    explicit TestDialog(HWND owner) : ModalDialog(owner, owner, "Test dialog", 245, 115) {
        edit = CreateControls(Layout)[EditId];
    }
    HWND edit = nullptr;

protected:
    void FormShow() override { ::SetFocus(edit); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && LOWORD(wParam) == OkId) EndModal(IDOK);
        if (message == WM_COMMAND && LOWORD(wParam) == CancelId) EndModal(IDCANCEL);
        return ModalDialog::HandleMessage(message, wParam, lParam);
    }
};

class OwnerWindow : public win::Window {
public:
    OwnerWindow() {
        Create("QuilldeckDialogOwner", 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, "Dialog owner", 100, 100, 500, 400,
               nullptr, nullptr);
    }
};

// Plays a user at the keyboard from another thread while the dialog's own
// loop runs on this one.
class User {
public:
    explicit User(std::function<void()> script) : thread_(std::move(script)) {}
    ~User() { thread_.join(); }

private:
    std::thread thread_;
};

HWND VisibleDialog() {
    for (HWND window : VisibleWindowsOf(::GetCurrentProcessId())) {
        if (ClassName(window) == "QuilldeckDialog") return window;
    }
    return nullptr;
}

void KeysTo(HWND window, const std::string& keys) {
    InputDriver().KeyTo(window, keys);
    std::this_thread::sleep_for(300ms);
}

TEST(ModalDialogTest, EnterAndEscapeEndNothingButAFocusedButtonDoes) {
    OwnerWindow owner;
    PumpFor(200ms);
    TestDialog dialog(owner.Handle());
    std::atomic<bool> ownerDisabled{false}, survivedEscape{false}, survivedEnter{false};
    std::atomic<HWND> focusAtStart{nullptr};
    const DWORD dialogThread = ::GetCurrentThreadId();
    RECT ownerRect{}, dialogRect{};
    int result = 0;
    {
        User user([&] {
            HWND shown = nullptr;
            WaitFor([&] { return (shown = VisibleDialog()) != nullptr; });
            ownerDisabled = !::IsWindowEnabled(owner.Handle());
            ::GetWindowRect(owner.Handle(), &ownerRect);
            ::GetWindowRect(shown, &dialogRect);
            KeysTo(shown, "");
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            ::GetGUIThreadInfo(dialogThread, &info);
            focusAtStart = info.hwndFocus;
            KeysTo(shown, "Escape");
            survivedEscape = VisibleDialog() != nullptr;
            KeysTo(shown, "Return");
            survivedEnter = VisibleDialog() != nullptr;
            KeysTo(shown, "Tab Return");  // OK has the focus now
        });
        result = dialog.ShowModal();
    }
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(focusAtStart.load(), dialog.edit);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(survivedEscape);
    EXPECT_TRUE(survivedEnter);
    EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, (ownerRect.left + ownerRect.right) / 2, 2);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 2);
    RECT client{};
    ::GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, 245);
    EXPECT_EQ(client.bottom, 115);
}

TEST(ModalDialogTest, TheCloseBoxEndsItAsCancelAndHotKeysWorkMeanwhile) {
    OwnerWindow owner;
    PumpFor(200ms);
    TestDialog dialog(owner.Handle());
    Win32HotKeyRegistrar registrar;
    TGlobalHotKey key(registrar);
    std::atomic<int> presses{0};
    key.OnKeyDown = [&](TGlobalHotKey&, std::uint16_t&, TShiftState) { ++presses; };
    key.SetHotKey(0xC04B);  // Ctrl+Alt+K
    int result = 0;
    {
        User user([&] {
            HWND shown = nullptr;
            WaitFor([&] { return (shown = VisibleDialog()) != nullptr; });
            KeysTo(shown, "ctrl+alt+k");
            WaitFor([&] { return presses == 1; }, 5s);
            ::PostMessageA(shown, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        result = dialog.ShowModal();
    }
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
}

}  // namespace
}  // namespace quilldeck
