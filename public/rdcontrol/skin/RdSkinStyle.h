#pragma once
// TRdSkinStyle: where a window's skin comes from. It names the skin packages
// (folders, see SkinPackage.h), reads their class sections and colour settings,
// answers ":/" file reads for the image cache, and tells its subscribers (the
// per-control TRdSkinClass objects) when the skin changes.
//
// Packages. SkinRccFile and every PublicRccFiles entry are resolved against
// CurSkinPath: RuntimePath ("skin" by default) taken relative to ProgramFolder, or
// as it is when absolute (or when no program folder is set). Reads search the
// style's own package first, then the public packages in the order listed.
//
// What is read on every reload, from every package, the lowest in the search order
// first so that a package found earlier overrides a later one key by key:
//  - ":/public/main.ini": its sections are skin classes. Its section [include]
//    lists further INI files of the same package whose sections are skin classes
//    too (each line "name=path" or just "path"; a path without ":/" is taken below
//    ":/public/"); they are read in the order listed, after main.ini, and an
//    [include] section inside them is not followed. "include" is therefore not a
//    skin class name.
//  - ":/public/color_setting.ini" and then ":/color_setting.ini": each section is
//    one named colour with the keys "value" (decimal, "$"/"#" hexadecimal, or three
//    components "a,b,c"), "type" ("RGB": the value or components are in red, green,
//    blue order, as picture tools give them; "BGR", the default: blue in the high
//    byte, as TColor is) and "validate" ("0" or "False" switches the entry off; on
//    by default). An entry without a readable value is left out and logged.
//
// A skin class section holds "Property=value" lines in form-description syntax
// (SkinValue.h). Three keys are the skin's own, never applied to a control:
//  - "parent": a section whose values this one inherits; the child wins, a missing
//    parent ends the chain, a cycle is cut where it closes (both logged);
//  - "class": the control class the section is for ("TRdImageButton"); applied only
//    to controls whose property table names that class (or names none);
//  - "SkinRcc": a package (resolved like PublicRccFiles, but never absolute and
//    never outside CurSkinPath) whose files the class's pictures are read from
//    before the style's own packages.
// All three are inherited like other keys.
//
// A missing package is not an error: the style works with what it found (perhaps
// nothing) and controls keep their own properties; each missing package is noted
// through OnLog.
//
// Main style: at most one style in the process is the main style; skin classes
// without a style of their own follow it. SetMainSkin(true) on a second style is
// refused (MainSkin stays False) and logged with kMainStyleExistsWarning.
//
// Logging: OnLog receives every diagnostic (missing packages, invalid values,
// broken parent chains, a refused main style). The "Rcc.ReloadCache" and
// "Rcc.UnloadCache" lines are sent only while Logging() is on; their "Rdg:" field
// is the number of skin classes read.
//
// Reloads run synchronously inside the setter that changed the packages (or in
// EndUpdate after a batch); they read small files, blocking. One thread (the UI
// thread). Not copyable.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "public/rdcontrol/drawing/Color.h"
#include "public/rdcontrol/drawing/RdFont.h"
#include "public/rdcontrol/skin/PWebRes.h"
#include "public/rdcontrol/skin/SkinPackage.h"

// What a style tells its subscribers.
enum class TSkinStyleEvent : std::uint8_t {
    Reloaded,     // the skin's values may have changed: apply them again
    Destroyed,    // the style is going away: forget any pointer to it
    MainChanged,  // (main-style subscribers only) another style is now the main style, or none
};

class TSkinNotifier;

// A subscription to a style's events, ended when this object is destroyed or
// reset. Outliving the style is harmless: it then does nothing. Move-only.
class TSkinSubscription {
public:
    TSkinSubscription() = default;
    ~TSkinSubscription() { Reset(); }
    TSkinSubscription(TSkinSubscription&& other) noexcept { *this = std::move(other); }
    TSkinSubscription& operator=(TSkinSubscription&& other) noexcept;
    TSkinSubscription(const TSkinSubscription&) = delete;
    TSkinSubscription& operator=(const TSkinSubscription&) = delete;

