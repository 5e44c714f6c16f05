#pragma once
// The languages an API request announces: the "language" header the product API
// reads, from the system's default language, and the usual Accept-Language, from the
// user's default locale. Blocking (locale queries), cheap, no state.
#include <string>

#include "os/Locale.h"

// The "language" header's tag: the ISO 639 name in lower case ("en" when the system
// has none), with "-" and the lower-case ISO 3166 name ("us" when none) for the
// languages the API tells apart by country (ar, az, zh, nl, en, fr, gd, de, it, ms,
// pt, ru, sr, es, sv, uz): en-us, pt-br, ja, ar-sa. The two Norwegian languages
// (0x0414, 0x0814) give the country alone ("no"); Romanian (0x0418), Russian (0x0419)
// and Irish (0x043C) the language alone.
std::string LanguageTag(const Locale& locale);

// "language-COUNTRY" of the user's default locale as the system writes the names
// (en-US); the language alone when the system has no country; "" without a language.
std::string AcceptLanguageValue(const Locale& locale);
