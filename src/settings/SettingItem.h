#pragma once
// One typed, persisted setting bound to a member of its owner: read from and written to the
// settings store, carried in chart files, reset to a factory default, shown in a dialog control.

#include "platform/LogFont.h"

#include <cstdint>
#include <memory>
#include <string>

class CArchive;
class CSettingList;
class DataExchange;

enum SettingKind {
    SK_FLAG = 1,
    SK_CHOICE = 2,
    SK_FONT = 3,
    SK_TEXT = 4,
    SK_COLOR = 5,
    SK_INTEGER = 6,
    SK_REAL = 7,
};

class CSettingItem {
public:
    CSettingItem(int kind, double introduced, double retired, const std::string& name, int controlId,
                 CSettingList* owner);
    virtual ~CSettingItem() = default;
    CSettingItem(const CSettingItem&) = delete;
    CSettingItem& operator=(const CSettingItem&) = delete;

    virtual void Serialize(CArchive& ar) = 0;
    virtual void TakeFromBound() = 0;
    virtual void ReadRegistry() = 0;
    virtual void WriteRegistry() = 0;
    virtual void ResetToDefault() = 0;
    // Value := the other item's value (same kind); then the bound variable, if any.
    virtual void CopyFrom(const CSettingItem& other) = 0;
    virtual void Exchange(DataExchange& dx) = 0;
    virtual bool OnCommand(int id);
    virtual void* GetValue() = 0;
    virtual void* GetDefault() = 0;
    virtual void* GetMinimum() { return nullptr; }
    virtual void* GetMaximum() { return nullptr; }
    // An unbound item of the same kind, name, id, versions, default, bounds and value.
    virtual std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const = 0;

    const std::string& Name() const { return m_name; }
    int ControlId() const { return m_controlId; }
    int Kind() const { return m_kind; }
    double IntroducedVersion() const { return m_introduced; }
    double RetiredVersion() const { return m_retired; }
    CSettingList* Owner() const { return m_owner; }

protected:
    const std::string& Section() const;
    // True when the record being read carries this item.
    bool CarriedByFile() const;

    std::string m_name;
    int m_controlId;
    CSettingList* m_owner;
    int m_kind;
    double m_introduced;
    double m_retired;
};

