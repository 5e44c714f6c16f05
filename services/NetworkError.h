#pragma once
// The error kinds the product API reports, as "network_error_" + the answer's
// error type. The numbering is the API's; names are looked up without regard to case.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class TNetworkError : std::uint8_t {
    network_error_success,
    network_error_unknown,
    network_error_bad_request,
    network_error_region_restriction,
    network_error_account_locked,
    network_error_bad_order,
    network_error_max_connect,
    network_error_bad_token,
    network_error_email_occupied,
    network_error_email_format_error,
    network_error_max_register,
    network_error_bad_email,
    network_error_bad_password,
    network_error_bad_email_code,
    network_error_send_verifycode,
    network_error_order_bound,
    network_error_email_bound_order,
    network_error_bad_account_type,
    network_error_system_error,
    network_error_unsupport_tmvip,
    network_error_mk_vip_not_in_country,
    network_error_mk_vip_expired,
    network_error_mk_vip_max_connect,
};

inline constexpr int kNetworkErrorCount = 23;

// "network_error_region_restriction" for network_error_region_restriction.
std::string_view NetworkErrorName(TNetworkError error);
// The value named `name` (compared without regard to case), nullopt for no value.
std::optional<TNetworkError> NetworkErrorByName(std::string_view name);
