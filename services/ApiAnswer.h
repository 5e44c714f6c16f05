#pragma once
// Reading the product API's answers: JSON text, or the same text scrambled
// (services/RequestSigning.h), which the API sends to clients that ask for it.
// Pure: no I/O, no state, any thread; never raises.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "public/rdcontrol/base/DateTime.h"
#include "services/NetworkError.h"

// The base information the API's "base-info/info" call gives, with its defaults.
struct TBaseInfo {
    std::int64_t ServerTime = 0;        // seconds since 1970-01-01 UTC; 0: not known
    std::int64_t PrevServerTime = 0;
    std::uint64_t TickAtAnswer = 0;     // system tick count when the answer was read
    TDateTime LocalTimeAtAnswer = 0;
    std::string CountryCode, Country, City, Ip;
    std::string PcDumpUrl;
    std::int64_t HeartbeatInterval = 600;
    std::int64_t SmartLocationNumber = 30;
    std::int64_t MessageListRefreshTime = 3600;
    std::int64_t DrawCountdown = -1;
    bool WhatsAppSupported = false;
    std::string DataText;  // the whole "data" object as JSON text
};

// What the installer's test file and the system add to an answer.
struct TCountrySources {
    std::string overrideCode;  // "Country"/"local_country_code" of "Testupdate.ini", trimmed
    bool ipUnknown = false;    // "Country"/"IP_Unknown" = 1
    std::string systemCode;    // ISO 3166 name of the system's language ("US" when none)
};

// An answer's text as a JSON object: the text itself when it begins with "{",
// else its unscrambled form. nullopt when it is empty, does not parse, or is not an
// object.
std::optional<nlohmann::ordered_json> ParseApiAnswer(std::string_view text);

// The base information in `data` (the answer's "data" object). Numbers may come as
// JSON numbers or as decimal strings; a missing or unusable one takes its default.
// Sets every field but TickAtAnswer and LocalTimeAtAnswer.
TBaseInfo BaseInfoFromData(const nlohmann::ordered_json& data, const TCountrySources& country);

// The error kind of an answer whose "status" is not "ok": the value named
// "network_error_" + "error"."type" (without regard to case), network_error_unknown
// when there is no such value or no type. The type "time_gap_max" (any case) is a
// bad request, and sets `timeGap`: the caller's server time is to be forgotten.
TNetworkError ErrorKindOfAnswer(const nlohmann::ordered_json& answer, bool& timeGap);
