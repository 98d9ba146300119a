#pragma once

#include <string>

namespace quilldeck::win {

// The full path of this program's file, as the system reports it.
std::string ProgramFilePath();

}  // namespace quilldeck::win
