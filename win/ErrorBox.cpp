#include "ErrorBox.h"

namespace quilldeck::win {

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

void ShowErrorBox(std::string_view message, HWND owner) {
    ::MessageBoxA(owner, ErrorBoxText(message).c_str(), ApplicationTitle, MB_OK | MB_ICONERROR);
}

}  // namespace quilldeck::win
