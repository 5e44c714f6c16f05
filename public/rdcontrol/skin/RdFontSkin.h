#pragma once
// The skin binding of a TRdFont (its AllSkin): a TRdSkinClass over the font's own
// property table, so a skin class such as
//   [title_font]
//   Name='Segoe UI'
//   Size=14
//   Color=clWhite
//   Style=[fsBold]
// styles a font wherever it is used. The table's control class is "TRdFont": a
// class with "class=TRdFont" applies to fonts only.
//
// The binding follows the main style until SetStyle gives it another, like any
// skin class, and applies again when the style reloads. Values go through the
// font's setters, so each change raises the font's OnChange and its owner repaints
// as for any other font change.
//
// The binding is kept in the font's skin slot (RdFont.h says why the font cannot
// hold it by name) and ends with the font. UI thread only.
#include "public/rdcontrol/drawing/RdFont.h"
#include "public/rdcontrol/skin/RdSkinClass.h"
#include "public/rdcontrol/skin/SkinProperties.h"

// The font's published properties: Name, Height, Size, Charset, Color, Antialiased,
// Alpha (0..255, clamped), Style (fsBold, fsItalic, fsUnderline, fsStrikeOut). The
// table refers to font and must not outlive it.
TPropertyTable FontProperties(TRdFont& font);

// font's AllSkin, made on first use.
TRdSkinClass& FontAllSkin(TRdFont& font);
