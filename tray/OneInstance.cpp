#include "OneInstance.h"

#include "InstanceName.h"
#include "slots/win32/Win32Platform.h"
#include "win/ProgramFile.h"

namespace quilldeck {

TAppProcess::TAppProcess() : TAppProcess(InstanceMutexName(win::ProgramFilePath(), Win32CodePage())) {}

TAppProcess::TAppProcess(const std::string& mutexName)
    : mutex_(::CreateMutexA(nullptr, FALSE, mutexName.c_str())) {
    // Read at once: nothing may call the system between the two.
    otherCopyDetected_ = mutex_.Valid() && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool TOneInstance::Loaded() {
    if (!Enabled || !process_.OtherCopyDetected()) return false;
    switch (Mode) {
        case TOneInstanceMode::oiCustom:
            if (!OnCustom) return false;
            OnCustom();
            return true;
    }
    return false;
}

}  // namespace quilldeck
