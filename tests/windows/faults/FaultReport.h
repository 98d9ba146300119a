#pragma once

#include <windows.h>

#include <iostream>
#include <optional>
#include <string>

#include "../TestSupport.h"

namespace quilldeck::testing {

// One line per fault for tools/stress: what the user saw and whether the
// settings survived it.
inline void ReportFault(const std::string& fault, const std::string& userSaw, bool contentKept) {
    std::cout << "fault | " << fault << " | the user saw: " << userSaw << " | content "
              << (contentKept ? "kept" : "LOST") << std::endl;
}

inline bool SameScreen(const Screenshot& a, const Screenshot& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if (a.At(x, y) != b.At(x, y)) return false;
        }
    }
    return true;
}

// Keeps the screen as a picture in "pictures" beside the test program once
// it has come to rest (two shots in a row alike), so that what was just
// shown is painted whole.
inline void KeepScreenAtRest(const std::string& name) {
    const std::string folder = ProgramFolder() + "pictures";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    std::optional<Screenshot> last;
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::optional<Screenshot> shot = Screenshot::Take(folder + "\\" + name);
        if (!shot) return;
        if (last && SameScreen(*last, *shot)) return;
        last = std::move(shot);
    }
}

}  // namespace quilldeck::testing
