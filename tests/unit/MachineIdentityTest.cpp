// The encrypted settings files and the machine identity built on them: the
// load-failure marker that protects what a file holds, the merge before a save, and
// the repair rules between the registry (32-bit class key, 64-bit machine GUID) and
// the identity file.
#include "services/MachineIdentity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "os/FileBytes.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/base/TextCodec.h"
#include "services/DataFileCipher.h"
#include "services/RequestSigning.h"
#include "services/VantorConfig.h"
#include "tests/unit/FakeOs.h"
#include "tests/unit/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string FileBytes(const fs::path& path) { return ReadFileBytes(path).value_or("<missing>"); }

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The file's plain text, as the browser would decrypt it.
std::string PlainText(const fs::path& path) {
    const std::string bytes = FileBytes(path);
    const auto plain = DecryptData({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return DecodeText(std::string(plain.begin(), plain.end())).utf8;
}

class DataFile : public ::testing::Test {
protected:
    TempDir dir;
    FakeClock clock;
    fs::path file = dir.path() / "User Data" / "config.kvdt";
    std::string name = file.string();
};

TEST_F(DataFile, WritesEncryptedIniTextAndReadsItBack) {
    TVantorConfig config(name, clock);
    EXPECT_EQ(config.ReadString("Config", "Theme", "none"), "none");
    EXPECT_FALSE(fs::exists(file)) << "reading creates nothing";
    config.WriteString("Config", "Theme", "Dark");
    config.WriteString("Config", "Language", "Portugu\xC3\xAAs");
    config.WriteString("Browser", "Default", "1");
    EXPECT_EQ(TVantorConfig(name, clock).ReadString("config", "THEME", ""), "Dark");
    EXPECT_TRUE(config.ValueExists("Browser", "Default"));
    EXPECT_FALSE(config.ValueExists("Browser", "Theme"));
    EXPECT_EQ(PlainText(file), "[Config]\r\nTheme=Dark\r\nLanguage=Portugu\xC3\xAAs\r\n[Browser]\r\nDefault=1\r\n");
    const std::string bytes = FileBytes(file);
    EXPECT_EQ(bytes.size(), 2 * (PlainText(file).size() - 1) + 2) << "UTF-16 with its mark, no padding";
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1)
        << "nothing left beside the file";
}

TEST_F(DataFile, EmptyFileIsAnEmptyIni) {
    WriteBytes(file, "");
    TVantorConfig config(name, clock);
    EXPECT_FALSE(config.ValueExists(kLoadFailureSection, kLoadFailureKey));
    config.WriteString("a", "b", "c");
    EXPECT_EQ(config.ReadString("a", "b", ""), "c");
}

TEST_F(DataFile, DamagedOrUnreadableFileIsNeverOverwritten) {
    // Bytes that do not decrypt to the INI class's text, and a path that cannot be
    // read at all (a folder stands where the file should be).
    const std::string damaged = "this was never written by the INI class, but it is someone's data";
    for (bool unreadable : {false, true}) {
        SCOPED_TRACE(unreadable ? "unreadable" : "damaged");
        if (unreadable) {
            fs::remove(file);
            fs::create_directories(file);
        } else {
            WriteBytes(file, damaged);
        }
        TVantorConfig config(name, clock);
        EXPECT_EQ(config.ReadString("Config", "Theme", "default"), "default");
        EXPECT_EQ(config.ReadString(kLoadFailureSection, kLoadFailureKey, ""), "1");
        config.WriteString("Config", "Theme", "Light");
        if (unreadable) {
            EXPECT_TRUE(fs::is_directory(file));
        } else {
            EXPECT_EQ(FileBytes(file), damaged);
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1)
            << "no copy or partial file left";
    }
}

TEST_F(DataFile, SaveAfterAFailedLoadMergesWhatTheFileHoldsAndDropsTheMarker) {
    TVantorConfig(name, clock).WriteString("Config", "Theme", "Dark");
    TVantorConfig(name, clock).WriteString("Config", "Language", "de");

    // An INI whose load failed (the browser held the file) that the caller changed.
    TSafeIniFile ini;
    ini.WriteString(kLoadFailureSection, kLoadFailureKey, "1");
    ini.WriteString("Config", "Theme", "Light");
    SaveDataFile(ini, name, clock);  // the file is readable again now

    EXPECT_EQ(PlainText(file), "[Config]\r\nTheme=Light\r\nLanguage=de\r\n") << "the caller's value wins";
    TSafeIniFile reloaded;
    LoadDataFile(reloaded, name, clock);
    EXPECT_FALSE(reloaded.SectionExists(kLoadFailureSection));
}

// ---- machine identity

constexpr const char* kGuidKey = "SOFTWARE\\Microsoft\\Cryptography";
constexpr const char* kMachineGuid = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
constexpr const char* kMachineGuidLower = "6f9619ff-8b86-d011-b42d-00c04fc964ff";

class Identity : public ::testing::Test {
protected:
    Identity() {
        os.shell.folders[Csidl::Profile] = (dir.path() / "profile").string();
        os.system.guid = std::array<std::uint8_t, 16>{0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xF0, 0xDE,
                                                      0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    }
    void SetMachineGuid(const std::string& value) {
        os.registry.viewValues[{RegistryView::Bits64, RegistryRoot::LocalMachine, kGuidKey, "MachineGuid"}] = value;
    }
    std::optional<std::string> RegistryValue(const std::string& name) const {
        auto it = os.registry.viewValues.find({RegistryView::Bits32, RegistryRoot::ClassesRoot, kIdentityClassKey, name});
        if (it == os.registry.viewValues.end()) return std::nullopt;
        return it->second;
    }
    void SetRegistryValue(const std::string& name, const std::string& value) {
        os.registry.viewValues[{RegistryView::Bits32, RegistryRoot::ClassesRoot, kIdentityClassKey, name}] = value;
    }
    fs::path FilePath() const {
        return Utf8Path((dir.path() / "profile").string() +
                        "\\AppData\\Local\\Qarto Private Browser\\User Data\\Default\\" + kIdentityFolder +
                        kIdentityFile);
    }
    std::string FileValue(const std::string& key) {
        return TVantorConfig(FilePath().string(), os.clock).ReadString("main", key, "<none>");
    }

    TempDir dir;
    FakeOs os;
    TBrowserProbe probe{os.services};
    TMachineIdentity identity{os.services, probe};
};

TEST_F(Identity, FirstRunStartsFromTheMachineGuid) {
    SetMachineGuid(kMachineGuid);
    EXPECT_EQ(identity.GetMachineId(true, 0), Md5Hex(kMachineGuidLower));
    EXPECT_EQ(identity.GetMachineId(false, 0), kMachineGuidLower);
    EXPECT_EQ(identity.GetMachineId(false, 1), "12345678-9abc-def0-0123-456789abcdef") << "a new GUID, no braces";
    EXPECT_EQ(identity.GetMachineId(true, 1), Md5Hex("12345678-9abc-def0-0123-456789abcdef"));
    EXPECT_EQ(RegistryValue("AppID"), kMachineGuidLower);
    EXPECT_EQ(RegistryValue("AppKey"), "12345678-9abc-def0-0123-456789abcdef");
    EXPECT_EQ(FileValue("MachineID"), kMachineGuidLower);
    EXPECT_EQ(FileValue("MachineKey"), "12345678-9abc-def0-0123-456789abcdef");
    EXPECT_EQ(Utf8Path(identity.IdentityFileName()), FilePath());
}

TEST_F(Identity, MachineGuidIsReadFromThe64BitViewOnly) {
    os.registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine, kGuidKey, "MachineGuid"}] =
        "11111111-1111-1111-1111-111111111111";
    EXPECT_EQ(identity.GetMachineId(false, 0), "12345678-9abc-def0-0123-456789abcdef")
        << "the 32-bit view has no machine GUID on 64-bit Windows";
}

