#include "settings/SettingsDialog.h"

#include "platform/DataExchange.h"
#include "platform/Platform.h"
#include "settings/SettingList.h"

#include <utility>

CSettingsDialog::CSettingsDialog(Buttons buttons, std::vector<HelpButton> help)
    : m_buttons(buttons), m_help(std::move(help)) {}

void CSettingsDialog::OnInitDialog(DataExchange& dx) {
    ShowValues(dx);
    SetModified(dx, false);
}

bool CSettingsDialog::OnCommand(DataExchange& dx, int id) {
    if (id == 0) return false;
    for (const HelpButton& help : m_help)
        if (id == help.id) {
            Platform().Windows().ShowHelp(help.context);
            return true;
        }
    if (id == m_buttons.update) {
        OnUpdate(dx);
    } else if (id == m_buttons.recall) {
        OnRecall(dx);
    } else if (id == m_buttons.reset) {
        OnReset(dx);
    } else if (id == m_buttons.apply) {
        OnApply(dx);
    } else {
        return false;
    }
    return true;
}

void CSettingsDialog::OnUpdate(DataExchange& dx) {
    if (!TakeForUpdate(dx)) return;
    for (CSettingList& list : WorkingLists())
        list.Update();
}

void CSettingsDialog::OnRecall(DataExchange& dx) {
    for (CSettingList& list : WorkingLists())
        list.Recall();
    AfterDefaults();
    ShowSettings(dx);
    SetModified(dx, true);
}

void CSettingsDialog::OnReset(DataExchange& dx) {
    for (CSettingList& list : WorkingLists())
        list.Reset();
    AfterDefaults();
    ShowSettings(dx);
    SetModified(dx, true);
}

bool CSettingsDialog::OnApply(DataExchange& dx) {
    if (!TakeForApply(dx)) return false;
    ApplyWorking(dx);
    SetModified(dx, false);
    return true;
}

bool CSettingsDialog::OnOK(DataExchange& dx) {
    if (!TakeForApply(dx)) return false;
    ApplyWorking(dx);
    return true;
}

bool CSettingsDialog::TakeControls(DataExchange& dx) {
    try {
        UpdateData(dx, true, [this](DataExchange& d) { DoDataExchange(d); });
    } catch (const DataExchangeFailure&) {
        return false;
    }
    return true;
}

bool CSettingsDialog::TakeSettings(DataExchange& dx) {
    try {
        UpdateData(dx, true, [this](DataExchange& d) { ExchangeSettings(d); });
    } catch (const DataExchangeFailure&) {
        return false;
    }
    return true;
}

void CSettingsDialog::ShowValues(DataExchange& dx) {
    UpdateData(dx, false, [this](DataExchange& d) { DoDataExchange(d); });
}

void CSettingsDialog::ShowSettings(DataExchange& dx) {
    UpdateData(dx, false, [this](DataExchange& d) { ExchangeSettings(d); });
}

void CSettingsDialog::ExchangeSettings(DataExchange& dx) {
    for (CSettingList& list : WorkingLists())
        list.Exchange(dx);
}

void CSettingsDialog::SetModified(DataExchange& dx, bool modified) {
    Modified = modified;
    if (m_buttons.apply != 0) dx.SetEnabled(m_buttons.apply, modified);
}
