#include "services/ApiAnswer.h"

#include <charconv>

#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextLines.h"
#include "services/RequestSigning.h"

using nlohmann::ordered_json;

namespace {

std::optional<std::int64_t> AsInteger(const ordered_json& value) {
    if (value.is_number_integer()) return value.get<std::int64_t>();
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        return u > static_cast<std::uint64_t>(INT64_MAX) ? std::nullopt : std::optional<std::int64_t>(std::int64_t(u));
    }
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (!(d > -9.2e18 && d < 9.2e18)) return std::nullopt;
        return static_cast<std::int64_t>(d);
    }
    if (value.is_string()) {
        const std::string_view text = TrimBlanks(value.get_ref<const std::string&>());
        std::int64_t result = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
        if (ec == std::errc() && end == text.data() + text.size() && !text.empty()) return result;
    }
    return std::nullopt;
}

std::int64_t IntegerMember(const ordered_json& object, const char* name, std::int64_t def) {
    auto it = object.find(name);
    if (it == object.end()) return def;
    return AsInteger(*it).value_or(def);
}

std::string StringMember(const ordered_json& object, const char* name) {
    auto it = object.find(name);
    if (it == object.end() || !it->is_string()) return {};
    return it->get<std::string>();
}

std::string Dump(const ordered_json& value) {
    return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

}  // namespace

std::optional<ordered_json> ParseApiAnswer(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::string plain = text.front() == '{' ? std::string(text) : UnscrambleText(text);
    if (plain.empty()) return std::nullopt;
    ordered_json answer = ordered_json::parse(plain, nullptr, false);
    if (answer.is_discarded() || !answer.is_object()) return std::nullopt;
    return answer;
}

TBaseInfo BaseInfoFromData(const ordered_json& data, const TCountrySources& country) {
    TBaseInfo info;
    info.ServerTime = IntegerMember(data, "server_time", 0);
    info.PrevServerTime = info.ServerTime;

    info.CountryCode = country.overrideCode;
    if (info.CountryCode.empty()) info.CountryCode = StringMember(data, "country_code");
    if (info.CountryCode.empty()) info.CountryCode = country.systemCode;
    if (!country.ipUnknown) {
        info.Country = StringMember(data, "country");
        info.City = StringMember(data, "city");
    }
    info.Ip = StringMember(data, "ip");

    info.PcDumpUrl = StringMember(data, "pc_dump_url");
    info.HeartbeatInterval = IntegerMember(data, "heartbeat_interval", 600);
    info.SmartLocationNumber = IntegerMember(data, "smart_location_number", 30);
    if (info.SmartLocationNumber <= 0) info.SmartLocationNumber = 30;
    info.MessageListRefreshTime = IntegerMember(data, "message_list_refresh_time", 3600);
    info.DrawCountdown = IntegerMember(data, "draw_countdown", -1);

    if (auto list = data.find("support_whatsapp_country_list"); list != data.end() && list->is_array()) {
        for (const ordered_json& entry : *list)
            if (entry.is_string() && !info.CountryCode.empty() &&
                SameTextNoCase(entry.get_ref<const std::string&>(), info.CountryCode)) {
                info.WhatsAppSupported = true;
                break;
            }
    }
    info.DataText = Dump(data);
    return info;
}

TNetworkError ErrorKindOfAnswer(const ordered_json& answer, bool& timeGap) {
    timeGap = false;
    auto error = answer.find("error");
    if (error == answer.end() || !error->is_object()) return TNetworkError::network_error_unknown;
    std::string type = StringMember(*error, "type");
    if (type.empty()) return TNetworkError::network_error_unknown;
    if (SameTextNoCase(type, "time_gap_max")) {
        type = "bad_request";
        timeGap = true;
    }
    return NetworkErrorByName("network_error_" + type).value_or(TNetworkError::network_error_unknown);
}
