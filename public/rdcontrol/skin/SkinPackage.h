#pragma once
// Skin packages: plain folders whose files are addressed by ":/" paths
// (":/public/main.ini" is <folder>/public/main.ini).
//
// A ":/" path is a resource name, never a file-system path: it may not leave its
// package. Paths with ".." segments, backslashes, drive or stream colons, control
// characters or segments made only of dots and blanks are refused; so is a file
// that a symbolic link inside the package places outside it. Refused paths read as
// missing. Empty and "." segments are skipped (":/public//main.ini" is
// ":/public/main.ini"). Names are matched as the file system matches them.
//
// Blocking file reads; one thread. Plain values, cheap to copy.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TSkinPackage {
public:
    // The package in `folder` (a UTF-8 path), or nullopt when it is not a folder.
    static std::optional<TSkinPackage> Open(const std::string& folder);

    // The package called `name` in `baseFolder`: `name` as given, then, when it has
    // no extension, with ".rcc" and then ".dll" appended; the first that is a folder.
    // A relative name with ".." segments is refused (names also come from skin
    // files). An absolute name is used as it is when `allowAbsolute`, else refused.
    static std::optional<TSkinPackage> Resolve(const std::string& baseFolder, const std::string& name,
                                               bool allowAbsolute = true);

    // The folder as resolved (absolute, UTF-8).
    const std::string& Folder() const { return FFolder; }

    // The file's bytes; nullopt when it is missing, refused or unreadable.
    std::optional<std::string> ReadFile(std::string_view path) const;
    bool Exists(std::string_view path) const;
    // ":/" paths of the files under `prefix` (":/" for all), sorted, with "/"
    // separators. Links leading out of the package are left out.
    std::vector<std::string> List(std::string_view prefix) const;

private:
    std::string FFolder;
};

// The canonical form of a ":/" path ("public/main.ini", without ":/"), or nullopt
// when the path is refused (see above) or does not begin with ":/".
std::optional<std::string> NormalizeSkinPath(std::string_view path);

// The packages a style reads from: its own package first, then the public packages
// in the order given. The first package holding a file answers.
class TSkinPackageSet {
public:
    void Clear() {
        FOwn.reset();
        FPublic.clear();
    }
    void SetOwn(std::optional<TSkinPackage> package) { FOwn = std::move(package); }
    void AddPublic(TSkinPackage package) { FPublic.push_back(std::move(package)); }

    const std::optional<TSkinPackage>& Own() const { return FOwn; }
    const std::vector<TSkinPackage>& Public() const { return FPublic; }
    bool Empty() const { return !FOwn && FPublic.empty(); }
    // In search order.
    std::vector<const TSkinPackage*> Packages() const;

    std::optional<std::string> ReadFile(std::string_view path) const;
    bool Exists(std::string_view path) const;
    // The union of every package's List, sorted, each path once.
    std::vector<std::string> List(std::string_view prefix) const;

private:
    std::optional<TSkinPackage> FOwn;
    std::vector<TSkinPackage> FPublic;
};
