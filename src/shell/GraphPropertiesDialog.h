#pragma once
// The form of a graph's property sheet: the "X Axis", "Graph 1", "Graph 2", "Graph 3" and
// "Miscellaneous" pages in tabs, with OK, Cancel and Apply below.

#include "SettingsForm.h"
#include "views/GraphPropertiesDlg.h"

#include <array>

class QComboBox;
class QTabWidget;

class CGraphPropertiesDialog : public CSettingsForm {
    Q_OBJECT
  public:
    explicit CGraphPropertiesDialog(CGraphBase& graph, QWidget* parent = nullptr);
    CGraphPropertySheet& Logic() { return m_logic; }
    QTabWidget* Tabs() const { return m_tabs; }
    // The drop-down list of blocks of an axis page (0: X Axis, 1..3: Graph 1..3).
    QComboBox* BlockList(int page) const { return m_blocks[static_cast<std::size_t>(page)]; }

  protected:
    CSettingsDialog& SettingsLogic() override { return m_logic; }
    void OnButton(int id) override;

  private:
    QWidget* MakeAxisPage(int page);
    QWidget* MakeMiscPage();
    // The drop-down lists show the pages' chosen blocks.
    void ShowBlocks();

    CGraphPropertySheet m_logic;
    QTabWidget* m_tabs = nullptr;
    std::array<QComboBox*, 4> m_blocks{};
};
