#include "public/rdcontrol/controls/common/Icon.h"

#include "public/rdcontrol/pictures/Picture.h"

std::shared_ptr<TIcon> TIcon::FromSurface(const TArgbSurface& surface) {
    auto icon = std::make_shared<TIcon>();
    icon->AssignSurface(surface);
    return icon;
}

void TIcon::Register() {
    static const bool registered = [] {
        TPicture::RegisterGraphicClass(StreamClassName, [] { return std::make_shared<TIcon>(); });
        return true;
    }();
    (void)registered;
}
