#include "PasteAction.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "win/Handle.h"
#include "win/SystemError.h"

namespace quilldeck {
namespace {

// Waits, handling only messages that other threads send to ours: posted
// messages (other hot key presses among them) stay queued.
void AnswerSentMessagesFor(std::chrono::milliseconds duration) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(duration.count()), QS_SENDMESSAGE);
    MSG message;
    ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// The clipboard, open for one window until this goes.
class OpenClipboardSession {
public:
    explicit OpenClipboardSession(HWND owner) {
        // Clipboard viewers and history tools open the clipboard right after
        // every change; give them a moment before calling it taken. One that
        // empties it sends WM_DESTROYCLIPBOARD to the previous owner (our
        // window) and waits for the answer, so sent messages are answered.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        while (!::OpenClipboard(owner)) {
            if (std::chrono::steady_clock::now() >= deadline) throw std::runtime_error("Cannot open clipboard");
            AnswerSentMessagesFor(std::chrono::milliseconds(5));
        }
    }
    ~OpenClipboardSession() { ::CloseClipboard(); }
    OpenClipboardSession(const OpenClipboardSession&) = delete;
    OpenClipboardSession& operator=(const OpenClipboardSession&) = delete;
};

}  // namespace

void PutTextOnClipboard(std::u16string_view text, HWND owner) {
    const std::size_t size = 2 * (text.size() + 1);
    win::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) win::ThrowLastSystemError();
    void* memory = ::GlobalLock(block.get());
    if (memory == nullptr) win::ThrowLastSystemError();
    std::memcpy(memory, text.data(), 2 * text.size());
    std::memset(static_cast<char*>(memory) + 2 * text.size(), 0, 2);
    ::GlobalUnlock(block.get());

    OpenClipboardSession clipboard(owner);
    ::EmptyClipboard();
    // The system owns the block once it took it; a refused block stays ours.
    if (::SetClipboardData(CF_UNICODETEXT, block.get()) != nullptr) block.release();
}

PasteAction::PasteAction(const CodePage& codePage, Keyboard& keyboard, Clipboard& clipboard, HWND clipboardOwner)
    : codePage_(codePage), keyboard_(keyboard), clipboard_(clipboard), clipboardOwner_(clipboardOwner) {}

std::u16string PasteAction::PasteText(const std::string& hint) const {
    // The text ends at its first zero byte, as a C string would.
    return codePage_.ToUtf16(std::string_view(hint.c_str()));
}

void PasteAction::F1Click(const win::MenuItem& sender) {
    if (sender.hint.empty()) return;
    Paste(PasteText(sender.hint));
}

void PasteAction::Paste(std::u16string_view text) {
    clipboard_.PutText(text, clipboardOwner_);
    // The held modifiers are read as late as possible: a key the user lets go
    // between the reading and the keys sent would be left held. Read before
    // the clipboard's calls (quicker under Wine), a Ctrl was left held.
    keyboard_.Send(PasteKeystrokes(keyboard_.Held()));
}

}  // namespace quilldeck
