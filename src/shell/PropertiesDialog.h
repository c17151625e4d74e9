#pragma once
// The forms of the "Chart Viewing Properties" and "Model Properties" dialogs.

#include "SettingsForm.h"
#include "chart/ChartPropertiesDlg.h"
#include "model/ModelPropertiesDlg.h"

class CViewingPropertiesDialog : public CSettingsForm {
    Q_OBJECT
  public:
    explicit CViewingPropertiesDialog(COrventView& view, QWidget* parent = nullptr);
    CViewingPropertiesDlg& Logic() { return m_logic; }

  protected:
    CSettingsDialog& SettingsLogic() override { return m_logic; }
    void OnButton(int id) override;
    void OnFocusIn(int id) override;
    void OnFocusOut(int id) override;

  private:
    CViewingPropertiesDlg m_logic;
};

class CModelPropertiesDialog : public CSettingsForm {
    Q_OBJECT
  public:
    CModelPropertiesDialog(CSettingList& working, std::string& title, QWidget* parent = nullptr);

  protected:
    CSettingsDialog& SettingsLogic() override { return m_logic; }

  private:
    CModelPropertiesDlg m_logic;
};
