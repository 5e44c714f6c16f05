#include "services/uCEFGetDefaultBrowser.h"

#include <array>
#include <optional>

#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextLines.h"

namespace {

constexpr const char* kUserChoiceKey = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
constexpr const char* kUserHttpCommand = "Software\\Classes\\http\\shell\\open\\command";
constexpr const char* kClassesHttpCommand = "http\\shell\\open\\command";
constexpr const char* kStartMenuInternet = "SOFTWARE\\Clients\\StartMenuInternet";

bool ContainsNoCase(std::string_view text, std::string_view part) {
    if (part.empty()) return false;
    const std::string folded = FoldCase(text), wanted = FoldCase(part);
    return folded.find(wanted) != std::string::npos;
}

// The key's default value; nullopt when the key or the value is missing.
std::optional<std::string> ReadDefaultValue(const OsServices& os, RegistryRoot root, const std::string& key,
                                            RegistryView view = RegistryView::Default) {
    return os.registry.ReadString(root, key, "", view);
}

std::optional<std::string> UserOrClassesHttpCommand(const OsServices& os) {
    if (auto command = ReadDefaultValue(os, RegistryRoot::CurrentUser, kUserHttpCommand)) return command;
    return ReadDefaultValue(os, RegistryRoot::ClassesRoot, kClassesHttpCommand);
}

TBrowserKind ClassifyCommand(const OsServices& os, std::string command, const std::string& ownExeName,
                             TBrowserKind current, TClassifyNames names) {
    if (!ExtractCommandPath(command)) return current;
    return Classify(os, command, ownExeName, current, names);
}

TBrowserKind UserChoiceMethod(const OsServices& os, const std::string& ownExeName, TBrowserKind result) {
    const std::string progId =
        os.registry.ReadString(RegistryRoot::CurrentUser, kUserChoiceKey, "ProgID").value_or("");
    if (progId.empty()) {
        // Windows 10 and later always record the user's choice; without one there is
        // nothing reliable to read.
        if (os.system.ReportedVersion().major == 10) return result;
        const auto command = UserOrClassesHttpCommand(os);
        if (!command) return result;
        return ClassifyCommand(os, *command, ownExeName, result, TClassifyNames::UserChoice);
    }
    const std::string appId = os.registry.ReadString(RegistryRoot::CurrentUser,
                                                     "Software\\Classes\\" + progId + "\\Application", "AppUserModelID")
                                  .value_or("");
    if (appId.rfind("Microsoft.MicrosoftEdge", 0) == 0) return TBrowserKind::bkEdgeLegacy;

    const std::string userCommandKey = "Software\\Classes\\" + progId + "\\shell\\open\\command";
    std::optional<std::string> command;
    if (os.registry.KeyExists(RegistryRoot::CurrentUser, userCommandKey))
        command = ReadDefaultValue(os, RegistryRoot::CurrentUser, userCommandKey);
    else
        command = ReadDefaultValue(os, RegistryRoot::ClassesRoot, progId + "\\shell\\open\\command");
    if (!command) return result;
    return ClassifyCommand(os, *command, ownExeName, result, TClassifyNames::UserChoice);
}

// The "StartMenuInternet" client's command, when it names an existing file.
std::optional<std::string> StartMenuInternetMethod(const OsServices& os) {
    auto client = ReadDefaultValue(os, RegistryRoot::CurrentUser, kStartMenuInternet);
    if (!client) client = ReadDefaultValue(os, RegistryRoot::LocalMachine, kStartMenuInternet, RegistryView::Bits32);
    if (!client) return std::nullopt;
    const std::string key = std::string(kStartMenuInternet) + "\\" + *client + "\\shell\\open\\command";
    auto command = ReadDefaultValue(os, RegistryRoot::CurrentUser, key);
    if (!command || command->empty())
        command = ReadDefaultValue(os, RegistryRoot::LocalMachine, key, RegistryView::Bits32);
    if (!command) return std::nullopt;
    std::string path = *command;
    if (!ExtractCommandPath(path) || !os.system.FileExists(path)) return std::nullopt;
    return command;
}

}  // namespace

std::string_view BrowserKindName(TBrowserKind kind) {
    static constexpr std::array<std::string_view, 8> kNames = {"bkInternetExplorer", "bkFirefox", "bkChrome",
                                                               "bkEdgeLegacy",       "bkOther",   "bkEdge",
                                                               "bkOpera",            "bkOwn"};
    const auto index = static_cast<std::size_t>(kind);
    return index < kNames.size() ? kNames[index] : std::string_view("bkOther");
}

bool ExtractCommandPath(std::string& command) {
    command = std::string(TrimBlanks(command));
    if (command.empty()) return false;
    if (command.front() == '"') {
        command.erase(0, 1);
        if (const size_t quote = command.find('"'); quote != std::string::npos) command.erase(quote);
        command = std::string(TrimBlanks(command));
        return !command.empty();
    }
    return true;
}

TBrowserKind Classify(const OsServices& os, const std::string& path, const std::string& ownExeName,
                      TBrowserKind current, TClassifyNames names) {
    const bool legacy = names == TClassifyNames::Legacy;
    if (ContainsNoCase(path, legacy ? "IEXPLORE.EXE" : "iexplore.exe")) return TBrowserKind::bkInternetExplorer;
    if (!os.system.FileExists(path)) return current;
    if (ContainsNoCase(path, legacy ? "FIREFOX.EXE" : "firefox.exe")) return TBrowserKind::bkFirefox;
    if (ContainsNoCase(path, legacy ? "CHROME.EXE" : "chrome.exe")) return TBrowserKind::bkChrome;
    if (ContainsNoCase(path, legacy ? "MSEDGE.EXE" : "msedge.exe")) return TBrowserKind::bkEdge;
    if (ContainsNoCase(path, legacy ? "OPERA.EXE" : "opera")) return TBrowserKind::bkOpera;
    if (ContainsNoCase(path, ownExeName)) return TBrowserKind::bkOwn;
    return current;
}

TBrowserKind GetDefaultBrowserKind(const OsServices& os, TBrowserKind def, const std::string& ownExeName) {
    TBrowserKind result = def;
    const WindowsVersion v = os.system.ReportedVersion();
    if (v.major == 10 || (v.major == 6 && v.minor > 1 && v.build >= 9000))
        return UserChoiceMethod(os, ownExeName, result);

    // (A plain string and a flag: GCC 12 mistakes an optional string for an
    // uninitialised one here at -O3.)
    std::string command;
    bool found = false;
    if (v.major == 5) {
        if (auto http = UserOrClassesHttpCommand(os)) {
            command = std::move(*http);
            found = !command.empty();
        }
    }
    if (!found) {
        auto client = StartMenuInternetMethod(os);
        if (!client) return v.major == 5 ? result : UserChoiceMethod(os, ownExeName, result);
        command = std::move(*client);
    }
    return ClassifyCommand(os, command, ownExeName, result, TClassifyNames::Legacy);
}
