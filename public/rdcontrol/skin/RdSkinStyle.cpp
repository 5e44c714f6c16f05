#include "public/rdcontrol/skin/RdSkinStyle.h"

#include <filesystem>
#include <limits>
#include <unordered_set>

#include "os/Utf8Path.h"
#include "public/rdcontrol/base/NumberText.h"
#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextCodec.h"
#include "public/rdcontrol/base/TextLines.h"
#include "public/rdcontrol/ini/IniHashedStringList.h"
#include "public/rdcontrol/ini/IniSections.h"
#include "public/rdcontrol/skin/SkinProperties.h"

struct TSkinSubscription::TState {
    std::map<std::uint64_t, std::shared_ptr<TSkinNotifier::Callback>> Callbacks;
    std::uint64_t NextId = 1;
};

TSkinSubscription& TSkinSubscription::operator=(TSkinSubscription&& other) noexcept {
    if (this != &other) {
        Reset();
        FState = std::move(other.FState);
        FId = other.FId;
        other.FState.reset();
        other.FId = 0;
    }
    return *this;
}

void TSkinSubscription::Reset() {
    if (auto state = FState.lock()) state->Callbacks.erase(FId);
    FState.reset();
    FId = 0;
}

bool TSkinSubscription::Active() const {
    auto state = FState.lock();
    return state && state->Callbacks.count(FId) != 0;
}

TSkinNotifier::TSkinNotifier() : FState(std::make_shared<TSkinSubscription::TState>()) {}

TSkinSubscription TSkinNotifier::Subscribe(Callback callback) {
    TSkinSubscription subscription;
    const std::uint64_t id = FState->NextId++;
    FState->Callbacks.emplace(id, std::make_shared<Callback>(std::move(callback)));
    subscription.FState = FState;
    subscription.FId = id;
    return subscription;
}

void TSkinNotifier::Notify(TSkinStyleEvent event) {
    // The state and each callback are held while they run: a callback may
    // unsubscribe itself or others, or subscribe new ones (those wait for the next
    // notification).
    const std::shared_ptr<TSkinSubscription::TState> state = FState;
    std::vector<std::uint64_t> ids;
    ids.reserve(state->Callbacks.size());
    for (const auto& entry : state->Callbacks) ids.push_back(entry.first);
    for (std::uint64_t id : ids) {
        auto it = state->Callbacks.find(id);
        if (it == state->Callbacks.end()) continue;
        const std::shared_ptr<Callback> callback = it->second;
        if (*callback) (*callback)(event);
    }
}

std::string MainStyleExistsWarning(std::string_view unit, std::string_view name) {
    return std::string(kMainStyleExistsWarning) + std::string(unit) + "." + std::string(name) +
           kMainStyleExistsWarningEnd;
}

namespace {

TRdSkinStyle* gMainStyle = nullptr;

TSkinNotifier& MainNotifier() {
    static TSkinNotifier notifier;
    return notifier;
}

std::string Join(const std::vector<std::string>& items, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += separator;
        out += items[i];
    }
    return out;
}

void SetOrdered(std::vector<std::pair<std::string, std::string>>& values, std::string_view key,
                std::string_view value) {
    for (auto& entry : values)
        if (SameTextNoCase(entry.first, key)) {
            entry.second = std::string(value);
            return;
        }
    values.emplace_back(std::string(key), std::string(value));
}

std::optional<std::string> TakeValue(std::vector<std::pair<std::string, std::string>>& values, std::string_view key) {
    for (auto it = values.begin(); it != values.end(); ++it)
        if (SameTextNoCase(it->first, key)) {
            std::string value = std::move(it->second);
            values.erase(it);
            return value;
        }
    return std::nullopt;
}

