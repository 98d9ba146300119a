#pragma once

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "hotkeys/Input.h"

namespace quilldeck::testing {

// What the paste asked of the keyboard and the clipboard, in the order it
// asked: one log for both, so that the order between them can be checked.
struct ClipboardFilled {
    std::u16string text;
    HWND owner;
    bool operator==(const ClipboardFilled&) const = default;
};
struct HeldKeysRead {
    bool operator==(const HeldKeysRead&) const = default;
};
struct KeysSent {
    std::vector<KeyStroke> strokes;
    bool operator==(const KeysSent&) const = default;
};
using InputEvent = std::variant<ClipboardFilled, HeldKeysRead, KeysSent>;
using InputLog = std::vector<InputEvent>;

// A keyboard that sends nothing: it reports the modifiers it is told are held
// and writes down each reading and each batch of keys.
class RecordingKeyboard final : public Keyboard {
public:
    explicit RecordingKeyboard(InputLog& log) : log_(log) {}

    HeldModifiers Held() const override {
        log_.push_back(HeldKeysRead{});
        return held;
    }
    void Send(std::span<const KeyStroke> strokes) override {
        log_.push_back(KeysSent{{strokes.begin(), strokes.end()}});
    }

    HeldModifiers held;

private:
    InputLog& log_;
};

// A clipboard that holds nothing: it writes down each text put on it, or
// refuses as one that another program keeps open does.
class RecordingClipboard final : public Clipboard {
public:
    explicit RecordingClipboard(InputLog& log) : log_(log) {}

    void PutText(std::u16string_view text, HWND owner) override {
        if (refuse) throw std::runtime_error("Cannot open clipboard");
        log_.push_back(ClipboardFilled{std::u16string(text), owner});
    }

    bool refuse = false;

private:
    InputLog& log_;
};

}  // namespace quilldeck::testing
