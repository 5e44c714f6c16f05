// qtool's product-service commands: the API client, the browser's data files, the
// machine identity, the browser probe and default-browser detection, each run as the
// installer runs it (see QtoolCommands.h for their output). Settings only tests need:
//   QARTO_TLS_CA_FILE   a certificate authority to trust besides the system's
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "net/CurlMulti.h"
#include "os/Utf8Path.h"
#include "services/ApiClient.h"
#include "services/BrowserProbe.h"
#include "services/Deployment.h"
#include "services/MachineIdentity.h"
#include "services/VantorConfig.h"
#include "services/uCEFGetDefaultBrowser.h"
#include "tools/qtool/QtoolCommands.h"
#include "tools/qtool/QtoolOs.h"

namespace {

std::shared_ptr<TTlsContext> TestAuthority() {
    const char* file = std::getenv("QARTO_TLS_CA_FILE");
    if (!file || !*file) return nullptr;
    return std::make_shared<TTlsContext>(TTlsContext{file});
}

// Everything an API call needs, as the installer puts it together.
struct ApiSetup {
    OsServices& os = QtoolOs();
    std::unique_ptr<EventLoop> loop = MakeEventLoop();
    CurlMulti multi{*loop};
    TDeployment deployment{os.registry};
    TBrowserProbe probe{os};
    TMachineIdentity identity{os, probe};
    TApiClient api{os, multi, deployment, identity};
    ApiSetup() {
        api.TlsContext = TestAuthority();
        // Not elevated: the file beside qtool is its user's own way to redirect it.
        api.ReadTestFile = true;
    }
};

bool IsDataFileLoadFailure(const TVantorConfig& config) {
    return config.ValueExists(kLoadFailureSection, kLoadFailureKey);
}

void NeedDataFile(const std::string& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Utf8Path(file), ec)) throw QtoolError("cannot read " + file);
}

}  // namespace

int BaseInfo(const QtoolArgs& args, std::ostream& out) {
    std::string baseUrl, email;
    int timeout = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--base-url" && i + 1 < args.size()) {
            baseUrl = args[++i];
        } else if (a == "--email" && i + 1 < args.size()) {
            email = args[++i];
        } else if (a == "--timeout" && i + 1 < args.size()) {
            timeout = std::atoi(args[++i].c_str());
            if (timeout < 1 || timeout > 3600) throw QtoolError("--timeout takes seconds from 1 to 3600");
        } else {
            throw QtoolError("unknown argument " + a + " for base-info");
        }
    }
    ApiSetup setup;
    if (!baseUrl.empty() && !setup.deployment.Override(TServerRole::Api, baseUrl))
        throw QtoolError("--base-url takes http(s)://host[:port], not " + baseUrl);

    TNetworkError kind = TNetworkError::network_error_success;
    TRequestStatus status;
    const auto started = std::chrono::steady_clock::now();
    const std::int64_t serverTime = setup.api.GetBaseInfo(kind, email, &status, timeout);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    const TBaseInfo& info = setup.api.BaseInfo();
    out << "server_time=" << info.ServerTime << '\n'
        << "prev_server_time=" << info.PrevServerTime << '\n'
        << "country_code=" << info.CountryCode << '\n'
        << "country=" << info.Country << '\n'
        << "city=" << info.City << '\n'
        << "ip=" << info.Ip << '\n'
        << "pc_dump_url=" << info.PcDumpUrl << '\n'
        << "heartbeat_interval=" << info.HeartbeatInterval << '\n'
        << "smart_location_number=" << info.SmartLocationNumber << '\n'
        << "message_list_refresh_time=" << info.MessageListRefreshTime << '\n'
        << "draw_countdown=" << info.DrawCountdown << '\n'
        << "whatsapp=" << (info.WhatsAppSupported ? 1 : 0) << '\n'
        << "http_status=" << status.StatusCode << '\n'
        << "transport_error=" << status.TransportError << '\n'
        << "elapsed_ms=" << took.count() << '\n'
        << "result server_time=" << serverTime << " error=" << NetworkErrorName(kind) << '\n';
    return 0;
}

