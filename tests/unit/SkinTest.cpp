#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "os/Utf8Path.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/skin/RdSkinClass.h"
#include "public/rdcontrol/skin/RdSkinStyle.h"
#include "public/rdcontrol/skin/SkinPackage.h"
#include "public/rdcontrol/skin/SkinProperties.h"
#include "tests/unit/TempDir.h"

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

bool Contains(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

// A control with a few properties of each kind, published as a skin would see them.
class TFakeControl {
public:
    int Width = 0;
    int Height = 0;
    bool Visible = true;
    std::string Caption;
    TColor FontColor = clDefault;
    int Align = 0;
    std::uint32_t Anchors = 0;
    TDesignRect ImageOption;
    TPropertyTable Table;

    TFakeControl() {
        Table.AddInt("Width", [this] { return Width; }, [this](int v) { Width = v; });
        Table.AddInt("Height", [this] { return Height; }, [this](int v) { Height = v; });
        Table.AddBool("Visible", [this] { return Visible; }, [this](bool v) { Visible = v; });
        Table.AddString("Caption", [this] { return Caption; }, [this](const std::string& v) { Caption = v; });
        Table.AddEnum(
            "Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"},
            [this] { return Align; }, [this](int v) { Align = v; });
        Table.AddSet(
            "Anchors", {"akLeft", "akTop", "akRight", "akBottom"}, [this] { return Anchors; },
            [this](std::uint32_t v) { Anchors = v; });
        TPropertyTable font;
        font.AddColor("Color", [this] { return FontColor; }, [this](TColor v) { FontColor = v; });
        Table.AddObject("Font", font);
        Table.AddObject("ImageOption", DesignRectProperties(ImageOption));
    }
    TFakeControl(const TFakeControl&) = delete;
    TFakeControl& operator=(const TFakeControl&) = delete;
};

TApplyOutcome ApplyText(const TPropertyTable& table, const std::string& name, const std::string& text) {
    const TSkinValueParse parsed = ParseSkinValue(text);
    if (!parsed) return {TApplyResult::InvalidValue, "parse: " + parsed.Error};
    return table.Apply(name, *parsed.Value);
}

}  // namespace

// ---- Property tables ----

struct ApplyCase {
    const char* Name;
    const char* Value;
    TApplyResult Result;
    const char* Error;  // for InvalidValue
    const char* After;  // Get(Name) afterwards
};

