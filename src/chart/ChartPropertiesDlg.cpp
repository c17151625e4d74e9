#include "chart/ChartPropertiesDlg.h"

#include "chart/OrventView.h"
#include "model/Block.h"
#include "model/OrventDoc.h"
#include "platform/DataExchange.h"

#include <cmath>
#include <cstdint>

CViewingPropertiesDlg::CViewingPropertiesDlg(COrventView& view)
    : CSettingsDialog({IDC_UPDATE, IDC_RECALL, IDC_RESET, IDC_APPLY}, {{IDC_HELP, HelpContext}}), View(view),
      Notes(view.ChartNotes), Title(view.ChartTitle) {
    Working.CloneFrom(view.Settings);
}

void CViewingPropertiesDlg::DoDataExchange(DataExchange& dx) {
    ExchangeTitleAndNotes(dx, IDC_TITLE, Title, kMaxTitleLength, IDC_NOTES, &Notes);
    Working.Exchange(dx);
}

bool CViewingPropertiesDlg::OnCommand(DataExchange& dx, int id) {
    switch (id) {
    case IDC_CHART_FONT:
    case IDC_NOTES_FONT:
    case IDC_HOLD_COLOR:
        if (Working.OnCommand(id)) OnChanged(dx);
        return true;
    default:
        return CSettingsDialog::OnCommand(dx, id);
    }
}

void CViewingPropertiesDlg::OnFocusIn(DataExchange& dx, int id) {
    if (id != IDC_MAG_BMP) return;
    TakeControls(dx);
    RememberedMag = *Working.FindValue<double>(IDC_MAG_BMP);
}

void CViewingPropertiesDlg::OnFocusOut(DataExchange& dx, int id) {
    switch (id) {
    case IDC_MAG_BMP:
        Rescale(dx);
        break;
    case IDC_HOLD_SIZE:
        OnChanged(dx);
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
    const int delta = *Working.FindValue<int>(deltaId);
    const int width = *Working.FindValue<int>(IDC_LINE_WIDTH);
    int& total = *Working.FindValue<int>(totalId);
    const long long needed = static_cast<long long>(delta) + static_cast<long long>(delta + width) * tracks;
    if (total < needed) {
        total = static_cast<int>(needed);
        ShowValues(dx);
        OnChanged(dx);
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
    OnChanged(dx);
    if (RememberedMag < 0.0) return;
    TakeControls(dx);
    // A flag keeps its value in one byte.
    if (*Working.FindValue<std::uint8_t>(IDC_SIZE_LOCK) == 0) return;
    const double mag = *Working.FindValue<double>(IDC_MAG_BMP);
    // A zero start (never a valid magnification) would scale by infinity: nothing to scale from.
    if (RememberedMag <= 0.0) {
        RememberedMag = mag;
        return;
    }
    const double d = mag / RememberedMag;
    RememberedMag = mag;
    for (int id : {IDC_NOTES_FONT, IDC_CHART_FONT}) {
        auto* lf = Working.FindValue<LOGFONT>(id);
        if (!lf) continue;
        const double points = std::floor(lf->lfHeight * -0.75 + 0.5);
        lf->lfHeight = -static_cast<int>(std::trunc(d * points * 4.0 / 3.0 + 0.5));
    }
    for (int id :
         {IDC_LINE_WIDTH, IDC_DELTA_VERT, IDC_DELTA_HORIZ, IDC_LINES_X, IDC_LINES_Y, IDC_HOLD_SIZE}) {
        int& v = *Working.FindValue<int>(id);
        v = static_cast<int>(std::trunc(d * v + 0.5));
    }
    ShowValues(dx);
    EnsureTotalX(dx);
    EnsureTotalY(dx);
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
