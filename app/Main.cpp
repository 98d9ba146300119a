#include <windows.h>

#include <exception>

#include "slots/InOutError.h"
#include "slots/SettingsFile.h"
#include "slots/SlotTable.h"
#include "slots/win32/Win32Platform.h"
#include "win/ErrorBox.h"

using namespace quilldeck;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32CodePage codePage;
    Win32KeyNames keyNames;
    Win32FileSystem files;
    SlotTable slots(codePage, keyNames);
    SettingsFile settings(files, codePage);
    bool startMinimize = false;
    try {
        settings.Load(slots, startMinimize);
    } catch (const SettingsUnavailable& unavailable) {
        if (unavailable.Why() == SettingsUnavailable::Reason::CannotCreate) {
            ::MessageBoxA(nullptr, unavailable.what(), "Error", MB_OK | MB_ICONERROR);
        }
        return 0;
    } catch (const std::exception& error) {
        // A read that failed part-way: the slots not read keep their defaults.
        win::ShowErrorBox(error.what());
    }
    return 0;
}
