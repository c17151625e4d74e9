#pragma once
// The logic of the "List Parameters" dialog: a list's columns (chosen among the document's blocks
// and ordered), its number format, fonts, colours, title and notes, edited in a working copy and
// applied with "Apply" or OK.

#include "settings/SettingList.h"
#include "settings/SettingsDialog.h"

#include <string>
#include <vector>

class CBlock;
class CListBase;
class DataExchange;

class CListParamsDlg : public CSettingsDialog {
  public:
    enum {
        IDD = 211,
        IDC_TITLE = 1176,
        IDC_NOTES = 1175,
        IDC_DISPLAY_LIST = 1174,
        IDC_AVAILABLE_LIST = 1166,
        IDC_ADD = 1167,    // "<<"
        IDC_REMOVE = 1168, // ">>"
        IDC_HELP = 9,
        IDC_UPDATE = 1221,
        IDC_RECALL = 4,
        IDC_RESET = 5,
        IDC_APPLY = 1208,
        HelpContext = 49,
    };
    static constexpr std::size_t kMaxTitleLength = 28;
    // "Append" as the insertion index.
    static constexpr int kAppend = 32000;

    // The working copy of the list's settings, title, notes and columns.
    explicit CListParamsDlg(CListBase& view);

    // Fills both block lists, shows the values; "Apply" starts disabled.
    void OnInitDialog(DataExchange& dx) override;
    // Title (at most 28 characters), notes, then the working list. Throws DataExchangeFailure.
    void DoDataExchange(DataExchange& dx) override;

    // "Available" := every block of the document whose AtFirst flag is clear and which is not
    // shown; new blocks are appended again.
    void RefreshLists();
    std::vector<std::string> DisplayNames() const;
    std::vector<std::string> AvailableNames() const;

    // The caret of "Display" moved to `index`: later insertions go there.
    void OnDisplayCaret(int index);
    // "<<": the selected "Available" entries (indexes in that list), in list order, go into
    // "Display" at the insertion index.
    void AddBlocks(DataExchange& dx, std::vector<int> availableSelected);
    // ">>": the selected "Display" entries leave it.
    void RemoveBlocks(DataExchange& dx, std::vector<int> displaySelected);

    // Buttons by control id: the font choosers and the notes' "Display", then the shared ones.
    // An edit's change or a click in "Display" goes to OnChanged.
    bool OnCommand(DataExchange& dx, int id) override;
    // Writes the working values, title, notes and columns into the list and redraws it.
    void ApplyListParameters();

    CListBase& View;
    CSettingList Working;
    std::string Title;
    std::string Notes;
    // The columns as the dialog shows them ("Display") and the blocks offered ("Available").
    std::vector<CBlock*> Display;
    std::vector<CBlock*> Available;
    int InsertIndex = kAppend;

  protected:
    std::span<CSettingList> WorkingLists() override { return {&Working, 1}; }
    void ApplyWorking(DataExchange&) override { ApplyListParameters(); }
};