TEST_F(Identity, RegistryValueRewritesALostFile) {
    SetMachineGuid(kMachineGuid);
    SetRegistryValue("AppID", "{0A1B2C3D-0000-1111-2222-333344445555}");
    SetRegistryValue("AppKey", "key-from-registry");
    EXPECT_EQ(identity.GetMachineId(false, 0), "{0a1b2c3d-0000-1111-2222-333344445555}")
        << "a stored value is used as it is, only lower-cased";
    EXPECT_EQ(FileValue("MachineID"), "{0A1B2C3D-0000-1111-2222-333344445555}");
    EXPECT_EQ(FileValue("MachineKey"), "key-from-registry");
    EXPECT_EQ(RegistryValue("AppID"), "{0A1B2C3D-0000-1111-2222-333344445555}") << "not rewritten";
}

TEST_F(Identity, FileValuesRepairTheRegistry) {
    SetMachineGuid(kMachineGuid);
    TVantorConfig file(FilePath().string(), os.clock);
    file.WriteString("main", "MachineID", "abcdef0123456789abcdef0123456789");
    file.WriteString("main", "MachineKey", "fedcba9876543210fedcba9876543210");
    EXPECT_EQ(identity.GetMachineId(true, 0), Md5Hex("abcdef0123456789abcdef0123456789"));
    EXPECT_EQ(RegistryValue("AppID"), "abcdef0123456789abcdef0123456789");
    EXPECT_EQ(RegistryValue("AppKey"), "fedcba9876543210fedcba9876543210") << "the key comes back from the file too";
}

