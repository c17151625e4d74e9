#pragma once
// The ordered settings of one owner. The order is the order of the owner's file record.

#include "settings/SettingItem.h"

#include <memory>
#include <string>
#include <vector>

class CSettingList final : public CSettingOwner {
  public:
    CSettingList() = default;
    CSettingList(const CSettingList&) = delete;
    CSettingList& operator=(const CSettingList&) = delete;

    void SetSection(const std::string& section, double version);
    const std::string& Section() const override { return m_section; }
    double ListVersion() const { return m_listVersion; }
    double FileVersion() const override { return m_fileVersion; }

    bool AddFlag(double introduced, double retired, int* bound, std::uint8_t def, const std::string& name,
                 int controlId);
    bool AddChoice(double introduced, double retired, int* bound, int def, const std::string& name,
                   int controlId);
    bool AddFont(double introduced, double retired, LOGFONT* bound, const LOGFONT* def,
                 const std::string& name, int controlId);
    bool AddColor(double introduced, double retired, COLORREF* bound, COLORREF def, const std::string& name,
                  int controlId);
    bool AddInteger(double introduced, double retired, int* bound, int def, const std::string& name,
                    int controlId, int minimum, int maximum);
    bool AddReal(double introduced, double retired, double* bound, double def, const std::string& name,
                 int controlId, double minimum, double maximum);
    // Appends an item made elsewhere (used by CloneFrom and for kinds without an Add call).
    void Append(std::unique_ptr<CSettingItem> item);

    // Writes or reads every item in order; a non-zero version becomes the version the record is
    // read against.
    void Serialize(CArchive& ar, double version);
    void Recall();
    void Update();
    void Reset();
    void CopyValuesFrom(const CSettingList& other);
    void Exchange(DataExchange& dx);
    bool OnCommand(int id);
    void CloneFrom(const CSettingList& other);

    // The value or default of the item with that control id as a T; null when there is no such
    // item or it keeps another type (see CSettingItem::ValueAs).
    template <typename T> T* FindValue(int controlId) const {
        CSettingItem* item = FindItem(controlId);
        return item ? item->ValueAs<T>() : nullptr;
    }
    template <typename T> const T* FindDefault(int controlId) const {
        const CSettingItem* item = FindItem(controlId);
        return item ? item->DefaultAs<T>() : nullptr;
    }
    CSettingItem* FindItem(int controlId) const override;

    std::size_t GetSize() const { return m_items.size(); }
    CSettingItem& operator[](std::size_t i) const { return *m_items[i]; }

  private:
    std::vector<std::unique_ptr<CSettingItem>> m_items;
    std::string m_section;
    double m_listVersion = 0.0;
    double m_fileVersion = 0.0;
};
