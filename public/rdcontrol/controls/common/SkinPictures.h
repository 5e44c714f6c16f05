#pragma once
// The pictures a skinned control takes from its skin. A skin sets a picture
// property by its text form, an RDG descriptor such as
// "imgname=images/btn_close_normal.png"; the names in it are files of the skin,
// read through the control's skin binding (TRdSkinClass::ReadFile) and kept in a
// cache per control.
//
// UI thread only. The source must outlive the pictures given its resolver only in
// the sense that a picture outliving it resolves nothing (the cache is held weakly).
#include <string_view>

#include "public/rdcontrol/pictures/ImageCache.h"
#include "public/rdcontrol/pictures/Picture.h"
#include "public/rdcontrol/skin/RdSkinClass.h"
#include "public/rdcontrol/skin/SkinProperties.h"

class TSkinPictureSource {
public:
    explicit TSkinPictureSource(TRdSkinClass& skin)
        : FCache([&skin](const std::string& path) { return skin.ReadFile(path); }) {}
    TRdgResolver Resolver() const { return FCache.Resolver(); }
    // Forget what was read (the skin changed).
    void Clear() { FCache.Clear(); }

private:
    TImageCache FCache;
};

// Publishes picture as "<name>.Text": a list of descriptor lines, resolved through
// source.
void AddPictureProperty(TPropertyTable& table, std::string_view name, TPicture& picture,
                        const TSkinPictureSource& source);
