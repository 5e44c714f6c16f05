#include "Installer/Downloader/flow/SecureFolder.h"

#include <algorithm>
#include <cctype>

#include "Installer/Downloader/flow/InstallPath.h"

namespace {

constexpr const char* kFallbackPrefix = "Downloader-";
// The product's folder and the download folder below it.
constexpr std::size_t kOwnedParts = 2;

std::vector<std::string> Parts(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool SameParts(const std::vector<std::string>& a, const std::vector<std::string>& b, std::size_t count) {
    if (a.size() < count || b.size() < count) return false;
    for (std::size_t i = 0; i < count; ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// The anchor of a path: its drive ("C:\", "\\server\share\"); "" without one.
std::string Root(const std::string& path) {
    const std::string drive = DrivePart(path);
    return drive.empty() ? std::string() : drive + "\\";
}

TTrustVerdict Judge(TFolderSecurity& security, const std::string& path) {
    return JudgeSecurity(security.Read(path));
}

// A new folder with an unpredictable name in `parent`, made secure in the same call.
std::string FreshFolder(TFolderSecurity& security, const std::string& parent, const TFolderTrace& trace) {
    const std::string random = security.RandomHex128();
    if (random.size() != 32) {
        trace("secure folder: no random name");
        return {};
    }
    const std::string folder = parent + kFallbackPrefix + random + "\\";
    if (!security.CreateFolder(folder, TFolderRights::AdministratorsOnly)) {
        trace("secure folder: cannot create " + folder);
        return {};
    }
    trace("secure folder: using the new folder " + folder);
    return folder;
}

}  // namespace

TSecureFolderPlan DownloadFolderPlan(const std::string& folder, const std::string& commonAppData) {
    TSecureFolderPlan plan;
    const std::vector<std::string> parts = Parts(folder);
    const std::vector<std::string> common = Parts(commonAppData);
    std::size_t skip = 0;
    if (!common.empty() && parts.size() > common.size() && SameParts(parts, common, common.size()) &&
        !Root(commonAppData).empty()) {
        plan.anchor = WithTrailingBackslash(commonAppData);
        skip = common.size();
    } else {
        plan.anchor = Root(folder);
        skip = Parts(plan.anchor).size();
    }
    plan.parts.assign(parts.begin() + static_cast<std::ptrdiff_t>(std::min(skip, parts.size())), parts.end());
    plan.ownedFrom = plan.parts.size() > kOwnedParts ? plan.parts.size() - kOwnedParts : 0;
    return plan;
}

bool TakeOverFolder(TFolderSecurity& security, const std::string& folder, const TFolderTrace& trace) {
    const TObjectSecurity found = security.Read(folder);
    if (found.reparsePoint) {
        // Never walked into: the link goes, and a folder of ours takes its place.
        if (!security.Remove(folder) || !security.CreateFolder(folder, TFolderRights::AdministratorsOnly)) {
            trace("take over " + folder + ": the link cannot be replaced");
            return false;
        }
    } else if (!security.TakeOver(folder, TFolderRights::AdministratorsOnly)) {
        trace("take over " + folder + ": refused");
        return false;
    }
    for (const std::string& name : security.List(folder)) {
        const std::string entry = WithTrailingBackslash(folder) + name;
        const TObjectSecurity s = security.Read(entry);
        if (s.exists && !s.reparsePoint && s.readable && IsTrustedOwner(s.owner)) continue;
        const bool removed = security.Remove(entry);
        trace("take over " + folder + ": " + (removed ? "removed " : "cannot remove ") + name +
              (s.reparsePoint ? " (link)" : " (owner " + s.owner + ")"));
    }
    const TTrustVerdict after = Judge(security, folder);
    trace("take over " + folder + ": " + after.reason);
    return after.trusted;
}

std::string PrepareSecureFolder(TFolderSecurity& security, const TSecureFolderPlan& plan,
                                const TFolderTrace& trace) {
    if (plan.anchor.empty()) return {};
    std::string path = plan.anchor;
    for (std::size_t i = 0; i < plan.parts.size(); ++i) {
        const std::string parent = path;
        path += plan.parts[i] + "\\";
        if (security.CreateFolder(path, TFolderRights::AdministratorsOnly)) {
            trace("secure folder: created " + path);
            continue;
        }
        const TTrustVerdict verdict = Judge(security, path);
        if (verdict.trusted) continue;
        trace("secure folder: " + path + " untrusted: " + verdict.reason);
        if (i >= plan.ownedFrom && TakeOverFolder(security, path, trace)) continue;
        return FreshFolder(security, parent, trace);
    }
    return path;
}

int SweepUntrustedEntries(TFolderSecurity& security, const std::string& folder, const TFolderTrace& trace) {
    int removed = 0;
    for (const std::string& name : security.List(folder)) {
        const std::string entry = WithTrailingBackslash(folder) + name;
        const TTrustVerdict verdict = Judge(security, entry);
        if (verdict.trusted) continue;
        const bool gone = security.Remove(entry);
        removed += gone ? 1 : 0;
        trace("download folder: " + std::string(gone ? "removed " : "cannot remove ") + name + ": " + verdict.reason);
    }
    return removed;
}

bool IsInProgramFiles(const std::string& path, const std::vector<std::string>& programFilesFolders) {
    const std::vector<std::string> parts = Parts(path);
    for (const std::string& part : parts)
        if (part == "." || part == "..") return false;
    for (const std::string& folder : programFilesFolders) {
        const std::vector<std::string> base = Parts(folder);
        if (!base.empty() && parts.size() > base.size() && SameParts(parts, base, base.size())) return true;
    }
    return false;
}

TInstallFolderCheck PrepareInstallFolder(TFolderSecurity& security, const std::string& folder) {
    std::string path = Root(folder);
    if (path.empty()) return {TInstallFolderState::Failed, "no drive"};
    const std::vector<std::string> parts = Parts(folder);
    const std::size_t skip = Parts(path).size();
    if (parts.size() <= skip) return {TInstallFolderState::Failed, "a drive's root"};
    bool created = false;
    for (std::size_t i = skip; i < parts.size(); ++i) {
        path += parts[i] + "\\";
        created = security.CreateFolder(path, TFolderRights::ProgramFilesLike);
        if (!created && !security.Read(path).exists) return {TInstallFolderState::Failed, "cannot create " + path};
    }
    if (created) return {TInstallFolderState::Ready, "created"};
    const TTrustVerdict verdict = Judge(security, path);
    return {verdict.trusted ? TInstallFolderState::Ready : TInstallFolderState::Untrusted, verdict.reason};
}
