// The installer window as the install options see it: the path edit, notices, the
// options page, the folder dialog and folders.
#include <filesystem>

#include "Installer/Downloader/window/uMain.h"
#include "os/Utf8Path.h"

std::string TfrmZYRDownloader::PathText() const { return edtPath->Text(); }

void TfrmZYRDownloader::SetPathText(const std::string& text) {
    if (edtPath->Text() != text) edtPath->SetText(text);
    FInstallPath = FOptions.InstallPath;
}

void TfrmZYRDownloader::FocusPathSelectAll() {
    SetActiveControl(edtPath);
    edtPath->SelectAll();
}

void TfrmZYRDownloader::ShowWarning(const std::string& messageKey, const std::string& defaultText) {
    BringInstallerToFront();
    FNoticeEnvironment.CloseHint = btnClose->Hint();
    ShowNotice(*Application(), this, TNoticeIcon::Warning, Msg(messageKey, defaultText), TNoticeMode::Ok,
               FNoticeEnvironment);
}

void TfrmZYRDownloader::EndForFullDisk() {
    ShowWarning("M_DiskIsFull",
                "This partition doesn't have enough free space (500MB). Please choose another partition to continue "
                "the installation.");
    Tray->SetEnabled(false);
    EndProcessNow();
}

void TfrmZYRDownloader::ShowOptionsPageForInvalidPath() { FPages.Apply(TPageEvent::PathInvalid); }

void TfrmZYRDownloader::EnableInstallButtons() {
    btnOptionInstall->SetEnabled(true);
    lbl_AgreenInstall->SetEnabled(true);
}

void TfrmZYRDownloader::EnableOptionsInstallButton() { btnOptionInstall->SetEnabled(true); }

std::string TfrmZYRDownloader::ChooseFolder() { return FEnv.platform.BrowseForFolder(this, lblCaption->Caption()); }

bool TfrmZYRDownloader::FolderExists(const std::string& path) const {
    std::error_code ec;
    return std::filesystem::is_directory(Utf8Path(path), ec);
}

void TfrmZYRDownloader::RemoveFolderIfEmpty(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(Utf8Path(path), ec) && std::filesystem::is_empty(Utf8Path(path), ec))
        std::filesystem::remove(Utf8Path(path), ec);
}

void TfrmZYRDownloader::StartInstall() {
    FInstallPath = FOptions.InstallPath;
    if (FDownloadPath.empty()) {
        // No download folder could be made safe: nothing is fetched, and the outcome is
        // the failure page a failed download shows.
        TraceLine("install start refused: no safe download folder");
        ShowDownloadPage();
        ShowFailurePage();
        return;
    }
    if (!InstallFolderAccepted()) return;
    FFlow->InstallPath = FInstallPath;
    ReadOptionControls();
    FFlow->Options.desktopIcon = cbxCreateIcon->Checked();
    FFlow->Options.taskbar = cbxTaskbar->Checked();
    FFlow->Options.bookmark = cbxBookmark;
    FFlow->Options.installSource = InstallSource;
    FFlow->StartInstall();
}

// The check buttons and proxy edits into the options' state, and back.
void TfrmZYRDownloader::ReadOptionControls() {
    TUserConfig& o = FOptions.Options;
    o.createDesktopIcon = cbxCreateIcon->Checked();
    o.createTaskbar = cbxTaskbar->Checked();
    o.addBookmark = cbxBookmark;
    o.proxyHost = edtHost->Text();
    o.proxyPort = edtPort->Text();
    o.proxyUser = edtUserName->Text();
    o.proxyPass = edtPwd->Text();
}

void TfrmZYRDownloader::WriteOptionControls() {
    const TUserConfig& o = FOptions.Options;
    cbxCreateIcon->SetChecked(o.createDesktopIcon);
    cbxTaskbar->SetChecked(o.createTaskbar);
    cbxBookmark = o.addBookmark;
    edtHost->SetText(o.proxyHost);
    edtPort->SetText(o.proxyPort);
    edtUserName->SetText(o.proxyUser);
    edtPwd->SetText(o.proxyPass);
}

void TfrmZYRDownloader::SaveUserConfig() {
    ReadOptionControls();
    FOptions.InstallPath = FInstallPath.empty() ? FOptions.InstallPath : FInstallPath;
    FOptions.SaveUserConfig();
}
