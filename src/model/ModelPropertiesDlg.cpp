#include "model/ModelPropertiesDlg.h"

#include "platform/DataExchange.h"
#include "settings/SettingList.h"

CModelPropertiesDlg::CModelPropertiesDlg(CSettingList& working, std::string& title)
    : CSettingsDialog({IDC_UPDATE, IDC_RECALL, IDC_RESET, 0}, {{IDC_HELP, HelpContext}}), Working(working),
      Title(title) {}

void CModelPropertiesDlg::DoDataExchange(DataExchange& dx) {
    ExchangeTitleAndNotes(dx, IDC_TITLE, Title, kMaxTitleLength);
    Working.Exchange(dx);
}

std::span<CSettingList> CModelPropertiesDlg::WorkingLists() {
    return {&Working, 1};
}

bool CModelPropertiesDlg::TakeForApply(DataExchange& dx) {
    const std::string title = Title;
    if (TakeControls(dx)) return true;
    Title = title;
    return false;
}
