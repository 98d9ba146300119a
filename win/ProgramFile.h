#pragma once

#include <string>

namespace quilldeck::win {

// The full path of this program's file, as the system reports it.
std::string ProgramFilePath();

// The folder part of a file's path, with its trailing backslash; empty when
// the path names no folder.
std::string FolderOf(const std::string& path);

}  // namespace quilldeck::win
