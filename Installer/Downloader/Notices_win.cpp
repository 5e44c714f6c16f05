#include "Installer/Downloader/UnitNotice.h"
#include "Installer/Downloader/UnitSysSupportNoticeNew.h"

std::unique_ptr<TForm_Notice> Form_Notice;
std::unique_ptr<TFormSysNotice> FormSysNotice;
