#include "Installer/Downloader/flow/BuiltInPictures.h"

#include <cctype>
#include <exception>

std::string TBuiltInPictures::ResourceName(const std::string& fileName) {
    std::string name;
    for (char c : fileName)
        name += (c == '.' || c == '/' || c == '\\') ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

std::shared_ptr<TRdGraphic> TBuiltInPictures::Graphic(const std::string& fileName) const {
    if (auto it = FCache.find(fileName); it != FCache.end()) return it->second;
    std::shared_ptr<TRdGraphic> graphic;
    if (FLoader) {
        if (const auto bytes = FLoader(ResourceName(fileName))) {
            try {
                auto png = std::make_shared<TPngGraphic>();
                png->LoadFromBytes(*bytes);
                graphic = png;
            } catch (const std::exception&) {
                graphic = nullptr;
            }
        }
    }
    FCache[fileName] = graphic;
    return graphic;
}

bool TBuiltInPictures::Load(const std::string& fileName, TPicture& picture) const {
    const auto graphic = Graphic(fileName);
    if (!graphic) return false;
    picture.Assign(graphic.get());
    return true;
}
