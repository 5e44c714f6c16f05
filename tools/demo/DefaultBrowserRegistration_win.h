#pragma once
// Makes the demo browser the current user's handler of web addresses, as Windows
// records the user's choice. Windows only.
//
// What is written (all under HKEY_CURRENT_USER):
// - the URL class "Software\Classes\QartoBrowserURL": "URL Protocol", DefaultIcon,
//   shell\open\command = "<browser>" "%1", and Application\ApplicationName;
// - the user's choice for "http" and "https":
//   "Software\Microsoft\Windows\Shell\Associations\UrlAssociations\<scheme>\UserChoice",
//   value "ProgId" = "QartoBrowserURL" (how Windows 8 and 10 record the default);
// - the browser as a start-menu internet client, "Software\Clients\StartMenuInternet"
//   default value = "Qarto Private Browser", and its key with shell\open\command,
//   Capabilities (URLAssociations) and the RegisteredApplications entry (how
//   Windows 7 and Vista find the default browser).
#include <string>

namespace demo {

// `browserExe`: the full path of QartoBrowser.exe. Throws DemoError.
void RegisterDefaultBrowser(const std::string& browserExe);

}  // namespace demo
