#pragma once

// Portable: the native tests include this header, so no <windows.h> here.

#include <string>
#include <string_view>

namespace quilldeck {

// The name of the instance mutex for a program path: the file name (what
// follows the last "\" or ":") with the ASCII letters a to z in capitals and
// every other byte as it is, so that the same file name in any folder and
// any letter case gives the same name whatever the code page.
inline std::string InstanceMutexName(std::string_view programPath) {
    const std::size_t separator = programPath.find_last_of("\\:");
    std::string name(separator == std::string_view::npos ? programPath : programPath.substr(separator + 1));
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

}  // namespace quilldeck