class PropertyTableApply : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(PropertyTableApply, SetsByNameOrRefusesKeepingTheValue) {
    const ApplyCase& c = GetParam();
    TFakeControl control;
    control.Width = 7;
    control.Align = 2;
    control.Anchors = 0b0011;
    control.FontColor = clRed;
    control.Caption = "old";
    const TApplyOutcome outcome = ApplyText(control.Table, c.Name, c.Value);
    EXPECT_EQ(outcome.Result, c.Result) << outcome.Error;
    if (c.Result == TApplyResult::InvalidValue) {
        EXPECT_EQ(outcome.Error, c.Error);
    }
    if (c.Result != TApplyResult::UnknownProperty) {
        EXPECT_EQ(control.Table.Get(c.Name), c.After);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PropertyTableApply,
    ::testing::Values(
        ApplyCase{"Width", "120", TApplyResult::Applied, "", "120"},
        ApplyCase{"wIDTH", "$10", TApplyResult::Applied, "", "16"},
        ApplyCase{"Width", "3000000000", TApplyResult::InvalidValue, "Invalid Ident value: 3000000000", "7"},
        ApplyCase{"Width", "alClient", TApplyResult::InvalidValue, "Invalid Ident value: alClient", "7"},
        ApplyCase{"Width", "'12'", TApplyResult::InvalidValue, "Invalid Ident value: '12'", "7"},
        ApplyCase{"Visible", "false", TApplyResult::Applied, "", "False"},
        ApplyCase{"Visible", "0", TApplyResult::Applied, "", "False"},
        ApplyCase{"Visible", "Maybe", TApplyResult::InvalidValue, "Invalid Ident value: Maybe", "True"},
        ApplyCase{"Caption", "'a'#13#10'b'", TApplyResult::Applied, "", "'a'#13#10'b'"},
        ApplyCase{"Caption", "Hello", TApplyResult::InvalidValue, "Invalid Ident value: Hello", "'old'"},
        ApplyCase{"Align", "alClient", TApplyResult::Applied, "", "alClient"},
        ApplyCase{"Align", "ALTOP", TApplyResult::Applied, "", "alTop"},
        ApplyCase{"Align", "alNowhere", TApplyResult::InvalidValue, "Invalid Ident value: alNowhere", "alBottom"},
        ApplyCase{"Align", "5", TApplyResult::InvalidValue, "Invalid Ident value: 5", "alBottom"},
        ApplyCase{"Anchors", "[akRight, akBottom]", TApplyResult::Applied, "", "[akRight, akBottom]"},
        ApplyCase{"Anchors", "[]", TApplyResult::Applied, "", "[]"},
        ApplyCase{"Anchors", "[akLeft, akFoo]", TApplyResult::InvalidValue, "Invalid Ident value: akFoo",
                  "[akLeft, akTop]"},
        ApplyCase{"Anchors", "akLeft", TApplyResult::InvalidValue, "Invalid Ident value: akLeft", "[akLeft, akTop]"},
        ApplyCase{"Font.Color", "clNone", TApplyResult::Applied, "", "clNone"},
        ApplyCase{"font.color", "clDefault", TApplyResult::Applied, "", "clDefault"},
        ApplyCase{"Font.Color", "clBtnFace", TApplyResult::Applied, "", "clBtnFace"},
        ApplyCase{"Font.Color", "-16777211", TApplyResult::Applied, "", "clWindow"},
        ApplyCase{"Font.Color", "$FF000015", TApplyResult::Applied, "", "cl3DDkShadow"},
        ApplyCase{"Font.Color", "15856113", TApplyResult::Applied, "", "15856113"},
        ApplyCase{"Font.Color", "clPinkish", TApplyResult::InvalidValue, "Invalid Ident value: clPinkish", "clRed"},
        ApplyCase{"ImageOption.Left", "15", TApplyResult::Applied, "", "15"},
        ApplyCase{"ImageOption.StretchMode", "sdmFill", TApplyResult::Applied, "", "sdmFill"},
        ApplyCase{"ImageOption.StretchMode", "sdmTile", TApplyResult::InvalidValue, "Invalid Ident value: sdmTile",
                  "sdmDefault"},
        ApplyCase{"Font.Size", "9", TApplyResult::UnknownProperty, "", ""},
        ApplyCase{"ImageOption", "15", TApplyResult::UnknownProperty, "", ""}));

TEST(PropertyTable, NamedColoursReachOnlyColourProperties) {
    TFakeControl control;
    const TPropertyTable::ColorLookup named = [](std::string_view name) -> std::optional<TColor> {
        if (name == "title_text") return RGB(1, 2, 3);
        return std::nullopt;
    };
    EXPECT_EQ(control.Table.Apply("Font.Color", TSkinValue::Ident("title_text"), named).Result,
              TApplyResult::Applied);
    EXPECT_EQ(control.FontColor, RGB(1, 2, 3));
    // An enum does not take a colour's number for an identifier it does not know.
    const TApplyOutcome align = control.Table.Apply("Align", TSkinValue::Ident("title_text"), named);
    EXPECT_EQ(align.Error, "Invalid Ident value: title_text");
    EXPECT_EQ(control.Align, 0);
}

// ---- Packages ----

TEST(SkinPackage, RefusesPathsThatLeaveThePackage) {
    TempDir dir;
    WriteFile(dir.path() / "secret.txt", "secret");
    WriteFile(dir.path() / "pkg" / "public" / "main.ini", "[a]\n");
    WriteFile(dir.path() / "pkg" / "public" / "secret.txt", "inside");
    fs::create_symlink(dir.path() / "secret.txt", dir.path() / "pkg" / "link.txt");
    fs::create_directory_symlink(dir.path(), dir.path() / "pkg" / "up");
    const auto package = TSkinPackage::Open(PathUtf8(dir.path() / "pkg"));
    ASSERT_TRUE(package);

    for (const char* path : {":/../secret.txt", ":/public/../../secret.txt", ":/public/../public/main.ini",
                             ":/..\\secret.txt", ":/public\\..\\..\\secret.txt", ":/.. /secret.txt",
                             ":/.../secret.txt", ":/C:/secret.txt", ":/public/main.ini:stream", "/secret.txt",
                             "secret.txt", "public/main.ini", ":/link.txt", ":/up/secret.txt", ":/", ":/public"}) {
        EXPECT_FALSE(package->ReadFile(path)) << path;
        EXPECT_FALSE(package->Exists(path)) << path;
    }
    EXPECT_EQ(package->ReadFile(":/public/main.ini"), "[a]\n");
    EXPECT_EQ(package->ReadFile(":/public//./secret.txt"), "inside");
    EXPECT_TRUE(package->List(":/../").empty());
    // The links are listed neither as files nor through the folder they point at.
    EXPECT_EQ(package->List(":/"), (std::vector<std::string>{":/public/main.ini", ":/public/secret.txt"}));
    EXPECT_EQ(package->List(":/public"), (std::vector<std::string>{":/public/main.ini", ":/public/secret.txt"}));
    EXPECT_TRUE(package->List(":/up").empty());
}

TEST(SkinPackage, ResolvesNamesWithRccThenDll) {
    TempDir dir;
    for (const char* folder : {"black.rcc", "white.dll", "plain", "both.rcc", "both.dll", "x.zip.rcc"})
        fs::create_directories(dir.path() / "skin" / folder);
    fs::create_directories(dir.path() / "outside.rcc");
    WriteFile(dir.path() / "skin" / "file.rcc", "not a folder");
    const std::string base = PathUtf8(dir.path() / "skin");
    const struct {
        const char* Name;
        const char* Folder;  // nullptr: not found
    } cases[] = {
        {"black", "black.rcc"},  {"black.rcc", "black.rcc"}, {"white", "white.dll"}, {"plain", "plain"},
        {"both", "both.rcc"},    {"x.zip", nullptr},         {"missing", nullptr},   {"file", nullptr},
        {"../outside", nullptr}, {"", nullptr},
    };
    for (const auto& c : cases) {
        const auto package = TSkinPackage::Resolve(base, c.Name);
        if (!c.Folder) {
            EXPECT_FALSE(package) << c.Name;
            continue;
        }
        ASSERT_TRUE(package) << c.Name;
        EXPECT_EQ(Utf8Path(package->Folder()).filename(), c.Folder) << c.Name;
    }
    const std::string absolute = PathUtf8(dir.path() / "outside");
    EXPECT_TRUE(TSkinPackage::Resolve(base, absolute));
    EXPECT_FALSE(TSkinPackage::Resolve(base, absolute, /*allowAbsolute=*/false));
}

TEST(SkinPackageSet, OwnPackageFirstThenPublicInOrder) {
    TempDir dir;
    WriteFile(dir.path() / "own" / "a.txt", "own");
    WriteFile(dir.path() / "p1" / "a.txt", "p1");
    WriteFile(dir.path() / "p1" / "b.txt", "p1");
    WriteFile(dir.path() / "p2" / "b.txt", "p2");
    WriteFile(dir.path() / "p2" / "c.txt", "p2");
    TSkinPackageSet set;
    set.AddPublic(*TSkinPackage::Open(PathUtf8(dir.path() / "p1")));
    set.AddPublic(*TSkinPackage::Open(PathUtf8(dir.path() / "p2")));
    set.SetOwn(TSkinPackage::Open(PathUtf8(dir.path() / "own")));
    EXPECT_EQ(set.ReadFile(":/a.txt"), "own");
    EXPECT_EQ(set.ReadFile(":/b.txt"), "p1");
    EXPECT_EQ(set.ReadFile(":/c.txt"), "p2");
    EXPECT_FALSE(set.ReadFile(":/d.txt"));
    EXPECT_EQ(set.List(":/"), (std::vector<std::string>{":/a.txt", ":/b.txt", ":/c.txt"}));
}

// ---- Style and skin classes ----

namespace {

class SkinStyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        Style.SetName("SkinStyle1");
        Style.SetUnitName("uMain");
        Style.OnLog = [this](const std::string& line) { Log.push_back(line); };
        Style.SetProgramFolder(PathUtf8(Dir.path()));
        Log.clear();
    }

