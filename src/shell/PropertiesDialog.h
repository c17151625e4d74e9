#pragma once
// The forms of the "Chart Viewing Properties" and "Model Properties" dialogs.

#include "ExchangeDialog.h"
#include "chart/ChartPropertiesDlg.h"
#include "model/ModelPropertiesDlg.h"

class CViewingPropertiesDialog : public CExchangeDialog {
    Q_OBJECT
  public:
    explicit CViewingPropertiesDialog(COrventView& view, QWidget* parent = nullptr);
    CViewingPropertiesDlg& Logic() { return m_logic; }
    void accept() override;

  protected:
    void OnButton(int id) override;
    void OnFocusIn(int id) override;
    void OnFocusOut(int id) override;

  private:
    CViewingPropertiesDlg m_logic;
};

class CModelPropertiesDialog : public CExchangeDialog {
    Q_OBJECT
  public:
    CModelPropertiesDialog(CSettingList& working, std::string& title, QWidget* parent = nullptr);
    void accept() override;

  protected:
    void OnButton(int id) override;

  private:
    CModelPropertiesDlg m_logic;
};
