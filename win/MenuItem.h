#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quilldeck::win {

// One entry of a popup menu as the program keeps it; the system menu is built
// from the visible entries each time the menu opens.
struct MenuItem {
    std::string name;
    std::string caption;
    std::uint16_t shortCut = 0;
    std::string hint;
    bool visible = true;
    bool enabled = true;
    bool isDefault = false;
    std::function<void(MenuItem& sender)> onClick;
};

}  // namespace quilldeck::win