    fs::path Skin(const std::string& relative) const { return Dir.path() / "skin" / relative; }
    void Write(const std::string& relative, const std::string& text) const { WriteFile(Skin(relative), text); }

    // The style on package "black" (and the public package when given).
    void Load(std::vector<std::string> publicFiles = {}) {
        Style.BeginUpdate();
        Style.SetPublicRccFiles(std::move(publicFiles));
        Style.SetSkinRccFile("black");
        Style.EndUpdate();
    }

    TempDir Dir;
    std::vector<std::string> Log;
    TRdSkinStyle Style;
};

}  // namespace

TEST_F(SkinStyleTest, ReadsResourcesThroughItsReader) {
    Write("black/public/main.ini", "[a]\n");
    Write("black/images/btn.png", "from package");
    Write("images/btn.png", "loose");
    Write("images/loose_only.png", "loose only");
    WriteFile(Dir.path() / "outside.png", "outside");
    Load();
    auto read = [this](const char* name) { return Style.ReadFile(name).value_or("-"); };
    EXPECT_EQ(Style.Resource().Read(":/images/btn.png").has_value(), true);
    // By default only the packages answer.
    EXPECT_EQ(read(":/images/btn.png"), "from package");
    EXPECT_EQ(read(":/images/loose_only.png"), "-");
    // Loose files of the skin folder come first when allowed.
    Style.SetLooseFilesAllowed(true);
    EXPECT_EQ(read(":/images/btn.png"), "loose");
    EXPECT_EQ(read("images/loose_only.png"), "loose only");
    EXPECT_EQ(read(":/../outside.png"), "-");
    EXPECT_FALSE(Style.FileExists("../outside.png"));
    // The application's hook is asked before both.
    Style.SetResourceHook([](const std::string& name) -> std::optional<TResourceData> {
        if (name == ":/images/btn.png") return TResourceData{'h'};
        return std::nullopt;
    });
    EXPECT_EQ(read(":/images/btn.png"), "h");
    EXPECT_EQ(read(":/public/main.ini"), "[a]\n");
    // The skin folder follows the style's path.
    Style.SetRuntimePath("elsewhere");
    EXPECT_EQ(read(":/images/loose_only.png"), "-");
}

