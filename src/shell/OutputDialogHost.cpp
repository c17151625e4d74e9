// The program's window host: the dialogs of the Graph and List windows.

#include "GraphPropertiesDialog.h"
#include "ListParamsDialog.h"
#include "MainFrame.h"
#include "OrventApp.h"

bool QtWindowHost::RunGraphProperties(CGraphBase& graph) {
    CGraphPropertiesDialog dialog(graph, m_app.MainFrame());
    return dialog.exec() == QDialog::Accepted;
}

bool QtWindowHost::RunListParameters(CListBase& list) {
    CListParamsDialog dialog(list, m_app.MainFrame());
    return dialog.exec() == QDialog::Accepted;
}