class CFlagSetting : public CSettingItem {
public:
    CFlagSetting(double introduced, double retired, int* bound, std::uint8_t def, const std::string& name,
                 int controlId, CSettingList* owner);
    void Serialize(CArchive& ar) override;
    void TakeFromBound() override;
    void ReadRegistry() override;
    void WriteRegistry() override;
    void ResetToDefault() override;
    void CopyFrom(const CSettingItem& other) override;
    void Exchange(DataExchange& dx) override;
    void* GetValue() override { return &m_value; }
    void* GetDefault() override { return &m_default; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;
    std::uint8_t Value() const { return m_value; }

private:
    void Store();
    int* m_bound;
    std::uint8_t m_value;
    std::uint8_t m_default;
};

class CChoiceSetting : public CSettingItem {
public:
    CChoiceSetting(double introduced, double retired, int* bound, int def, const std::string& name,
                   int controlId, CSettingList* owner);
    void Serialize(CArchive& ar) override;
    void TakeFromBound() override;
    void ReadRegistry() override;
    void WriteRegistry() override;
    void ResetToDefault() override;
    void CopyFrom(const CSettingItem& other) override;
    void Exchange(DataExchange& dx) override;
    void* GetValue() override { return &m_value; }
    void* GetDefault() override { return &m_default; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;
    int Value() const { return m_value; }

private:
    void Store();
    int* m_bound;
    int m_value;
    int m_default;
};

class CFontSetting : public CSettingItem {
public:
    // `def` null: the built-in default font.
    CFontSetting(double introduced, double retired, LOGFONT* bound, const LOGFONT* def, const std::string& name,
                 int controlId, CSettingList* owner);
    void Serialize(CArchive& ar) override;
    void TakeFromBound() override;
    void ReadRegistry() override;
    void WriteRegistry() override;
    void ResetToDefault() override;
    void CopyFrom(const CSettingItem& other) override;
    void Exchange(DataExchange& dx) override;
    bool OnCommand(int id) override;
    void* GetValue() override { return &m_value; }
    void* GetDefault() override { return &m_default; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;
    const LOGFONT& Value() const { return m_value; }

private:
    void Store();
    LOGFONT* m_bound;
    LOGFONT m_value;
    LOGFONT m_default;
};

class CTextSetting : public CSettingItem {
public:
    CTextSetting(double introduced, double retired, std::string* bound, const std::string& def,
                 const std::string& name, int controlId, CSettingList* owner, int maxLength);
    void Serialize(CArchive& ar) override;
    void TakeFromBound() override;
    void ReadRegistry() override;
    void WriteRegistry() override;
    void ResetToDefault() override;
    void CopyFrom(const CSettingItem& other) override;
    void Exchange(DataExchange& dx) override;
    void* GetValue() override { return &m_value; }
    void* GetDefault() override { return &m_default; }
    void* GetMaximum() override { return &m_maxLength; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;
    const std::string& Value() const { return m_value; }

private:
    void Store();
    std::string* m_bound;
    std::string m_value;
    std::string m_default;
    int m_maxLength;
};

class CColorSetting : public CSettingItem {
public:
    CColorSetting(double introduced, double retired, COLORREF* bound, COLORREF def, const std::string& name,
                  int controlId, CSettingList* owner);
    void Serialize(CArchive& ar) override;
    void TakeFromBound() override;
    void ReadRegistry() override;
    void WriteRegistry() override;
    void ResetToDefault() override;
    void CopyFrom(const CSettingItem& other) override;
    void Exchange(DataExchange& dx) override;
    bool OnCommand(int id) override;
    void* GetValue() override { return &m_value; }
    void* GetDefault() override { return &m_default; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;
    COLORREF Value() const { return m_value; }
    void SetValue(COLORREF c) { m_value = c; }

private:
    void Store();
    COLORREF* m_bound;
    COLORREF m_value;
    COLORREF m_default;
};

class CIntegerSetting : public CSettingItem {
public:
    CIntegerSetting(double introduced, double retired, int* bound, int def, const std::string& name,
                    int controlId, CSettingList* owner, int minimum, int maximum);
    void Serialize(CArchive& ar) override;
    void TakeFromBound() override;
    void ReadRegistry() override;
    void WriteRegistry() override;
    void ResetToDefault() override;
    void CopyFrom(const CSettingItem& other) override;
    void Exchange(DataExchange& dx) override;
    void* GetValue() override { return &m_value; }
    void* GetDefault() override { return &m_default; }
    void* GetMinimum() override { return &m_minimum; }
    void* GetMaximum() override { return &m_maximum; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;
    int Value() const { return m_value; }

private:
    void Store();
    int* m_bound;
    int m_value;
    int m_default;
    int m_minimum;
    int m_maximum;
};

class CRealSetting : public CSettingItem {
public:
    CRealSetting(double introduced, double retired, double* bound, double def, const std::string& name,
                 int controlId, CSettingList* owner, double minimum, double maximum);
    void Serialize(CArchive& ar) override;
    void TakeFromBound() override;
    void ReadRegistry() override;
    void WriteRegistry() override;
    void ResetToDefault() override;
    void CopyFrom(const CSettingItem& other) override;
    void Exchange(DataExchange& dx) override;
    void* GetValue() override { return &m_value; }
    void* GetDefault() override { return &m_default; }
    void* GetMinimum() override { return &m_minimum; }
    void* GetMaximum() override { return &m_maximum; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;
    double Value() const { return m_value; }

private:
    void Store();
    double* m_bound;
    double m_value;
    double m_default;
    double m_minimum;
    double m_maximum;
};
