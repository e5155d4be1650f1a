// The hot spots a skin draws under, by picture, with the names the skin
// checker uses for them and the labels of the contact sheet.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/Layout.h"

namespace snickit {

struct Spot {
    std::string name;   // for sentences: "sound button 1"
    std::string label;  // for the contact sheet: "1"
    PixelRect place;
    std::uint32_t colour;  // of its outline on the contact sheet
};

inline const std::array<Spot, 4> kButtonSpots = {{
    {"sound button 1", "1", layout::kSoundButton[0], 0xFF00FF},
    {"sound button 2", "2", layout::kSoundButton[1], 0xFF8000},
    {"sound button 3", "3", layout::kSoundButton[2], 0xFF00FF},
    {"sound button 4", "4", layout::kSoundButton[3], 0xFF8000},
}};
inline const std::array<Spot, 3> kWindowControlSpots = {{
    {"the menu button", "MENU", layout::kMenuButton, 0x00FFFF},
    {"the minimize box", "MIN", layout::kMinimize, 0x00FFFF},
    {"the close box", "CLOSE", layout::kClose, 0x00FFFF},
}};
inline const std::array<Spot, 3> kMenuItemSpots = {{
    {"the menu item Skins", "SKINS", layout::kSkinsItem, 0xFFFF00},
    {"the menu item About", "ABOUT", layout::kAboutItem, 0x00FF40},
    {"the menu item Quit", "QUIT", layout::kQuitItem, 0xFFFF00},
}};

// The hot spots drawn in box.bmp (0), box2.bmp (1) and menu.bmp (2).
inline std::vector<Spot> PictureSpots(size_t picture) {
    std::vector<Spot> spots;
    if (picture != 2) spots.assign(kButtonSpots.begin(), kButtonSpots.end());
    if (picture != 1) spots.insert(spots.end(), kWindowControlSpots.begin(), kWindowControlSpots.end());
    if (picture == 2) spots.insert(spots.end(), kMenuItemSpots.begin(), kMenuItemSpots.end());
    return spots;
}

}  // namespace snickit
