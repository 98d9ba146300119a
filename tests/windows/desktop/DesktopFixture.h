#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string_view>
#include <thread>

#include "../DesktopView.h"
#include "../InputDriver.h"
#include "../TestSupport.h"
#include "PasteTarget.h"
#include "hotkeys/Input.h"

namespace quilldeck::testing {

// The real registrar, with a record of every call made through it.
class RecordingRegistrar final : public HotKeyRegistrar {
public:
    struct Call {
        bool registering;
        HWND window;
        int identifier;
        UINT modifiers;
        UINT virtualKey;
    };

    bool Register(HWND window, int identifier, UINT modifiers, UINT virtualKey) override {
        calls.push_back({true, window, identifier, modifiers, virtualKey});
        return real_.Register(window, identifier, modifiers, virtualKey);
    }
    bool Unregister(HWND window, int identifier) override {
        calls.push_back({false, window, identifier, 0, 0});
        return real_.Unregister(window, identifier);
    }
    int Registrations() const {
        int count = 0;
        for (const Call& call : calls) count += call.registering ? 1 : 0;
        return count;
    }

    std::vector<Call> calls;

private:
    Win32HotKeyRegistrar real_;
};

// Whether nobody holds the combination: a registration of our own succeeds.
inline bool CombinationIsFree(UINT modifiers, UINT virtualKey) {
    constexpr int ProbeIdentifier = 0xBEEF;
    if (!::RegisterHotKey(nullptr, ProbeIdentifier, modifiers, virtualKey)) return false;
    ::UnregisterHotKey(nullptr, ProbeIdentifier);
    return true;
}

// Answers every message box of this process with OK from another thread,
// since the box's own loop runs inside the handler that raised it.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::chrono::milliseconds answerAfter = std::chrono::milliseconds(0))
        : thread_([this, answerAfter] {
              while (!stop_) {
                  const auto box = FindMessageBox(::GetCurrentProcessId(), std::chrono::milliseconds(50));
                  if (!box) continue;
                  {
                      std::lock_guard<std::mutex> lock(mutex_);
                      seen_.push_back(*box);
                  }
                  const auto answerAt = std::chrono::steady_clock::now() + answerAfter;
                  while (std::chrono::steady_clock::now() < answerAt) {
                      const std::size_t open = OpenBoxes();
                      std::lock_guard<std::mutex> lock(mutex_);
                      if (open > mostOpenAtOnce_) mostOpenAtOnce_ = open;
                      std::this_thread::sleep_for(std::chrono::milliseconds(20));
                  }
                  PressButton(*box, "OK");
                  WaitFor([&] { return !::IsWindow(box->window); }, std::chrono::seconds(5));
              }
          }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::vector<MessageBoxView> Seen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }
    std::size_t MostOpenAtOnce() {
        std::lock_guard<std::mutex> lock(mutex_);
        return mostOpenAtOnce_;
    }

private:
    static std::size_t OpenBoxes() {
        std::size_t open = 0;
        for (HWND window : VisibleWindowsOf(::GetCurrentProcessId())) open += ClassName(window) == "#32770" ? 1 : 0;
        return open;
    }

    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<MessageBoxView> seen_;
    std::size_t mostOpenAtOnce_ = 0;
    std::thread thread_;
};

// Sets the X server's keyboard auto-repeat for as long as this lives; tests
// that hold keys down run without it unless they are about it.
class AutoRepeat {
public:
    explicit AutoRepeat(bool on) {
        RunUnix(on ? "xset r on r rate 250 20" : "xset r off");
    }
    ~AutoRepeat() { RunUnix("xset r off"); }
    AutoRepeat(const AutoRepeat&) = delete;
    AutoRepeat& operator=(const AutoRepeat&) = delete;
};

// The clipboard's Unicode text, or nothing when it holds none.
std::optional<std::u16string> ClipboardText();
// Puts Unicode text on the clipboard, as another program copies it.
void CopyToClipboard(std::u16string_view text);
// The formats on the clipboard in the order the system lists them.
std::vector<UINT> ClipboardFormats();
// Size of the CF_UNICODETEXT block as the system reports it.
SIZE_T ClipboardTextBlockSize();

// Another program that holds the clipboard open for a while.
class ClipboardHolder {
public:
    explicit ClipboardHolder(int milliseconds);
    ~ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;

    bool WaitUntilHeld();
    std::optional<DWORD> WaitForRelease(std::chrono::milliseconds timeout);

private:
    win::UniqueHandle held_;
    std::unique_ptr<ChildProcess> process_;
};

}  // namespace quilldeck::testing
