#include "SeparatorRule.h"

#include <algorithm>

namespace quilldeck {

bool IsSeparator(const win::MenuItem& item) { return item.caption == "-"; }

void ApplySeparatorRule(std::vector<win::MenuItem>& items) {
    const auto shownEntry = [](const win::MenuItem& item) { return item.visible && !IsSeparator(item); };

    const auto first = std::find_if(items.begin(), items.end(), shownEntry);
    for (auto it = items.begin(); it != first; ++it) {
        if (IsSeparator(*it)) it->visible = false;
    }
    if (first == items.end()) return;

    // A run of separators ends at the next visible entry or at the bottom;
    // the bottom is settled below.
    win::MenuItem* lastOfRun = nullptr;
    for (auto it = first; it != items.end(); ++it) {
        if (IsSeparator(*it)) {
            if (lastOfRun != nullptr) lastOfRun->visible = false;
            lastOfRun = &*it;
        } else if (it->visible && lastOfRun != nullptr) {
            lastOfRun->visible = true;
            lastOfRun = nullptr;
        }
    }

    const auto last = std::find_if(items.rbegin(), items.rend(), shownEntry);
    for (auto it = items.rbegin(); it != last; ++it) {
        if (IsSeparator(*it)) it->visible = false;
    }
}

}  // namespace quilldeck
