#pragma once
// What the settings dialogs share: working copies of one or more settings lists shown in the
// dialog's controls, and the buttons that act on them alike. "Update" takes the controls and
// stores the values as the user's defaults; "Recall" shows the stored defaults and "Reset" the
// factory defaults (the settings only: a typed title or notes stay as typed); "Help" opens the
// button's help topic; "Apply" and OK take the controls and write them into the owner. Nothing
// reaches the owner before "Apply" or OK.

#include <span>
#include <vector>

class CSettingList;
class DataExchange;

class CSettingsDialog {
  public:
    // The control ids of the shared buttons; 0 where the dialog has no such button.
    struct Buttons {
        int update = 0;
        int recall = 0;
        int reset = 0;
        int apply = 0;
    };
    // A "Help" button and the topic it opens (a property sheet has one on every page).
    struct HelpButton {
        int id;
        int context;
    };

    virtual ~CSettingsDialog() = default;
    CSettingsDialog(const CSettingsDialog&) = delete;
    CSettingsDialog& operator=(const CSettingsDialog&) = delete;

    const Buttons& ButtonIds() const { return m_buttons; }
    // The first help button's id; 0 for none.
    int HelpId() const { return m_help.empty() ? 0 : m_help.front().id; }

    // Shows every value; "Apply" starts disabled.
    virtual void OnInitDialog(DataExchange& dx);
    // Buttons by control id: the shared ones here, a dialog's own ones in its override. False
    // for an id that is none of them.
    virtual bool OnCommand(DataExchange& dx, int id);
    // Something was typed, ticked or chosen: "Apply" is enabled.
    void OnChanged(DataExchange& dx) { SetModified(dx, true); }

    void OnUpdate(DataExchange& dx);
    void OnRecall(DataExchange& dx);
    void OnReset(DataExchange& dx);
    // "Apply": false when a control's text is refused (nothing applied); otherwise applied and
    // "Apply" disabled.
    bool OnApply(DataExchange& dx);
    // OK: false (the dialog stays open, the focus on the refused control); otherwise applied.
    bool OnOK(DataExchange& dx);

    // Something changed since the dialog opened or was last applied ("Apply" enabled).
    bool Modified = false;

  protected:
    CSettingsDialog(Buttons buttons, std::vector<HelpButton> help);

    // The working lists, in the order their controls are exchanged.
    virtual std::span<CSettingList> WorkingLists() = 0;
    // Every control of the dialog: title, notes, then the working lists. Throws
    // DataExchangeFailure.
    virtual void DoDataExchange(DataExchange& dx) = 0;
    // What "Update" takes from the controls before storing: everything, unless a dialog says
    // otherwise. False when a control's text is refused.
    virtual bool TakeForUpdate(DataExchange& dx) { return TakeControls(dx); }
    // What "Apply" and OK take: everything, unless a dialog says otherwise.
    virtual bool TakeForApply(DataExchange& dx) { return TakeControls(dx); }
    // Writes the taken values into the owner ("Apply" and OK).
    virtual void ApplyWorking(DataExchange& dx) { (void)dx; }
    // After "Recall" or "Reset" changed the working lists, before they are shown.
    virtual void AfterDefaults() {}

    // Takes every control (DoDataExchange); a refused value leaves the working copies as they
    // were in the controls not yet taken, and returns false (the message has been shown).
    bool TakeControls(DataExchange& dx);
    // Takes the working lists' controls only.
    bool TakeSettings(DataExchange& dx);
    void ShowValues(DataExchange& dx);
    // Shows the working lists only: title and notes keep what is typed.
    void ShowSettings(DataExchange& dx);
    void SetModified(DataExchange& dx, bool modified);

  private:
    void ExchangeSettings(DataExchange& dx);

    Buttons m_buttons;
    std::vector<HelpButton> m_help;
};
