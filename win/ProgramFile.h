#pragma once

#include <string>

#include "Handle.h"

namespace quilldeck::win {

// The full path of this program's file, as the system reports it.
std::string ProgramFilePath();

// The program's own icon (resource 1) at a size in pixels; null when it
// cannot be had.
UniqueIcon ProgramIcon(int size);

}  // namespace quilldeck::win
