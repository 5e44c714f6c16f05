// The installer window's languages: the selector, the start-up choice, loading a
// language file from the program's resources, translating the window and the texts
// that need formatting or measuring.
#include <cctype>
#include <exception>
#include <filesystem>

#include "Installer/Downloader/flow/LanguageChoice.h"
#include "Installer/Downloader/window/uMain.h"
#include "os/Utf8Path.h"
#include "services/UILanguage.h"
#include "services/VantorConfig.h"


#undef GetMessage  // <windows.h>'s name for GetMessageW; here it is TLanguage's

namespace {

const char* const kProductName = "Qarto Private Browser";

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Format(const std::string& text, const std::string& value) {
    std::string out = text;
    if (const size_t at = out.find("%s"); at != std::string::npos) out.replace(at, 2, value);
    return out;
}

// Every occurrence of `from` (compared without regard to case) replaced by `to`.
std::string ReplaceNoCase(const std::string& text, const std::string& from, const std::string& to) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        bool match = i + from.size() <= text.size();
        for (size_t k = 0; match && k < from.size(); ++k)
            match = std::tolower(static_cast<unsigned char>(text[i + k])) ==
                    std::tolower(static_cast<unsigned char>(from[k]));
        if (match && !from.empty()) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

// The font that has the language's script, the way Windows installers choose one
// where Segoe UI has none: the system fonts of each script. GDI's font linking
// covers anything else.
constexpr int kOptionLinkMinWidth = 100;

std::string FontFor(const std::string& language) {
    if (language == "Japanese") return "Meiryo UI";
    if (language == "Korean") return "Malgun Gothic";
    if (language == "ChineseTrad") return "Microsoft JhengHei UI";
    if (language == "Arabic" || language == "Hebrew") return "Tahoma";
    return "Segoe UI";
}

}  // namespace

void TfrmZYRDownloader::BuildLanguageList() {
    FLanguageNames.clear();
    std::vector<std::string> items;
    for (const TLanguageEntry& e : LanguageList()) {
        items.emplace_back(e.selectorText);
        FLanguageNames.emplace_back(e.name);
    }
    Cbx_Language->SetItems(items);
    Cbx_Language->SetItemIndex(0);
}

std::string TfrmZYRDownloader::GetLanguageName() {
    std::optional<std::string> saved;
    try {
        const std::string file = BrowserUserDataDir() + "config.kvdt";
        std::error_code ec;
        if (std::filesystem::exists(Utf8Path(file), ec)) {
            TVantorConfig config(file, FEnv.clock);
            saved = config.ReadString("Main", "Language", "");
        }
    } catch (const std::exception&) {
    }
    std::string name = ChooseLanguageName(GetUILanguageId(FEnv.os), saved);
    if (!LoadLanguage(name)) {
        name = "English";
        LoadLanguage(name);
    }
    return name;
}

bool TfrmZYRDownloader::LoadLanguage(const std::string& name) {
    if (name.empty()) return false;
    try {
        if (const auto bytes = FEnv.platform.Resource(Upper(name))) FLanguage.LoadFromBytes(*bytes);
    } catch (const std::exception&) {
    }
    return true;
}

void TfrmZYRDownloader::SelectStartLanguage() {
    const auto index = LanguageIndex(FCurLanguageName);
    if (!index) {
        FCurLanguageName = "English";
        Cbx_Language->SetItemIndex(static_cast<int>(*LanguageIndex("English")));
        LoadLanguage("English");
    } else {
        Cbx_Language->SetItemIndex(static_cast<int>(*index));
    }
    ApplyLanguageFont();
    FLanguage.TranslateForm(*this);
    ApplyCustomTexts();
    Tray->SetHint(Format(Msg("M_TrayTips", "Installing %s..."), kProductName));
}

void TfrmZYRDownloader::LanguageChanged() {
    const int index = Cbx_Language->ItemIndex();
    if (index < 0 || index >= static_cast<int>(FLanguageNames.size())) return;
    FCurLanguageName = FLanguageNames[static_cast<size_t>(index)];
    LoadLanguage(FCurLanguageName);
    try {
        ApplyLanguageFont();
        FLanguage.TranslateForm(*this);
        ApplyCustomTexts();
    } catch (const std::exception&) {
    }
    TraceLine("language: " + FCurLanguageName);
}

void TfrmZYRDownloader::ApplyLanguageFont() {
    const std::string font = FontFor(FCurLanguageName);
    if (font == FFontName) return;
    const std::string old = FFontName;
    FFontName = font;
    FNoticeEnvironment.FontName = font == "Segoe UI" ? "Roboto" : font;
    auto move = [&](TRdFont& f) {
        if (f.Name() == old) f.SetName(font);
    };
    for (int index = 0; index < ComponentCount(); ++index) {
        TComponent* c = Component(index);
        if (auto* control = dynamic_cast<TControl*>(c)) move(control->Font());
        if (auto* edit = dynamic_cast<TRdEdit*>(c)) {
            move(edit->FontNormal());
            move(edit->FontError());
            move(edit->FontDisabled());
        }
        if (auto* html = dynamic_cast<TRdHtmLabel*>(c))
            for (int i = 0; i < html->LinkItems().Count(); ++i) {
                move(html->LinkItems()[i].Font());
                move(html->LinkItems()[i].FontHover());
            }
    }
    Font().SetName(font);
}