    void Reset();
    bool Active() const;

private:
    friend class TSkinNotifier;
    struct TState;
    std::weak_ptr<TState> FState;
    std::uint64_t FId = 0;
};

// A list of callbacks that may subscribe and unsubscribe, even from inside a call.
class TSkinNotifier {
public:
    using Callback = std::function<void(TSkinStyleEvent event)>;
    TSkinNotifier();
    TSkinSubscription Subscribe(Callback callback);
    // Calls every callback subscribed when Notify starts and still subscribed when
    // its turn comes.
    void Notify(TSkinStyleEvent event);

private:
    std::shared_ptr<TSkinSubscription::TState> FState;
};

// The values of one skin class after inheritance, in application order (the
// farthest ancestor's keys first; a child's value replaces its parent's in place).
struct TSkinClassValues {
    bool Found = false;
    std::vector<std::pair<std::string, std::string>> Values;  // without the skin's own keys
    std::string ControlClass;                                 // "class"
    std::string SkinRcc;                                      // "SkinRcc"
};

// A named colour of color_setting.ini.
struct TSkinColorSetting {
    TColor Color = 0;
    bool Validate = true;
};

// Texts of the designer. At run time the refusal of a second main style logs the
// first (through MainStyleExistsWarning); the missing-library warning is never
// shown: a missing package is only noted through OnLog.
inline constexpr const char* kMainStyleExistsWarning = "warning: main.SkinStyle exists! must close unit: ";
inline constexpr const char* kMainStyleExistsWarningEnd = ",\r\n\r\nand Re-open Current Form !!";
inline constexpr const char* kSkinLibraryMissingWarning = "warning: webres.dll not found!\r\n";

// "warning: main.SkinStyle exists! must close unit: " + unit + "." + name + ",\r\n\r\nand Re-open Current Form !!"
std::string MainStyleExistsWarning(std::string_view unit, std::string_view name);

class TRdSkinStyle {
public:
    TRdSkinStyle();
    // Gives up the main-style role, logs the unload, tells subscribers Destroyed.
    ~TRdSkinStyle();
    TRdSkinStyle(const TRdSkinStyle&) = delete;
    TRdSkinStyle& operator=(const TRdSkinStyle&) = delete;

    // The process's main style, or nullptr.
    static TRdSkinStyle* MainStyle();
    // Events of whichever style is the main one (Reloaded, Destroyed, MainChanged).
    static TSkinSubscription SubscribeMain(TSkinNotifier::Callback callback);

    // The component's name and its form's unit, for log lines and the main-style warning.
    const std::string& Name() const { return FName; }
    void SetName(std::string name) { FName = std::move(name); }
    const std::string& UnitName() const { return FUnitName; }
    void SetUnitName(std::string name) { FUnitName = std::move(name); }

    // The folder RuntimePath is relative to (the program's folder). Reloads.
    const std::string& ProgramFolder() const { return FProgramFolder; }
    void SetProgramFolder(std::string folder);
    const std::string& RuntimePath() const { return FRuntimePath; }
    void SetRuntimePath(std::string path);  // reloads
    // Kept for the designer; not used at run time.
    const std::string& DesigntimePath() const { return FDesigntimePath; }
    void SetDesigntimePath(std::string path) { FDesigntimePath = std::move(path); }
    const std::vector<std::string>& PublicRccFiles() const { return FPublicRccFiles; }
    void SetPublicRccFiles(std::vector<std::string> files);  // reloads when changed
    const std::string& SkinRccFile() const { return FSkinRccFile; }
    void SetSkinRccFile(std::string file);  // reloads when changed

    bool MainSkin() const { return MainStyle() == this; }
    // False when refused (another style is the main style).
    bool SetMainSkin(bool value);

    // What is in force: the own package's folder ("" when none was found), the
    // skin folder, and the main style's name ("" when there is none).
    const std::string& CurSkinRccFile() const { return FCurSkinRccFile; }
    std::string CurSkinPath() const;
    std::string CurMainStyle() const;
    // The owning form's font as the skin sees it (not stored); whoever owns the
    // style assigns it (TRdFont::Assign from the form's font).
    TRdFont& CurOwnerFont() { return FCurOwnerFont; }
    const TRdFont& CurOwnerFont() const { return FCurOwnerFont; }

