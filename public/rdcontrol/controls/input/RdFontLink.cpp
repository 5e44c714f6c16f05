#include "public/rdcontrol/controls/input/RdFontLink.h"

TRdFontLink::TRdFontLink(TRdFont& font, const TRdFont& base) : FFont(font), FBase(base), FKnown(StateOf(font)) {
    BaseChanged();
}

TRdFontLink::TState TRdFontLink::StateOf(const TRdFont& f) {
    return TState{f.Charset(), f.Color(), f.Height(), f.Name(), f.Style(), f.Antialiased()};
}

void TRdFontLink::BaseChanged() {
    FCopying = true;
    if (!(FExplicit & faCharset)) FFont.SetCharset(FBase.Charset());
    if (!(FExplicit & faColor)) FFont.SetColor(FBase.Color());
    if (!(FExplicit & faHeight)) FFont.SetHeight(FBase.Height());
    if (!(FExplicit & faName)) FFont.SetName(FBase.Name());
    if (!(FExplicit & faStyle)) FFont.SetStyle(FBase.Style());
    if (!(FExplicit & faAntialiased)) FFont.SetAntialiased(FBase.Antialiased());
    FCopying = false;
    FKnown = StateOf(FFont);
}

void TRdFontLink::FontChanged() {
    if (FCopying) return;
    const TState now = StateOf(FFont);
    if (now.Charset != FKnown.Charset) FExplicit |= faCharset;
    if (now.Color != FKnown.Color) FExplicit |= faColor;
    if (now.Height != FKnown.Height) FExplicit |= faHeight;
    if (now.Name != FKnown.Name) FExplicit |= faName;
    if (now.Style != FKnown.Style) FExplicit |= faStyle;
    if (now.Antialiased != FKnown.Antialiased) FExplicit |= faAntialiased;
    FKnown = now;
}
