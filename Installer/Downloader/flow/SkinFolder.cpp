#include "Installer/Downloader/flow/SkinFolder.h"

#include <exception>

#include "public/rdcontrol/ini/SafeIniFile.h"

TSkinColors ReadColorIni(const std::string& file, int currentWidth, int currentHeight) {
    TSkinColors c;
    c.width = currentWidth;
    c.height = currentHeight;
    try {
        TSafeIniFile ini;
        ini.LoadFromFile(file);
        auto read = [&](const char* key, long long def) { return ini.ReadInteger("Public", key, def); };
        auto colour = [&](const char* key, std::uint32_t def) { return static_cast<std::uint32_t>(read(key, def)); };
        auto size = [&](const char* key, int current) {
            const long long value = read(key, current);
            return value >= kMinSkinWindowSize && value <= kMaxSkinWindowSize ? static_cast<int>(value) : current;
        };
        c.width = size("Width", currentWidth);
        c.height = size("Height", currentHeight);
        c.bgColor = colour("bg_color", c.bgColor);
        c.licenseColor = colour("lbl_License_Color", c.licenseColor);
        c.optionColor = colour("lbl_Option_Color", c.optionColor);
        c.installButtonColor = colour("btn_Install_Color", c.installButtonColor);
        c.languageColor = colour("Language_color", c.languageColor);
        c.optionTitleColor = colour("lbl_OptionTitle_Color", c.optionTitleColor);
        c.installingColor = colour("lbl_Installing_Color", c.installingColor);
        c.proxyButtonColor = colour("lbl_btnProxy_Color", c.proxyButtonColor);
        c.finishedButtonColor = colour("lbl_btnFinished_Color", c.finishedButtonColor);
    } catch (const std::exception&) {
        TSkinColors defaults;
        defaults.width = currentWidth;
        defaults.height = currentHeight;
        return defaults;
    }
    return c;
}

const std::vector<TSkinPicture>& SkinPictureTable() {
    static const std::vector<TSkinPicture> table = {
        {"background.png", "img_back", ""},
        {"quill_icon.png", "imgTitle", ""},
        {"btn_install_normal.png", "lbl_AgreenInstall", "normal"},
        {"btn_Install_Over.png", "lbl_AgreenInstall", "over"},
        {"btn_Install_Press.png", "lbl_AgreenInstall", "down"},
        {"content_bg_default.png", "SubBg", ""},
        {"btn_form_close_normal.png", "btnClose", "normal"},
        {"btn_form_close_over.png", "btnClose", "over"},
        {"btn_form_close_press.png", "btnClose", "down"},
        {"btn_form_minmize_normal.png", "btnMin", "normal"},
        {"btn_form_minmize_over.png", "btnMin", "over"},
        {"btn_form_minmize_press.png", "btnMin", "down"},
        {"scrollbarver_bar_normal.png", "Cbx_Language", "scroll"},
        {"language_normal.png", "Cbx_Language", "background"},
        {"language_press.png", "Cbx_Language", "pressed"},
        {"language_over.png", "Cbx_Language", "focused"},
        {"btn_subscribe_normal.png", "btnBroswe", "normal"},
        {"btn_subscribe_over.png", "btnBroswe", "over"},
        {"btn_subscribe_press.png", "btnBroswe", "down"},
        {"checkbox_unchecked.png", "cbxCreateIcon", "unchecked"},
        {"checkbox_checked.png", "cbxCreateIcon", "checked"},
        {"btnmin_install_normal.png", "btnOptionInstall", "normal"},
        {"btnmin_install_over.png", "btnOptionInstall", "over"},
        {"btnmin_install_press.png", "btnOptionInstall", "down"},
        {"loading_bar.png", "imgProgress", "bar"},
        {"loading_bar_bg.png", "imgProgress", "background"},
        {"content_bg_installing.png", "img_Install_bg", ""},
        {"btn_subscribe_normal.png", "btnProxy", "normal"},
        {"btn_subscribe_over.png", "btnProxy", "over"},
        {"btn_subscribe_press.png", "btnProxy", "down"},
        {"btn_subscribe_normal.png", "btnFinished", "normal"},
        {"btn_subscribe_over.png", "btnFinished", "over"},
        {"btn_subscribe_press.png", "btnFinished", "down"},
    };
    return table;
}