TEST_F(Identity, UndecryptableFileStaysAsItIs) {
    SetMachineGuid("{" + std::string(kMachineGuid) + "}");
    const std::string damaged(173, '\x5A');
    WriteBytes(FilePath(), damaged);
    EXPECT_EQ(identity.GetMachineId(false, 0), kMachineGuidLower) << "the file's value counts as empty; braces go";
    EXPECT_EQ(FileBytes(FilePath()), damaged);
    EXPECT_EQ(RegistryValue("AppID"), kMachineGuidLower);
}

TEST_F(Identity, SecondCallTouchesNothing) {
    SetMachineGuid(kMachineGuid);
    const std::string first = identity.GetMachineId(true, 0);
    fs::remove(FilePath());
    os.registry.viewValues.clear();
    const int reads = os.registry.reads, writes = os.registry.writes;
    EXPECT_EQ(identity.GetMachineId(true, 0), first);
    EXPECT_EQ(identity.GetMachineId(false, 1), "12345678-9abc-def0-0123-456789abcdef");
    EXPECT_EQ(os.registry.reads, reads);
    EXPECT_EQ(os.registry.writes, writes);
    EXPECT_FALSE(fs::exists(FilePath()));
}

TEST_F(Identity, WithoutAdministratorRightsTheFileCarriesTheIdentity) {
    SetMachineGuid(kMachineGuid);
    SetRegistryValue("AppID", "ignored: the key cannot be opened for writing");
    os.registry.denyWrites = true;
    EXPECT_EQ(identity.GetMachineId(false, 0), kMachineGuidLower);
    EXPECT_EQ(FileValue("MachineID"), kMachineGuidLower);

    TMachineIdentity again(os.services, probe);  // the next run
    os.system.guid.reset();
    EXPECT_EQ(again.GetMachineId(false, 0), kMachineGuidLower);
    EXPECT_EQ(again.GetMachineId(false, 1), identity.GetMachineId(false, 1)) << "the key is kept by the file";
}

TEST(NewGuidText, RegistryFormOrDigitsAlone) {
    FakeOs os;
    os.system.guid = std::array<std::uint8_t, 16>{0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xF0, 0xDE,
                                                  0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    EXPECT_EQ(NewGuidText(os.services, false), "{12345678-9ABC-DEF0-0123-456789ABCDEF}");
    EXPECT_EQ(NewGuidText(os.services, true), "123456789ABCDEF00123456789ABCDEF");
    os.system.guid.reset();  // the system cannot make one: random numbers instead
    const std::string a = NewGuidText(os.services, false), b = NewGuidText(os.services, false);
    EXPECT_TRUE(std::regex_match(a, std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")))
        << a;
    EXPECT_NE(a, b);
}

}  // namespace
