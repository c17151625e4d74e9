#pragma once
// The logic of the "Block Editor", the one properties dialog of every block type, and of the
// small "Debugging Settings" dialog. The form shows the controls; everything it shows and takes
// back goes through a DataExchange by control id. The editor works on a CBlockEditorData that
// the block filled (CBlock::MakeEditorData) and applies after OK (CBlock::ApplyEditorData).

#include "model/BlockTypes.h"
#include "platform/LogFont.h"

#include <functional>
#include <string>

class CBlock;
class CFunctionDataDlg;
class DataExchange;
struct CBlockEditorData;

class CBlockEditorDlg {
  public:
    enum {
        IDD = 153,
        IDC_NAME = 1007,
        IDC_CURRENT_CAPTION = 1193,
        IDC_CURRENT_VALUE = 1010,
        IDC_TYPE = 1011,
        IDC_INVERT = 1015,
        IDC_INITIALIZE = 1192,
        IDC_ATFIRST = 1194,
        IDC_INPUTS_GROUP = 1186,
        IDC_INPUT_LABEL1 = 1183,
        IDC_INPUT_LABEL2 = 1184,
        IDC_INPUT_LABEL3 = 1185,
        IDC_SOURCE1 = 1012,
        IDC_SOURCE2 = 1013,
        IDC_SOURCE3 = 1014,
        IDC_CLEAR1 = 1000,
        IDC_CLEAR2 = 1003,
        IDC_CLEAR3 = 1005,
        IDC_CLEAR_CAPTION = 1188,
        IDC_PARAMS_GROUP = 1187,
        IDC_PARAM_LABEL1 = 1048,
        IDC_PARAM_LABEL2 = 1049,
        IDC_PARAM_LABEL3 = 1050,
        IDC_PARAM1 = 1001,
        IDC_PARAM2 = 1004,
        IDC_PARAM3 = 1006,
        IDC_NOTES = 1165,
        IDC_LINE_COLOR = 1135,
        IDC_DATA = 1154,
        IDC_HELP = 57670,
        IDOK = 1,
        IDCANCEL = 2,
    };
    static constexpr int kInputLabelIds[3] = {IDC_INPUT_LABEL1, IDC_INPUT_LABEL2, IDC_INPUT_LABEL3};
    static constexpr int kSourceIds[3] = {IDC_SOURCE1, IDC_SOURCE2, IDC_SOURCE3};
    static constexpr int kClearIds[3] = {IDC_CLEAR1, IDC_CLEAR2, IDC_CLEAR3};
    static constexpr int kParamLabelIds[3] = {IDC_PARAM_LABEL1, IDC_PARAM_LABEL2, IDC_PARAM_LABEL3};
    static constexpr int kParamIds[3] = {IDC_PARAM1, IDC_PARAM2, IDC_PARAM3};
    static constexpr int kFunctionGeneratorTypeId = BlockType::FunctionGenerator;

    explicit CBlockEditorDlg(CBlockEditorData& data);

    // Adapts the controls to the block (rows, "Initialize" box, "Data" button, current value)
    // and shows the data.
    void OnInitDialog(DataExchange& dx);
    // Moves the texts, flags and captions between the controls and the data.
    void DoDataExchange(DataExchange& dx);

    // "X" of input `index` (0-based): the source name goes; the link is cut only on OK.
    void OnClearInput(DataExchange& dx, int index);
    // A click on "Initialize": flips AtFirst, except for a constant, whose box stays
    // indeterminate.
    void OnInitializeClicked(DataExchange& dx);
    // "Line Color": the colour chooser on the dialog's colour.
    void OnLineColor();
    // "Data": the Function Generator's table in its own dialog; its OK replaces the block's
    // table at once.
    void OnData();
    void OnHelp();
    // OK: takes the controls; the AtFirst value becomes the box's state. False (dialog stays
    // open, focus on the control) when a control's text is refused.
    bool OnOK(DataExchange& dx);
    // A button by control id; false for an id that is none of the dialog's buttons.
    bool OnCommand(DataExchange& dx, int id);

    // Runs the Function Generator data dialog modally; true on OK. The form sets this; without
    // it "Data" does nothing.
    std::function<bool(CFunctionDataDlg&)> RunDataDialog;

    CBlockEditorData& Data;
    std::string ClearCaption = "Clear";
    std::string CurrentCaption = "Current";
    // The state of the "Initialize" box: 0 unchecked, 1 checked, 2 indeterminate.
    int InitializeState = 0;
    bool InitializeVisible = true;
    bool DataVisible = false;
};

// "Debugging Settings": the "CONNECT" box shows and sets the document's route debugging flag.
class CDebugSettingsDlg {
  public:
    enum { IDD = 155, IDC_CONNECT = 1016 };
    explicit CDebugSettingsDlg(int routeDebug) : RouteDebug(routeDebug ? 1 : 0) {}
    void DoDataExchange(DataExchange& dx);
    int RouteDebug;
};
