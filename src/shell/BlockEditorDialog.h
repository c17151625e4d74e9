#pragma once
// The forms of the "Block Editor", "Function Generator Data" and "Debugging Settings" dialogs.

#include "ExchangeDialog.h"
#include "blocks/BlockEditorDlg.h"
#include "blocks/FunctionDataDlg.h"

class QListWidget;
class QPushButton;

class CBlockEditorDialog : public CExchangeDialog {
    Q_OBJECT
  public:
    explicit CBlockEditorDialog(CBlockEditorData& data, QWidget* parent = nullptr);
    CBlockEditorDlg& Logic() { return m_logic; }
    void accept() override;

  protected:
    void OnButton(int id) override;

  private:
    void ShowLineColor();
    CBlockEditorDlg m_logic;
    QPushButton* m_lineColor = nullptr;
};

class CFunctionDataDialog : public CExchangeDialog {
    Q_OBJECT
  public:
    explicit CFunctionDataDialog(CFunctionDataDlg& logic, QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }

  protected:
    void OnButton(int id) override;

  private:
    // The list box from the logic's lines and selection.
    void ShowList();
    CFunctionDataDlg& m_logic;
    QListWidget* m_list = nullptr;
    bool m_filling = false;
};

class CDebugSettingsDialog : public CExchangeDialog {
    Q_OBJECT
  public:
    explicit CDebugSettingsDialog(CDebugSettingsDlg& logic, QWidget* parent = nullptr);
    void accept() override;

  private:
    CDebugSettingsDlg& m_logic;
};
