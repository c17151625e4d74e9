#pragma once
// The per-user settings store: integers and texts by section and value name.

#include <map>
#include <string>

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) = 0;
    virtual void WriteProfileInt(const std::string& section, const std::string& name, int value) = 0;
    virtual std::string GetProfileString(const std::string& section, const std::string& name,
                                         const std::string& defaultValue) = 0;
    virtual void WriteProfileString(const std::string& section, const std::string& name,
                                    const std::string& value) = 0;
};

// Values kept in memory only (the command-line tool without --settings, and tests).
class MemorySettingsStore : public SettingsStore {
  public:
    int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) override;
    void WriteProfileInt(const std::string& section, const std::string& name, int value) override;
    std::string GetProfileString(const std::string& section, const std::string& name,
                                 const std::string& defaultValue) override;
    void WriteProfileString(const std::string& section, const std::string& name,
                            const std::string& value) override;

    bool Has(const std::string& section, const std::string& name) const;
    void Clear() { m_values.clear(); }
    // section -> name -> text
    const std::map<std::string, std::map<std::string, std::string>>& Values() const { return m_values; }

  protected:
    std::map<std::string, std::map<std::string, std::string>> m_values;
};

// An INI file: "[Section]" lines and "name=value" lines. Reads the file once; every write saves
// the whole file again (through a temporary file renamed over it). Keys escaped as %XX and quoted
// values, as other INI writers produce them, are understood.
class IniSettingsStore : public MemorySettingsStore {
  public:
    explicit IniSettingsStore(std::string path);
    void WriteProfileInt(const std::string& section, const std::string& name, int value) override;
    void WriteProfileString(const std::string& section, const std::string& name,
                            const std::string& value) override;
    // Writes the file now; false when it could not be written.
    bool Save() const;
    const std::string& Path() const { return m_path; }
    bool Loaded() const { return m_loaded; }
    // Why the file could not be read when it was not (it is missing, a folder, a FIFO...).
    const std::string& LoadError() const { return m_loadError; }

  private:
    void Load();
    std::string m_path;
    bool m_loaded = false;
    std::string m_loadError;
};
