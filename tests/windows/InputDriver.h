#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace quilldeck::testing {

enum class MouseButton { Left = 1, Middle = 2, Right = 3 };

// How far apart keys come: xdotool's own pace, a user's, and the pace of keys
// for an open menu, whose loop takes one at a time.
inline constexpr std::chrono::milliseconds XdotoolKeyDelay{12};
inline constexpr std::chrono::milliseconds UserKeyDelay{40};
inline constexpr std::chrono::milliseconds MenuKeyDelay{50};

// Keys and the mouse through the X server, as a user's hands give them, in
// steps that run as one xdotool command: nothing comes between them. Keys go
// by their X names: "ctrl+v Tab", "Cyrillic_zhe", "U65E5".
class InputSteps {
public:
    InputSteps& Key(std::string_view keys, std::chrono::milliseconds delay = XdotoolKeyDelay);
    InputSteps& KeyDown(std::string_view keys);
    InputSteps& KeyUp(std::string_view keys);
    // Must be the last step: xdotool takes the rest of its command as the text.
    InputSteps& Type(std::string_view text, std::chrono::milliseconds delay = XdotoolKeyDelay);
    // Gives a top-level window the X keyboard focus and waits until it has it.
    InputSteps& FocusOn(HWND window);
    // Asks the window manager to activate a window, and waits until it has.
    InputSteps& Activate(HWND window);
    // The same without waiting.
    InputSteps& AskToActivate(HWND window);
    InputSteps& MoveTo(POINT at);
    // To a point of a window, counted from its top-left corner.
    InputSteps& MoveInto(HWND window, POINT offset);
    InputSteps& MoveBy(int dx, int dy);
    // Clicks twice or more come as a multiple click.
    InputSteps& Click(MouseButton button = MouseButton::Left, int times = 1);
    InputSteps& ButtonDown(MouseButton button = MouseButton::Left);
    InputSteps& ButtonUp(MouseButton button = MouseButton::Left);

    const std::string& Arguments() const { return arguments_; }

private:
    InputSteps& Add(const std::string& step);

    std::string arguments_;
};

// The command line of an xdotool run: the one place that names the program.
std::string XdotoolCommand(std::string_view arguments);

// The user's keyboard and mouse, at a pace of keys it keeps. Each call is one
// xdotool run and tells whether it ran and succeeded.
class InputDriver {
public:
    explicit InputDriver(std::chrono::milliseconds keyDelay = XdotoolKeyDelay) : keyDelay_(keyDelay) {}

    bool Run(const InputSteps& steps, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    // Keys to whatever has the focus; without a delay, at the driver's pace.
    bool Key(std::string_view keys, std::optional<std::chrono::milliseconds> delay = {}) const;
    bool KeyDown(std::string_view keys) const;
    bool KeyUp(std::string_view keys) const;
    bool Type(std::string_view text) const;
    // Keys or text to a top-level window, which gets the X focus first.
    bool KeyTo(HWND window, std::string_view keys, std::optional<std::chrono::milliseconds> delay = {}) const;
    bool TypeTo(HWND window, std::string_view text) const;

    bool Focus(HWND window) const;
    // A window's X window is mapped a moment after Wine shows it (a menu's,
    // say): tries until it takes the focus or the time is up.
    bool FocusOnceMapped(HWND window, std::chrono::milliseconds timeout = std::chrono::seconds(3)) const;
    // Gives a window of this process the X keyboard focus and makes it Wine's
    // foreground window, as a user's click would.
    bool FocusForKeyboard(HWND window) const;
    bool Activate(HWND window) const;

    bool ClickAt(POINT at, MouseButton button = MouseButton::Left) const;
    bool DoubleClickAt(POINT at, MouseButton button = MouseButton::Left) const;
    // A click in the middle of a window.
    bool ClickOn(HWND window) const;

private:
    bool Run(const InputSteps& steps, std::chrono::milliseconds timeout, bool showErrors) const;

    std::chrono::milliseconds keyDelay_;
};

}  // namespace quilldeck::testing
