#pragma once
// The About box: the program's icon, name and version, OK and Help.

#include <QDialog>

class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    // "Version :" followed by the data version divided by 100, "%5.2f".
    static QString VersionText();
    QLabel* VersionLabel() const { return m_version; }

  private:
    QLabel* m_version;
};
