#include "public/rdcontrol/controls/common/SkinPictures.h"

#include <string>

void AddPictureProperty(TPropertyTable& table, std::string_view name, TPicture& picture,
                        const TSkinPictureSource& source) {
    table.AddStrings(
        std::string(name) + ".Text", [&picture] { return picture.Text(); },
        [&picture, &source](const std::vector<std::string>& lines) {
            picture.SetResolver(source.Resolver());
            picture.SetText(lines);
        });
}
