#include "views/GraphPropertiesDlg.h"

#include "model/Block.h"
#include "model/OrventDoc.h"
#include "platform/DataExchange.h"
#include "platform/MessageHost.h"
#include "platform/Platform.h"
#include "views/GraphView.h"

#include <algorithm>
#include <cstdint>

namespace {

struct AxisControls {
    int color, high, low, fixed, width, choice;
};

const AxisControls kAxis[4] = {
    {IDC_AXIS_COLOR, IDC_AXIS_HIGH, IDC_AXIS_LOW, IDC_AXIS_FIXED, IDC_AXIS_WIDTH, IDC_AXIS_GRIDS},
    {IDC_GRAPH1_COLOR, IDC_GRAPH1_HIGH, IDC_GRAPH1_LOW, IDC_GRAPH1_FIXED, IDC_GRAPH1_WIDTH, IDC_GRAPH1_LOCN},
    {IDC_GRAPH2_COLOR, IDC_GRAPH2_HIGH, IDC_GRAPH2_LOW, IDC_GRAPH2_FIXED, IDC_GRAPH2_WIDTH, IDC_GRAPH2_LOCN},
    {IDC_GRAPH3_COLOR, IDC_GRAPH3_HIGH, IDC_GRAPH3_LOW, IDC_GRAPH3_FIXED, IDC_GRAPH3_WIDTH, IDC_GRAPH3_LOCN},
};

using Sheet = CGraphPropertySheet;

} // namespace

CGraphPropertySheet::CGraphPropertySheet(CGraphBase& graph)
    : CSettingsDialog({IDC_MISC_UPDATE, IDC_MISC_RECALL, IDC_MISC_RESET, IDC_APPLY_NOW},
                      {{IDC_X_HELP, kHelpX},
                       {IDC_G1_HELP, kHelpGraph1},
                       {IDC_G2_HELP, kHelpGraph2},
                       {IDC_G3_HELP, kHelpGraph3},
                       {IDC_MISC_HELP, kHelpMisc}}),
      Graph(graph), Title(graph.GraphTitle), Notes(graph.GraphNotes) {
    if (const COrventDoc* doc = graph.GetDocument())
        for (const auto& block : doc->Blocks)
            if (!block->AtFirst) Candidates.push_back(block.get());
    graph.CandidateBlocks = Candidates;
    for (std::size_t k = 0; k < Working.size(); ++k)
        Working[k].CloneFrom(graph.Settings[k]);
    Chosen = graph.Traces;
}

CGraphPropertySheet::~CGraphPropertySheet() = default;

std::string CGraphPropertySheet::Caption() const {
    return Graph.GraphTitle.empty() ? std::string("Graph") : Graph.GraphTitle;
}

void CGraphPropertySheet::OnInitDialog(DataExchange& dx) {
    CSettingsDialog::OnInitDialog(dx);
    ShowPageStates(dx);
    // The X Axis page's "Clear" has nothing to clear.
    dx.SetVisible(IDC_X_CLEAR, false);
}

void CGraphPropertySheet::DoDataExchange(DataExchange& dx) {
    ExchangeTitleAndNotes(dx, IDC_MISC_TITLE, Title, kMaxTitleLength, IDC_MISC_NOTES, &Notes);
    for (CSettingList& list : Working)
        list.Exchange(dx);
}

// ---- Drop-down lists ---------------------------------------------------------------------------

std::vector<std::string> CGraphPropertySheet::BlockNames() const {
    std::vector<std::string> names;
    names.reserve(Candidates.size());
    for (const CBlock* block : Candidates)
        names.push_back(block->Name);
    return names;
}

int CGraphPropertySheet::SelectedIndex(int page) const {
    if (page < PAGE_X || page > PAGE_GRAPH3) return -1;
    const CBlock* chosen = Chosen[static_cast<std::size_t>(page)];
    if (!chosen) return -1;
    auto it = std::find(Candidates.begin(), Candidates.end(), chosen);
    return it == Candidates.end() ? -1 : static_cast<int>(it - Candidates.begin());
}

void CGraphPropertySheet::OnSelectBlock(DataExchange& dx, int page, int index) {
    if (page < PAGE_X || page > PAGE_GRAPH3) return;
    const bool valid = index >= 0 && static_cast<std::size_t>(index) < Candidates.size();
    Chosen[static_cast<std::size_t>(page)] = valid ? Candidates[static_cast<std::size_t>(index)] : nullptr;
    SetModified(dx, true);
    ShowPageStates(dx);
}

void CGraphPropertySheet::ShowPageStates(DataExchange& dx) {
    dx.SetEnabled(IDC_G1_CLEAR, Graph1ClearEnabled());
    dx.SetEnabled(IDC_G3_BLOCKS, Graph3ListEnabled());
}

// ---- Buttons -----------------------------------------------------------------------------------

bool CGraphPropertySheet::OnCommand(DataExchange& dx, int id) {
    for (int k = 0; k < 4; ++k)
        if (id == kAxis[k].color) {
            if (Working[static_cast<std::size_t>(k)].OnCommand(id)) SetModified(dx, true);
            return true;
        }
    switch (id) {
    case IDC_GRAPH_LABELS_FONT:
    case IDC_GRAPH_LEGENDS_FONT:
    case IDC_GRAPH_NOTES_FONT:
        if (Working[PAGE_MISC].OnCommand(id)) SetModified(dx, true);
        return true;
    case IDC_GRAPH_DISPLAY_NOTES:
        SetModified(dx, true);
        return true;
    case IDC_AXIS_FIXED:
        OnFixed(dx, 0);
        return true;
    case IDC_GRAPH1_FIXED:
        OnFixed(dx, 1);
        return true;
    case IDC_GRAPH2_FIXED:
        OnFixed(dx, 2);
        return true;
    case IDC_GRAPH3_FIXED:
        OnFixed(dx, 3);
        return true;
    case IDC_G1_CLEAR:
        ClearGraph(dx, 1);
        return true;
    case IDC_G2_CLEAR:
        ClearGraph(dx, 2);
        return true;
    case IDC_G3_CLEAR:
        ClearGraph(dx, 3);
        return true;
    default:
        return CSettingsDialog::OnCommand(dx, id);
    }
}

