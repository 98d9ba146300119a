#include "ProgramFile.h"

#include <windows.h>

namespace quilldeck::win {

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

UniqueIcon ProgramIcon(int size) {
    return UniqueIcon(static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace quilldeck::win
