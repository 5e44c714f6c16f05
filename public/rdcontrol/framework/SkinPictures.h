#pragma once
// The pictures a skinned control takes from its skin. A skin sets a picture
// property by its text form, an RDG descriptor such as
// "imgname=images/btn_close_normal.png"; the names in it are files of the skin,
// read through the control's skin binding (TRdSkinClass::ReadFile) and kept in a
// cache per control.
//
// The source also decides, at each pass of the skin class, between the control's
// own pictures and the skin's by the binding's ClearOwnerPic and ForceUseSkinPic
// (the rules are in RdSkinClass.h). A picture counts as the skin's while it still
// holds the graphic the skin put there; anything else a non-empty picture holds
// (data, a file, a picture set by code, also from a descriptor) is the control's
// own. A skin picture kept out because the control has its own still counts as
// applied in the binding's CurrentValues, with the text of the picture held.
//
// UI thread only. The source listens to the skin binding it was made with; both
// are members of the control, the binding declared first (or owned by a base), so
// the source goes first. A picture resolved through the source and outliving it
// resolves nothing (the cache is held weakly).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/pictures/ImageCache.h"
#include "public/rdcontrol/pictures/Picture.h"
#include "public/rdcontrol/skin/RdSkinClass.h"
#include "public/rdcontrol/skin/SkinProperties.h"

class TSkinPictureSource : private TSkinApplyListener {
public:
    explicit TSkinPictureSource(TRdSkinClass& skin);
    ~TSkinPictureSource();
    TSkinPictureSource(const TSkinPictureSource&) = delete;
    TSkinPictureSource& operator=(const TSkinPictureSource&) = delete;

    TRdgResolver Resolver() const { return FCache.Resolver(); }
    // Forget what was read (the skin changed).
    void Clear() { FCache.Clear(); }

    // Publishes picture as "<name>.Text" (see AddPictureProperty).
    void Add(TPropertyTable& table, std::string_view name, TPicture& picture);

private:
    struct TSlot {
        std::string Property;  // "<name>.Text"
        TPicture* Picture;
        std::weak_ptr<TRdGraphic> FromSkin;
        bool Supplied = false;
    };
    bool OwnPicture(const TSlot& slot) const;
    void SkinApplyStarted(TRdSkinClass& sender) override;
    void SkinApplyEnded(TRdSkinClass& sender, bool applied) override;

    TRdSkinClass& FSkin;
    TImageCache FCache;
    std::vector<std::unique_ptr<TSlot>> FSlots;
};

// Publishes picture as "<name>.Text": a list of descriptor lines, resolved through
// source.
void AddPictureProperty(TPropertyTable& table, std::string_view name, TPicture& picture,
                        TSkinPictureSource& source);
