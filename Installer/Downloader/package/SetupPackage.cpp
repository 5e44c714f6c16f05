#include "Installer/Downloader/package/SetupPackage.h"

#include <array>
#include <cstring>
#include <fstream>

#include "Installer/Downloader/flow/InstallSource.h"
#include "os/CommandLine.h"
#include "os/Utf8Path.h"

int ExecutableKind(const std::string& file) {
    try {
        std::ifstream in(Utf8Path(file), std::ios::binary);
        if (!in) return 0;
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        if (size < 4096) return 0;
        std::array<unsigned char, 64> dos{};
        in.seekg(0);
        if (!in.read(reinterpret_cast<char*>(dos.data()), dos.size())) return 0;
        if (dos[0] != 'M' || dos[1] != 'Z') return 0;
        const std::uint32_t peOffset = dos[60] | dos[61] << 8 | dos[62] << 16 | static_cast<std::uint32_t>(dos[63]) << 24;
        // Signature (4), machine (2), sections (2), time (4), symbols (4 + 4), optional
        // header size (2), characteristics (2).
        if (static_cast<std::streamoff>(peOffset) + 24 > size) return 0;
        std::array<unsigned char, 24> pe{};
        in.seekg(peOffset);
        if (!in.read(reinterpret_cast<char*>(pe.data()), pe.size())) return 0;
        if (std::memcmp(pe.data(), "PE\0\0", 4) != 0) return 0;
        const unsigned characteristics = pe[22] | pe[23] << 8;
        return characteristics & 0x2000 ? 2 : 1;
    } catch (...) {
        return 0;
    }
}

std::string SetupParameters(const TSetupOptions& o) {
    TCommandLine line;
    line.Add("/sp-").Add("/verysilent").Add("/suppressmsgboxes").Add("/NORESTART");
    line.AddSwitch("/DIR=", FolderArgument(o.installPath));
    // Checked where it was read, and again here where it is passed on elevated.
    if (IsInstallSourceSwitch(o.installSource)) line.Add(o.installSource);
    if (o.bookmark) line.Add("/BookMark");
    line.AddSwitch("/TASKS=", o.desktopIcon ? "desktopicon" : "");
    if (o.taskbar) line.Add("/CreateTaskbar");
    return line.Text();
}

TSetupDecision DecideSetupDownload(const TSetupDownloadResult& r) {
    if (!r.success) return TSetupDecision::Failure;
    if (r.code == 0) return TSetupDecision::RunVerified;
    if ((r.code == 4 || r.code == 6) && r.isTheSetupFile && (!r.expectedMd5Known || r.md5Matches) &&
        r.fileSize == r.serverLength && r.executableKind == 1)
        return TSetupDecision::RunUnverified;
    return TSetupDecision::Failure;
}
