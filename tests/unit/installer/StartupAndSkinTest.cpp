// Start-up refusals, dialog placement, the skin folder's colour file and the theme
// page's choice.
#include <gtest/gtest.h>

#include <fstream>

#include "Installer/Downloader/flow/SkinFolder.h"
#include "Installer/Downloader/flow/StartupChecks.h"
#include "Installer/Downloader/flow/ThemeChoice.h"
#include "tests/unit/FakeOs.h"
#include "tests/unit/TempDir.h"

namespace {

TEST(StartupChecks, SixtyFourBitWindows7OrLater) {
    struct Row {
        WindowsVersion version;
        bool windows64;
        bool supported;
    };
    for (const Row& r : {Row{{6, 0, 6002}, true, false}, Row{{6, 1, 7601}, true, true}, Row{{6, 1, 7601}, false, false},
                         Row{{6, 2, 9200}, true, true}, Row{{6, 3, 9600}, true, true}, Row{{10, 0, 19045}, true, true},
                         Row{{10, 0, 22631}, false, false}, Row{{5, 1, 2600}, true, false}}) {
        FakeOs os;
        os.system.version = r.version;
        os.system.windows64 = r.windows64;
        EXPECT_EQ(IsSystemSupported(os.services), r.supported)
            << r.version.major << "." << r.version.minor << " 64-bit " << r.windows64;
    }
}

TEST(StartupChecks, SimplifiedChineseSystemOrInterfaceIsRestricted) {
    struct Row {
        std::uint16_t systemLanguage;
        std::uint16_t userUi;
        bool restricted;
    };
    for (const Row& r : {Row{0x0409, 0x0409, false}, Row{0x0804, 0x0409, true}, Row{0x0409, 0x0804, true},
                         Row{0x0804, 0x0804, true}, Row{0x0404, 0x0C04, false}, Row{0x1004, 0x0409, false}}) {
        FakeOs os;
        os.locale.systemLanguageId = r.systemLanguage;
        os.locale.systemLocaleId = 0x0409;  // the language identifier decides, not the locale
        os.locale.userUILanguage = r.userUi;
        EXPECT_EQ(IsRegionRestricted(os.services), r.restricted) << std::hex << r.systemLanguage << " " << r.userUi;
    }
}

TEST(NoticePlacement, CentredOverAVisibleWindowElseTopLeft) {
    const TScreenRect main{300, 200, 640, 390};
    const TScreenPoint centred = NoticePosition(main, true, false, 324, 152);
    EXPECT_EQ(centred.x, 300 + (640 - 324) / 2);
    EXPECT_EQ(centred.y, 200 + (390 - 152) / 2);
    const TScreenPoint odd = NoticePosition({-101, 0, 325, 151}, true, false, 324, 152);
    EXPECT_EQ(odd.x, -101);  // (325 - 324) / 2 = 0
    EXPECT_EQ(odd.y, 0);     // (151 - 152) / 2 rounds toward zero
    for (auto [visible, minimised] : {std::pair{false, false}, std::pair{true, true}}) {
        const TScreenPoint p = NoticePosition(main, visible, minimised, 324, 152);
        EXPECT_EQ(p.x, 0);
        EXPECT_EQ(p.y, 0);
    }
    const TScreenPoint sys = CentredOn({0, 0, 1280, 1024}, 344, 172);
    EXPECT_EQ(sys.x, 468);
    EXPECT_EQ(sys.y, 426);
}

// The skin folder lies beside the program, where others may put one: a window size
// outside 200..4096 pixels (each of width and height) keeps the built-in size.
TEST(SkinColors, WindowSizesOutsideTheBoundsKeepTheBuiltInSize) {
    struct Case {
        const char* width;
        const char* height;
        int expectedWidth, expectedHeight;
    } cases[] = {
        {"200", "4096", 200, 4096},
        {"199", "4097", 640, 390},
        {"65536", "65536", 640, 390},    // width x height x 4 wraps a 32-bit size to 0
        {"-640", "-390", 640, 390},
        {"4294967936", "390", 640, 390},  // 2^32 + 640: an int would keep 640
        {"800", "0", 800, 390},
    };
    TempDir dir;
    const std::string file = (dir.path() / "Color.ini").string();
    for (const Case& c : cases) {
        std::ofstream(file, std::ios::trunc) << "[Public]\nWidth=" << c.width << "\nHeight=" << c.height << "\n";
        const TSkinColors colors = ReadColorIni(file, 640, 390);
        EXPECT_EQ(colors.width, c.expectedWidth) << c.width << " x " << c.height;
        EXPECT_EQ(colors.height, c.expectedHeight) << c.width << " x " << c.height;
    }
}

TEST(SkinColors, OnlyTheWidthGivenTheRestTakesTheSkinDefaults) {
    TempDir dir;
    const std::string file = (dir.path() / "Color.ini").string();
    std::ofstream(file) << "[Public]\nWidth=800\nbg_color=not a number\nLanguage_color=$FF\n";
    const TSkinColors c = ReadColorIni(file, 640, 390);
    EXPECT_EQ(c.width, 800);
    EXPECT_EQ(c.height, 390);
    EXPECT_EQ(c.bgColor, 15856113u);
    EXPECT_EQ(c.licenseColor, 0x807366u);  // RGB(102, 115, 128), blue in the high byte
    EXPECT_EQ(c.languageColor, 0xFFu);
    EXPECT_EQ(c.installButtonColor, 0xFFFFFFu);

    const TSkinColors missing = ReadColorIni((dir.path() / "none.ini").string(), 700, 400);
    EXPECT_EQ(missing.width, 700);
    EXPECT_EQ(missing.height, 400);
}

TEST(SkinPictures, TableOrderAndRepeatedButtonPictures) {
    const auto& table = SkinPictureTable();
    ASSERT_FALSE(table.empty());
    EXPECT_STREQ(table.front().file, "background.png");
    EXPECT_STREQ(table.back().control, "btnFinished");
    int subscribe = 0;
    for (const TSkinPicture& p : table)
        if (std::string(p.file) == "btn_subscribe_normal.png") ++subscribe;
    EXPECT_EQ(subscribe, 3);  // Browse, proxy and Run Now share the picture
}

TEST(ThemeChoice, DarkPreviewThenLightCheckBox) {
    TThemeChoice t;
    EXPECT_EQ(t.Value(), "Light");
    t.SelectDark();
    EXPECT_TRUE(t.darkChecked && t.darkFrame && !t.lightChecked && !t.lightFrame);
    EXPECT_EQ(t.Value(), "Dark");
    t.SelectLight();
    EXPECT_TRUE(t.lightChecked && t.lightFrame && !t.darkChecked && !t.darkFrame);
    EXPECT_EQ(t.Value(), "Light");
}

}  // namespace
