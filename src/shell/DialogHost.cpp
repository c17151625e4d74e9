// The program's window host: the dialogs of the chart and of its blocks.

#include "BlockEditorDialog.h"
#include "MainFrame.h"
#include "NativePath.h"
#include "OrventApp.h"
#include "PropertiesDialog.h"

#include <QFileDialog>
#include <QStringList>

bool QtWindowHost::RunBlockEditor(CBlockEditorData& data) {
    CBlockEditorDialog dialog(data, m_app.MainFrame());
    return dialog.exec() == QDialog::Accepted;
}

bool QtWindowHost::RunModelProperties(CSettingList& working, std::string& title) {
    CModelPropertiesDialog dialog(working, title, m_app.MainFrame());
    return dialog.exec() == QDialog::Accepted;
}

bool QtWindowHost::RunDebugSettings(int& routeDebug) {
    CDebugSettingsDlg logic(routeDebug);
    CDebugSettingsDialog dialog(logic, m_app.MainFrame());
    if (dialog.exec() != QDialog::Accepted) return false;
    routeDebug = logic.RouteDebug;
    return true;
}

bool QtWindowHost::RunViewingProperties(COrventView& view) {
    CViewingPropertiesDialog dialog(view, m_app.MainFrame());
    return dialog.exec() == QDialog::Accepted;
}

bool QtWindowHost::ChooseOpenFile(const std::string& filter, std::string& path) {
    // The filter comes as "Description|pattern|Description|pattern||"; empty for all files.
    QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(
            parts[i], QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
    const QString chosen =
        QFileDialog::getOpenFileName(m_app.MainFrame(), QStringLiteral("Open"), QString(),
                                     filters.join(QStringLiteral(";;")), nullptr, QFileDialog::ReadOnly);
    if (chosen.isEmpty()) return false;
    path = PathToNative(chosen);
    return true;
}