// The colour of a color_setting.ini entry; nullopt when unreadable.
std::optional<TColor> ParseColorSetting(std::string_view text, bool rgbOrder) {
    text = TrimBlanks(text);
    if (text.empty()) return std::nullopt;
    if (text.find(',') != std::string_view::npos) {
        int parts[3];
        int count = 0;
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find(',', start);
            if (end == std::string_view::npos) end = text.size();
            const auto part = ParseInteger(TrimBlanks(text.substr(start, end - start)));
            if (count == 3 || !part || *part < 0 || *part > 255) return std::nullopt;
            parts[count++] = static_cast<int>(*part);
            start = end + 1;
        }
        if (count != 3) return std::nullopt;
        const auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
        return rgbOrder ? RGB(byte(parts[0]), byte(parts[1]), byte(parts[2]))
                        : RGB(byte(parts[2]), byte(parts[1]), byte(parts[0]));
    }
    if (auto named = ColorFromIdent(text)) return named;
    std::optional<long long> number =
        text.front() == '#' ? ParseInteger("$" + std::string(text.substr(1))) : ParseInteger(text);
    if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
        *number > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(*number);
    if (!rgbOrder) return static_cast<TColor>(bits);
    if (bits > 0xFFFFFF) return std::nullopt;
    return RGB(static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 8),
               static_cast<std::uint8_t>(bits));
}

}  // namespace

TRdSkinStyle::TRdSkinStyle() {
    // The packages answer what the hook and the loose files do not; a name without
    // ":/" is relative to the skin folder, which the packages address as ":/".
    FResource.SetLooseFilesAllowed(false);
    FResource.SetPackageReader([this](const std::string& name) -> std::optional<TResourceData> {
        const auto bytes = FPackages.ReadFile(name.rfind(":/", 0) == 0 ? name : ":/" + name);
        if (!bytes) return std::nullopt;
        return TResourceData(bytes->begin(), bytes->end());
    });
}

std::optional<std::string> TRdSkinStyle::ReadFile(std::string_view path) const {
    const auto data = FResource.Read(std::string(path));
    if (!data) return std::nullopt;
    return std::string(data->begin(), data->end());
}

void TRdSkinStyle::SetLooseFilesAllowed(bool allowed) {
    FLooseFiles = allowed;
    FResource.SetLooseFilesAllowed(allowed);
}

void TRdSkinStyle::SetResourceHook(TResource::Hook hook) { FResource.SetHook(std::move(hook)); }

TRdSkinStyle::~TRdSkinStyle() {
    if (gMainStyle == this) {
        gMainStyle = nullptr;
        MainNotifier().Notify(TSkinStyleEvent::MainChanged);
    }
    FNotifier.Notify(TSkinStyleEvent::Destroyed);
    Unload();
}

TRdSkinStyle* TRdSkinStyle::MainStyle() { return gMainStyle; }

TSkinSubscription TRdSkinStyle::SubscribeMain(TSkinNotifier::Callback callback) {
    return MainNotifier().Subscribe(std::move(callback));
}

bool TRdSkinStyle::SetMainSkin(bool value) {
    if (!value) {
        if (gMainStyle == this) {
            gMainStyle = nullptr;
            MainNotifier().Notify(TSkinStyleEvent::MainChanged);
        }
        return true;
    }
    if (gMainStyle == this) return true;
    if (gMainStyle) {
        Log(MainStyleExistsWarning(gMainStyle->UnitName(), gMainStyle->Name()));
        return false;
    }
    gMainStyle = this;
    MainNotifier().Notify(TSkinStyleEvent::MainChanged);
    return true;
}

std::string TRdSkinStyle::CurMainStyle() const { return gMainStyle ? gMainStyle->Name() : std::string(); }

std::string TRdSkinStyle::CurSkinPath() const {
    const std::filesystem::path runtime = Utf8Path(FRuntimePath);
    if (runtime.is_absolute() || FProgramFolder.empty()) return FRuntimePath;
    return PathUtf8(Utf8Path(FProgramFolder) / runtime);
}

void TRdSkinStyle::SetProgramFolder(std::string folder) {
    if (folder == FProgramFolder) return;
    FProgramFolder = std::move(folder);
    Changed();
}

void TRdSkinStyle::SetRuntimePath(std::string path) {
    if (path == FRuntimePath) return;
    FRuntimePath = std::move(path);
    Changed();
}

void TRdSkinStyle::SetPublicRccFiles(std::vector<std::string> files) {
    if (files == FPublicRccFiles) return;
    FPublicRccFiles = std::move(files);
    Changed();
}

void TRdSkinStyle::SetSkinRccFile(std::string file) {
    if (file == FSkinRccFile) return;
    FSkinRccFile = std::move(file);
    Changed();
}

