#pragma once
// The logic of the "Function Generator Data" dialog: it edits its own copy of the table (Values)
// through an edit box and a list box; the Block Editor copies the block's ordinates in and, on
// OK, hands Values back to the block. The list box is kept here (ListLines, Selected) for the
// form to show; the edit box is reached through the data exchange.

#include <string>
#include <vector>

class DataExchange;

class CFunctionDataDlg {
  public:
    enum {
        IDD = 210,
        IDC_VALUE = 1160,
        IDC_LIST = 1161,
        IDC_FILE = 1151,
        IDC_ADD = 1156,
        IDC_INSERT = 1157,
        IDC_REPLACE = 1158,
        IDC_REMOVE = 1162,
        IDC_REMOVE_ALL = 1163,
        IDC_HELP = 1153,
        HelpContext = 119,
    };

    explicit CFunctionDataDlg(std::vector<double> values = {});

    // The list shows Values, nothing selected.
    void OnInitDialog(DataExchange& dx);
    // The user selected (or clicked) a line: its text goes into the edit box. -1: no line is
    // selected any more.
    void OnSelectLine(DataExchange& dx, int index);
    // Buttons. Each takes the edit box's text first; those that store it refuse a text that is
    // neither a number nor an expression and change nothing.
    void OnAdd(DataExchange& dx);
    void OnInsert(DataExchange& dx);
    void OnReplace(DataExchange& dx);
    void OnRemove(DataExchange& dx);
    void OnRemoveAll(DataExchange& dx);
    void OnFile(DataExchange& dx);
    void OnHelp();
    // A button by control id; false for an id that is none of the dialog's buttons.
    bool OnCommand(DataExchange& dx, int id);

    std::vector<double> Values;
    std::string ValueText;
    std::vector<std::string> ListLines; // the list box, one "%g" line per value
    int Selected = -1;                  // the selected line, -1 for none

  private:
    // The edit box's text as a number or an expression; false, with a message and the focus on
    // the box, when it is neither.
    bool EditValue(DataExchange& dx, double& value);
    bool HasSelection() const;
    // Refills the list from Values and selects `select` (-1 for none).
    void Redisplay(int select);
};

// Reads a data file of one number per line. Lines are taken 48 characters at a time (a longer
// line goes on as the next value) and a piece without a leading number gives 0.0. False, with
// `values` untouched, when the file cannot be opened.
bool ReadFunctionDataFile(const std::string& path, std::vector<double>& values);
// The same for text already read.
std::vector<double> ParseFunctionData(const std::string& text);
