#pragma once

#include <windows.h>

#include <string_view>

#include "Input.h"
#include "slots/CodePage.h"
#include "win/MenuItem.h"

namespace quilldeck {

// Replaces the clipboard's contents with the text as CF_UNICODETEXT, opening
// the clipboard for the given window. Throws win::SystemError when the memory
// block cannot be had and "Cannot open clipboard" when another program keeps
// the clipboard open; the clipboard is then left as it was.
void PutTextOnClipboard(std::u16string_view text, HWND owner);

// The paste of a carrier item's text into the window that has the focus.
class PasteAction {
public:
    PasteAction(const CodePage& codePage, Keyboard& keyboard, Clipboard& clipboard, HWND clipboardOwner);

    // Puts the item's Hint on the clipboard and types Ctrl+V; an empty Hint
    // does nothing. Errors of the clipboard pass out, and then no key is sent.
    void F1Click(const win::MenuItem& sender);
    // The same for a Hint already converted (PasteText), as the hot keys have
    // it ready; the caller has checked that the Hint is not empty.
    void Paste(std::u16string_view text);

    // What F1Click puts on the clipboard for a Hint: the 8-bit text up to its
    // first zero byte, in UTF-16.
    std::u16string PasteText(const std::string& hint) const;

private:
    const CodePage& codePage_;
    Keyboard& keyboard_;
    Clipboard& clipboard_;
    HWND clipboardOwner_;
};

}  // namespace quilldeck