void TRdSkinStyle::Changed() {
    if (FUpdating > 0) {
        FChangedWhileUpdating = true;
        return;
    }
    Reload();
}

void TRdSkinStyle::EndUpdate() {
    if (FUpdating > 0 && --FUpdating == 0 && FChangedWhileUpdating) {
        FChangedWhileUpdating = false;
        Reload();
    }
}

std::string TRdSkinStyle::RccLogFields() const {
    return "Style:" + FName + ", Rdg:" + std::to_string(FClasses.size()) + ", public:" + Join(FPublicRccFiles, ",") +
           ", rcc:" + FSkinRccFile + ", path:" + CurSkinPath();
}

void TRdSkinStyle::Unload() {
    if (!FLoaded) return;
    // Logged with the fields as they were when loaded; a setter may already have
    // changed the names.
    if (FLogging) Log("Rcc.UnloadCache, " + FLoadedFields);
    FLoaded = false;
    FPackages.Clear();
    FCurSkinRccFile.clear();
    FClasses.clear();
    FClassIndex.clear();
    FColors.clear();
    FColorIndex.clear();
    FValueCache.clear();
    FClassPackages.clear();
}

void TRdSkinStyle::Reload() {
    Unload();
    Load();
    FNotifier.Notify(TSkinStyleEvent::Reloaded);
    if (gMainStyle == this) MainNotifier().Notify(TSkinStyleEvent::Reloaded);
}

void TRdSkinStyle::Load() {
    const std::string path = CurSkinPath();
    FResource.SetSkinFolder(path);
    if (!FSkinRccFile.empty()) {
        if (auto package = TSkinPackage::Resolve(path, FSkinRccFile)) {
            FCurSkinRccFile = package->Folder();
            FPackages.SetOwn(std::move(package));
        } else {
            Log("skin package not found: " + FSkinRccFile + " (in " + path + ")");
        }
    }
    for (const std::string& name : FPublicRccFiles) {
        if (name.empty()) continue;
        if (auto package = TSkinPackage::Resolve(path, name))
            FPackages.AddPublic(std::move(*package));
        else
            Log("skin package not found: " + name + " (in " + path + ")");
    }

    // Lowest priority first, so that what the search finds first wins.
    const std::vector<const TSkinPackage*> packages = FPackages.Packages();
    for (auto it = packages.rbegin(); it != packages.rend(); ++it) {
        MergeClassFile(**it, ":/public/main.ini", true);
        for (const char* colorFile : {":/public/color_setting.ini", ":/color_setting.ini"})
            if (auto bytes = (*it)->ReadFile(colorFile)) MergeColorFile(*bytes, colorFile);
    }
    FLoaded = true;
    FLoadedFields = RccLogFields();
    if (FLogging) Log("Rcc.ReloadCache, " + FLoadedFields);
}

TRdSkinStyle::TClassSection& TRdSkinStyle::ClassSection(std::string_view name) {
    std::string key = FoldCase(name);
    auto it = FClassIndex.find(key);
    if (it != FClassIndex.end()) return FClasses[it->second];
    FClassIndex.emplace(std::move(key), FClasses.size());
    FClasses.push_back(TClassSection{std::string(name), {}});
    return FClasses.back();
}

void TRdSkinStyle::MergeClassFile(const TSkinPackage& package, std::string_view path, bool followIncludes) {
    const std::optional<std::string> bytes = package.ReadFile(path);
    if (!bytes) {
        if (!followIncludes) Log("skin file not found: " + std::string(path) + " (in " + package.Folder() + ")");
        return;
    }
    TIniSections ini;
    ini.LoadFromText(DecodeText(*bytes).utf8);
    for (const std::string& section : ini.SectionNames()) {
        if (SameTextNoCase(section, "include")) continue;
        TClassSection& target = ClassSection(section);
        for (const std::string& line : ini.SectionLines(section)) {
            if (line.find('=') == std::string::npos) continue;
            SetOrdered(target.Values, TIniHashedStringList::NameOf(line), TIniHashedStringList::ValueOf(line));
        }
    }
    if (!followIncludes) return;
    for (const std::string& line : ini.SectionLines("include")) {
        std::string file(TrimBlanks(line.find('=') == std::string::npos ? std::string_view(line)
                                                                         : TIniHashedStringList::ValueOf(line)));
        if (file.empty()) continue;
        if (file.rfind(":/", 0) != 0) file = ":/public/" + file;
        MergeClassFile(package, file, false);
    }
}

