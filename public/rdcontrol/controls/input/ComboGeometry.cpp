#include "public/rdcontrol/controls/input/ComboGeometry.h"

#include <algorithm>

int ComboFaceHeight(int comboboxHeight, bool optionEmpty, int backgroundHeight, int itemHeight) {
    int h = 0;
    if (comboboxHeight > 0)
        h = comboboxHeight;
    else if (comboboxHeight == -1 || optionEmpty)
        h = std::max(0, backgroundHeight);
    if (h < 10) h = itemHeight;
    return h;
}

TRect ComboFaceRect(const TRect& b, int faceHeight) {
    return TRect::FromSize(b.Left, b.Top + b.Height() - faceHeight, b.Width(), faceHeight);
}

TRect ComboTextRect(const TRect& face, int textOffX, int optionRight) {
    return TRect{face.Left + textOffX + 4, face.Top, face.Right - 4 - optionRight, face.Bottom};
}

TComboListPlacement PlaceComboList(const TComboListRequest& r) {
    int n = std::max(r.ItemCount, 1);
    if (r.DropDownCount > 0) n = std::min(n, r.DropDownCount);
    int h = r.ItemHeight * n + 2 * r.BorderWidth;
    int y = r.FaceScreen.Y + r.FaceHeight;
    TComboListPlacement p;
    if (r.FormScreen.Bottom < y + h && r.FormScreen.Top <= r.FaceScreen.Y - h) {
        y = r.FaceScreen.Y - h;
        p.Upwards = true;
    }
    if (y + h > r.Screen.Bottom) y = r.Screen.Bottom - h;
    if (y < r.Screen.Top) y = r.Screen.Top;
    if (h > r.Screen.Height()) h = r.Screen.Height();
    p.Bounds = TRect::FromSize(r.FaceScreen.X, y, r.FaceWidth, h);
    return p;
}
