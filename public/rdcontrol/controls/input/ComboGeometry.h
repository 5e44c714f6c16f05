#pragma once
// The combo box's geometry rules, apart from the controls so they can be checked
// directly:
// - face height: ComboboxHeight when above 0; otherwise, when ComboboxHeight is -1
//   or BackgroundOption is empty, the height of the Background picture (0 without
//   one), else 0; a result below 10 becomes ItemHeight;
// - the face sits at the bottom of the combo's bounds: (Left, Top + Height - hF,
//   Width, hF);
// - the face's text goes from left + TextOffX + 4 to right - 4 - BackgroundOption.Right
//   (the right margin is the arrow's room);
// - the list window: n = max(items, 1) limited to DropDownCount rows, h = ItemHeight
//   x n + 2 x BorderWidth, below the face; it opens upwards when the parent form's
//   bottom edge is above its bottom and the list fits above the face within the
//   form; then it is pushed inside the screen area (up from the bottom, down from
//   the top, cut to its height).
//
// Portable, pure.
#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/Canvas.h"

int ComboFaceHeight(int comboboxHeight, bool optionEmpty, int backgroundHeight, int itemHeight);
TRect ComboFaceRect(const TRect& comboBounds, int faceHeight);
// rect in face coordinates (0, 0, width, height).
TRect ComboTextRect(const TRect& face, int textOffX, int optionRight);

struct TComboListPlacement {
    TRect Bounds;  // screen coordinates
    bool Upwards = false;
};

struct TComboListRequest {
    TPoint FaceScreen;  // the face's top-left on the screen
    int FaceWidth = 0, FaceHeight = 0;
    int ItemCount = 0, DropDownCount = 8, ItemHeight = 16, BorderWidth = 1;
    TRect FormScreen;  // the parent form on the screen
    TRect Screen;      // the screen area the list must stay in
};

TComboListPlacement PlaceComboList(const TComboListRequest& r);
