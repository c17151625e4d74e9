#pragma once
// The Qt implementations of the settings store and the message boxes.

#include "platform/MessageHost.h"
#include "platform/SettingsStore.h"

#include <QSettings>
#include <QString>
#include <memory>

// The per-user settings: an INI file kept by QSettings, by default Kintra/Kintra.ini in the
// user's configuration folder.
class QtSettingsStore : public SettingsStore {
  public:
    explicit QtSettingsStore(const QString& path = DefaultPath());
    ~QtSettingsStore() override;

    static QString DefaultPath();

    int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) override;
    void WriteProfileInt(const std::string& section, const std::string& name, int value) override;
    std::string GetProfileString(const std::string& section, const std::string& name,
                                 const std::string& defaultValue) override;
    void WriteProfileString(const std::string& section, const std::string& name,
                            const std::string& value) override;

    bool Has(const std::string& section, const std::string& name) const;
    void Sync();
    QString Path() const { return m_settings->fileName(); }

  private:
    std::unique_ptr<QSettings> m_settings;
};

// Real message boxes, with no owner window.
class QtMessageHost : public MessageHost {
  public:
    int MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) override;
};
