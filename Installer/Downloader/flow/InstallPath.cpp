#include "Installer/Downloader/flow/InstallPath.h"

#include <algorithm>
#include <exception>

#include "Installer/Downloader/flow/ProductNames.h"
#include "os/FileAttributes.h"
#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextLines.h"
#include "services/SystemInfo.h"

namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string ProgramFolder(const OsServices& os) {
    const std::string program = os.system.ProgramPath();
    const size_t slash = program.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}

}  // namespace

std::string TrimPath(const std::string& text) { return std::string(TrimBlanks(text)); }

std::string WithTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path;
    return path + '\\';
}

std::string DrivePart(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // \\server\share
        size_t server = path.find('\\', 2);
        if (server == std::string::npos || server == 2) return {};
        size_t share = path.find('\\', server + 1);
        return path.substr(0, share == std::string::npos ? path.size() : share);
    }
    return {};
}

bool IsFixedDrive(const OsServices& os, const std::string& path) {
    const std::string drive = DrivePart(TrimPath(path));
    return !drive.empty() && os.disks.TypeOfDrive(drive) == DriveType::Fixed;
}

bool CheckDiskSpace(const OsServices& os, const std::string& drive, std::uint64_t required) {
    try {
        if (os.disks.TypeOfDrive(drive) != DriveType::Fixed) return true;
        if (GetFileAttributesOf(drive) == std::optional<std::uint32_t>(FileAttribute::ReadOnly)) return false;
        const auto free = os.disks.FreeBytes(drive);
        // Without an answer there is no reason to believe the drive has room.
        return !free || *free < required;
    } catch (const std::exception&) {
        return false;
    }
}

InstallPathChoice GetInstallPath(const OsServices& os) {
    InstallPathChoice choice;
    if (os.registry.KeyExists(RegistryRoot::LocalMachine, kProductUninstallKey)) {
        choice.existing = true;
        choice.path = os.registry.ReadString(RegistryRoot::LocalMachine, kProductUninstallKey, kInstallLocationValue)
                          .value_or("");
    } else if (os.registry.KeyExists(RegistryRoot::LocalMachine, kEarlierUninstallKey)) {
        choice.existing = true;
        const std::string location =
            os.registry.ReadString(RegistryRoot::LocalMachine, kEarlierUninstallKey, kInstallLocationValue)
                .value_or("");
        if (location.find(kEarlierProductName) != std::string::npos)
            choice.path = ReplaceAll(location, kEarlierProductName, kProductName);
    }
    if (choice.path.empty())
        choice.path = GetUserFolder(os, kUserFolderProgramFiles64) + "\\" + kProductName + "\\";
    choice.path = WithTrailingBackslash(choice.path);
    return choice;
}

QuillSetupPath GetQuillSetupPath(const OsServices& os) {
    QuillSetupPath result;
    try {
        const InstallPathChoice choice = GetInstallPath(os);
        result.existing = choice.existing;
        result.path = choice.path;
        if (CheckDiskSpace(os, DrivePart(result.path), kRequiredFreeBytes)) {
            // The system lists at most 26 drives; the fixed stride of its list ends
            // the search at the first empty entry.
            const auto roots = os.disks.DriveRoots();
            const std::string drive = DrivePart(result.path);
            for (size_t i = 0; i < roots.size() && i < 66; ++i) {
                const std::string& root = roots[i];
                if (root.empty()) break;
                if (os.disks.TypeOfDrive(root) != DriveType::Fixed) continue;
                if (CheckDiskSpace(os, root, kRequiredFreeBytes)) continue;
                const std::string from = drive + "\\";
                if (!drive.empty() && StartsWithNoCase(result.path, from))
                    result.path = WithTrailingBackslash(root) + result.path.substr(from.size());
                break;
            }
            if (CheckDiskSpace(os, DrivePart(result.path), kRequiredFreeBytes)) result.diskFull = true;
        }
    } catch (const std::exception&) {
        result = QuillSetupPath{};
        result.path = ProgramFolder(os) + kProductName + "\\";
    }
    return result;
}

std::string NormalisePathText(const std::string& text) {
    std::string joined;
    size_t start = 0;
    for (;;) {
        const size_t slash = text.find('\\', start);
        const std::string part = text.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        joined += TrimPath(part);
        if (slash == std::string::npos) break;
        joined += '\\';
        start = slash + 1;
    }
    return joined;
}

bool HasOnlyAllowedPathChars(const std::string& text) {
    return text.find_first_of("/*?\"<>|;") == std::string::npos;
}

bool IsRefusedTypedChar(char32_t c) {
    switch (c) {
        case U'"': case U'*': case U'.': case U'/': case U';': case U'<': case U'>': case U'?': case U'|':
            return true;
        default:
            return false;
    }
}

std::string CutAtRefusedTypedChar(const std::string& text) {
    // The refused characters are all ASCII, so a byte search cannot split UTF-8.
    const size_t at = text.find_first_of("\"*./;<>?|");
    return at == std::string::npos ? text : text.substr(0, at);
}

std::string CompleteWithProductName(const std::string& text) {
    std::string p = TrimPath(text);
    std::string withoutSlash = p;
    if (!withoutSlash.empty() && withoutSlash.back() == '\\') withoutSlash.pop_back();
    const size_t slash = withoutSlash.find_last_of('\\');
    const std::string last = slash == std::string::npos ? withoutSlash : withoutSlash.substr(slash + 1);
    if (SameTextNoCase(last, kProductName)) return p;
    return WithTrailingBackslash(p) + kProductName + "\\";
}
