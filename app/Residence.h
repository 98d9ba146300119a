#pragma once

#include <windows.h>

#include <memory>

#include "hotkeys/Input.h"
#include "hotkeys/PasteAction.h"
#include "hotkeys/SlotHotKeys.h"
#include "slots/CodePage.h"
#include "slots/ShortcutText.h"
#include "slots/SlotTable.h"
#include "tray/StyledPopupMenu.h"
#include "tray/TrayIcon.h"
#include "win/Application.h"
#include "win/Handle.h"

namespace quilldeck {

// The program's presence outside its window: its icon in the notification
// area with the tray menu, whose twenty hidden carrier entries hold the slots'
// hot keys and paste their texts. The main window gives the icon and the
// menu their handlers and says when the icon is active.
class Residence {
public:
    // taskbarCreatedMessage: the registered "TaskbarCreated" message.
    Residence(win::Application& application, UINT taskbarCreatedMessage, const SlotTable& slots,
              const CodePage& codePage, const KeyNames& keyNames);
    // The icon leaves the notification area, then the hot keys are released.
    ~Residence() = default;
    Residence(const Residence&) = delete;
    Residence& operator=(const Residence&) = delete;

    TTrayIcon& TrayIcon1() noexcept { return *trayIcon_; }
    TStyledPopupMenu& StyledPopupMenu1() noexcept { return trayMenu_; }
    // Clears the twenty hot keys and binds those of the active slots again.
    void ApplyAllSlots() { hotKeys_->ApplyAllSlots(); }

private:
    // The notification area's icon, at the system DPI.
    win::UniqueIcon icon_;
    TStyledPopupMenu trayMenu_;
    Win32Keyboard keyboard_;
    Win32Clipboard clipboard_;
    Win32HotKeyRegistrar registrar_;
    PasteAction paste_;
    std::unique_ptr<SlotHotKeys> hotKeys_;
    std::unique_ptr<TTrayIcon> trayIcon_;
};

}  // namespace quilldeck
