#pragma once

#include <windows.h>

#include <span>
#include <string_view>

#include "PasteKeys.h"

namespace quilldeck {

// The system's hot key registrations, behind an interface so that tests can
// watch which calls a component makes. Results are the system's.
class HotKeyRegistrar {
public:
    virtual ~HotKeyRegistrar() = default;
    virtual bool Register(HWND window, int identifier, UINT modifiers, UINT virtualKey) = 0;
    virtual bool Unregister(HWND window, int identifier) = 0;
};

class Win32HotKeyRegistrar final : public HotKeyRegistrar {
public:
    bool Register(HWND window, int identifier, UINT modifiers, UINT virtualKey) override;
    bool Unregister(HWND window, int identifier) override;
};

// The keyboard as the paste sees it: which modifiers are down, and a way to
// put a batch of key events into the input stream.
class Keyboard {
public:
    virtual ~Keyboard() = default;
    virtual HeldModifiers Held() const = 0;
    virtual void Send(std::span<const KeyStroke> strokes) = 0;
};

class Win32Keyboard final : public Keyboard {
public:
    HeldModifiers Held() const override;
    // One SendInput call, so no other input can come between the events.
    void Send(std::span<const KeyStroke> strokes) override;
};

// The clipboard as the paste sees it: its contents replaced by a text, opened
// for an owner window. Throws when it cannot, and then leaves it as it was.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void PutText(std::u16string_view text, HWND owner) = 0;
};

class Win32Clipboard final : public Clipboard {
public:
    // PutTextOnClipboard.
    void PutText(std::u16string_view text, HWND owner) override;
};

}  // namespace quilldeck
