#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <thread>

#include "ProgramFixture.h"
#include "SettingsText.h"

namespace quilldeck::testing {

// Wine's Notepad: another program whose text field takes the pastes.
class Notepad {
public:
    Notepad()
        : process_(std::make_unique<ChildProcess>("C:\\windows\\system32\\notepad.exe",
                                                  std::map<std::string, std::optional<std::string>>{})) {
        WaitFor([&] {
            window_ = WindowOfClass(process_->Id(), "Notepad");
            return window_ != nullptr && ::IsWindowVisible(window_);
        });
        edit_ = ::FindWindowExA(window_, nullptr, "Edit", nullptr);
    }

    HWND Window() const { return window_; }
    std::string Text() const { return ControlText(edit_); }
    std::u16string TextUtf16() const { return ControlTextUtf16(edit_); }
    void Clear() const { SetControlText(edit_, ""); }

    // Brings it to the front as a click on it would, through the window manager.
    ::testing::AssertionResult Activate() const {
        input_.Activate(window_);
        if (WaitFor([&] { return ::GetForegroundWindow() == window_; }, std::chrono::seconds(5))) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "Notepad did not come to the front";
    }

    // Empties it, brings it to the front, presses the keys and waits for the
    // text; a text of nothing waits a while and expects it to stay empty.
    ::testing::AssertionResult Receives(const std::string& keys, const std::string& expected) const {
        Clear();
        if (const auto active = Activate(); !active) return active;
        input_.Key(keys);
        const bool arrived = expected.empty() ? !WaitFor([&] { return !Text().empty(); }, std::chrono::seconds(1))
                                              : WaitFor([&] { return Text() == expected; }, std::chrono::seconds(5));
        if (arrived) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << keys << " gave \"" << Text() << "\", not \"" << expected << "\"";
    }

private:
    const InputDriver input_;
    std::unique_ptr<ChildProcess> process_;
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
};

// Journeys through the program as a user makes them, on a desktop with a
// window manager: keys, clicks, the tray, the files, another program.
class JourneyFixture : public ProgramFixture {
protected:
    // A key of the keyboard held down, as every program sees it.
    static ::testing::AssertionResult NoKeyHeld() {
        const int keys[] = {VK_CONTROL, VK_MENU, VK_SHIFT, VK_LWIN, VK_RWIN, 'V', 'A', 'B', 'G'};
        for (int key : keys) {
            if (::GetAsyncKeyState(key) & 0x8000) return ::testing::AssertionFailure() << "key " << key << " is held";
        }
        return ::testing::AssertionSuccess();
    }

    // Shown in front: the active window of the window manager, with a title
    // bar, and the foreground window of Wine.
    ::testing::AssertionResult InFront(HWND window) const {
        const bool front = WaitFor([&] {
            return ::GetForegroundWindow() == window && desktop.ActiveWindow() == XWindowOf(window);
        });
        if (!front) {
            return ::testing::AssertionFailure() << "not the active window: foreground " << ::GetForegroundWindow()
                                                 << " (" << WindowText(::GetForegroundWindow()) << "), X "
                                                 << desktop.ActiveWindow() << " against " << window << ", X "
                                                 << XWindowOf(window);
        }
        const std::optional<ManagedFrame> frame = desktop.FrameOf(window);
        if (!frame || frame->titleBarHeight == 0) return ::testing::AssertionFailure() << "no title bar";
        return ::testing::AssertionSuccess();
    }

    // The tray menu of the program, opened with a right click on its icon.
    static std::optional<OpenMenu> OpenTrayMenu(QuilldeckProgram& quilldeck) {
        const auto icons = ShownTrayIconsWithTip("Quilldeck 1.01");
        if (icons.size() != 1) {
            ADD_FAILURE() << icons.size() << " tray icons of the program";
            return std::nullopt;
        }
        // A click soon after another on the icon would count as a double click.
        PumpFor(std::chrono::milliseconds(::GetDoubleClickTime() + 50));
        ClickIcon(icons.front(), MouseButton::Right);
        HWND window = nullptr;
        if (!WaitFor([&] {
                window = WindowOfClass(quilldeck.Process().Id(), "#32768");
                return window != nullptr && ::IsWindowVisible(window);
            })) {
            return std::nullopt;
        }
        OpenMenu menu;
        menu.window = window;
        ::GetWindowRect(window, &menu.rect);
        return menu;
    }

