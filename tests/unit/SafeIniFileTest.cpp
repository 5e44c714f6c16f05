#include "public/rdcontrol/ini/SafeIniFile.h"

#include <gtest/gtest.h>

#include <sstream>

#include "os/FileAttributes.h"
#include "public/rdcontrol/base/DateTime.h"
#include "public/rdcontrol/base/TextCodec.h"
#include "tests/unit/IniTestSupport.h"
#include "tests/unit/TempDir.h"

namespace fs = std::filesystem;

TEST(SafeIniFile, ReadsAndWritesWithoutRegardToCase) {
    TSafeIniFile ini;
    ini.LoadFromString("[ Main ]\n Name = Qarto \n[main]\nLater=1\n");
    EXPECT_EQ(ini.ReadString("MAIN", "name", "-"), "Qarto");
    EXPECT_EQ(ini.ReadString("main", "later", "-"), "1");  // duplicate section merged
    EXPECT_EQ(ini.ReadSections(), std::vector<std::string>{"Main"});

    ini.WriteString("main", "NAME", "Other");  // replaces in place, keeps the position
    ini.WriteString("Main", "New", "x");       // appended to its section
    ini.WriteString("Added", "k", "v");        // a new section at the end
    EXPECT_EQ(ini.ReadSectionValues("Main"), (std::vector<std::string>{"NAME=Other", "Later=1", "New=x"}));
    EXPECT_EQ(ini.ReadSection("Main"), (std::vector<std::string>{"NAME", "Later", "New"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Main", "Added"}));
    EXPECT_TRUE(ini.Modified());

    ini.DeleteKey("main", "later");
    EXPECT_FALSE(ini.ValueExists("Main", "Later"));
    ini.EraseSection("MAIN");
    EXPECT_FALSE(ini.SectionExists("Main"));
    EXPECT_EQ(ini.ReadString("Added", "k", "-"), "v");  // the section cache followed the erase
}

TEST(SafeIniFile, TypedValuesFallBackToDefaults) {
    TSafeIniFile ini;
    ini.WriteInteger("S", "i", -12);
    ini.WriteBool("S", "b", true);
    ini.WriteDateTime("S", "d", EncodeDateTime(2026, 12, 10, 5, 6, 7, 89));
    ini.WriteString("S", "bad", "zz");
    EXPECT_EQ(ini.ReadString("S", "d", ""), "12/10/2026 05:06:07:089");
    EXPECT_EQ(ini.ReadInteger("S", "i", 0), -12);
    EXPECT_TRUE(ini.ReadBool("S", "b", false));
    EXPECT_EQ(ini.ReadDateTime("S", "d", 0), EncodeDateTime(2026, 12, 10, 5, 6, 7, 89));
    EXPECT_EQ(ini.ReadInteger("S", "bad", 5), 5);
    EXPECT_TRUE(ini.ReadBool("S", "bad", true));
    EXPECT_EQ(ini.ReadDateTime("S", "bad", 1.5), 1.5);
    EXPECT_EQ(ini.ReadInteger("S", "missing", 7), 7);
}

TEST(SafeIniFile, Utf8FileRewrittenAsUtf16KeepingEverythingElse) {
    TempDir dir;
    const fs::path file = dir.path() / "config.ini";
    WriteBytes(file, "\xEF\xBB\xBF; made elsewhere\r\n[General]\r\nLanguage=Portugu\xC3\xAAs\r\nTheme=Dark\r\n"
                     "[Paths]\r\nInstall=C:\\Program Files\\Qarto\r\n");
    {
        TSafeIniFile ini(file.string());
        ini.WriteString("General", "Theme", "Light");
    }
    const std::string bytes = ReadBytes(file);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const DecodedText text = DecodeText(bytes);
    EXPECT_EQ(text.encoding, TextEncoding::Utf16LE);
    EXPECT_EQ(text.utf8,
              "[General]\r\nLanguage=Portugu\xC3\xAAs\r\nTheme=Light\r\n[Paths]\r\nInstall=C:\\Program Files\\Qarto\r\n");
}

TEST(SafeIniFile, MissingFileIsCreatedAtOnceWithItsFolders) {
    TempDir dir;
    const fs::path file = dir.path() / "a" / "b" / "user.ini";
    {
        TSafeIniFile ini((dir.path() / "a" / "b").string() + "\\user.ini", TextEncoding::Utf16LE);
        EXPECT_EQ(ReadBytes(file), "\xFF\xFE");  // created empty, with the mark asked for
        ini.WriteString("S", "k", "v");
    }
    EXPECT_EQ(DecodeText(ReadBytes(file)).utf8, "[S]\r\nk=v\r\n");
}

TEST(SafeIniFile, SaveCreatesFoldersTwoLevelsBelowAMissingOne) {
    TempDir dir;
    TSafeIniFile ini;
    ini.LoadFromString("[S]\nk=v\n");
    TSafeIniFile target((dir.path() / "x").string() + "\\y\\z\\out.ini");
    fs::remove_all(dir.path() / "x");  // the constructor created them; start from nothing
    target.WriteString("S", "k", "v");
    target.UpdateFile();
    EXPECT_FALSE(target.Modified());
    EXPECT_TRUE(fs::exists(dir.path() / "x" / "y" / "z" / "out.ini"));
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "x" / "y" / "z"), fs::directory_iterator()), 1);
}

TEST(SafeIniFile, UntouchedObjectNeverRewritesItsFile) {
    TempDir dir;
    const fs::path file = dir.path() / "keep.ini";
    WriteBytes(file, "[S]\nk=v\n");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(file, old);
    {
        TSafeIniFile ini(file.string());
        EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
    }
    EXPECT_EQ(fs::last_write_time(file), old);
    EXPECT_EQ(ReadBytes(file), "[S]\nk=v\n");
}

TEST(SafeIniFile, ReadOnlyFileIsWrittenAndStaysReadOnly) {
    TempDir dir;
    const fs::path file = dir.path() / "ro.ini";
    WriteBytes(file, "[S]\nk=old\n");
    SetFileAttributesOf(file.string(), FileAttribute::ReadOnly);
    {
        TSafeIniFile ini(file.string());
        ini.WriteString("S", "k", "new");
    }
    EXPECT_EQ(TSafeIniFile(file.string()).ReadString("S", "k", ""), "new");
    EXPECT_EQ(GetFileAttributesOf(file.string()).value_or(0) & FileAttribute::ReadOnly, FileAttribute::ReadOnly);
}

TEST(SafeIniFile, UnwritableTargetRaisesFromUpdateFileOnly) {
    TempDir dir;
    fs::create_directories(dir.path() / "taken.ini");  // a folder where the file should be
    TSafeIniFile ini;
    ini.LoadFromString("[S]\nk=v\n");
    {
        TSafeIniFile blocked((dir.path() / "taken.ini").string());
        blocked.WriteString("S", "k", "v");
        EXPECT_THROW(blocked.UpdateFile(), EIniFileError);
        EXPECT_TRUE(blocked.Modified());
    }  // the destructor's save fails quietly
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken.ini"));
}

TEST(SafeIniFile, SaveToStreamIsUtf16WithMark) {
    TSafeIniFile ini;
    ini.WriteString("S", "k", "\xC3\xA9");
    std::ostringstream out;
    ini.SaveToStream(out);
    EXPECT_EQ(out.str(), std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0", 22));
}
