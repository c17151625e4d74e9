#include "chart/ChartPropertiesDlg.h"

#include "chart/OrventView.h"
#include "model/Block.h"
#include "model/OrventDoc.h"
#include "platform/DataExchange.h"
#include "platform/Platform.h"

#include <cmath>
#include <cstdint>

CViewingPropertiesDlg::CViewingPropertiesDlg(COrventView& view)
    : View(view), Notes(view.ChartNotes), Title(view.ChartTitle) {
    Working.CloneFrom(view.Settings);
}

void CViewingPropertiesDlg::OnInitDialog(DataExchange& dx) {
    ShowValues(dx);
    EnableApply(dx, false);
}

void CViewingPropertiesDlg::DoDataExchange(DataExchange& dx) {
    ExchangeTitleAndNotes(dx, IDC_TITLE, Title, kMaxTitleLength, IDC_NOTES, &Notes);
    Working.Exchange(dx);
}

void CViewingPropertiesDlg::TakeControls(DataExchange& dx) {
    try {
        UpdateData(dx, true, [this](DataExchange& d) { DoDataExchange(d); });
    } catch (const DataExchangeFailure&) {
        // The message has been shown; the working list keeps what it held.
    }
}

void CViewingPropertiesDlg::ShowValues(DataExchange& dx) {
    UpdateData(dx, false, [this](DataExchange& d) { DoDataExchange(d); });
}

void CViewingPropertiesDlg::EnableApply(DataExchange& dx, bool enabled) {
    ApplyEnabled = enabled;
    dx.SetEnabled(IDC_APPLY, enabled);
}

bool CViewingPropertiesDlg::OnCommand(DataExchange& dx, int id) {
    switch (id) {
    case IDC_CHART_FONT:
    case IDC_NOTES_FONT:
    case IDC_HOLD_COLOR:
        if (Working.OnCommand(id)) EnableApply(dx, true);
        return true;
    case IDC_RESET:
        Working.Reset();
        ShowValues(dx);
        EnableApply(dx, true);
        return true;
    case IDC_RECALL:
        Working.Recall();
        ShowValues(dx);
        EnableApply(dx, true);
        return true;
    case IDC_UPDATE:
        try {
            UpdateData(dx, true, [this](DataExchange& d) { DoDataExchange(d); });
        } catch (const DataExchangeFailure&) {
            return true;
        }
        Working.Update();
        return true;
    case IDC_HELP:
        Platform().Windows().ShowHelp(HelpContext);
        return true;
    case IDC_APPLY:
        OnApply(dx);
        return true;
    default:
        return false;
    }
}

void CViewingPropertiesDlg::OnChanged(DataExchange& dx) {
    EnableApply(dx, true);
}

void CViewingPropertiesDlg::OnFocusIn(DataExchange& dx, int id) {
    if (id != IDC_MAG_BMP) return;
    TakeControls(dx);
    RememberedMag = *static_cast<double*>(Working.FindValue(IDC_MAG_BMP));
}

void CViewingPropertiesDlg::OnFocusOut(DataExchange& dx, int id) {
    switch (id) {
    case IDC_MAG_BMP:
        Rescale(dx);
        break;
    case IDC_HOLD_SIZE:
        EnableApply(dx, true);
        break;
    case IDC_DELTA_VERT:
    case IDC_LINES_Y:
        EnsureTotalY(dx);
        break;
    case IDC_DELTA_HORIZ:
    case IDC_LINES_X:
        EnsureTotalX(dx);
        break;
    case IDC_LINE_WIDTH:
        EnsureTotalX(dx);
        EnsureTotalY(dx);
        break;
    default:
        break;
    }
}

void CViewingPropertiesDlg::EnsureTotal(DataExchange& dx, int deltaId, int totalId, int tracks) {
    TakeControls(dx);
    const int delta = *static_cast<int*>(Working.FindValue(deltaId));
    const int width = *static_cast<int*>(Working.FindValue(IDC_LINE_WIDTH));
    int& total = *static_cast<int*>(Working.FindValue(totalId));
    const long long needed = static_cast<long long>(delta) + static_cast<long long>(delta + width) * tracks;
    if (total < needed) {
        total = static_cast<int>(needed);
        ShowValues(dx);
        EnableApply(dx, true);
    }
}

void CViewingPropertiesDlg::EnsureTotalX(DataExchange& dx) {
    const COrventDoc* doc = View.GetDocument();
    EnsureTotal(dx, IDC_DELTA_HORIZ, IDC_LINES_X, doc ? doc->VertLines : 0);
}

void CViewingPropertiesDlg::EnsureTotalY(DataExchange& dx) {
    const COrventDoc* doc = View.GetDocument();
    EnsureTotal(dx, IDC_DELTA_VERT, IDC_LINES_Y, doc ? doc->HorizLines : 0);
}

void CViewingPropertiesDlg::Rescale(DataExchange& dx) {
    EnableApply(dx, true);
    if (RememberedMag < 0.0) return;
    TakeControls(dx);
    // A flag keeps its value in one byte.
    if (*static_cast<const std::uint8_t*>(Working.FindValue(IDC_SIZE_LOCK)) == 0) return;
    const double mag = *static_cast<double*>(Working.FindValue(IDC_MAG_BMP));
    // A zero start (never a valid magnification) would scale by infinity: nothing to scale from.
    if (RememberedMag <= 0.0) {
        RememberedMag = mag;
        return;
    }
    const double d = mag / RememberedMag;
    RememberedMag = mag;
    for (int id : {IDC_NOTES_FONT, IDC_CHART_FONT}) {
        auto* lf = static_cast<LOGFONT*>(Working.FindValue(id));
        if (!lf) continue;
        const double points = std::floor(lf->lfHeight * -0.75 + 0.5);
        lf->lfHeight = -static_cast<int>(std::trunc(d * points * 4.0 / 3.0 + 0.5));
    }
    for (int id :
         {IDC_LINE_WIDTH, IDC_DELTA_VERT, IDC_DELTA_HORIZ, IDC_LINES_X, IDC_LINES_Y, IDC_HOLD_SIZE}) {
        int& v = *static_cast<int*>(Working.FindValue(id));
        v = static_cast<int>(std::trunc(d * v + 0.5));
    }
    ShowValues(dx);
    EnsureTotalX(dx);
    EnsureTotalY(dx);
}

bool CViewingPropertiesDlg::OnApply(DataExchange& dx) {
    try {
        UpdateData(dx, true, [this](DataExchange& d) { DoDataExchange(d); });
    } catch (const DataExchangeFailure&) {
        return false;
    }
    ApplyToView();
    EnableApply(dx, false);
    return true;
}

bool CViewingPropertiesDlg::OnOK(DataExchange& dx) {
    try {
        UpdateData(dx, true, [this](DataExchange& d) { DoDataExchange(d); });
    } catch (const DataExchangeFailure&) {
        return false;
    }
    ApplyToView();
    return true;
}

void CViewingPropertiesDlg::ApplyToView() {
    View.Settings.CopyValuesFrom(Working);
    View.ChartNotes = Notes;
    View.ChartTitle = Title;
    COrventDoc* doc = View.GetDocument();
    if (doc) {
        for (const auto& block : doc->Blocks)
            for (int k = 0; k < 3; ++k)
                if (block->Inputs[k]) doc->ComputeRoute(block.get(), k, View.LineGeometry());
        doc->SetModifiedFlag();
    }
    if (ViewWindow* window = View.GetWindow()) window->SetCaption(Title);
    View.RecalcLayout();
    if (ViewWindow* window = View.GetWindow()) window->Invalidate();
}
