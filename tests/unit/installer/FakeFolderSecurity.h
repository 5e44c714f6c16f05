#pragma once
// A made-up file system of folders and files with their security, for the folder
// checks: what exists, who owns it, its entries, which calls the system refuses, and
// a log of every change made to it.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Installer/Downloader/platform/FolderSecurity.h"

inline TAce Allow(const std::string& sid, std::uint32_t mask, std::uint8_t flags = 0) {
    return {TAceKind::Allow, sid, mask, flags};
}
inline TAce Deny(const std::string& sid, std::uint32_t mask, std::uint8_t flags = 0) {
    return {TAceKind::Deny, sid, mask, flags};
}

constexpr std::uint32_t kFullAccess = 0x001f01ff;
constexpr std::uint32_t kReadExecute = 0x001200a9;
constexpr std::uint8_t kInherit = kAceObjectInherit | kAceContainerInherit;
inline const std::string kSomeUser = "S-1-5-21-1004336348-1177238915-682003330-1001";

// As TFolderRights::AdministratorsOnly gives it, on a folder or a file.
inline TObjectSecurity AdminsOnly(bool folder = true) {
    TObjectSecurity s;
    s.exists = s.readable = true;
    s.folder = folder;
    s.owner = kSidAdministrators;
    s.aces = {Allow(kSidAdministrators, kFullAccess, kInherit), Allow(kSidSystem, kFullAccess, kInherit)};
    return s;
}

// What a user leaves: owned by the user, who has full access.
inline TObjectSecurity UserOwned(bool folder = true) {
    TObjectSecurity s = AdminsOnly(folder);
    s.owner = kSomeUser;
    s.aces.push_back(Allow(kSomeUser, kFullAccess, kInherit));
    return s;
}

inline TObjectSecurity Link(bool folder = true) {
    TObjectSecurity s = UserOwned(folder);
    s.reparsePoint = true;
    return s;
}

class FakeFolderSecurity final : public TFolderSecurity {
public:
    std::map<std::string, TObjectSecurity> objects;  // path without a trailing backslash
    std::set<std::string> refuseCreate, refuseTakeOver, refuseRemove;
    std::vector<std::string> log;
    std::string random = "00112233445566778899aabbccddeeff";

    static std::string Key(std::string path) {
        while (path.size() > 3 && path.back() == '\\') path.pop_back();
        return path;
    }

    TObjectSecurity Read(const std::string& path) override {
        const auto it = objects.find(Key(path));
        return it == objects.end() ? TObjectSecurity{} : it->second;
    }
    bool CreateFolder(const std::string& path, TFolderRights rights) override {
        const std::string key = Key(path);
        if (objects.count(key) || refuseCreate.count(key)) return false;
        TObjectSecurity s = AdminsOnly();
        if (rights == TFolderRights::ProgramFilesLike) s.aces.push_back(Allow(kSidUsers, kReadExecute, kInherit));
        objects[key] = s;
        log.push_back(std::string("create ") + key +
                      (rights == TFolderRights::AdministratorsOnly ? " admins-only" : " program-files-like"));
        return true;
    }
    bool TakeOver(const std::string& path, TFolderRights) override {
        const std::string key = Key(path);
        if (!objects.count(key) || refuseTakeOver.count(key)) return false;
        const bool folder = objects[key].folder;
        const bool link = objects[key].reparsePoint;
        objects[key] = AdminsOnly(folder);
        objects[key].reparsePoint = link;
        log.push_back("take over " + key);
        return true;
    }
    bool Remove(const std::string& path) override {
        const std::string key = Key(path);
        if (refuseRemove.count(key)) return false;
        for (auto it = objects.begin(); it != objects.end();)
            it = it->first == key || it->first.rfind(key + "\\", 0) == 0 ? objects.erase(it) : std::next(it);
        log.push_back("remove " + key);
        return true;
    }
    std::vector<std::string> List(const std::string& folder) override {
        const std::string prefix = Key(folder) + "\\";
        std::vector<std::string> names;
        for (const auto& [path, s] : objects)
            if (path.rfind(prefix, 0) == 0 && path.find('\\', prefix.size()) == std::string::npos)
                names.push_back(path.substr(prefix.size()));
        return names;
    }
    std::string RandomHex128() override { return random; }
    std::string DescriptorText(const std::string& path) override {
        return objects.count(Key(path)) ? "O:" + objects[Key(path)].owner : "";
    }
};