TEST_F(SkinStyleTest, AppliesAClassWithItsParentChainChildWinning) {
    Write("black.rcc/public/main.ini",
          "[base]\nWidth=10\nCaption='base'\nVisible=False\n"
          "[mid]\nparent=base\nWidth=20\nAlign=alClient\n"
          "[btn_close]\nparent = mid\nCaption='close'#10'x'\nFont.Color=clBtnFace\n");
    Load();
    TFakeControl control;
    int applied = 0;
    TRdSkinClass skin([&]() -> TPropertyTable& { return control.Table; }, &Style);
    skin.OnApplied = [&](TRdSkinClass& sender) {
        EXPECT_EQ(&sender, &skin);
        ++applied;
    };
    skin.SetSkinClass("BTN_CLOSE");
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(control.Width, 20);
    EXPECT_EQ(control.Caption, "close\nx");
    EXPECT_FALSE(control.Visible);
    EXPECT_EQ(control.Align, 5);
    EXPECT_EQ(control.FontColor, clBtnFace);
    EXPECT_EQ(skin.SkinValues(), (std::vector<std::string>{"Width=20", "Caption='close'#10'x'", "Visible=False",
                                                           "Align=alClient", "Font.Color=clBtnFace"}));
    EXPECT_EQ(skin.CurrentValues(), (std::vector<std::string>{"Width=20", "Caption='close'#10'x'", "Visible=False",
                                                              "Align=alClient", "Font.Color=clBtnFace"}));
    EXPECT_TRUE(Log.empty()) << Log.front();
}

