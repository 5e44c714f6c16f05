#include "Installer/Downloader/platform/FolderSecurity_win.h"
#include "public/rdcontrol/base/HexText.h"

#include <windows.h>
#include <aclapi.h>
#include <bcrypt.h>
#include <sddl.h>

#include <memory>

#include "os/TextConvert.h"
#include "os/WinHandles.h"

namespace {

// Deep enough for anything the installer's folders hold; a deeper tree is not ours.
constexpr int kMaxRemoveDepth = 32;

struct LocalFreer {
    void operator()(void* p) const { LocalFree(p); }
};
using LocalMemory = std::unique_ptr<void, LocalFreer>;

// Without its trailing separator ("C:\" keeps it): CreateFileW wants a folder's
// name, not the folder's contents.
std::wstring Native(const std::string& path) {
    std::wstring w = Widen(path);
    while (w.size() > 3 && (w.back() == L'\\' || w.back() == L'/')) w.pop_back();
    return w;
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

LocalMemory Descriptor(TFolderRights rights) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(FolderRightsText(rights), SDDL_REVISION_1, &sd, nullptr))
        return nullptr;
    return LocalMemory(sd);
}

std::string SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!sid || !ConvertSidToStringSidW(sid, &text)) return {};
    std::string result = Narrow(text);
    LocalFree(text);
    return result;
}

std::string OwnUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    UniqueHandle hold(token);
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)) return {};
    return SidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
}

// Opened as what is at `path` itself: a link is not followed. Others may go on
// reading, writing and deleting unless `shareDelete` is false, which also keeps
// anybody from renaming it while the handle is open.
UniqueHandle OpenNoFollow(const std::wstring& path, DWORD access, bool shareDelete = true) {
    HANDLE h = CreateFileW(path.c_str(), access,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | (shareDelete ? FILE_SHARE_DELETE : 0), nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// The attributes of the open object, together with those the path reports: Wine
// opens the target of a Unix symbolic link even when asked not to, and only its path
// attributes tell the link. On Windows both agree.
DWORD Attributes(HANDLE h, DWORD pathAttributes) {
    DWORD attributes = 0;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag))
        attributes = tag.FileAttributes;
    else if (GetFileInformationByHandle(h, &info))
        attributes = info.dwFileAttributes;
    if (pathAttributes != INVALID_FILE_ATTRIBUTES) attributes |= pathAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes;
}

// Taking over and removing what others own needs the rights to take ownership and to
// write past a DACL; enabled only while they are needed.
class TPrivileges {
public:
    TPrivileges() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
        FToken.reset(token);
        struct {
            DWORD count;
            LUID_AND_ATTRIBUTES privileges[3];
        } wanted{};
        const wchar_t* names[] = {SE_TAKE_OWNERSHIP_NAME, SE_RESTORE_NAME, SE_BACKUP_NAME};
        for (const wchar_t* name : names) {
            LUID luid{};
            if (!LookupPrivilegeValueW(nullptr, name, &luid)) continue;
            wanted.privileges[wanted.count++] = {luid, SE_PRIVILEGE_ENABLED};
        }
        DWORD size = sizeof FPrevious;
        FChanged = AdjustTokenPrivileges(token, FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&wanted), size,
                                         reinterpret_cast<TOKEN_PRIVILEGES*>(&FPrevious), &size);
    }
    ~TPrivileges() {
        if (FChanged) AdjustTokenPrivileges(FToken.get(), FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&FPrevious), 0,
                                            nullptr, nullptr);
    }
    TPrivileges(const TPrivileges&) = delete;
    TPrivileges& operator=(const TPrivileges&) = delete;

private:
    UniqueHandle FToken;
    struct {
        DWORD count;
        LUID_AND_ATTRIBUTES privileges[3];
    } FPrevious{};
    BOOL FChanged = FALSE;
};

std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return names;
    UniqueFindHandle hold(find);
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &found));
    return names;
}

bool RemoveLink(const std::wstring& path, DWORD attributes) {
    // Both calls act on the name itself; RemoveDirectoryW takes a folder link
    // (junction), DeleteFileW a file link, and under Wine a Unix symbolic link.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && RemoveDirectoryW(path.c_str())) return true;
    return DeleteFileW(path.c_str()) != 0;
}

