#pragma once
// The logic of the "Model Properties" dialog: the model title and a working copy of the
// document's model settings. The document makes the copy and applies it on OK
// (COrventDoc::OnPreferences).

#include "settings/SettingsDialog.h"

#include <string>

class CSettingList;
class DataExchange;

class CModelPropertiesDlg : public CSettingsDialog {
  public:
    enum {
        IDD = 277,
        IDC_TITLE = 1164,
        IDC_VERT_LINES = 1032,
        IDC_HORIZ_LINES = 1033,
        IDC_MAX_SORT = 1196,
        IDC_MAX_STEPS = 1204,
        IDC_INT_STYLE = 1198, // first of the two radio buttons
        IDC_INT_STYLE78 = 1200,
        IDC_PRINT_MODE = 1201,
        IDC_HELP = 1045,
        IDC_UPDATE = 1133,
        IDC_RECALL = 1134,
        IDC_RESET = 1044,
        HelpContext = 284,
    };
    static constexpr std::size_t kMaxTitleLength = 28;

    CModelPropertiesDlg(CSettingList& working, std::string& title);

    // The title, then every setting of the working list. Throws DataExchangeFailure.
    void DoDataExchange(DataExchange& dx) override;

    CSettingList& Working;
    std::string& Title;

  protected:
    std::span<CSettingList> WorkingLists() override;
    // "Update" stores the settings; the title is no default.
    bool TakeForUpdate(DataExchange& dx) override { return TakeSettings(dx); }
    // The title is taken only when everything else passes, so a refused value leaves it alone.
    bool TakeForApply(DataExchange& dx) override;
};