TEST_F(SkinStyleTest, ParentCycleIsCutAndMissingParentEndsTheChain) {
    Write("black.rcc/public/main.ini",
          "[a]\nparent=b\nWidth=1\n[b]\nparent=c\nHeight=2\nWidth=9\n[c]\nparent=a\nCaption='c'\n"
          "[self]\nparent=SELF\nWidth=4\n[orphan]\nparent=nobody\nWidth=5\n");
    Load();
    const TSkinClassValues& a = Style.ClassValues("a");
    EXPECT_TRUE(a.Found);
    EXPECT_EQ(a.Values, (std::vector<std::pair<std::string, std::string>>{
                            {"Caption", "'c'"}, {"Height", "2"}, {"Width", "1"}}));
    EXPECT_TRUE(Contains(Log, "parent cycle")) << (Log.empty() ? "" : Log.front());
    EXPECT_EQ(Style.ClassValues("self").Values.size(), 1u);
    EXPECT_EQ(Style.ClassValues("orphan").Values.size(), 1u);
    EXPECT_TRUE(Contains(Log, "parent not found: nobody"));
    EXPECT_FALSE(Style.ClassValues("none").Found);
}

TEST_F(SkinStyleTest, IgnoreValuesKeepsThoseProperties) {
    Write("black.rcc/public/main.ini", "[btn]\nWidth=30\nCaption='skin'\nImageOption.Left=4\n");
    Load();
    TFakeControl control;
    control.Width = 11;
    TRdSkinClass skin([&]() -> TPropertyTable& { return control.Table; }, &Style);
    skin.SetIgnoreValues({"width", " imageoption.left "});
    skin.SetSkinClass("btn");
    EXPECT_EQ(control.Width, 11);
    EXPECT_EQ(control.ImageOption.Left(), 0);
    EXPECT_EQ(control.Caption, "skin");
    EXPECT_EQ(skin.SkinValues().size(), 3u);
    EXPECT_EQ(skin.CurrentValues(), (std::vector<std::string>{"Caption='skin'"}));
}

TEST_F(SkinStyleTest, InvalidValuesAreLoggedAndUnknownNamesSkippedSilently) {
    Write("black.rcc/public/main.ini",
          "[btn]\nAlign=alNowhere\nWidth='wide'\nHeight=12abc\nTabOrder=3\nCaption='ok'\n");
    Load();
    TFakeControl control;
    control.Align = 1;
    control.Width = 5;
    TRdSkinClass skin([&]() -> TPropertyTable& { return control.Table; }, &Style);
    skin.SetSkinClass("btn");
    EXPECT_EQ(control.Align, 1);
    EXPECT_EQ(control.Width, 5);
    EXPECT_EQ(control.Caption, "ok");
    EXPECT_EQ(Log.size(), 3u);
    EXPECT_TRUE(Contains(Log, "skin class btn: Align: Invalid Ident value: alNowhere"));
    EXPECT_TRUE(Contains(Log, "skin class btn: Width: Invalid Ident value: 'wide'"));
    EXPECT_TRUE(Contains(Log, "skin class btn: Height: expected"));
    EXPECT_FALSE(Contains(Log, "TabOrder"));
}

