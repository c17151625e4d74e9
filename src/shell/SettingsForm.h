#pragma once
// The Qt side shared by the settings dialogs: OK and Cancel, every other button handed to the
// dialog's logic, the column of buttons down the right side, and the notes group.

#include "ExchangeDialog.h"

class CSettingsDialog;
class QGroupBox;
class QVBoxLayout;

class CSettingsForm : public CExchangeDialog {
    Q_OBJECT
  public:
    explicit CSettingsForm(QWidget* parent = nullptr) : CExchangeDialog(parent) {}
    // OK: the form closes only when the logic takes every control.
    void accept() override;

  protected:
    // The dialog's logic (a member of the form).
    virtual CSettingsDialog& SettingsLogic() = 0;
    // OK (1) and Cancel (2) close the form; any other button goes to the logic.
    void OnButton(int id) override;

    // OK, Cancel, "Apply" (where the dialog has one), "Help", then after a gap "Update",
    // "Recall" and "Reset", with the logic's control ids.
    QVBoxLayout* MakeButtonColumn();
    // The "Notes" group: the notes edit, `lines` lines high and at least `minWidth` wide (0: no
    // minimum), its "Display" check box and its "Font" button. Typing in the notes marks the
    // dialog changed.
    QGroupBox* MakeNotesGroup(int notesId, int displayId, int fontId, int lines, int minWidth = 0);
};
