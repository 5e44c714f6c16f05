#include "public/rdcontrol/ini/IniFile.h"

#include <gtest/gtest.h>

#include "os/FileAttributes.h"
#include "public/rdcontrol/base/DateTime.h"
#include "public/rdcontrol/base/TextCodec.h"
#include "tests/unit/IniTestSupport.h"
#include "tests/unit/TempDir.h"

namespace fs = std::filesystem;

TEST(IniFile, EveryCallGoesToTheFileKeepingOtherLines) {
    TempDir dir;
    const fs::path file = dir.path() / "state.ini";
    WriteBytes(file, "; header comment\r\n[Part0]\r\nStart=0\r\n\r\n[Other]\r\nx=\"quoted value\"\r\n");
    TIniFile ini(file.string());
    EXPECT_TRUE(ini.WriteInteger("part0", "Position", 1234));
    EXPECT_TRUE(ini.WriteString("PART0", "start", "10"));
    EXPECT_TRUE(ini.WriteBool("New", "Done", true));
    // A second object sees every write at once: nothing is cached.
    TIniFile other(file.string());
    EXPECT_EQ(other.ReadInteger("Part0", "Position", -1), 1234);
    EXPECT_EQ(other.ReadString("Other", "x", ""), "quoted value");
    EXPECT_TRUE(other.ReadBool("new", "done", false));
    EXPECT_EQ(ReadBytes(file),
              "; header comment\r\n[Part0]\r\nstart=10\r\nPosition=1234\r\n\r\n[Other]\r\nx=\"quoted value\"\r\n"
              "[New]\r\nDone=1\r\n");
    EXPECT_EQ(other.ReadSections(), (std::vector<std::string>{"Part0", "Other", "New"}));
    EXPECT_EQ(other.ReadSection("part0"), (std::vector<std::string>{"start", "Position"}));
    EXPECT_TRUE(other.ValueExists("PART0", "POSITION"));

    EXPECT_TRUE(ini.DeleteKey("Part0", "start"));
    EXPECT_TRUE(ini.EraseSection("other"));
    EXPECT_EQ(other.ReadSectionValues("Part0"), std::vector<std::string>{"Position=1234"});
    EXPECT_FALSE(other.SectionExists("Other"));
}

TEST(IniFile, LongValuesFloatsAndDatesReadWhole) {
    TempDir dir;
    TIniFile ini((dir.path() / "long.ini").string());
    const std::string longValue(10000, 'v');
    ASSERT_TRUE(ini.WriteString("S", "long", longValue));
    EXPECT_EQ(ini.ReadString("S", "long", ""), longValue);
    ini.WriteFloat("S", "f", 0.1);
    ini.WriteString("S", "comma", "2,5");
    EXPECT_EQ(ini.ReadFloat("S", "f", 0), 0.1);
    EXPECT_EQ(ini.ReadFloat("S", "comma", 0), 2.5);
    const TDateTime t = EncodeDateTime(2030, 1, 31, 12, 0, 1, 2);
    ini.WriteDateTime("S", "t", t);
    EXPECT_EQ(ini.ReadDateTime("S", "t", 0), t);
    EXPECT_EQ(ini.ReadString("S", "t", ""), "01/31/2030 12:00:01:002");
}

TEST(IniFile, KeepsUtf16AndMakesReadOnlyFilesWritable) {
    TempDir dir;
    const fs::path file = dir.path() / "sub" / "u.ini";
    TIniFile ini((dir.path() / "sub").string() + "\\u.ini");
    ASSERT_TRUE(ini.WriteString("S", "a", "1"));  // the folder is created; a new file is ANSI
    EXPECT_EQ(ReadBytes(file), "[S]\r\na=1\r\n");

    WriteBytes(file, EncodeText("[S]\r\na=1\r\n", TextEncoding::Utf16LE));
    SetFileAttributesOf(file.string(), FileAttribute::ReadOnly);
    ASSERT_TRUE(ini.WriteString("S", "b", "\xE4\xB8\xAD"));
    EXPECT_EQ(DecodeText(ReadBytes(file)).encoding, TextEncoding::Utf16LE);
    EXPECT_EQ(ini.ReadString("S", "b", ""), "\xE4\xB8\xAD");
}

TEST(IniFile, BareFileNameMeansTheCurrentFolder) {
    TempDir dir;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    TIniFile ini("bare.ini");
    EXPECT_TRUE(ini.WriteString("S", "k", "v"));
    fs::current_path(before);
    EXPECT_TRUE(fs::exists(dir.path() / "bare.ini"));
}

TEST(IniFile, MissingFileReadsDefaults) {
    TIniFile ini("/nonexistent/qarto/none.ini");
    EXPECT_EQ(ini.ReadString("S", "k", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("S", "k", 3), 3);
    EXPECT_TRUE(ini.ReadSections().empty());
}
