#include "tools/demo/DefaultBrowserRegistration_win.h"

#include "tools/demo/DemoNames.h"
#include "tools/demo/DemoRegistry_win.h"

namespace demo {
namespace {
const std::string kClasses = "Software\\Classes\\";
const std::string kUrlAssociations = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\";
const std::string kStartMenuInternet = "Software\\Clients\\StartMenuInternet";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void RegisterUrlClass(const std::string& browserExe) {
    const std::string key = kClasses + kBrowserProgId;
    SetRegString(HKEY_CURRENT_USER, key, "", std::string(kProductName) + " URL");
    SetRegString(HKEY_CURRENT_USER, key, "URL Protocol", "");
    SetRegString(HKEY_CURRENT_USER, key + "\\DefaultIcon", "", Quoted(browserExe) + ",0");
    SetRegString(HKEY_CURRENT_USER, key + "\\shell\\open\\command", "", Quoted(browserExe) + " \"%1\"");
    SetRegString(HKEY_CURRENT_USER, key + "\\Application", "ApplicationName", kProductName);
}

void RecordUserChoice(const std::string& scheme) {
    const std::string key = kUrlAssociations + scheme + "\\UserChoice";
    // Windows guards an existing choice against changes of its values (the user may
    // delete the key, not set it), so a new choice replaces the key.
    DeleteRegTree(HKEY_CURRENT_USER, key);
    SetRegString(HKEY_CURRENT_USER, key, "ProgId", kBrowserProgId);
}

void RegisterStartMenuClient(const std::string& browserExe) {
    const std::string client = kStartMenuInternet + "\\" + kStartMenuClientName;
    SetRegString(HKEY_CURRENT_USER, client, "", kProductName);
    SetRegString(HKEY_CURRENT_USER, client + "\\DefaultIcon", "", Quoted(browserExe) + ",0");
    SetRegString(HKEY_CURRENT_USER, client + "\\shell\\open\\command", "", Quoted(browserExe));
    const std::string capabilities = client + "\\Capabilities";
    SetRegString(HKEY_CURRENT_USER, capabilities, "ApplicationName", kProductName);
    SetRegString(HKEY_CURRENT_USER, capabilities, "ApplicationDescription", "A private web browser.");
    for (const char* scheme : {"http", "https"})
        SetRegString(HKEY_CURRENT_USER, capabilities + "\\URLAssociations", scheme, kBrowserProgId);
    SetRegString(HKEY_CURRENT_USER, "Software\\RegisteredApplications", kStartMenuClientName, capabilities);
    SetRegString(HKEY_CURRENT_USER, kStartMenuInternet, "", kStartMenuClientName);
}
}  // namespace

void RegisterDefaultBrowser(const std::string& browserExe) {
    RegisterUrlClass(browserExe);
    RegisterStartMenuClient(browserExe);
    for (const char* scheme : {"http", "https"}) RecordUserChoice(scheme);
}

}  // namespace demo