TEST_F(SkinStyleTest, ReloadReappliesAndLogsOnlyWhenLoggingIsOn) {
    Write("black.rcc/public/main.ini", "[btn]\nWidth=1\n");
    Write("white.rcc/public/main.ini", "[btn]\nWidth=2\n");
    Write("public.rcc/public/main.ini", "[btn]\nHeight=3\n");
    Load({"public.rcc"});
    EXPECT_TRUE(Log.empty());
    TFakeControl control;
    int applied = 0;
    TRdSkinClass skin([&]() -> TPropertyTable& { return control.Table; }, &Style);
    skin.OnApplied = [&](TRdSkinClass&) { ++applied; };
    skin.SetSkinClass("btn");
    EXPECT_EQ(control.Width, 1);
    EXPECT_EQ(control.Height, 3);

    Style.SetLogging(true);
    Style.SetSkinRccFile("white");
    EXPECT_EQ(applied, 2);
    EXPECT_EQ(control.Width, 2);
    const std::string path = PathUtf8(Dir.path() / "skin");
    EXPECT_EQ(Log, (std::vector<std::string>{
                       "Rcc.UnloadCache, Style:SkinStyle1, Rdg:1, public:public.rcc, rcc:black, path:" + path,
                       "Rcc.ReloadCache, Style:SkinStyle1, Rdg:1, public:public.rcc, rcc:white, path:" + path}));

    Style.SetLogging(false);
    Log.clear();
    Write("public.rcc/public/main.ini", "[btn]\nHeight=4\n");
    Style.SetPublicRccFiles({"public"});
    EXPECT_EQ(applied, 3);
    EXPECT_EQ(control.Height, 4);
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(Style.CurSkinRccFile(), PathUtf8(fs::canonical(Skin("white.rcc"))));
    EXPECT_EQ(Style.CurSkinPath(), path);
}

TEST_F(SkinStyleTest, OwnPackageOverridesPublicKeyByKeyAndIncludesAreRead) {
    Write("public.rcc/public/main.ini", "[btn]\nWidth=1\nHeight=2\n[include]\nmore.ini\n");
    Write("public.rcc/public/more.ini", "[lbl]\nCaption='from include'\n[include]\nmain.ini\n");
    Write("public.rcc/images/a.png", "public-a");
    Write("public.rcc/images/b.png", "public-b");
    Write("black.rcc/public/main.ini", "[btn]\nwidth=5\n[include]\nfile=:/skins/extra.ini\n");
    Write("black.rcc/skins/extra.ini", "[lbl]\nWidth=9\n");
    Write("black.rcc/images/a.png", "black-a");
    Load({"public.rcc"});
    EXPECT_EQ(Style.ClassValues("btn").Values,
              (std::vector<std::pair<std::string, std::string>>{{"Width", "5"}, {"Height", "2"}}));
    EXPECT_EQ(Style.ClassValues("lbl").Values,
              (std::vector<std::pair<std::string, std::string>>{{"Caption", "'from include'"}, {"Width", "9"}}));
    EXPECT_FALSE(Style.ClassValues("include").Found);
    EXPECT_EQ(Style.ReadFile(":/images/a.png"), "black-a");
    EXPECT_EQ(Style.ReadFile(":/images/b.png"), "public-b");
    EXPECT_FALSE(Style.ReadFile(":/../black.rcc/images/a.png"));
}

TEST_F(SkinStyleTest, MissingPackageLeavesControlsAsTheyAre) {
    Load({"nothere.rcc"});
    TFakeControl control;
    control.Width = 8;
    TRdSkinClass skin([&]() -> TPropertyTable& { return control.Table; }, &Style);
    skin.SetSkinClass("btn");
    EXPECT_EQ(control.Width, 8);
    EXPECT_TRUE(skin.SkinValues().empty());
    EXPECT_TRUE(Style.CurSkinRccFile().empty());
    EXPECT_TRUE(Contains(Log, "not found: black"));
    EXPECT_TRUE(Contains(Log, "not found: nothere.rcc"));
    EXPECT_FALSE(Contains(Log, "webres.dll"));
}

