#pragma once

#include <vector>

#include "win/MenuItem.h"

namespace quilldeck {

// An entry whose caption is "-" is drawn as a separator line.
bool IsSeparator(const win::MenuItem& item);

// Tidies the separator lines before a menu opens: none at the top or the
// bottom, and of separators that meet (invisible entries between them do not
// count) only the last, shown again when a visible entry follows it. Only the
// separators' visibility changes, and it stays so until the next opening.
void ApplySeparatorRule(std::vector<win::MenuItem>& items);

}  // namespace quilldeck
