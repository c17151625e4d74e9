#pragma once
// The logic of the "Chart Viewing Properties" dialog: a chart view's settings, title and notes,
// edited in a working copy and applied with "Apply" or OK. With "Sizing Lock" on, a new
// magnification rescales the fonts, line widths, spacings and totals, and the connector totals
// are kept large enough for the model's track counts.

#include "settings/SettingList.h"
#include "settings/SettingsDialog.h"

#include <string>

class COrventView;
class DataExchange;

class CViewingPropertiesDlg : public CSettingsDialog {
  public:
    enum {
        IDD = 156,
        IDC_APPLY = 3,
        IDC_TITLE = 1164,
        IDC_NOTES = 1204,
        IDC_MONOCHROME = 1179,
        IDC_HELP = 1045,
        IDC_UPDATE = 1133,
        IDC_RECALL = 1134,
        IDC_RESET = 1044,
        HelpContext = 357,
    };
    static constexpr std::size_t kMaxTitleLength = 28;

    // The working copy of the view's settings, title and notes.
    explicit CViewingPropertiesDlg(COrventView& view);

    // Notes, title (at most 28 characters), then the working list. Throws DataExchangeFailure.
    void DoDataExchange(DataExchange& dx) override;

    // Buttons by control id: the font and colour choosers, then the shared ones. A check box or
    // radio button click, or a change of the title, notes or holding-size text, goes to
    // OnChanged.
    bool OnCommand(DataExchange& dx, int id) override;
    // Focus moves of the edits that take part in the rescaling and total checks.
    void OnFocusIn(DataExchange& dx, int id);
    void OnFocusOut(DataExchange& dx, int id);

    // The connector totals: raised (never lowered) to what the document's track counts need.
    void EnsureTotalX(DataExchange& dx);
    void EnsureTotalY(DataExchange& dx);
    // "MagFact" lost the focus: with "Sizing Lock" on, every size follows the magnification.
    void Rescale(DataExchange& dx);

    // Writes the working values, title and notes into the view, reroutes the lines and redraws.
    void ApplyToView();

    COrventView& View;
    CSettingList Working;
    std::string Notes;
    std::string Title;
    // The magnification when "MagFact" gained the focus; negative until it has had it.
    double RememberedMag = -5.0;

  protected:
    std::span<CSettingList> WorkingLists() override { return {&Working, 1}; }
    void ApplyWorking(DataExchange&) override { ApplyToView(); }

  private:
    void EnsureTotal(DataExchange& dx, int deltaId, int totalId, int tracks);
};
