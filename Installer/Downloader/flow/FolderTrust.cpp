#include "Installer/Downloader/flow/FolderTrust.h"

#include <cstdio>

namespace {

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

bool IsTrustedTrustee(const std::string& sid) { return IsTrustedOwner(sid) || sid == kSidCreatorOwner; }

}  // namespace

bool IsTrustedOwner(const std::string& sid) {
    return sid == kSidAdministrators || sid == kSidSystem || sid == kSidTrustedInstaller;
}

TTrustVerdict JudgeSecurity(const TObjectSecurity& s) {
    if (!s.exists) return {false, "missing"};
    if (s.reparsePoint) return {false, "reparse point"};
    if (!s.readable) return {false, "security unreadable"};
    if (!IsTrustedOwner(s.owner)) return {false, "owner " + (s.owner.empty() ? "unknown" : s.owner)};
    if (s.nullDacl) return {false, "null DACL"};
    for (const TAce& ace : s.aces) {
        if (ace.kind == TAceKind::Deny) continue;
        if (ace.kind == TAceKind::Other) return {false, "ACE of another type for " + ace.trustee};
        if (!s.folder && (ace.flags & kAceInheritOnly)) continue;
        const std::uint32_t changing = ace.mask & kChangingRights;
        if (changing && !IsTrustedTrustee(ace.trustee))
            return {false, ace.trustee + " may change it (" + Hex(changing) + ")"};
    }
    return {true, "trusted"};
}
