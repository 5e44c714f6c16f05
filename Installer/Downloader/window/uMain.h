#pragma once
// TfrmZYRDownloader: the installer's window. A borderless 640 x 390 per-pixel-alpha
// form with a shadow, a title strip (icon, product name, language selector,
// minimise, close) and a notebook of seven pages. It builds its controls, runs the
// start-up sequence (FormCreate), binds the controls to the portable logic (page
// flow, install options, language, skin and theme, the install flow) and carries
// out what that logic asks of a window. Portable: the system is reached through
// OsServices, TInstallerPlatform and the framework.
//
// The window lives from program start to program end. UI thread only.
#include <memory>
#include <string>
#include <vector>

#include "Installer/Downloader/flow/BuiltInPictures.h"
#include "Installer/Downloader/flow/InstallFlow.h"
#include "Installer/Downloader/flow/InstallOptions.h"
#include "Installer/Downloader/flow/PLanguage.h"
#include "Installer/Downloader/flow/PageFlow.h"
#include "Installer/Downloader/flow/ThemeChoice.h"
#include "Installer/Downloader/platform/InstallerPlatform.h"
#include "Installer/Downloader/window/UnitNotice.h"
#include "public/rdcontrol/controls/form/RdFormSkin.h"
#include "public/rdcontrol/controls/imagebutton/RdImageButton.h"
#include "public/rdcontrol/controls/input/RdComboBox.h"
#include "public/rdcontrol/controls/input/RdEdit.h"
#include "public/rdcontrol/controls/label/RdHtmLabel.h"
#include "public/rdcontrol/controls/label/RdLabel.h"
#include "public/rdcontrol/controls/notebook/PageNote.h"
#include "public/rdcontrol/controls/progress/RdProgressBar.h"
#include "public/rdcontrol/controls/tray/CCTrayIcon.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/RdControls.h"
#include "services/ApiClient.h"
#include "services/BrowserProbe.h"
#include "services/Deployment.h"
#include "services/MachineIdentity.h"

class Clock;
class CurlMulti;
class InternetSettings;

// What the window is given; everything must outlive it.
struct TInstallerEnvironment {
    const OsServices& os;
    const InternetSettings& internet;
    const Clock& clock;
    CurlMulti& curl;
    TInstallerPlatform& platform;
};

class TfrmZYRDownloader : public TCustomForm, private TInstallOptionsView, private TInstallFlowView {
public:
    TfrmZYRDownloader(TComponent* owner, TInstallerEnvironment environment);
    ~TfrmZYRDownloader() override;

    // --- Fields other parts of the installer read ---------------------------------
    std::string FInstallPath;  // mirrors the options' folder
    std::string FDownloadPath;
    bool FExistingInstall = false;
    std::string FLastMD5;
    std::string FLanguageName, FCurLanguageName;
    std::vector<std::string> FLanguageNames;
    bool FCloseClicked = false;
    bool FClosing = false;
    std::string InstallSource;
    bool LaunchBrowser = false;
    // The browser could not be started with the user's rights: the success page says so.
    bool FBrowserStartRefused = false;

    // --- Controls (owned by the form) ----------------------------------------------
    TRdPanel* pnlCenter = nullptr;
    TRdImage* img_back = nullptr;
    TRdImage* imgTitle = nullptr;
    TRdLabel* lbl_Title = nullptr;
    TRdLabel* lblCaption = nullptr;
    TRdComboBox* Cbx_Language = nullptr;
    TRdImageButton* btnMin = nullptr;
    TRdImageButton* btnClose = nullptr;
    TPageNote* PageNoteInstall = nullptr;
    TCCTrayIcon* Tray = nullptr;
    TRdFormSkin* FormSkin = nullptr;

    TPageTab* PageTab_Main = nullptr;
    TPageTab* PageTab_InstallOption = nullptr;
    TPageTab* PageTab_Color = nullptr;
    TPageTab* PageTab_Download = nullptr;
    TPageTab* PageTab_Finished = nullptr;
    TPageTab* PageTab_Install = nullptr;
    TPageTab* PageTab_Proxy = nullptr;

