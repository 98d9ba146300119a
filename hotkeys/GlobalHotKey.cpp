#include "GlobalHotKey.h"

#include <cstdint>
#include <exception>
#include <string>

#include "win/ErrorBox.h"

namespace quilldeck {

UINT HotKeyModifiers(TShortCut value) {
    UINT modifiers = 0;
    if (value & ShiftBit) modifiers |= MOD_SHIFT;
    if (value & CtrlBit) modifiers |= MOD_CONTROL;
    if (value & AltBit) modifiers |= MOD_ALT;
    return modifiers;
}

TGlobalHotKey::TGlobalHotKey(HotKeyRegistrar& registrar) : registrar_(registrar) {
    // An identifier of our own from the global atom table, named after this
    // object's address; 0 when the table refuses.
    identifier_ = ::GlobalAddAtomA(std::to_string(reinterpret_cast<std::intptr_t>(this)).c_str());
    // A message-only window: it is never shown, and under Wine a top-level one
    // costs an X window each, a fifth of the start-up for twenty of them.
    Create("QuilldeckHotKeyWindow", WS_EX_TOOLWINDOW, WS_POPUP, "", 0, 0, 0, 0, HWND_MESSAGE, nullptr);
    active_ = true;
}

TGlobalHotKey::~TGlobalHotKey() {
    if (hotKey_ != 0) SetHotKey(0);
    ::GlobalDeleteAtom(identifier_);
    Destroy();
}

void TGlobalHotKey::Register() {
    registrar_.Register(Handle(), identifier_, HotKeyModifiers(hotKey_), hotKey_ & KeyCodeMask);
}

void TGlobalHotKey::Unregister() { registrar_.Unregister(Handle(), identifier_); }

void TGlobalHotKey::SetHotKey(TShortCut hotKey) {
    if (hotKey == hotKey_) return;
    const TShortCut previous = hotKey_;
    hotKey_ = hotKey;
    if (!active_) return;
    if (hotKey != 0) {
        Register();
    } else if (previous != 0) {
        Unregister();
    }
}

void TGlobalHotKey::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (hotKey_ == 0) return;
    if (active) {
        Register();
    } else {
        Unregister();
    }
}

LRESULT TGlobalHotKey::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_HOTKEY) return Window::HandleMessage(message, wParam, lParam);
    // While the error box of an earlier press is open its loop delivers our
    // presses too; auto-repeat would stack box upon box, so they are dropped
    // until the user has answered it.
    if (!OnKeyDown || reportingError_) return 0;
    // Key and Shift come from the stored value, not from the message.
    auto [key, shift] = SplitShortcut(hotKey_);
    try {
        OnKeyDown(*this, key, shift);
    } catch (const std::exception& error) {
        reportingError_ = true;
        win::ShowErrorBox(error.what());
        reportingError_ = false;
    }
    return 0;
}

}  // namespace quilldeck
