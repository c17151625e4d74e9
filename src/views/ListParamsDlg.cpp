#include "views/ListParamsDlg.h"

#include "model/Block.h"
#include "model/OrventDoc.h"
#include "platform/DataExchange.h"
#include "views/ListView.h"

#include <algorithm>

CListParamsDlg::CListParamsDlg(CListBase& view)
    : CSettingsDialog({IDC_UPDATE, IDC_RECALL, IDC_RESET, IDC_APPLY}, {{IDC_HELP, HelpContext}}), View(view),
      Title(view.ListTitle), Notes(view.ListNotes), Display(view.Columns) {
    Working.CloneFrom(view.Settings);
}

void CListParamsDlg::OnInitDialog(DataExchange& dx) {
    RefreshLists();
    CSettingsDialog::OnInitDialog(dx);
}

void CListParamsDlg::DoDataExchange(DataExchange& dx) {
    ExchangeTitleAndNotes(dx, IDC_TITLE, Title, kMaxTitleLength, IDC_NOTES, &Notes);
    Working.Exchange(dx);
}

// ---- Block lists -------------------------------------------------------------------------------

void CListParamsDlg::RefreshLists() {
    Available.clear();
    if (const COrventDoc* doc = View.GetDocument())
        for (const auto& block : doc->Blocks)
            if (!block->AtFirst && std::find(Display.begin(), Display.end(), block.get()) == Display.end())
                Available.push_back(block.get());
    InsertIndex = kAppend;
}

namespace {
std::vector<std::string> Names(const std::vector<CBlock*>& blocks) {
    std::vector<std::string> names;
    names.reserve(blocks.size());
    // A column whose block was not found in the file shows blank.
    for (const CBlock* b : blocks)
        names.push_back(b ? b->Name : std::string());
    return names;
}

// Valid indexes into a list of `size`, ascending, each once.
std::vector<std::size_t> Clean(std::vector<int> indexes, std::size_t size) {
    std::vector<std::size_t> out;
    for (int i : indexes)
        if (i >= 0 && static_cast<std::size_t>(i) < size) out.push_back(static_cast<std::size_t>(i));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}
} // namespace

std::vector<std::string> CListParamsDlg::DisplayNames() const {
    return Names(Display);
}

std::vector<std::string> CListParamsDlg::AvailableNames() const {
    return Names(Available);
}

void CListParamsDlg::OnDisplayCaret(int index) {
    InsertIndex = index;
}

void CListParamsDlg::AddBlocks(DataExchange& dx, std::vector<int> availableSelected) {
    for (std::size_t i : Clean(std::move(availableSelected), Available.size())) {
        if (InsertIndex < 0 || static_cast<std::size_t>(InsertIndex) >= Display.size()) {
            Display.push_back(Available[i]);
        } else {
            Display.insert(Display.begin() + InsertIndex, Available[i]);
            ++InsertIndex;
        }
    }
    RefreshLists();
    OnChanged(dx);
}

void CListParamsDlg::RemoveBlocks(DataExchange& dx, std::vector<int> displaySelected) {
    const auto indexes = Clean(std::move(displaySelected), Display.size());
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it)
        Display.erase(Display.begin() + static_cast<std::ptrdiff_t>(*it));
    RefreshLists();
    OnChanged(dx);
}

// ---- Buttons -----------------------------------------------------------------------------------

bool CListParamsDlg::OnCommand(DataExchange& dx, int id) {
    switch (id) {
    case IDC_LIST_FONT:
    case IDC_LIST_NOTES_FONT:
        if (Working.OnCommand(id)) OnChanged(dx);
        return true;
    case IDC_LIST_NOTES_DISPLAY:
        OnChanged(dx);
        return true;
    default:
        return CSettingsDialog::OnCommand(dx, id);
    }
}

void CListParamsDlg::ApplyListParameters() {
    View.Settings.CopyValuesFrom(Working);
    View.ListNotes = Notes;
    View.ListTitle = Title;
    View.Columns = Display;
    if (COrventDoc* doc = View.GetDocument()) doc->SetModifiedFlag();
    View.MeasureCells();
    if (ViewWindow* window = View.GetWindow()) window->SetCaption(Title);
    View.UpdateScrollSizes();
    if (ViewWindow* window = View.GetWindow()) window->Invalidate();
}
