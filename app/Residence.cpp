#include "Residence.h"

#include <span>

#include "slots/ShortcutText.h"
#include "win/Dpi.h"
#include "win/ProgramFile.h"

namespace quilldeck {

Residence::Residence(win::Application& application, UINT taskbarCreatedMessage, const SlotTable& slots,
                     const CodePage& codePage, const KeyNames& keyNames)
    : icon_(win::ProgramIcon(win::SystemMetricForDpi(SM_CXSMICON, win::SystemDpi()))),
      trayMenu_(MakeTrayMenu()),
      paste_(codePage, keyboard_, clipboard_, application.TaskbarEntry()) {
    std::span<win::MenuItem, SlotCount> carriers(trayMenu_.Items().data(), SlotCount);
    hotKeys_ = std::make_unique<SlotHotKeys>(slots, carriers, codePage, keyNames, registrar_, paste_);
    trayMenu_.ShortCutText = [&keyNames](TShortCut value) { return FormatShortcut(value, keyNames); };
    trayIcon_ = std::make_unique<TTrayIcon>(application.TaskbarEntry(), taskbarCreatedMessage, icon_.get(),
                                            [&application] { application.ProcessMessages(); });
    trayIcon_->PopupMenu = &trayMenu_;
}

}  // namespace quilldeck
