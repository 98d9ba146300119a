#include "InOutError.h"

namespace quilldeck {

EInOutError::EInOutError(int code) : std::runtime_error(Words(code)), code_(code) {}

std::string EInOutError::Words(int code) {
    switch (code) {
        case 2: return "File not found";
        case 3: return "Invalid filename";
        case 4: return "Too many open files";
        case 5: return "File access denied";
        case 100: return "Read beyond end of file";
        case 101: return "Disk full";
        case 106: return "Invalid numeric input";
        default: return "I/O error " + std::to_string(code);
    }
}

}  // namespace quilldeck
