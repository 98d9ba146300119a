#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "win/Handle.h"

namespace quilldeck {

// The process object: the instance mutex, named after the program file and
// held, never owned or waited on, for the whole life of the process. When it
// cannot be created (an object of another kind holds the name) the program
// counts as the only copy, and nothing is reported.
class TAppProcess {
public:
    // The mutex named after this program's file.
    TAppProcess();
    // The mutex of that name.
    explicit TAppProcess(const std::string& mutexName);
    TAppProcess(const TAppProcess&) = delete;
    TAppProcess& operator=(const TAppProcess&) = delete;

    // True when the mutex was created and already existed: another copy runs.
    bool OtherCopyDetected() const noexcept { return otherCopyDetected_; }
    // Null when the mutex could not be created.
    HANDLE Mutex() const noexcept { return mutex_.Get(); }

private:
    win::UniqueHandle mutex_;
    bool otherCopyDetected_ = false;
};

enum class TOneInstanceMode { oiCustom };

// The single-instance guard: once its owner's components have loaded it acts
// when another copy runs; in oiCustom mode it raises OnCustom.
class TOneInstance {
public:
    explicit TOneInstance(const TAppProcess& process) : process_(process) {}

    bool Enabled = true;
    TOneInstanceMode Mode = TOneInstanceMode::oiCustom;
    std::function<void()> OnCustom;

    // Called by the owner when its components have loaded; true when the
    // guard acted.
    bool Loaded();

private:
    const TAppProcess& process_;
};

}  // namespace quilldeck
