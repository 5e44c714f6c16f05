#include "public/rdcontrol/ini/SafeIniFile.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "os/FileAttributes.h"
#include "os/FileBytes.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/ini/IniFileNames.h"

namespace fs = std::filesystem;

namespace {

// Clears read-only and hidden for the life of the guard and puts back what it found.
class AttributeGuard {
public:
    explicit AttributeGuard(const std::string& fileName) : FFileName(fileName) {
        auto a = GetFileAttributesOf(fileName);
        constexpr std::uint32_t kImplausible = 0x3127;
        if (a && (*a & kImplausible) == kImplausible) {
            SetFileAttributesOf(fileName, FileAttribute::Archive);
            a = GetFileAttributesOf(fileName);
        }
        constexpr std::uint32_t kInTheWay = FileAttribute::ReadOnly | FileAttribute::Hidden;
        if (a && (*a & kInTheWay)) {
            FSaved = *a;
            const std::uint32_t cleared = *a & ~kInTheWay;
            SetFileAttributesOf(fileName, cleared ? cleared : FileAttribute::Normal);
        }
    }
    ~AttributeGuard() {
        if (FSaved) SetFileAttributesOf(FFileName, *FSaved);
    }
    AttributeGuard(const AttributeGuard&) = delete;
    AttributeGuard& operator=(const AttributeGuard&) = delete;

private:
    std::string FFileName;
    std::optional<std::uint32_t> FSaved;
};

}  // namespace

TSafeIniFile::TSafeIniFile(const std::string& fileName, std::optional<TextEncoding> encoding)
    : FFileName(fileName) {
    if (FFileName.empty()) return;
    const fs::path path = Utf8Path(FFileName);
    std::error_code ec;
    const bool exists = fs::exists(path, ec);
    if (ec) {
        // Neither readable nor known to be absent: never overwrite what may be there.
        FLoadFailed = true;
        return;
    }
    if (exists) {
        if (auto bytes = ReadFileBytes(path)) FSections.LoadFromText(DecodeText(*bytes).utf8);
        else FLoadFailed = true;
        return;
    }
    EnsureIniFolder(NormalizeIniFileName(FFileName));
    std::ofstream created(path, std::ios::binary | std::ios::app);
    if (created && encoding) created << ByteOrderMark(*encoding);
}

TSafeIniFile::~TSafeIniFile() {
    if (!FModified || FLoadFailed || FFileName.empty()) return;
    try {
        UpdateFile();
    } catch (...) {
        // Nothing can be reported from here; the caller had UpdateFile for that.
    }
}

void TSafeIniFile::LoadFromFile(const std::string& fileName) {
    std::error_code ec;
    const fs::path path = Utf8Path(fileName);
    if (!fs::exists(path, ec)) return;
    if (auto bytes = ReadFileBytes(path)) FSections.LoadFromText(DecodeText(*bytes).utf8);
}

void TSafeIniFile::LoadFromString(std::string_view utf8Text) { FSections.LoadFromText(utf8Text); }

void TSafeIniFile::SaveToStream(std::ostream& out) const { out << EncodeText(FSections.ToText(), TextEncoding::Utf16LE); }

std::string TSafeIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    auto value = FSections.Value(section, key);
    return value ? std::move(*value) : std::string(def);
}

void TSafeIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    FSections.SetValue(section, key, value);
    FModified = true;
}

long long TSafeIniFile::ReadInteger(std::string_view section, std::string_view key, long long def) const {
    auto value = FSections.Value(section, key);
    return value ? ParseInteger(*value).value_or(def) : def;
}

void TSafeIniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
    WriteString(section, key, FormatInteger(value));
}

bool TSafeIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    auto value = FSections.Value(section, key);
    return value ? ParseBoolean(*value).value_or(def) : def;
}

void TSafeIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

TDateTime TSafeIniFile::ReadDateTime(std::string_view section, std::string_view key, TDateTime def) const {
    auto value = FSections.Value(section, key);
    return value ? ParseIniDateTime(*value).value_or(def) : def;
}

void TSafeIniFile::WriteDateTime(std::string_view section, std::string_view key, TDateTime value) {
    WriteString(section, key, FormatIniDateTime(value));
}

void TSafeIniFile::EraseSection(std::string_view section) {
    FSections.EraseSection(section);
    FModified = true;
}

void TSafeIniFile::DeleteKey(std::string_view section, std::string_view key) {
    FSections.DeleteKey(section, key);
    FModified = true;
}

void TSafeIniFile::UpdateFile() {
    if (FFileName.empty()) return;
    const std::string fileName = NormalizeIniFileName(FFileName);
    EnsureIniFolder(fileName);
    const fs::path target = Utf8Path(fileName);
    fs::path partial = target;
    partial += ".saving";
    {
        AttributeGuard attributes(fileName);
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            if (!out) throw EIniFileError(FFileName, "cannot create " + PathUtf8(partial));
            SaveToStream(out);
            out.close();
            if (!out) {
                std::error_code ignored;
                fs::remove(partial, ignored);
                throw EIniFileError(FFileName, "write failed (disk full?)");
            }
        }
        std::error_code ec;
        fs::rename(partial, target, ec);
        if (ec) {
            std::error_code ignored;
            fs::remove(partial, ignored);
            throw EIniFileError(FFileName, ec.message());
        }
    }
    FModified = false;
}
