#include "services/UsageReport.h"

std::string UsageReportParams(const std::string& customLanguage, bool lightTheme) {
    const std::string language = customLanguage.empty() ? "en" : customLanguage;
    return "app=zyr3color&lan=" + language + "&show=1" + (lightTheme ? "&light=1" : "&dark=1");
}

void SendUsageReport(TApiClient& api, const TDeployment& deployment, const std::string& customLanguage,
                     bool lightTheme) {
    std::string answer;
    api.PostParams(deployment.Host(TServerRole::Stats) + "/multi_app_lang.php?action=insert",
                   UsageReportParams(customLanguage, lightTheme), answer);
}
