#pragma once
// TRdFontLink: makes one TRdFont follow a base font. Every attribute of the font
// (character set, colour, height, name, style, anti-aliasing) that has not been
// set on it explicitly is copied from the base when the link is made and after
// every change of the base. An attribute counts as set explicitly once it is
// changed on the font itself (or marked with SetExplicit).
//
// The link does not hook the fonts' OnChange itself (a font has one handler, and
// it belongs to the font's owner): the owner calls BaseChanged and FontChanged
// from its handlers. UI thread only; both fonts must outlive the link.
#include "public/rdcontrol/drawing/RdFont.h"

class TRdFontLink {
public:
    enum TAttribute : unsigned { faCharset = 1, faColor = 2, faHeight = 4, faName = 8, faStyle = 16, faAntialiased = 32 };

    TRdFontLink(TRdFont& font, const TRdFont& base);

    void SetExplicit(unsigned attributes) { FExplicit |= attributes; }
    unsigned Explicit() const { return FExplicit; }
    // The base changed: copy what is not explicit.
    void BaseChanged();
    // The font changed: what differs from the last known state was set explicitly
    // (nothing while the link itself is copying).
    void FontChanged();
    bool Copying() const { return FCopying; }

private:
    struct TState {
        int Charset;
        TColor Color;
        int Height;
        std::string Name;
        unsigned Style;
        bool Antialiased;
    };
    static TState StateOf(const TRdFont& f);

    TRdFont& FFont;
    const TRdFont& FBase;
    unsigned FExplicit = 0;
    TState FKnown;
    bool FCopying = false;
};