TEST_F(SkinStyleTest, ColourSettingsByTypeAndValidate) {
    Write("black.rcc/public/color_setting.ini",
          "[title_text]\nvalue=#FF8000\ntype=RGB\nvalidate=1\n"
          "[bgr]\nvalue=$0080FF\ntype=BGR\n"
          "[parts]\nvalue=255, 128, 0\ntype=RGB\n"
          "[off]\nvalue=1\nvalidate=0\n"
          "[bad]\nvalue=orange\n"
          "[odd]\nvalue=1\ntype=HSV\n");
    Write("black.rcc/color_setting.ini", "[bgr]\nvalue=clBlue\n");
    Write("black.rcc/public/main.ini", "[lbl]\nFont.Color=title_text\n");
    Load();
    EXPECT_EQ(Style.ColorSetting("TITLE_TEXT"), RGB(255, 128, 0));
    EXPECT_EQ(Style.ColorSetting("parts"), RGB(255, 128, 0));
    EXPECT_EQ(Style.ColorSetting("bgr"), clBlue);
    EXPECT_FALSE(Style.ColorSetting("off"));
    EXPECT_FALSE(Style.ColorSetting("bad"));
    EXPECT_FALSE(Style.ColorSetting("odd"));
    EXPECT_TRUE(Contains(Log, "bad"));
    EXPECT_TRUE(Contains(Log, "HSV"));

    TFakeControl control;
    TRdSkinClass skin([&]() -> TPropertyTable& { return control.Table; }, &Style);
    skin.SetSkinClass("lbl");
    EXPECT_EQ(control.FontColor, RGB(255, 128, 0));
}

TEST_F(SkinStyleTest, ClassKeyLimitsToAControlClassAndSkinRccServesPictures) {
    Write("black.rcc/public/main.ini",
          "[btn]\nclass=TRdImageButton\nSkinRcc=extra\nWidth=3\n[lbl]\nparent=btn\nclass=TRdLabel\nWidth=4\n"
          "[evil]\nSkinRcc=../outside\n");
    Write("extra.rcc/images/n.png", "extra-n");
    Write("black.rcc/images/n.png", "black-n");
    Write("black.rcc/images/o.png", "black-o");
    fs::create_directories(Dir.path() / "outside.rcc");
    Load();
    const TSkinClassValues& lbl = Style.ClassValues("lbl");
    EXPECT_EQ(lbl.ControlClass, "TRdLabel");
    EXPECT_EQ(lbl.SkinRcc, "extra");
    EXPECT_EQ(lbl.Values, (std::vector<std::pair<std::string, std::string>>{{"Width", "4"}}));

    TFakeControl control;
    control.Table.SetClassName("TRdImageButton");
    TRdSkinClass skin([&]() -> TPropertyTable& { return control.Table; }, &Style);
    skin.SetSkinClass("btn");
    EXPECT_EQ(control.Width, 3);
    EXPECT_EQ(skin.ReadFile(":/images/n.png"), "extra-n");
    EXPECT_EQ(skin.ReadFile(":/images/o.png"), "black-o");

    skin.SetSkinClass("lbl");
    EXPECT_EQ(control.Width, 3);
    EXPECT_TRUE(skin.CurrentValues().empty());
    EXPECT_TRUE(Contains(Log, "for TRdLabel, not TRdImageButton"));

    skin.SetSkinClass("evil");
    EXPECT_EQ(skin.ReadFile(":/images/n.png"), "black-n");
    EXPECT_EQ(Style.ClassPackage("../outside"), nullptr);
    EXPECT_TRUE(Contains(Log, "not found: ../outside"));
}

TEST_F(SkinStyleTest, SecondMainStyleIsRefused) {
    ASSERT_EQ(TRdSkinStyle::MainStyle(), nullptr);
    EXPECT_TRUE(Style.SetMainSkin(true));
    EXPECT_TRUE(Style.MainSkin());
    {
        TRdSkinStyle second;
        std::vector<std::string> secondLog;
        second.OnLog = [&](const std::string& line) { secondLog.push_back(line); };
        EXPECT_FALSE(second.SetMainSkin(true));
        EXPECT_FALSE(second.MainSkin());
        EXPECT_EQ(TRdSkinStyle::MainStyle(), &Style);
        EXPECT_EQ(second.CurMainStyle(), "SkinStyle1");
        EXPECT_EQ(secondLog, (std::vector<std::string>{"warning: main.SkinStyle exists! must close unit: "
                                                       "uMain.SkinStyle1,\r\n\r\nand Re-open Current Form !!"}));
        EXPECT_TRUE(Style.SetMainSkin(false));
        EXPECT_TRUE(second.SetMainSkin(true));
    }
    // The second style was main when it went away: nobody is main now.
    EXPECT_EQ(TRdSkinStyle::MainStyle(), nullptr);
    EXPECT_TRUE(Style.SetMainSkin(true));
    EXPECT_TRUE(Style.SetMainSkin(false));
}

