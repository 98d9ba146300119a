#pragma once

#include <string>
#include <string_view>

#include "CodePage.h"

namespace quilldeck {

// Paths are 8-bit text in the system code page. In a double-byte code page
// (Japanese, Chinese, Korean) the second byte of a character may be 0x5C, the
// backslash, or an ASCII letter: these helpers walk a path by characters, so
// such a byte is never taken for a separator or a letter.

// The position just after the last of the separators in the path, 0 when it
// holds none.
std::size_t AfterLastSeparator(std::string_view path, std::string_view separators, const CodePage& codePage);

// The folder part of a file's path, with its trailing "\", "/" or ":"; empty
// when the path names no folder.
std::string FolderOf(std::string_view path, const CodePage& codePage);

// The text with the ASCII letters a to z in capitals and every other
// character as it is.
std::string WithAsciiCapitals(std::string_view text, const CodePage& codePage);

}  // namespace quilldeck
