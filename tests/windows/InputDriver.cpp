#include "InputDriver.h"

#include "TestSupport.h"

namespace quilldeck::testing {
namespace {

std::string Delay(std::chrono::milliseconds delay) { return "--delay " + std::to_string(delay.count()); }

std::string Button(MouseButton button) { return std::to_string(static_cast<int>(button)); }

std::string XWindow(HWND window) { return std::to_string(XWindowOf(window)); }

std::string Point(POINT at) { return std::to_string(at.x) + " " + std::to_string(at.y); }

// In single quotes for the shell that RunUnix starts.
std::string Quoted(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

InputSteps& InputSteps::Key(std::string_view keys, std::chrono::milliseconds delay) {
    return Add("key " + Delay(delay) + " " + std::string(keys));
}

InputSteps& InputSteps::KeyDown(std::string_view keys) { return Add("keydown " + std::string(keys)); }

InputSteps& InputSteps::KeyUp(std::string_view keys) { return Add("keyup " + std::string(keys)); }

InputSteps& InputSteps::Type(std::string_view text, std::chrono::milliseconds delay) {
    return Add("type " + Delay(delay) + " " + Quoted(text));
}

InputSteps& InputSteps::FocusOn(HWND window) { return Add("windowfocus --sync " + XWindow(window)); }

InputSteps& InputSteps::Activate(HWND window) { return Add("windowactivate --sync " + XWindow(window)); }

InputSteps& InputSteps::AskToActivate(HWND window) { return Add("windowactivate " + XWindow(window)); }

InputSteps& InputSteps::MoveTo(POINT at) { return Add("mousemove " + Point(at)); }

InputSteps& InputSteps::MoveInto(HWND window, POINT offset) {
    return Add("mousemove --window " + XWindow(window) + " " + Point(offset));
}

InputSteps& InputSteps::MoveBy(int dx, int dy) {
    return Add("mousemove_relative -- " + std::to_string(dx) + " " + std::to_string(dy));
}

InputSteps& InputSteps::Click(MouseButton button, int times) {
    // The clicks of a double click come well within the system's time for one.
    const std::string repeat = times > 1 ? "--repeat " + std::to_string(times) + " --delay 80 " : "";
    return Add("click " + repeat + Button(button));
}

InputSteps& InputSteps::ButtonDown(MouseButton button) { return Add("mousedown " + Button(button)); }

InputSteps& InputSteps::ButtonUp(MouseButton button) { return Add("mouseup " + Button(button)); }

InputSteps& InputSteps::Add(const std::string& step) {
    arguments_ += (arguments_.empty() ? "" : " ") + step;
    return *this;
}

std::string XdotoolCommand(std::string_view arguments) { return "/usr/bin/xdotool " + std::string(arguments); }

bool InputDriver::Run(const InputSteps& steps, std::chrono::milliseconds timeout) const {
    return Run(steps, timeout, true);
}

bool InputDriver::Run(const InputSteps& steps, std::chrono::milliseconds timeout, bool showErrors) const {
    const std::string command = XdotoolCommand(steps.Arguments()) + (showErrors ? "" : " 2>/dev/null");
    return RunUnix(command, timeout) == 0;
}

bool InputDriver::Key(std::string_view keys, std::optional<std::chrono::milliseconds> delay) const {
    return Run(InputSteps().Key(keys, delay.value_or(keyDelay_)));
}

bool InputDriver::KeyDown(std::string_view keys) const { return Run(InputSteps().KeyDown(keys)); }

bool InputDriver::KeyUp(std::string_view keys) const { return Run(InputSteps().KeyUp(keys)); }

bool InputDriver::Type(std::string_view text) const { return Run(InputSteps().Type(text, keyDelay_)); }

bool InputDriver::KeyTo(HWND window, std::string_view keys, std::optional<std::chrono::milliseconds> delay) const {
    return Run(InputSteps().FocusOn(window).Key(keys, delay.value_or(keyDelay_)));
}

bool InputDriver::TypeTo(HWND window, std::string_view text) const {
    return Run(InputSteps().FocusOn(window).Type(text, keyDelay_));
}

bool InputDriver::Focus(HWND window) const { return Run(InputSteps().FocusOn(window)); }

bool InputDriver::FocusOnceMapped(HWND window, std::chrono::milliseconds timeout) const {
    // A window not yet mapped refuses the focus with an X error: not worth showing.
    return WaitFor([&] { return Run(InputSteps().FocusOn(window), std::chrono::seconds(10), false); }, timeout);
}

bool InputDriver::FocusForKeyboard(HWND window) const {
    ::SetForegroundWindow(window);
    const bool ran = Run(InputSteps().MoveInto(window, {20, 20}).FocusOn(window));
    return PumpUntil([&] { return ::GetForegroundWindow() == window; }, std::chrono::seconds(3)) && ran;
}

bool InputDriver::Activate(HWND window) const { return Run(InputSteps().Activate(window)); }

bool InputDriver::ClickAt(POINT at, MouseButton button) const { return Run(InputSteps().MoveTo(at).Click(button)); }

bool InputDriver::DoubleClickAt(POINT at, MouseButton button) const {
    return Run(InputSteps().MoveTo(at).Click(button, 2));
}

bool InputDriver::ClickOn(HWND window) const {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

}  // namespace quilldeck::testing