int PostParams(const QtoolArgs& args, std::ostream& out) {
    if (args.size() != 2) throw QtoolError("post-params needs URL and TEXT");
    ApiSetup setup;
    std::string answer;
    TRequestStatus status;
    setup.api.PostParams(args[0], args[1], answer, &status);
    out << answer;
    if (!answer.empty() && answer.back() != '\n') out << '\n';
    out << "result status=" << status.StatusCode << '\n';
    return 0;
}

int KvdtGet(const QtoolArgs& args, std::ostream& out) {
    if (args.size() < 3 || args.size() > 4) throw QtoolError("wrong number of arguments for kvdt-get");
    // The data-file class reads a file that does not exist as an empty one, as the
    // browser does; anything else that is not a readable file is reported.
    std::error_code ec;
    if (std::filesystem::exists(Utf8Path(args[0]), ec)) NeedDataFile(args[0]);
    const TVantorConfig config(args[0], QtoolOs().clock);
    if (IsDataFileLoadFailure(config)) throw QtoolError("cannot read " + args[0] + " (locked, or not a data file)");
    const bool found = config.ValueExists(args[1], args[2]);
    out << config.ReadString(args[1], args[2], args.size() > 3 ? args[3] : "") << '\n';
    out << "result found=" << (found ? 1 : 0) << '\n';
    return 0;
}

int KvdtSet(const QtoolArgs& args, std::ostream& out) {
    if (args.size() != 4) throw QtoolError("wrong number of arguments for kvdt-set");
    TVantorConfig config(args[0], QtoolOs().clock);
    config.WriteString(args[1], args[2], args[3]);
    // A file that cannot be read is left as it is: say so rather than pretend.
    if (IsDataFileLoadFailure(config) || config.ReadString(args[1], args[2], "") != args[3])
        throw QtoolError(args[0] + " was not changed: it cannot be read or written as a data file");
    out << "result written=1\n";
    return 0;
}

int MachineId(const QtoolArgs& args, std::ostream& out) {
    if (!args.empty()) throw QtoolError("machine-id takes no arguments");
    OsServices& os = QtoolOs();
    TBrowserProbe probe(os);
    TMachineIdentity identity(os, probe);
    const std::string deviceId = identity.GetMachineId(true, 0);
    // The file's values as they are now (after any repair).
    const TVantorConfig file(identity.IdentityFileName(), os.clock);
    out << "AppID=" << identity.AppID() << '\n'
        << "AppKey=" << identity.AppKey() << '\n'
        << "MachineID=" << file.ReadString("main", "MachineID", "") << '\n'
        << "MachineKey=" << file.ReadString("main", "MachineKey", "") << '\n'
        << "MachineGuid=" << identity.MachineGuid() << '\n'
        << "identity_file=" << identity.IdentityFileName() << '\n'
        << "result device_id=" << deviceId << '\n';
    return 0;
}

int BrowserProbe(const QtoolArgs& args, std::ostream& out) {
    if (!args.empty()) throw QtoolError("browser-probe takes no arguments");
    TBrowserProbe probe(QtoolOs());
    const std::string installDir = probe.GetBrowserInstallDir();
    out << "install_dir=" << installDir << '\n'
        << "beta=" << (probe.IsBetaBrowser() ? 1 : 0) << '\n'
        << "user_data_dir=" << probe.GetBrowserUserDataDir() << '\n'
        << "version=" << probe.GetInstalledBrowserVersion(installDir) << '\n'
        << "result ok=1\n";
    return 0;
}

int DefaultBrowser(const QtoolArgs& args, std::ostream& out) {
    if (args.size() > 1) throw QtoolError("default-browser takes at most OWN_EXE_NAME");
    const std::string own = args.empty() ? kBrowserExeName : args[0];
    out << "result kind=" << BrowserKindName(GetDefaultBrowserKind(QtoolOs(), TBrowserKind::bkOther, own)) << '\n';
    return 0;
}