std::string TfrmZYRDownloader::Msg(const std::string& key, const std::string& def) const {
    try {
        return FLanguage.GetMessage(key, def);
    } catch (const std::exception&) {
        return def;
    }
}

std::string TfrmZYRDownloader::ReadFormText(const std::string& section, const std::string& key,
                                            const std::string& def) const {
    try {
        return FLanguage.ReadString(section, key, def);
    } catch (const std::exception&) {
        return def;
    }
}

int TfrmZYRDownloader::TextWidth(TControl* control, const std::string& text) const {
    return DefaultTextRenderer().TextWidth(control->Font().Spec(), text);
}

void TfrmZYRDownloader::CentreHorizontally(TControl* control) const {
    control->SetLeft(Width() / 2 - control->Width() / 2);
}

void TfrmZYRDownloader::ApplyCustomTexts() {
    const std::string section = "ZYR_frmZYRDownloader";
    // 1-3.
    lblCaption->SetCaption(Format(ReadFormText(section, "lblCaption.Caption", "%s Installer"), kProductName));
    btnOptionInstall->SetCaption(lbl_AgreenInstall->Caption());
    btnProxy->SetCaption(Msg("M_Apply", "Apply"));
    // 4. The licence line: the install button's caption in quotes, then the product.
    std::string license = Msg("M_License",
                              "By clicking %s1, you agree to install %s2 and accept its <a>EULA</a> & <a>Privacy "
                              "Policy</a>.");
    license = ReplaceNoCase(license, "%s1", "\"" + lbl_AgreenInstall->Caption() + "\"");
    license = ReplaceNoCase(license, "%s2", kProductName);
    InstallLicense->SetCaption(license);
    // 5-6. The check buttons as wide as their text + 20, counted from where the text
    // starts: right of the box (the text offset), so no language's caption is cut.
    cbxTaskbar->SetCaption(Msg("M_cbxTaskbar", "Pin to taskbar"));
    cbxTaskbar->SetWidth(cbxTaskbar->TextOffset() + TextWidth(cbxTaskbar, cbxTaskbar->Caption()) + 20);
    cbxCreateIcon->SetWidth(
        cbxCreateIcon->TextOffset() +
        TextWidth(cbxCreateIcon, ReadFormText(section, "cbxCreateIcon.Caption", "Create a desktop icon")) + 20);
    // 7. "Cancel" keeps the bar's right edge.
    lbl_DownloadpgCancel->SetCaption(ReadFormText(section, "lbl_Cancel.Caption", "Cancel"));
    {
        const int barRight = imgProgress_DP->Left() + imgProgress_DP->Width();
        lbl_DownloadpgCancel->SetLeft(barRight - lbl_DownloadpgCancel->Width());
    }
    // 8. "Customize..." as wide as its text, at least 100 pixels (a fair target for the
    // pointer in every language), centred.
    lbl_Option->SetAutoSize(true);
    if (lbl_Option->Width() < kOptionLinkMinWidth) {
        lbl_Option->SetAutoSize(false);
        lbl_Option->SetWidth(kOptionLinkMinWidth);
    }
    CentreHorizontally(lbl_Option);
    // 9-11.
    lbl_MainpgTitle->SetCaption(Format(Msg("M_MainpgTitle", "Ready to install %s"), kProductName));
    lbl_MainpgFunc->SetTop(lbl_MainpgTitle->Top() + lbl_MainpgTitle->Height() + 4);
    Rdbtn_MainpgVer->SetCaption(Msg("M_MainpgVer", "Version") + " 1.0.0");
    lblDownloadpgInstalling->SetCaption(Msg("M_DownloadpgInstall", "Installing") + ": 0%");
    // 12.
    for (TControl* c : std::initializer_list<TControl*>{InstallLicense, lbl_AgreenInstall, btnFinished,
                                                        Rdbtn_FinishpgFeedback, lbl_OptionpgBack})
        CentreHorizontally(c);
    // 13. A caption too wide for its button shows in full as the hint.
    for (TRdImageButton* b : {btnOptionInstall, lbl_AgreenInstall}) {
        const bool tooWide = TextWidth(b, b->Caption()) > b->Width();
        b->SetShowHint(tooWide);
        b->SetHint(tooWide ? b->Caption() : std::string());
    }
    // 14.
    const int pageHeight = PageTab_Main->Height() > 0 ? PageTab_Main->Height() : 350;
    InstallLicense->SetTop(pageHeight - InstallLicense->Height() - (InstallLicense->Height() > 40 ? 10 : 20));
}