    // Main page.
    TRdImage* SubBg = nullptr;
    TRdImage* Img_MainpgLogo1 = nullptr;
    TRdImage* Img_MainpgLogo2 = nullptr;
    TRdLabel* lbl_MainpgTitle = nullptr;
    TRdLabel* lbl_MainpgFunc = nullptr;
    TRdImageButton* lbl_AgreenInstall = nullptr;
    TRdLabel* lbl_Option = nullptr;
    TRdHtmLabel* InstallLicense = nullptr;
    TRdImageButton* Rdbtn_MainpgVer = nullptr;
    TRdLabel* lbl_Back = nullptr;
    // Options page.
    TRdImage* Image_Optionbg = nullptr;
    TRdImage* Img_OptionpgLogo1 = nullptr;
    TRdImage* Img_OptionpgLogo2 = nullptr;
    TRdLabel* lbl_OptionTitle = nullptr;
    TRdLabel* lbl_ChoosePath = nullptr;
    TRdEdit* edtPath = nullptr;
    TRdImageButton* btnBroswe = nullptr;
    TRdImageButton* cbxCreateIcon = nullptr;
    TRdImageButton* cbxTaskbar = nullptr;
    TRdImageButton* btnOptionInstall = nullptr;
    TRdLabel* lbl_OptionpgBack = nullptr;
    bool cbxBookmark = false;  // the hidden bookmark option
    // Theme page.
    TRdImage* Image_ColorBg = nullptr;
    TRdImage* Image_ColorpgTitle = nullptr;
    TRdLabel* lbl_ColorpgCap = nullptr;
    TRdImage* Image_ColorpgWhite = nullptr;
    TRdImage* Image_ColorpgBlack = nullptr;
    TRdImage* Image_ColorpgWhiteHot = nullptr;
    TRdImage* Image_ColorpgBlackHot = nullptr;
    TRdImage* Image_ColorpgWhiteHover = nullptr;
    TRdImage* Image_ColorpgBlackHover = nullptr;
    TRdImageButton* cbxColorpg_Light = nullptr;
    TRdImageButton* cbxColorpg_Dark = nullptr;
    TRdImageButton* Rdbtn_ColorpgDone = nullptr;
    // Download page.
    TRdImage* Image_DownloadBg = nullptr;
    TRdImage* Img_DownloadpgLogo1 = nullptr;
    TRdImage* Img_DownloadpgLogo2 = nullptr;
    TRdLabel* lbl_DownloadpgTitle = nullptr;
    TRdLabel* lbl_DownloadpgDes = nullptr;
    TRdProgressBar* imgProgress_DP = nullptr;
    TRdLabel* lblDownloadpgInstalling = nullptr;
    TRdLabel* Label_Initializing_DP = nullptr;
    TRdLabel* lbl_DownloadpgCancel = nullptr;
    // Finish page.
    TRdImage* Image_FinishedBg = nullptr;
    TRdImage* Img_FinishpgLogo1 = nullptr;
    TRdImage* Img_FinishpgLogo2 = nullptr;
    TRdLabel* lbl_FinishpgTitle = nullptr;
    TRdLabel* lbl_FinishpgDes = nullptr;
    TRdImageButton* Rdbtn_FinishpgSetDefault = nullptr;
    TRdImageButton* btnFinished = nullptr;
    TRdImageButton* Rdbtn_FinishpgClose = nullptr;
    TRdLabel* Rdbtn_FinishpgFeedback = nullptr;
    // Install page (never shown) with the window's bottom bar.
    TRdImage* img_Install_bg = nullptr;
    TRdProgressBar* imgProgress = nullptr;
    TRdLabel* Label_Cap_DP = nullptr;
    // Proxy page (never shown): its edits hold the proxy settings.
    TRdImage* Image_ProcxyBg = nullptr;
    TRdEdit* edtHost = nullptr;
    TRdEdit* edtPort = nullptr;
    TRdEdit* edtUserName = nullptr;
    TRdEdit* edtPwd = nullptr;
    TRdImageButton* btnProxy = nullptr;

    // --- Operations ----------------------------------------------------------------
    void FormCreate();
    void FormShow();
    void FormResize();
    void ShowOptionsPage();
    void ShowMainPage();
    void PrepareInstallStart() override;
    void BringInstallerToFront() override;
    void LoadSkin();
    void ApplyColorIni(const std::string& file);
    bool IsThemeChosen() override;
    void ShowThemePage() override;
    void SaveTheme();
    void ApplyCustomTexts();
    bool LoadLanguage(const std::string& name);
    std::string Msg(const std::string& key, const std::string& def) const;
    std::string ReadFormText(const std::string& section, const std::string& key, const std::string& def) const;
    std::string GetDesktopFolder() const;
    void FinishAndExit();
    // Starts the browser with the user's rights and the start link; false when it
    // cannot be started that way.
    bool StartBrowser();
    void ShowBrowserStartRefused();
    void SaveUserConfig() override;

    // The page dispatcher of the main buttons, and the close button.
    void lbl_AgreenInstallClick();
    void btnCloseClick();
    // The pages as a state machine (tests read it).
    const TPageFlow& Pages() const { return FPages; }
    TInstallOptions& Options() { return FOptions; }
    TInstallFlow& Flow() { return *FFlow; }
    TLanguage& Language() { return FLanguage; }
    const TThemeChoice& Theme() const { return FTheme; }
    TApiClient& Api() { return FApi; }
    const TDeployment& Deployment() const { return FDeployment; }

