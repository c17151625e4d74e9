#include "blocks/FunctionDataDlg.h"

#include "platform/DataExchange.h"
#include "platform/Expression.h"
#include "platform/FileIo.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace {
constexpr std::size_t kChunk = 48; // characters read per value
}

std::vector<double> ParseFunctionData(const std::string& text) {
    std::vector<double> values;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) end = text.size();
        // Text mode: a carriage return before the line feed is not part of the line.
        if (end > pos && text[end - 1] == '\r') --end;
        if (end == pos) {
            values.push_back(0.0);
        } else {
            for (std::size_t p = pos; p < end; p += kChunk)
                values.push_back(ParseLeadingDouble(text.substr(p, std::min(kChunk, end - p))));
        }
        pos = next;
    }
    return values;
}

bool ReadFunctionDataFile(const std::string& path, std::vector<double>& values) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, error)) return false;
    values = ParseFunctionData(std::string(bytes.begin(), bytes.end()));
    return true;
}

CFunctionDataDlg::CFunctionDataDlg(std::vector<double> values) : Values(std::move(values)) {}

void CFunctionDataDlg::OnInitDialog(DataExchange& dx) {
    dx.SetText(IDC_VALUE, ValueText);
    Redisplay(-1);
}

void CFunctionDataDlg::OnSelectLine(DataExchange& dx, int index) {
    if (index < 0) {
        Selected = -1; // the edit box keeps its text
        return;
    }
    if (index >= static_cast<int>(ListLines.size())) return;
    Selected = index;
    ValueText = ListLines[static_cast<std::size_t>(index)];
    dx.SetText(IDC_VALUE, ValueText);
}

bool CFunctionDataDlg::EditValue(DataExchange& dx, double& value) {
    std::string why;
    if (ReadNumberOrExpression(ValueText, value, &why)) return true;
    try {
        dx.Fail(IDC_VALUE, ExpressionRefusal("Position", why));
    } catch (const DataExchangeFailure&) {
    }
    return false;
}

bool CFunctionDataDlg::HasSelection() const {
    if (Selected >= 0 && Selected < static_cast<int>(Values.size())) return true;
    Platform().Messages().MessageBox("Select a string from the listbox first.", "Kintra", MB_OK);
    return false;
}

void CFunctionDataDlg::Redisplay(int select) {
    ListLines.clear();
    for (double v : Values)
        ListLines.push_back(FormatString("%g", v));
    Selected = select >= 0 && select < static_cast<int>(ListLines.size()) ? select : -1;
}

void CFunctionDataDlg::OnAdd(DataExchange& dx) {
    ValueText = dx.GetText(IDC_VALUE);
    double value = 0.0;
    if (!EditValue(dx, value)) return;
    Values.push_back(value);
    Redisplay(static_cast<int>(Values.size()) - 1);
    ValueText.clear();
    dx.SetText(IDC_VALUE, ValueText);
}

void CFunctionDataDlg::OnInsert(DataExchange& dx) {
    ValueText = dx.GetText(IDC_VALUE);
    double value = 0.0;
    if (!HasSelection() || !EditValue(dx, value)) return;
    const int at = Selected;
    Values.insert(Values.begin() + at, value);
    Redisplay(at);
}

void CFunctionDataDlg::OnReplace(DataExchange& dx) {
    ValueText = dx.GetText(IDC_VALUE);
    double value = 0.0;
    if (!HasSelection() || !EditValue(dx, value)) return;
    const int at = Selected;
    Values[static_cast<std::size_t>(at)] = value;
    Redisplay(at);
}

void CFunctionDataDlg::OnRemove(DataExchange& dx) {
    ValueText = dx.GetText(IDC_VALUE);
    if (!HasSelection()) return;
    const int at = Selected;
    Values.erase(Values.begin() + at);
    Redisplay(at); // no selection when the last line went
}

void CFunctionDataDlg::OnRemoveAll(DataExchange& dx) {
    ValueText = dx.GetText(IDC_VALUE);
    Values.clear();
    Redisplay(-1);
}

void CFunctionDataDlg::OnFile(DataExchange& dx) {
    ValueText = dx.GetText(IDC_VALUE);
    std::string path;
    if (!Platform().Windows().ChooseOpenFile("", path)) return;
    std::vector<double> values;
    if (!ReadFunctionDataFile(path, values)) return; // an unreadable file is ignored
    Values = std::move(values);
    Redisplay(static_cast<int>(Values.size()) - 1);
}

void CFunctionDataDlg::OnHelp() {
    Platform().Windows().ShowHelp(HelpContext);
}

bool CFunctionDataDlg::OnCommand(DataExchange& dx, int id) {
    switch (id) {
    case IDC_ADD:
        OnAdd(dx);
        return true;
    case IDC_INSERT:
        OnInsert(dx);
        return true;
    case IDC_REPLACE:
        OnReplace(dx);
        return true;
    case IDC_REMOVE:
        OnRemove(dx);
        return true;
    case IDC_REMOVE_ALL:
        OnRemoveAll(dx);
        return true;
    case IDC_FILE:
        OnFile(dx);
        return true;
    case IDC_HELP:
        OnHelp();
        return true;
    default:
        return false;
    }
}