bool RemoveNoFollow(const std::wstring& path, int depth) {
    const DWORD pathAttributes = GetFileAttributesW(path.c_str());
    if (pathAttributes == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError());
    if (pathAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveLink(path, pathAttributes);
    // Held without sharing deletion while it is emptied: nobody renames it or puts a
    // link in its place meanwhile.
    UniqueHandle h = OpenNoFollow(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, false);
    if (!h) return false;
    const DWORD attributes = Attributes(h.get(), pathAttributes);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        h.reset();
        return RemoveLink(path, attributes);
    }
    bool ok = true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (depth >= kMaxRemoveDepth) return false;
        for (const std::wstring& name : Names(path)) ok = RemoveNoFollow(path + L"\\" + name, depth + 1) && ok;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = (attributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(h.get(), FileBasicInfo, &basic, sizeof basic);
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(h.get(), FileDispositionInfo, &disposition, sizeof disposition) && ok;
}

class WinFolderSecurity final : public TFolderSecurity {
public:
    TObjectSecurity Read(const std::string& path) override {
        TObjectSecurity s = ReadSecurityAsReported(path);
        if (!RunsUnderWine()) return s;
        static const std::string wineUser = OwnUserSid();
        if (wineUser.empty()) return s;
        if (s.owner == wineUser) s.owner = kSidAdministrators;
        for (TAce& ace : s.aces)
            if (ace.trustee == wineUser) ace.trustee = kSidAdministrators;
        return s;
    }

    bool CreateFolder(const std::string& path, TFolderRights rights) override {
        LocalMemory sd = Descriptor(rights);
        if (!sd) return false;
        SECURITY_ATTRIBUTES attributes{sizeof attributes, sd.get(), FALSE};
        return CreateDirectoryW(Native(path).c_str(), &attributes) != 0;
    }

    bool TakeOver(const std::string& path, TFolderRights rights) override {
        LocalMemory sd = Descriptor(rights);
        if (!sd) return false;
        TPrivileges privileges;
        UniqueHandle h = OpenNoFollow(Native(path), WRITE_OWNER | WRITE_DAC | READ_CONTROL);
        // On the handle alone: unlike SetSecurityInfo, nothing is carried down into
        // what the folder holds (which could lead through a link elsewhere).
        return h && SetKernelObjectSecurity(h.get(),
                                            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                                PROTECTED_DACL_SECURITY_INFORMATION,
                                            sd.get());
    }

    bool Remove(const std::string& path) override {
        TPrivileges privileges;
        return RemoveNoFollow(Native(path), 0);
    }

    std::vector<std::string> List(const std::string& folder) override {
        std::vector<std::string> names;
        for (const std::wstring& name : Names(Native(folder))) names.push_back(Narrow(name));
        return names;
    }

    std::string RandomHex128() override {
        unsigned char bytes[16];
        if (BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) return {};
        return LowerHex(bytes, sizeof bytes);
    }

    std::string DescriptorText(const std::string& path) override {
        UniqueHandle h = OpenNoFollow(Native(path), READ_CONTROL);
        PSECURITY_DESCRIPTOR sd = nullptr;
        if (!h || GetSecurityInfo(h.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, nullptr, nullptr, &sd) != ERROR_SUCCESS)
            return {};
        LocalMemory hold(sd);
        LPWSTR text = nullptr;
        if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(
                sd, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, nullptr))
            return {};
        std::string result = Narrow(text);
        LocalFree(text);
        return result;
    }
};

}  // namespace

const wchar_t* FolderRightsText(TFolderRights rights) {
    switch (rights) {
        case TFolderRights::AdministratorsOnly: return L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
        case TFolderRights::ProgramFilesLike: return L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";
    }
    return L"O:BAD:P";
}

bool RunsUnderWine() {
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

TObjectSecurity ReadSecurityAsReported(const std::string& path) {
    TObjectSecurity s;
    const std::wstring w = Native(path);
    const DWORD pathAttributes = GetFileAttributesW(w.c_str());
    UniqueHandle h = OpenNoFollow(w, READ_CONTROL | FILE_READ_ATTRIBUTES);
    if (!h) {
        if (pathAttributes == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError())) return s;
        // There, but not to be opened: judged by what its path tells, unreadable.
        s.exists = true;
        if (pathAttributes != INVALID_FILE_ATTRIBUTES) {
            s.folder = pathAttributes & FILE_ATTRIBUTE_DIRECTORY;
            s.reparsePoint = pathAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        }
        return s;
    }
    s.exists = true;
    const DWORD attributes = Attributes(h.get(), pathAttributes);
    s.folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    s.reparsePoint = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetSecurityInfo(h.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                        nullptr, nullptr, nullptr, &sd) != ERROR_SUCCESS)
        return s;
    LocalMemory hold(sd);
    const TObjectSecurity read = SecurityOfDescriptor(sd);
    s.owner = read.owner;
    s.readable = read.readable;
    s.nullDacl = read.nullDacl;
    s.aces = read.aces;
    return s;
}

TObjectSecurity SecurityOfDescriptor(void* descriptor) {
    TObjectSecurity s;
    s.exists = true;
    PSECURITY_DESCRIPTOR sd = descriptor;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    if (!sd || !GetSecurityDescriptorOwner(sd, &owner, &defaulted)) return s;
    s.owner = SidText(owner);
    s.readable = !s.owner.empty();
    if (!GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted)) {
        s.readable = false;
        return s;
    }
    s.nullDacl = !present || !dacl;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&header))) {
            s.readable = false;
            break;
        }
        TAce ace;
        ace.flags = header->AceFlags;
        switch (header->AceType) {
            case ACCESS_ALLOWED_ACE_TYPE:
            case ACCESS_DENIED_ACE_TYPE: {
                // Both entries share one layout: header, mask, SID.
                auto* entry = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
                ace.kind = header->AceType == ACCESS_ALLOWED_ACE_TYPE ? TAceKind::Allow : TAceKind::Deny;
                ace.mask = entry->Mask;
                ace.trustee = SidText(&entry->SidStart);
                break;
            }
            default:
                // Object, callback and compound entries: not understood, so never trusted.
                ace.kind = TAceKind::Other;
                ace.trustee = "ACE type " + std::to_string(header->AceType);
                break;
        }
        s.aces.push_back(ace);
    }
    return s;
}

TFolderSecurity& WindowsFolderSecurity() {
    static WinFolderSecurity instance;
    return instance;
}