    // Shows the theme page without a setup run (tests and support). At the first
    // show when the command line has "/ThemePage" and the deployment override key
    // has "TestHooks" = "1".
    void ShowThemePageForTest();
    bool ThemePageRequested() const;

protected:
    bool CloseQuery() override;
    TWindowHitArea WindowHitTest(int x, int y) const override;

private:
    // Construction (uMain_Controls.cpp).
    void BuildControls();
    void BuildTitleStrip();
    void BuildMainPage();
    void BuildOptionsPage();
    void BuildThemePage();
    void BuildDownloadPage();
    void BuildFinishPage();
    void BuildHiddenPages();
    void ApplyBuiltInLook();
    TPageTab* Page(const std::string& name, TColor color);
    TRdImage* PageBackground(TPageTab* page, const std::string& name);
    TRdImage* Picture(TWinControl* parent, const std::string& name, TRect bounds, const std::string& file);
    TRdLabel* Label(TWinControl* parent, const std::string& name, TRect bounds, int pixels, TColor color,
                    const std::string& caption, bool wordWrap = false);
    TRdLabel* LinkLabel(TWinControl* parent, const std::string& name, TRect bounds, const std::string& caption);
    TRdImageButton* MainButton(TWinControl* parent, const std::string& name, TRect bounds, const std::string& caption,
                               const std::string& picturePrefix);
    TRdImageButton* SmallButton(TWinControl* parent, const std::string& name, TRect bounds, const std::string& caption);
    TRdImageButton* CheckButton(TWinControl* parent, const std::string& name, TRect bounds, const std::string& caption,
                                bool checked, bool radio);
    TRdEdit* Edit(TWinControl* parent, const std::string& name, TRect bounds);
    TRdProgressBar* ProgressBar(TWinControl* parent, const std::string& name, TRect bounds, bool thin);
    void BindEvents();

    // Pages and flow (uMain.cpp).
    void ActivatePage(TInstallerPage page);
    void PageChanged(TInstallerPage from, TInstallerPage to);
    void DragWindow();
    void DropPathFocus() override;
    void OpenLink(const std::string& path, bool eula);
    void TraceLine(const std::string& text) const;
    void EndProcessNow();

    // Language (uMain_Language.cpp).
    void BuildLanguageList();
    std::string GetLanguageName();
    void SelectStartLanguage();
    void LanguageChanged();
    void ApplyLanguageFont();
    int TextWidth(TControl* control, const std::string& text) const;
    void CentreHorizontally(TControl* control) const;

    // Skin and theme (uMain_Skin.cpp).
    void SelectLight();
    void SelectDark();
    void ShowThemeState();

    // TInstallOptionsView (uMain_Options.cpp).
    std::string PathText() const override;
    void SetPathText(const std::string& text) override;
    void FocusPathSelectAll() override;
    void ShowWarning(const std::string& messageKey, const std::string& defaultText) override;
    void EndForFullDisk() override;
    void ShowOptionsPageForInvalidPath() override;
    void EnableInstallButtons() override;
    void EnableOptionsInstallButton() override;
    std::string ChooseFolder() override;
    bool CreateFolder(const std::string& path) override;
    bool FolderExists(const std::string& path) const override;
    void RemoveFolderIfEmpty(const std::string& path) override;
    void StartInstall() override;
    void ReadOptionControls();
    void WriteOptionControls();

    // TInstallFlowView (uMain_Flow.cpp).
    void ShowDownloadPage() override;
    void HideBackLink() override;
    void ShowProgress(int position, int statusPercent) override;
    void HideInitializing() override;
    void LockForPackageRun() override;
    void BottomBarToMaximum() override;
    void MinimiseToTray() override;
    bool AskCancel() override;
    bool CancelQuestionOpen() const override;
    void CreateInstallerShortcut() override;
    void EndProcess() override;
    void ShowSuccessPage() override;
    void ShowFailurePage() override;
    bool InstallFinished() override;
    std::unique_ptr<TLockedPackage> HoldPackage(const std::string& file) override;
    std::unique_ptr<TRunningProcess> StartPackage(const std::string& program, const std::string& parameters) override;
    void SecureDownloadFolder(const std::string& folder) override;
    void Trace(const std::string& text) override;
    void OutcomePageShown();
    void WaitForPostFinished();
    std::string GetCustomLanguage() const;
    void SaveLanguageToConfig();
    void MarkSetDefaultBrowser();
    std::string DownloadFolder();
    // uMain_Folders.cpp.
    std::string MakeDownloadFolderSafe(const std::string& folder, const std::string& commonAppData);
    bool InstallFolderAccepted();
    std::string BrowserUserDataDir();

    TInstallerEnvironment FEnv;
    TBuiltInPictures FPictures;
    TPageFlow FPages;
    TInstallOptions FOptions;
    TLanguage FLanguage{"ZYR"};
    TThemeChoice FTheme;
    TDeployment FDeployment;
    TBrowserProbe FProbe;
    TMachineIdentity FIdentity;
    TApiClient FApi;
    // The administrator's consent to the test hooks (services/TestHooks.h), read once:
    // the window, the install flow and the API client follow this one answer.
    bool FTestHooks = false;
    std::unique_ptr<TInstallFlow> FFlow;
    TNoticeEnvironment FNoticeEnvironment;
    bool FSkinLoaded = false;
    bool FFailurePage = false;
    bool FReportSent = false;
    std::string FFontName = "Segoe UI";
};
