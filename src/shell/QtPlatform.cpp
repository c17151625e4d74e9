#include "QtPlatform.h"

#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

namespace {
QString Key(const std::string& section, const std::string& name) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}

// An INI value as text: lists (unquoted values with commas) are joined back.
QString ValueText(const QVariant& v) {
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}
} // namespace

QtSettingsStore::QtSettingsStore(const QString& path)
    : m_settings(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() {
    m_settings->sync();
}

QString QtSettingsStore::DefaultPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (dir.isEmpty()) dir = QDir::homePath() + QStringLiteral("/.config");
    return dir + QStringLiteral("/Kintra/Kintra.ini");
}

int QtSettingsStore::GetProfileInt(const std::string& section, const std::string& name, int defaultValue) {
    const QVariant v = m_settings->value(Key(section, name));
    if (!v.isValid()) return defaultValue;
    // Like the classic profile reader: a leading signed integer, 0 when there is none.
    const QString t = ValueText(v).trimmed();
    int end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+'))) ++end;
    while (end < t.size() && t[end].isDigit())
        ++end;
    bool ok = false;
    const qlonglong n = t.left(end).toLongLong(&ok);
    return ok ? static_cast<int>(static_cast<unsigned int>(n)) : 0;
}

void QtSettingsStore::WriteProfileInt(const std::string& section, const std::string& name, int value) {
    m_settings->setValue(Key(section, name), QString::number(value));
}

std::string QtSettingsStore::GetProfileString(const std::string& section, const std::string& name,
                                              const std::string& defaultValue) {
    const QVariant v = m_settings->value(Key(section, name));
    if (!v.isValid()) return defaultValue;
    return ValueText(v).toStdString();
}

void QtSettingsStore::WriteProfileString(const std::string& section, const std::string& name,
                                         const std::string& value) {
    m_settings->setValue(Key(section, name), QString::fromStdString(value));
}

bool QtSettingsStore::Has(const std::string& section, const std::string& name) const {
    return m_settings->contains(Key(section, name));
}

void QtSettingsStore::Sync() {
    m_settings->sync();
}

int QtMessageHost::MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) {
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    switch (buttons) {
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return buttons == MB_OKCANCEL && box.clickedButton() == nullptr ? IDCANCEL : IDOK;
    }
}
