#pragma once
// The optional skin folder "InstallerSkin\" beside the program: "Color.ini" with the
// window size and colours, and picture files for named controls. Read once, when the
// window is first shown. Portable: this reads and decides; the window applies.
#include <cstdint>
#include <string>
#include <vector>

inline constexpr char kSkinFolderName[] = "InstallerSkin\\";
// The window sizes a skin may give, in pixels, each of width and height.
inline constexpr int kMinSkinWindowSize = 200;
inline constexpr int kMaxSkinWindowSize = 4096;

// "Color.ini", section "Public": integer values; absent or non-integer values take
// these defaults (which differ from the built-in look on purpose: a skin that names
// only the size gets the skin defaults for every colour).
struct TSkinColors {
    int width = 640;
    int height = 390;
    std::uint32_t bgColor = 15856113;           // RGB(241, 241, 241)
    std::uint32_t licenseColor = 8418150;       // RGB(102, 115, 128)
    std::uint32_t optionColor = 8418150;
    std::uint32_t installButtonColor = 16777215;  // white
    std::uint32_t languageColor = 16757760;     // RGB(0, 180, 255)
    std::uint32_t optionTitleColor = 10916995;  // RGB(131, 148, 166)
    // The colour of the download status labels of earlier designs (the installing,
    // download and downloaded-size labels). This design has none of them: the value
    // is read for skins that carry it and colours nothing; the visible status line
    // ("Installing: n%") keeps the design's colour.
    std::uint32_t installingColor = 16777215;
    std::uint32_t proxyButtonColor = 16777215;
    std::uint32_t finishedButtonColor = 16777215;
};
// `currentWidth`/`currentHeight` are the window's size, the defaults of those keys
// and what a Width or Height outside kMinSkinWindowSize..kMaxSkinWindowSize gives
// (the folder lies beside the program, where others may have put it; the window's
// back buffer is width x height pixels). A file that cannot be read gives every
// default.
TSkinColors ReadColorIni(const std::string& file, int currentWidth, int currentHeight);

// One picture file of the skin and the control picture it replaces, in the order
// they are applied. `state` names an image-button state ("normal", "over", "down")
// or a special slot ("checked", "unchecked", "bar", "background", "pressed",
// "focused", "scroll"); "" for a plain picture.
struct TSkinPicture {
    const char* file;
    const char* control;
    const char* state;
};
const std::vector<TSkinPicture>& SkinPictureTable();
