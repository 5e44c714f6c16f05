#include "public/rdcontrol/drawing/TextRenderer.h"

// The host has no font engine: text is laid out and drawn with fixed metrics.
TTextRenderer& DefaultTextRenderer() {
    static TFixedTextRenderer renderer;
    return renderer;
}
