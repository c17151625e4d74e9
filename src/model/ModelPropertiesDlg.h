#pragma once
// The logic of the "Model Properties" dialog: the model title and a working copy of the
// document's model settings. The document makes the copy and applies it on OK
// (COrventDoc::OnPreferences).

#include <string>

class CSettingList;
class DataExchange;

class CModelPropertiesDlg {
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

    void OnInitDialog(DataExchange& dx);
    // The title, then every setting of the working list. Throws DataExchangeFailure.
    void DoDataExchange(DataExchange& dx);
    void OnUpdate(DataExchange& dx);
    void OnRecall(DataExchange& dx);
    void OnReset(DataExchange& dx);
    // OK: false (dialog stays open, focus on the control) when a control's text is refused.
    bool OnOK(DataExchange& dx);
    bool OnCommand(DataExchange& dx, int id);

    CSettingList& Working;
    std::string& Title;
};
