#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win/Window.h"

namespace quilldeck::testing {

// A key message as the focused edit received it, with the modifiers that
// were logically down at that moment.
struct ReceivedKey {
    UINT message;
    WPARAM virtualKey;
    bool ctrl;
    bool alt;
    bool shift;
    bool win = false;
};

// A window of our own to paste into: a menu bar (to see whether a stray Alt
// opens it) over an edit that records every key message it gets.
class PasteTarget : public win::Window {
public:
    PasteTarget();
    ~PasteTarget() override;

    HWND Edit() const { return edit_; }
    std::u16string Text() const;
    void Clear();
    void Focus();

    std::vector<ReceivedKey> keys;
    int menuOpenings = 0;

    // The keys that went down, V's with their modifiers.
    std::vector<ReceivedKey> KeyDowns(WPARAM virtualKey) const;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    static LRESULT CALLBACK EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND edit_ = nullptr;
    WNDPROC editProcedure_ = nullptr;
    HMENU menu_ = nullptr;
};

}  // namespace quilldeck::testing
