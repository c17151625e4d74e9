#include "model/ModelPropertiesDlg.h"

#include "platform/DataExchange.h"
#include "platform/Platform.h"
#include "settings/SettingList.h"

CModelPropertiesDlg::CModelPropertiesDlg(CSettingList& working, std::string& title)
    : Working(working), Title(title) {}

void CModelPropertiesDlg::OnInitDialog(DataExchange& dx) {
    UpdateData(dx, false, [this](DataExchange& d) { DoDataExchange(d); });
}

void CModelPropertiesDlg::DoDataExchange(DataExchange& dx) {
    ExchangeTitleAndNotes(dx, IDC_TITLE, Title, kMaxTitleLength);
    Working.Exchange(dx);
}

void CModelPropertiesDlg::OnUpdate(DataExchange& dx) {
    try {
        UpdateData(dx, true, [this](DataExchange& d) { Working.Exchange(d); });
    } catch (const DataExchangeFailure&) {
        return;
    }
    Working.Update();
}

void CModelPropertiesDlg::OnRecall(DataExchange& dx) {
    Working.Recall();
    UpdateData(dx, false, [this](DataExchange& d) { Working.Exchange(d); });
}

void CModelPropertiesDlg::OnReset(DataExchange& dx) {
    Working.Reset();
    UpdateData(dx, false, [this](DataExchange& d) { Working.Exchange(d); });
}

bool CModelPropertiesDlg::OnOK(DataExchange& dx) {
    // The title is taken only when everything else passes, so a refused value leaves it alone.
    std::string title = Title;
    try {
        UpdateData(dx, true, [this](DataExchange& d) { DoDataExchange(d); });
    } catch (const DataExchangeFailure&) {
        Title = title;
        return false;
    }
    return true;
}

bool CModelPropertiesDlg::OnCommand(DataExchange& dx, int id) {
    switch (id) {
    case IDC_UPDATE:
        OnUpdate(dx);
        return true;
    case IDC_RECALL:
        OnRecall(dx);
        return true;
    case IDC_RESET:
        OnReset(dx);
        return true;
    case IDC_HELP:
        Platform().Windows().ShowHelp(HelpContext);
        return true;
    default:
        return false;
    }
}
