#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <memory>

#include "QuilldeckMain.h"
#include "tray/OneInstance.h"
#include "win/Dpi.h"
#include "win/ErrorBox.h"
#include "win/Handle.h"

using namespace quilldeck;

namespace {

int RunQuilldeck(const TAppProcess& process, int showCommand) {
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    // COM on the GUI thread for the life of the program (the Startup-folder
    // shortcut needs it).
    const win::ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_HOTKEY_CLASS};
    ::InitCommonControlsEx(&controls);

    win::Application application("Quilldeck");
    std::unique_ptr<TForm1> form;
    try {
        form = std::make_unique<TForm1>(application, taskbarCreated, process);
    } catch (const StartupAbandoned&) {
        return 0;
    }
    // When the log-on really ends, the program ends at once: the components
    // release the tray icon and the hot keys, and nothing is saved again.
    application.OnEndSession = [&form] {
        form.reset();
        ::ExitProcess(0);
    };
    form->ShowFirst(showCommand);
    application.Run();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    // Before any window: the instance mutex, held until the process ends.
    const TAppProcess process;
    win::RequestPerMonitorAwareness();
    try {
        return RunQuilldeck(process, showCommand);
    } catch (const std::exception& error) {
        win::ShowErrorBox(error.what());
        return 0;
    }
}