void CGraphPropertySheet::OnFixed(DataExchange& dx, int k) {
    if (!TakeControls(dx)) return;
    if (DropUnusableFixed(k)) {
        Platform().Messages().MessageBox(kFixedMessage, "Kintra", MB_OK);
        ShowSettings(dx);
        return;
    }
    SetModified(dx, true);
}

bool CGraphPropertySheet::DropUnusableFixed(int k) {
    const AxisControls& a = kAxis[k];
    auto& fixed = Value<std::uint8_t>(k, a.fixed);
    if (fixed == 0 || Value<double>(k, a.low) < Value<double>(k, a.high)) return false;
    fixed = 0;
    return true;
}

bool CGraphPropertySheet::TakeForApply(DataExchange& dx) {
    if (!TakeControls(dx)) return false;
    // Low or High may have been edited after "Fixed" was ticked: the same rule holds then.
    bool dropped = false;
    for (int k = 0; k < 4; ++k)
        if (DropUnusableFixed(k)) dropped = true;
    if (dropped) {
        Platform().Messages().MessageBox(kFixedMessage, "Kintra", MB_OK);
        ShowSettings(dx);
    }
    return true;
}

void CGraphPropertySheet::ClearGraph(DataExchange& dx, int k) {
    if (k < 1 || k > 3) return;
    TakeControls(dx);
    // Graph `to` takes graph `from`'s range and width; its scale returns to the default side.
    auto takeRange = [this](int to, int from) {
        Value<double>(to, kAxis[to].high) = Value<double>(from, kAxis[from].high);
        Value<double>(to, kAxis[to].low) = Value<double>(from, kAxis[from].low);
        Value<int>(to, kAxis[to].width) = Value<int>(from, kAxis[from].width);
        const int* locnDefault = Working[static_cast<std::size_t>(to)].FindDefault<int>(kAxis[to].choice);
        Value<int>(to, kAxis[to].choice) = locnDefault ? *locnDefault : 0;
    };
    switch (k) {
    case 3:
        if (!Chosen[3]) return;
        Working[3].Reset();
        Chosen[3] = nullptr;
        break;
    case 2:
        if (!Chosen[2]) return;
        Working[2].Reset();
        Chosen[2] = nullptr;
        if (Chosen[3]) {
            Chosen[2] = Chosen[3];
            takeRange(2, 3);
            Working[3].Reset();
            Chosen[3] = nullptr;
        }
        break;
    case 1:
        if (!Chosen[2]) return;
        Chosen[1] = Chosen[2];
        takeRange(1, 2);
        Working[2].Reset();
        Chosen[2] = nullptr;
        if (Chosen[3]) {
            Chosen[2] = Chosen[3];
            Chosen[3] = nullptr;
            Working[2].CopyValuesFrom(Working[3]);
            Working[3].Reset();
        }
        break;
    default:
        return;
    }
    ShowSettings(dx);
    ShowPageStates(dx);
    SetModified(dx, true);
}

// ---- Applying ----------------------------------------------------------------------------------

void CGraphPropertySheet::ApplyProperties(DataExchange* dx) {
    CGraphBase& g = Graph;
    for (std::size_t k = 0; k < Working.size(); ++k)
        g.Settings[k].CopyValuesFrom(Working[k]);
    g.Traces = Chosen;
    g.GraphNotes = Notes;
    g.GraphTitle = Title;
    COrventDoc* doc = g.GetDocument();
    // The X axis always has a source: the Clock when the list was left empty.
    if (!g.Traces[0] && doc) g.Traces[0] = doc->Clock();
    if (g.Traces[3] && !g.Traces[2]) g.ShiftTrace(3);
    // Graphs stay contiguous: a graph 1 left empty takes the next one that has a block.
    if (!g.Traces[1] && g.Traces[2]) {
        g.ShiftTrace(2);
        if (g.Traces[3]) g.ShiftTrace(3);
    }
    g.LastTrace = g.Traces[3] ? 3 : g.Traces[2] ? 2 : 1;
    // The pages show what the graph now holds, moved traces included.
    Chosen = g.Traces;
    for (std::size_t k = 1; k < 4; ++k)
        Working[k].CloneFrom(g.Settings[k]);
    if (doc) doc->SetModifiedFlag();
    g.RecomputeScales();
    RefreshPageRanges(dx);
    if (ViewWindow* window = g.GetWindow()) {
        window->SetCaption(g.GraphTitle);
        window->Invalidate();
    }
    if (dx) {
        ShowValues(*dx);
        ShowPageStates(*dx);
    }
}

void CGraphPropertySheet::RefreshPageRanges(DataExchange* dx) {
    for (int k = 0; k < 4; ++k) {
        if (Graph.Fixed[static_cast<std::size_t>(k)]) continue;
        Value<double>(k, kAxis[k].high) = Graph.High[static_cast<std::size_t>(k)];
        Value<double>(k, kAxis[k].low) = Graph.Low[static_cast<std::size_t>(k)];
    }
    if (dx) ShowSettings(*dx);
}