    // The tray menu's entries by the keys: Down highlights Restore, again Exit.
    static ::testing::AssertionResult ChooseInTrayMenu(QuilldeckProgram& quilldeck, const std::string& entry) {
        const std::optional<OpenMenu> menu = OpenTrayMenu(quilldeck);
        if (!menu) return ::testing::AssertionFailure() << "no tray menu";
        PressKeysInMenu(menu->window, entry == "Exit" ? "Down Down Return" : "Down Return");
        if (WaitFor([&] { return !::IsWindowVisible(menu->window); })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the menu stays open";
    }

    // A click in the middle of a dialog's control.
    void ClickControl(HWND dialog, int id) const { input.ClickOn(::GetDlgItem(dialog, id)); }

    // A message box of the program: its caption, text and buttons.
    static ::testing::AssertionResult ShowsBox(QuilldeckProgram& quilldeck, const std::string& caption,
                                               const std::string& text, std::vector<std::string> buttons,
                                               std::optional<MessageBoxView>* seen = nullptr) {
        const auto box = FindMessageBox(quilldeck.Process().Id());
        if (!box) return ::testing::AssertionFailure() << "no box \"" << text << "\"";
        if (seen != nullptr) *seen = box;
        if (box->caption != caption || box->text != text || box->buttons != buttons) {
            return ::testing::AssertionFailure() << "box \"" << box->caption << "\": \"" << box->text << "\"";
        }
        return ::testing::AssertionSuccess();
    }

    // Clicks a button of a box and waits until the box has gone.
    ::testing::AssertionResult ClickBoxButton(const MessageBoxView& box, const std::string& caption) const {
        for (HWND child : ChildWindows(box.window)) {
            if (WindowText(child) != caption) continue;
            input.ClickOn(child);
            if (WaitFor([&] { return !::IsWindow(box.window); })) return ::testing::AssertionSuccess();
            return ::testing::AssertionFailure() << "the box stays after " << caption;
        }
        return ::testing::AssertionFailure() << "no button " << caption;
    }

    // Saves a picture of a window with the frame the window manager gives it
    // (and, for a menu, of the screen around it) for the documentation.
    static void KeepPicture(const RECT& area, const std::string& name) {
        const std::string folder = ProgramFolder() + "pictures";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        const std::string geometry = std::to_string(area.right - area.left) + "x" +
                                     std::to_string(area.bottom - area.top) + "+" + std::to_string(area.left) +
                                     "+" + std::to_string(area.top);
        EXPECT_EQ(RunUnix("import -window root -crop " + geometry + " +repage png:" +
                              UnixPathOf(folder + "\\" + name),
                          std::chrono::seconds(30)),
                  0)
            << name;
    }
    void KeepPicture(HWND window, const std::string& name) const {
        const std::optional<ManagedFrame> frame = desktop.FrameOf(window);
        ASSERT_TRUE(frame) << name;
        // A painted window first: the program has handled what was sent to it.
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
        KeepPicture(frame->outer, name);
    }
};

// Takes screenshots one after another until stopped and tells whether any of
// them showed something else in an area than the screen showed at the start.
class ScreenWatch {
public:
    explicit ScreenWatch(const RECT& area) : area_(area) {
        ::CreateDirectoryA((ProgramFolder() + "pictures").c_str(), nullptr);
        // The start is a screen at rest: two shots in a row alike in the area
        // (a window that has just gone may still show for a moment).
        for (int attempt = 0; attempt < 50; ++attempt) {
            std::optional<Screenshot> shot = Screenshot::Take();
            if (!shot) break;
            settled_ = baseline_ && SameInArea(*shot);
            baseline_ = std::move(shot);
            if (settled_) break;
        }
        thread_ = std::thread([this] {
            while (!stop_) {
                // Each shot is kept until the next; the first that differs
                // stays for people to look at.
                const std::string last = ProgramFolder() + "pictures\\screen-watch-last.png";
                const std::optional<Screenshot> shot = Screenshot::Take(last);
                if (!shot || !baseline_) continue;
                ++samples_;
                if (!SameInArea(*shot)) {
                    if (!changed_) {
                        ::CopyFileA(last.c_str(), (ProgramFolder() + "pictures\\screen-watch-changed.png").c_str(),
                                    FALSE);
                    }
                    changed_ = true;
                }
            }
        });
    }
    ~ScreenWatch() { Stop(); }
    ScreenWatch(const ScreenWatch&) = delete;
    ScreenWatch& operator=(const ScreenWatch&) = delete;

    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    // Whether the screen came to rest before the watch began.
    bool Started() const { return settled_; }
    int Samples() const { return samples_; }
    bool Changed() const { return changed_; }

private:
    bool SameInArea(const Screenshot& shot) const {
        for (int y = area_.top; y < area_.bottom; y += 2) {
            for (int x = area_.left; x < area_.right; x += 2) {
                if (shot.At(x, y) != baseline_->At(x, y)) return false;
            }
        }
        return true;
    }

    RECT area_;
    std::optional<Screenshot> baseline_;
    bool settled_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<int> samples_{0};
    std::atomic<bool> changed_{false};
    std::thread thread_;
};

}  // namespace quilldeck::testing
