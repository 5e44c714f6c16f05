#pragma once
// Whether the elevated installer may trust a folder or a file: its security as plain
// data (read on Windows by FolderSecurity_win.cpp, made up by host tests) and the
// one rule that judges it. Portable; no system calls.
#include <cstdint>
#include <string>
#include <vector>

// Well-known trustees, as SID strings.
inline constexpr const char* kSidAdministrators = "S-1-5-32-544";
inline constexpr const char* kSidSystem = "S-1-5-18";
inline constexpr const char* kSidTrustedInstaller = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
inline constexpr const char* kSidCreatorOwner = "S-1-3-0";
inline constexpr const char* kSidEveryone = "S-1-1-0";
inline constexpr const char* kSidAuthenticatedUsers = "S-1-5-11";
inline constexpr const char* kSidUsers = "S-1-5-32-545";

// Access rights that let their holder change an object or what is in it (winnt.h
// values): write data / add file, append data / add subfolder, write extended
// attributes, delete child, write attributes, delete, WRITE_DAC, WRITE_OWNER,
// MAXIMUM_ALLOWED, GENERIC_ALL, GENERIC_WRITE.
inline constexpr std::uint32_t kAccessWriteData = 0x00000002;
inline constexpr std::uint32_t kAccessAppendData = 0x00000004;
inline constexpr std::uint32_t kAccessWriteEa = 0x00000010;
inline constexpr std::uint32_t kAccessDeleteChild = 0x00000040;
inline constexpr std::uint32_t kAccessWriteAttributes = 0x00000100;
inline constexpr std::uint32_t kAccessDelete = 0x00010000;
inline constexpr std::uint32_t kAccessWriteDac = 0x00040000;
inline constexpr std::uint32_t kAccessWriteOwner = 0x00080000;
inline constexpr std::uint32_t kAccessMaximumAllowed = 0x02000000;
inline constexpr std::uint32_t kAccessGenericAll = 0x10000000;
inline constexpr std::uint32_t kAccessGenericWrite = 0x40000000;
inline constexpr std::uint32_t kChangingRights = kAccessWriteData | kAccessAppendData | kAccessWriteEa |
                                                 kAccessDeleteChild | kAccessWriteAttributes | kAccessDelete |
                                                 kAccessWriteDac | kAccessWriteOwner | kAccessMaximumAllowed |
                                                 kAccessGenericAll | kAccessGenericWrite;

// ACE flags (winnt.h values).
inline constexpr std::uint8_t kAceObjectInherit = 0x01;
inline constexpr std::uint8_t kAceContainerInherit = 0x02;
inline constexpr std::uint8_t kAceNoPropagate = 0x04;
inline constexpr std::uint8_t kAceInheritOnly = 0x08;
inline constexpr std::uint8_t kAceInherited = 0x10;

enum class TAceKind {
    Allow,
    Deny,
    Other,  // any other type in a DACL (object, callback, compound ...): not understood
};

struct TAce {
    TAceKind kind = TAceKind::Allow;
    std::string trustee;  // SID string
    std::uint32_t mask = 0;
    std::uint8_t flags = 0;
};

struct TObjectSecurity {
    bool exists = false;
    bool folder = false;
    bool reparsePoint = false;  // a junction, a symbolic link or any other reparse point
    bool readable = false;      // owner and DACL could be read
    std::string owner;          // SID string
    bool nullDacl = false;      // no DACL, or a null one: everybody may do everything
    std::vector<TAce> aces;     // the DACL's entries, in order
};

struct TTrustVerdict {
    bool trusted = false;
    std::string reason;  // for the trace: what made it untrusted, or "trusted"
};

// Administrators, SYSTEM or TrustedInstaller.
bool IsTrustedOwner(const std::string& sid);

// Trusted when the object exists, is no reparse point, is owned by Administrators,
// SYSTEM or TrustedInstaller, has a DACL, and no allow entry gives anyone else any of
// kChangingRights. Deny entries are not credited: they never make an object
// trusted. CREATOR OWNER stands for whoever creates an object in a folder, and only
// those that the folder's other entries let create anything can become it, so its
// entries count as the creator's: in a folder only administrators may write to, an
// administrator. Inherit-only entries do not apply to the object itself but to what is
// created in it: for a folder they count (a package written into it would carry the
// grant); a file has nothing below it, so there they are ignored. An entry of a type
// not understood is untrusted.
TTrustVerdict JudgeSecurity(const TObjectSecurity& security);