    // Changes between BeginUpdate and EndUpdate reload once, in EndUpdate (as when
    // a style is loaded with its form).
    void BeginUpdate() { ++FUpdating; }
    void EndUpdate();
    // Reads everything again now and tells subscribers.
    void Reload();

    // The skin's resources by name, through Resource(): the hook, then (when
    // allowed) a loose file of that name in the skin folder, then the packages by
    // ":/" path (own package first). Names that would leave the skin folder read
    // as missing.
    std::optional<std::string> ReadFile(std::string_view path) const;
    bool FileExists(std::string_view path) const { return ReadFile(path).has_value(); }
    // The reader skin code goes through, configured by this style: its skin folder
    // (CurSkinPath, set on every reload), its packages as the package reader, the
    // loose-file switch and the application's hook.
    const TResource& Resource() const { return FResource; }
    // Loose files in the skin folder take precedence over the packages; off by
    // default, so only packages are read.
    bool LooseFilesAllowed() const { return FLooseFiles; }
    void SetLooseFilesAllowed(bool allowed);
    // Asked first for every name (nullptr: no hook).
    void SetResourceHook(TResource::Hook hook);
    const TSkinPackageSet& Packages() const { return FPackages; }
    // A package named by a class's "SkinRcc" key, opened on first use and kept
    // until the next reload; nullptr when it cannot be found.
    const TSkinPackage* ClassPackage(const std::string& name) const;

    // Names of the skin classes read, in the order first seen.
    std::vector<std::string> ClassNames() const;
    // The values of `skinClass` with its parents. Cached; the reference is valid
    // until the next reload or unload.
    const TSkinClassValues& ClassValues(std::string_view skinClass) const;

    // A colour of color_setting.ini, when its entry is switched on.
    std::optional<TColor> ColorSetting(std::string_view name) const;
    const std::map<std::string, TSkinColorSetting>& ColorSettings() const { return FColors; }

    TSkinSubscription Subscribe(TSkinNotifier::Callback callback) { return FNotifier.Subscribe(std::move(callback)); }

    bool Logging() const { return FLogging; }
    void SetLogging(bool value) { FLogging = value; }
    // Diagnostics; see above.
    std::function<void(const std::string& line)> OnLog;
    void Log(const std::string& line) const {
        if (OnLog) OnLog(line);
    }

private:
    struct TClassSection {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Values;
    };

    void Changed();
    void Unload();
    void Load();
    std::string RccLogFields() const;
    void MergeClassFile(const TSkinPackage& package, std::string_view path, bool followIncludes);
    void MergeColorFile(std::string_view bytes, std::string_view path);
    TClassSection& ClassSection(std::string_view name);

    std::string FName;
    std::string FUnitName;
    std::string FProgramFolder;
    std::string FRuntimePath = "skin";
    std::string FDesigntimePath;
    std::vector<std::string> FPublicRccFiles;
    std::string FSkinRccFile;
    std::string FCurSkinRccFile;
    TRdFont FCurOwnerFont;
    std::string FLoadedFields;
    bool FLogging = false;
    bool FLoaded = false;
    int FUpdating = 0;
    bool FChangedWhileUpdating = false;

    TSkinPackageSet FPackages;
    TResource FResource;
    bool FLooseFiles = false;
    std::vector<TClassSection> FClasses;
    std::unordered_map<std::string, std::size_t> FClassIndex;  // folded name -> FClasses
    std::map<std::string, TSkinColorSetting> FColors;          // name as written
    std::unordered_map<std::string, std::string> FColorIndex;  // folded name -> FColors key
    mutable std::unordered_map<std::string, TSkinClassValues> FValueCache;
    mutable std::unordered_map<std::string, std::optional<TSkinPackage>> FClassPackages;

    TSkinNotifier FNotifier;
};
