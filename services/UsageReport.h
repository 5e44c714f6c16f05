#pragma once
// The one usage report the installer sends: after a first installation, the
// browser's language and the theme the user chose on the theme page, to the
// statistics server's "/multi_app_lang.php?action=insert". Its answer is not read;
// failures are absorbed and the installation goes on.
#include <string>

#include "services/ApiClient.h"
#include "services/Deployment.h"

// "app=zyr3color&lan=" + language ("en" when empty) + "&show=1", then "&light=1"
// or "&dark=1".
std::string UsageReportParams(const std::string& customLanguage, bool lightTheme);

// Posts the report (TApiClient::PostParams). Blocking like every API request (the
// event loop keeps running meanwhile). `customLanguage` is the browser language the
// user configured, `lightTheme` whether Light was chosen.
void SendUsageReport(TApiClient& api, const TDeployment& deployment, const std::string& customLanguage,
                     bool lightTheme);
