#pragma once
// The theme page's state: which theme is chosen (the check buttons and selection
// frames move together) and which hover frame shows. Portable.
#include <string>

struct TThemeChoice {
    bool lightChecked = true;
    bool darkChecked = false;
    bool lightFrame = true;   // selection frames
    bool darkFrame = false;
    bool lightHover = false;  // hover frames
    bool darkHover = false;

    void SelectLight() {
        lightFrame = true;
        lightChecked = true;
        darkFrame = false;
        darkChecked = false;
    }
    void SelectDark() {
        darkFrame = true;
        darkChecked = true;
        lightFrame = false;
        lightChecked = false;
    }
    // The value stored as "Main"/"Color".
    std::string Value() const { return lightChecked ? "Light" : "Dark"; }
};
