#pragma once

#include <cstdint>
#include <functional>

#include "Input.h"
#include "slots/ShortcutText.h"
#include "win/Window.h"

namespace quilldeck {

class TGlobalHotKey;

using TKeyEvent = std::function<void(TGlobalHotKey& sender, std::uint16_t& key, TShiftState shift)>;

// One system-wide hot key. The registration is held exactly while Active is
// true and HotKey is not 0, as far as the system grants it; presses raise
// OnKeyDown, whichever program has the focus.
class TGlobalHotKey : private win::Window {
public:
    explicit TGlobalHotKey(HotKeyRegistrar& registrar);
    ~TGlobalHotKey() override;

    bool Active() const noexcept { return active_; }
    void SetActive(bool active);
    TShortCut HotKey() const noexcept { return hotKey_; }
    void SetHotKey(TShortCut hotKey);

    int Tag = 0;
    TKeyEvent OnKeyDown;

    // The registration's window and identifier.
    HWND MessageWindow() const noexcept { return Handle(); }
    int Identifier() const noexcept { return identifier_; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Register();
    void Unregister();

    HotKeyRegistrar& registrar_;
    ATOM identifier_ = 0;
    bool reportingError_ = false;
    bool active_ = false;
    TShortCut hotKey_ = 0;
};

// The RegisterHotKey modifiers for a shortcut value: Shift, Ctrl and Alt only.
UINT HotKeyModifiers(TShortCut value);

}  // namespace quilldeck
