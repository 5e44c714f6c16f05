#pragma once
// TIcon: a picture that is an icon, as the notification area wants one: premultiplied
// ARGB pixels at their own size (16 x 16 or 32 x 32 as a rule). It stores and loads
// as PNG bytes under the class name "TIcon" (registered with TPicture on first use
// of Register()), so a TPicture can hold one.
//
// UI thread only.
#include <memory>

#include "public/rdcontrol/pictures/RdGraphic.h"

class TIcon : public TPngGraphic {
public:
    static constexpr const char* StreamClassName = "TIcon";
    const char* ClassName() const override { return StreamClassName; }
    std::shared_ptr<TRdGraphic> Clone() const override { return std::make_shared<TIcon>(*this); }

    // An icon of the pixels of surface (copied).
    static std::shared_ptr<TIcon> FromSurface(const TArgbSurface& surface);
    // Makes "TIcon" known to TPicture's Data form (once; later calls do nothing).
    static void Register();
};
