#include "OneInstance.h"

#include "InstanceName.h"

namespace quilldeck {

std::string ProgramFilePath() {
    // GetModuleFileNameA truncates to the buffer and says so only by filling
    // it: grow until the path fits (the longest path is 32767 characters).
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size() || path.size() > 32767) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

TAppProcess::TAppProcess() : TAppProcess(InstanceMutexName(ProgramFilePath())) {}

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