TEST_F(SkinStyleTest, ClassWithoutStyleFollowsTheMainStyle) {
    Write("black.rcc/public/main.ini", "[btn]\nWidth=6\n");
    TFakeControl control;
    TRdSkinClass skin([&]() -> TPropertyTable& { return control.Table; });
    skin.SetSkinClass("btn");
    EXPECT_EQ(control.Width, 0);
    Load();
    EXPECT_EQ(control.Width, 0);  // not the main style yet
    ASSERT_TRUE(Style.SetMainSkin(true));
    EXPECT_EQ(control.Width, 6);
    Write("black.rcc/public/main.ini", "[btn]\nWidth=7\n");
    Style.Reload();
    EXPECT_EQ(control.Width, 7);
    Style.SetMainSkin(false);
}

TEST_F(SkinStyleTest, SubscriptionsEndWithEitherSide) {
    Write("black.rcc/public/main.ini", "[btn]\nWidth=6\n");
    Load();
    TFakeControl control;
    {
        TRdSkinClass gone([&]() -> TPropertyTable& { return control.Table; }, &Style);
        gone.SetSkinClass("btn");
    }
    Style.Reload();  // must not reach the destroyed skin class

    auto style = std::make_unique<TRdSkinStyle>();
    TRdSkinClass skin([&]() -> TPropertyTable& { return control.Table; }, style.get());
    int applied = 0;
    skin.OnApplied = [&](TRdSkinClass&) { ++applied; };
    style.reset();
    EXPECT_EQ(skin.Style(), nullptr);
    EXPECT_EQ(applied, 0);
    skin.SetSkinClass("btn");  // no main style: nothing found, nothing dangling
    EXPECT_EQ(applied, 1);
    EXPECT_TRUE(skin.SkinValues().empty());
}

TEST_F(SkinStyleTest, OnAppliedMayChangeTheClassWithoutNesting) {
    Write("black.rcc/public/main.ini", "[a]\nWidth=1\n[b]\nWidth=2\n");
    Load();
    TFakeControl control;
    TRdSkinClass skin([&]() -> TPropertyTable& { return control.Table; }, &Style);
    int depth = 0, maxDepth = 0;
    skin.OnApplied = [&](TRdSkinClass& sender) {
        maxDepth = std::max(maxDepth, ++depth);
        if (sender.SkinClass() == "a") sender.SetSkinClass("b");
        --depth;
    };
    skin.SetSkinClass("a");
    EXPECT_EQ(control.Width, 2);
    EXPECT_EQ(maxDepth, 1);
}

TEST(RdSkinClassDraw, DefaultsAndRanges) {
    TRdSkinClassDraw draw;
    EXPECT_EQ(draw.DrawAlpha(), 255);
    EXPECT_EQ(draw.DrawScale(), 100);
    EXPECT_EQ(draw.DrawBkgBlur(), 0);
    EXPECT_EQ(draw.DrawBlur(), 0);
    EXPECT_FALSE(draw.DrawGray());
    EXPECT_EQ(draw.SmoothFilter(), psfFastSmooth);
    EXPECT_FALSE(draw.MergeBkg());
    int changes = 0;
    draw.OnChange = [&] { ++changes; };
    draw.SetDrawAlpha(300);
    EXPECT_EQ(draw.DrawAlpha(), 255);
    EXPECT_EQ(changes, 0);
    draw.SetDrawScale(-5);
    EXPECT_EQ(draw.DrawScale(), 1);
    const TPropertyTable table = draw.Properties();
    EXPECT_EQ(table.Apply("smoothfilter", TSkinValue::Ident("psfSmooth")).Result, TApplyResult::Applied);
    EXPECT_EQ(draw.SmoothFilter(), psfSmooth);
    EXPECT_EQ(changes, 2);
}
