#pragma once
// Where a TRdImageButton's caption, icon and check box go: computed once per change
// of the layout inputs (caption, font, size, alignments, margins, pictures) and
// kept until the next. Internal to the button's sources.
#include <string>
#include <vector>

#include "public/rdcontrol/controls/imagebutton/RdImageButton.h"

struct TRdImageButton::TLayoutCache {
    bool Valid = false;
    TRect TextArea;             // where the caption may go
    std::string Shown;          // the caption as drawn (accelerator marks taken out)
    int Accel = -1;             // byte offset in Shown of the underlined character
    TTextBlock Lines;           // the caption's lines (positions relative to the block)
    std::vector<TPoint> LinePos;  // each line's top-left, control coordinates
    int LineHeight = 0;
    TRect Block;                // the lines' bounds, control coordinates
    TRect Icon, Box;            // empty when there is none
};
