#pragma once
// Reading skin resources by path. A name beginning ":/" lives inside a skin package;
// any other name is relative to the skin folder. The application's hook is asked
// first; then, when loose files are allowed, a file of that name in the skin folder;
// then the skin package. TRdSkinStyle configures one for its skin (Resource()).
//
// Names come from skin files and may be hostile: a name that would leave the skin
// folder (".." segments, an absolute path, a drive or stream colon, backslashes,
// control characters; the rules of NormalizeSkinPath) is refused whole: Read
// answers nullopt without asking the hook, the disk or the package. A loose file
// that a link places outside the skin folder is not read either.
//
// Blocking file reads; one thread.
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using TResourceData = std::vector<std::uint8_t>;

class TResource {
public:
    // Answers for names it knows, nullopt to pass the name on.
    using Hook = std::function<std::optional<TResourceData>(const std::string& name)>;
    // Reads a ":/" path from a skin package, nullopt when it has no such file.
    using PackageReader = std::function<std::optional<TResourceData>(const std::string& name)>;

    // Defaults: no hook, loose files allowed, no skin folder, no package.
    void SetHook(Hook hook) { FHook = std::move(hook); }
    void SetLooseFilesAllowed(bool allowed) { FLooseFiles = allowed; }
    void SetSkinFolder(std::string folder) { FSkinFolder = std::move(folder); }
    void SetPackageReader(PackageReader reader) { FPackage = std::move(reader); }

    std::optional<TResourceData> Read(const std::string& name) const;

private:
    Hook FHook;
    PackageReader FPackage;
    std::string FSkinFolder;
    bool FLooseFiles = true;
};

// A name=value list for skin values.
class TRdValueStrings {
public:
    std::string Value(std::string_view name) const;
    void SetValue(std::string_view name, std::string_view value);
    const std::vector<std::string>& Lines() const { return FLines; }

    // Takes the lines of another list. A list whose entries carry objects cannot be
    // stored in a skin: throws std::invalid_argument("not support strings contain
    // object!!!") and keeps the current contents.
    void Assign(const std::vector<std::pair<std::string, const void*>>& entries);

private:
    std::vector<std::string> FLines;
};
