#pragma once
// The pictures of the installer's built-in look, by their file names
// ("btn_install_normal.png", "images/smallwindow_bg.png"). Setup.exe carries them as
// raw-data resources named by the upper-case file name with "." and "/" as "_"; the
// loader given here reads one resource (the program's own, or files in tests).
// Decoded pictures are cached and shared. UI thread only.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "public/rdcontrol/pictures/Picture.h"

class TBuiltInPictures {
public:
    // Bytes of a resource by its name; nullopt when there is none.
    using TLoader = std::function<std::optional<std::string>(const std::string& resourceName)>;

    explicit TBuiltInPictures(TLoader loader) : FLoader(std::move(loader)) {}

    static std::string ResourceName(const std::string& fileName);
    // The decoded picture, or nullptr when it is missing or cannot be decoded.
    std::shared_ptr<TRdGraphic> Graphic(const std::string& fileName) const;
    // Loads the picture into `picture`; false (the picture unchanged) when missing.
    bool Load(const std::string& fileName, TPicture& picture) const;

private:
    TLoader FLoader;
    mutable std::map<std::string, std::shared_ptr<TRdGraphic>> FCache;
};
