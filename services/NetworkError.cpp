#include "services/NetworkError.h"

#include <array>

#include "public/rdcontrol/base/TextCase.h"

namespace {

constexpr std::array<std::string_view, kNetworkErrorCount> kNames = {
    "network_error_success",          "network_error_unknown",
    "network_error_bad_request",      "network_error_region_restriction",
    "network_error_account_locked",   "network_error_bad_order",
    "network_error_max_connect",      "network_error_bad_token",
    "network_error_email_occupied",   "network_error_email_format_error",
    "network_error_max_register",     "network_error_bad_email",
    "network_error_bad_password",     "network_error_bad_email_code",
    "network_error_send_verifycode",  "network_error_order_bound",
    "network_error_email_bound_order", "network_error_bad_account_type",
    "network_error_system_error",     "network_error_unsupport_tmvip",
    "network_error_mk_vip_not_in_country", "network_error_mk_vip_expired",
    "network_error_mk_vip_max_connect"};

}  // namespace

std::string_view NetworkErrorName(TNetworkError error) {
    const auto index = static_cast<std::size_t>(error);
    return index < kNames.size() ? kNames[index] : std::string_view();
}

std::optional<TNetworkError> NetworkErrorByName(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (SameTextNoCase(kNames[i], name)) return static_cast<TNetworkError>(i);
    return std::nullopt;
}
