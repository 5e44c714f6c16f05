#include "public/rdcontrol/ini/ExtIniFile.h"

#include <gtest/gtest.h>

#include <sstream>

#include "public/rdcontrol/base/TextCodec.h"
#include "public/rdcontrol/skin/PWebRes.h"
#include "tests/unit/IniTestSupport.h"
#include "tests/unit/TempDir.h"

TEST(ExtIniFile, LoadsAnyEncodingFromAStream) {
    std::istringstream in(EncodeText("[Lang]\r\nM_AreSure=\xD0\x94\xD0\xB0?\r\n[Form]\r\nx=1\r\n", TextEncoding::Utf16BE));
    TExtIniFile ini;
    ini.LoadFromStream(in);
    EXPECT_EQ(ini.ReadString("lang", "m_aresure", ""), "\xD0\x94\xD0\xB0?");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Lang", "Form"}));
    ini.EraseSection("Form");
    ini.DeleteKey("Lang", "M_AreSure");
    EXPECT_TRUE(ini.ReadSections() == std::vector<std::string>{"Lang"});
    EXPECT_EQ(ini.ReadString("Lang", "M_AreSure", "gone"), "gone");
}

TEST(WebRes, HookThenLooseFileThenPackage) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "skin");
    WriteBytes(dir.path() / "skin" / "btn.png", "loose");
    TResource res;
    res.SetSkinFolder((dir.path() / "skin").string());
    res.SetPackageReader([](const std::string& name) -> std::optional<TResourceData> {
        if (name == ":/btn.png" || name == ":/only.png") return TResourceData{'p'};
        return std::nullopt;
    });
    auto text = [](const std::optional<TResourceData>& d) { return d ? std::string(d->begin(), d->end()) : "-"; };
    EXPECT_EQ(text(res.Read(":/btn.png")), "loose");
    EXPECT_EQ(text(res.Read(":/only.png")), "p");
    EXPECT_EQ(text(res.Read(":/none.png")), "-");
    res.SetLooseFilesAllowed(false);
    EXPECT_EQ(text(res.Read(":/btn.png")), "p");
    res.SetHook([](const std::string& name) -> std::optional<TResourceData> {
        if (name == ":/btn.png") return TResourceData{'h'};
        return std::nullopt;
    });
    EXPECT_EQ(text(res.Read(":/btn.png")), "h");
    EXPECT_EQ(text(res.Read(":/only.png")), "p");
}

TEST(WebRes, NamesThatLeaveTheSkinFolderAreRefusedUnread) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "skin" / "sub");
    WriteBytes(dir.path() / "secret.txt", "secret");
    WriteBytes(dir.path() / "skin" / "sub" / "ok.png", "ok");
    TResource res;
    res.SetSkinFolder((dir.path() / "skin").string());
    std::vector<std::string> asked;  // names that reached the hook or the package
    res.SetHook([&](const std::string& name) -> std::optional<TResourceData> {
        asked.push_back(name);
        return std::nullopt;
    });
    res.SetPackageReader([&](const std::string& name) -> std::optional<TResourceData> {
        asked.push_back(name);
        return TResourceData{'p'};
    });
    const std::string absolute = (dir.path() / "secret.txt").string();
    for (const std::string& name :
         {std::string("../secret.txt"), std::string(":/../secret.txt"), std::string("sub/../../secret.txt"),
          std::string("..\\secret.txt"), std::string(":/sub\\..\\..\\secret.txt"), absolute, ":/" + absolute,
          std::string("C:secret.txt"), std::string("C:\\Windows\\win.ini"), std::string("\\\\server\\share\\x"),
          std::string("sub/.../x"), std::string(""), std::string(":/")}) {
        EXPECT_FALSE(res.Read(name)) << name;
    }
    EXPECT_TRUE(asked.empty());
    // Names inside are still read, loose files first.
    const auto ok = res.Read("sub/./ok.png");
    ASSERT_TRUE(ok);
    EXPECT_EQ(std::string(ok->begin(), ok->end()), "ok");
}

TEST(WebRes, ValueStringsRefuseListsWithObjects) {
    TRdValueStrings values;
    values.SetValue("Color", "$FFFFFF");
    values.SetValue("color", "$000000");
    EXPECT_EQ(values.Lines(), std::vector<std::string>{"color=$000000"});
    int object = 0;
    try {
        values.Assign({{"a=1", nullptr}, {"b=2", &object}});
        FAIL() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "not support strings contain object!!!");
    }
    EXPECT_EQ(values.Value("COLOR"), "$000000");
    values.Assign({{"a=1", nullptr}});
    EXPECT_EQ(values.Value("a"), "1");
}
