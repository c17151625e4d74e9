#include "blocks/BlockEditorDlg.h"

#include "blocks/FunctionDataDlg.h"
#include "blocks/FunctionGenerator.h"
#include "model/Block.h"
#include "platform/DataExchange.h"
#include "platform/Expression.h"
#include "platform/Platform.h"
#include "platform/Text.h"

CBlockEditorDlg::CBlockEditorDlg(CBlockEditorData& data) : Data(data) {}

void CBlockEditorDlg::OnInitDialog(DataExchange& dx) {
    DataVisible = Data.TypeId == kFunctionGeneratorTypeId;
    dx.SetVisible(IDC_DATA, DataVisible);

    InitializeVisible = true;
    switch (Data.Kind) {
    case BK_ALGEBRAIC:
        InitializeState = Data.AtFirst ? 1 : 0;
        break;
    case BK_INTEGRATING:
    case BK_SOURCE:
        InitializeVisible = false;
        InitializeState = 0;
        break;
    case BK_CONSTANT:
        InitializeState = 2;
        break;
    default:
        InitializeState = 0;
        break;
    }
    dx.SetVisible(IDC_INITIALIZE, InitializeVisible);
    dx.SetVisible(IDC_ATFIRST, false);

    const int inputs = Data.InputsShown;
    for (int k = 0; k < 3; ++k) {
        const bool shown = k < inputs;
        if (!shown) Data.InputLabels[k].clear();
        dx.SetVisible(kClearIds[k], shown);
        dx.SetVisible(kSourceIds[k], shown);
        dx.SetVisible(kInputLabelIds[k], shown);
    }
    dx.SetVisible(IDC_INPUTS_GROUP, inputs > 0);
    if (inputs <= 0) ClearCaption.clear();
    dx.SetVisible(IDC_CLEAR_CAPTION, inputs > 0);

    const int params = Data.ParamsShown;
    for (int k = 0; k < 3; ++k) {
        const bool shown = k < params;
        if (!shown) Data.ParamLabels[k].clear();
        dx.SetVisible(kParamIds[k], shown);
        dx.SetVisible(kParamLabelIds[k], shown);
    }
    dx.SetVisible(IDC_PARAMS_GROUP, params > 0);

    if (Data.ShowValue == 0) {
        Data.CurrentValue.clear();
        CurrentCaption.clear();
    }
    UpdateData(dx, false, [this](DataExchange& d) { DoDataExchange(d); });
}

void CBlockEditorDlg::DoDataExchange(DataExchange& dx) {
    auto clip = [](const std::string& s) { return Utf8Left(s, kMaxBlockNameLength); };
    if (dx.IsSaving()) {
        Data.Name = clip(dx.GetText(IDC_NAME));
        Data.Notes = dx.GetText(IDC_NOTES);
        for (int k = 0; k < 3; ++k)
            Data.ParamTexts[k] = dx.GetText(kParamIds[k]);
        Data.Invert = dx.GetCheck(IDC_INVERT) == 1 ? 1 : 0;
        return;
    }
    dx.SetText(IDC_NAME, Data.Name);
    dx.SetText(IDC_CURRENT_CAPTION, CurrentCaption);
    dx.SetText(IDC_CURRENT_VALUE, Data.CurrentValue);
    dx.SetText(IDC_TYPE, Data.TypeName);
    dx.SetCheck(IDC_INVERT, Data.Invert ? 1 : 0);
    dx.SetCheck(IDC_INITIALIZE, InitializeState);
    dx.SetCheck(IDC_ATFIRST, Data.AtFirst ? 1 : 0);
    dx.SetText(IDC_CLEAR_CAPTION, ClearCaption);
    for (int k = 0; k < 3; ++k) {
        dx.SetText(kInputLabelIds[k], Data.InputLabels[k]);
        dx.SetText(kSourceIds[k], clip(Data.InputNames[k]));
        dx.SetText(kParamLabelIds[k], Data.ParamLabels[k]);
        dx.SetText(kParamIds[k], Data.ParamTexts[k]);
    }
    dx.SetText(IDC_NOTES, Data.Notes);
}

void CBlockEditorDlg::OnClearInput(DataExchange& dx, int index) {
    if (index < 0 || index >= 3) return;
    UpdateData(dx, true, [this](DataExchange& d) { DoDataExchange(d); });
    Data.InputNames[index].clear();
    Data.InputCleared[index] = true;
    UpdateData(dx, false, [this](DataExchange& d) { DoDataExchange(d); });
}

void CBlockEditorDlg::OnInitializeClicked(DataExchange& dx) {
    if (Data.Kind == BK_CONSTANT) {
        InitializeState = 2;
    } else {
        InitializeState = InitializeState == 1 ? 0 : 1;
        Data.AtFirst = InitializeState;
        dx.SetCheck(IDC_ATFIRST, Data.AtFirst);
    }
    dx.SetCheck(IDC_INITIALIZE, InitializeState);
}

void CBlockEditorDlg::OnLineColor() {
    COLORREF chosen = Data.LineColor;
    if (Platform().Windows().ChooseColor(Data.LineColor, chosen)) Data.LineColor = chosen;
}

void CBlockEditorDlg::OnData() {
    auto* block = dynamic_cast<CFunctionGeneratorBlock*>(Data.Block);
    if (!block || !RunDataDialog) return;
    CFunctionDataDlg dialog(block->Ordinates);
    if (!RunDataDialog(dialog)) return;
    block->SetOrdinates(dialog.Values);
    if (block->Document) block->Document->MarkModified();
}

void CBlockEditorDlg::OnHelp() {
    Platform().Windows().ShowHelp(Data.HelpId);
}

bool CBlockEditorDlg::OnOK(DataExchange& dx) {
    try {
        UpdateData(dx, true, [this](DataExchange& d) { DoDataExchange(d); });
        // A text left alone keeps its value; a changed one must read as a number or an
        // expression, which the block computes when it applies the data.
        for (int k = 0; k < 3; ++k) {
            double value = 0.0;
            std::string why;
            if (Data.ParamTexts[k] != Data.ShownParamTexts[k] &&
                !ReadNumberOrExpression(Data.ParamTexts[k], value, &why)) {
                std::string field = Data.ParamLabels[k].empty() ? "the parameter" : Data.ParamLabels[k];
                field.append(" (parameter ").append(std::to_string(k + 1)).append(")");
                dx.Fail(kParamIds[k], ExpressionRefusal(field, why));
            }
        }
    } catch (const DataExchangeFailure&) {
        return false;
    }
    // A hidden box counts as unchecked; an indeterminate one keeps the constant's AtFirst set.
    Data.AtFirst = InitializeVisible ? InitializeState : 0;
    return true;
}

bool CBlockEditorDlg::OnCommand(DataExchange& dx, int id) {
    for (int k = 0; k < 3; ++k)
        if (id == kClearIds[k]) {
            OnClearInput(dx, k);
            return true;
        }
    switch (id) {
    case IDC_INITIALIZE:
        OnInitializeClicked(dx);
        return true;
    case IDC_LINE_COLOR:
        OnLineColor();
        return true;
    case IDC_DATA:
        OnData();
        return true;
    case IDC_HELP:
        OnHelp();
        return true;
    default:
        return false;
    }
}

void CDebugSettingsDlg::DoDataExchange(DataExchange& dx) {
    if (dx.IsSaving())
        RouteDebug = dx.GetCheck(IDC_CONNECT) == 1 ? 1 : 0;
    else
        dx.SetCheck(IDC_CONNECT, RouteDebug);
}