void TRdSkinStyle::MergeColorFile(std::string_view bytes, std::string_view path) {
    TIniSections ini;
    ini.LoadFromText(DecodeText(bytes).utf8);
    for (const std::string& name : ini.SectionNames()) {
        const std::string type = ini.Value(name, "type").value_or("BGR");
        const bool rgb = SameTextNoCase(type, "RGB");
        if (!rgb && !SameTextNoCase(type, "BGR")) {
            Log("colour setting " + name + " in " + std::string(path) + ": unknown type " + type);
            continue;
        }
        const std::optional<TColor> color = ParseColorSetting(ini.Value(name, "value").value_or(""), rgb);
        if (!color) {
            Log("colour setting " + name + " in " + std::string(path) + ": no readable value");
            continue;
        }
        bool validate = true;
        if (auto text = ini.Value(name, "validate")) {
            if (auto flag = ParseBoolean(*text))
                validate = *flag;
            else
                validate = !SameTextNoCase(*text, "False");
        }
        std::string key = FoldCase(name);
        auto it = FColorIndex.find(key);
        if (it != FColorIndex.end()) FColors.erase(it->second);
        FColorIndex[key] = name;
        FColors[name] = TSkinColorSetting{*color, validate};
    }
}

std::optional<TColor> TRdSkinStyle::ColorSetting(std::string_view name) const {
    auto it = FColorIndex.find(FoldCase(name));
    if (it == FColorIndex.end()) return std::nullopt;
    const TSkinColorSetting& setting = FColors.at(it->second);
    if (!setting.Validate) return std::nullopt;
    return setting.Color;
}

std::vector<std::string> TRdSkinStyle::ClassNames() const {
    std::vector<std::string> out;
    for (const TClassSection& c : FClasses) out.push_back(c.Name);
    return out;
}

const TSkinClassValues& TRdSkinStyle::ClassValues(std::string_view skinClass) const {
    const std::string key = FoldCase(skinClass);
    if (auto cached = FValueCache.find(key); cached != FValueCache.end()) return cached->second;

    std::vector<const TClassSection*> chain;
    std::unordered_set<std::string> seen;
    std::string current(skinClass);
    while (!current.empty()) {
        std::string folded = FoldCase(current);
        if (!seen.insert(folded).second) {
            Log("skin class " + std::string(skinClass) + ": parent cycle at " + current + ", cut there");
            break;
        }
        auto it = FClassIndex.find(folded);
        if (it == FClassIndex.end()) {
            if (!chain.empty()) Log("skin class " + std::string(skinClass) + ": parent not found: " + current);
            break;
        }
        const TClassSection& section = FClasses[it->second];
        chain.push_back(&section);
        current.clear();
        for (const auto& [name, value] : section.Values)
            if (SameTextNoCase(name, "parent")) current = value;
    }

    TSkinClassValues result;
    result.Found = !chain.empty();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const auto& [name, value] : (*it)->Values)
            if (!SameTextNoCase(name, "parent")) SetOrdered(result.Values, name, value);
    result.ControlClass = TakeValue(result.Values, "class").value_or("");
    result.SkinRcc = TakeValue(result.Values, "SkinRcc").value_or("");
    return FValueCache.emplace(key, std::move(result)).first->second;
}

const TSkinPackage* TRdSkinStyle::ClassPackage(const std::string& name) const {
    if (name.empty()) return nullptr;
    const std::string key = FoldCase(name);
    auto it = FClassPackages.find(key);
    if (it == FClassPackages.end()) {
        // Named by a skin file: never absolute, never outside the skin folder.
        std::optional<TSkinPackage> package = TSkinPackage::Resolve(CurSkinPath(), name, false);
        if (!package) Log("skin package not found: " + name + " (in " + CurSkinPath() + ")");
        it = FClassPackages.emplace(key, std::move(package)).first;
    }
    return it->second ? &*it->second : nullptr;
}
