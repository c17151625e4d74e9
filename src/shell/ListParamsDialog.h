#pragma once
// The form of the "List Parameters" dialog.

#include "SettingsForm.h"
#include "views/ListParamsDlg.h"

class QListWidget;

class CListParamsDialog : public CSettingsForm {
    Q_OBJECT
  public:
    explicit CListParamsDialog(CListBase& list, QWidget* parent = nullptr);
    CListParamsDlg& Logic() { return m_logic; }
    QListWidget* DisplayList() const { return m_display; }
    QListWidget* AvailableList() const { return m_available; }

  protected:
    CSettingsDialog& SettingsLogic() override { return m_logic; }
    void OnButton(int id) override;

  private:
    // Both lists refilled from the logic's blocks, nothing selected.
    void ShowLists();

    CListParamsDlg m_logic;
    QListWidget* m_display = nullptr;
    QListWidget* m_available = nullptr;
};
