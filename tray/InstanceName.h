#pragma once

// Portable: the native tests include this header, so no <windows.h> here.

#include <string>
#include <string_view>

#include "slots/PathText.h"

namespace quilldeck {

// The name of the instance mutex for a program path: the file name (what
// follows the last "\" or ":") with the ASCII letters a to z in capitals and
// every other character as it is, so that the same file name in any folder
// and any letter case gives the same name whatever the code page.
inline std::string InstanceMutexName(std::string_view programPath, const CodePage& codePage) {
    return WithAsciiCapitals(programPath.substr(AfterLastSeparator(programPath, "\\:", codePage)), codePage);
}

}  // namespace quilldeck
