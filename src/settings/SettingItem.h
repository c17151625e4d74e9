#pragma once
// One typed, persisted setting bound to a member of its owner: read from and written to the
// settings store, carried in chart files, reset to a factory default, shown in a dialog control.

#include "platform/Archive.h"
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

// What every kind shares: the value, its default, the owner's member it is bound to, and the
// file record's skeleton (written unless retired; read only when the file carries the item).
template <typename T, typename B = T> class CBoundSetting : public CSettingItem {
  public:
    void Serialize(CArchive& ar) final {
        if (ar.IsStoring()) {
            TakeFromBound();
            if (m_retired == 0.0) WriteValue(ar);
        } else if (CarriedByFile()) {
            ReadValue(ar);
            Store();
        }
    }
    void TakeFromBound() final {
        if (m_bound) m_value = static_cast<T>(*m_bound);
    }
    void ResetToDefault() final { m_value = m_default; }
    void CopyFrom(const CSettingItem& other) final {
        m_value = static_cast<const CBoundSetting&>(other).m_value;
        Store();
    }
    void* GetValue() final { return &m_value; }
    void* GetDefault() final { return &m_default; }
    const T& Value() const { return m_value; }
    void SetValue(const T& value) { m_value = value; }

  protected:
    CBoundSetting(int kind, double introduced, double retired, B* bound, const T& def,
                  const std::string& name, int controlId, CSettingList* owner)
        : CSettingItem(kind, introduced, retired, name, controlId, owner), m_bound(bound), m_value(def),
          m_default(def) {}
    // Called last by each kind's constructor: a bound member starts from the user's stored
    // default, or the factory default where nothing is stored.
    void BindInitialValue() {
        if (!m_bound) return;
        ReadRegistry();
        Store();
    }
    void Store() {
        if (m_bound) *m_bound = static_cast<B>(m_value);
    }
    virtual void WriteValue(CArchive& ar) const = 0;
    virtual void ReadValue(CArchive& ar) = 0;

    B* m_bound;
    T m_value;
    T m_default;
};

// A flag is kept in 8 bits; the owner's member is an int holding 0 or 1.
class CFlagSetting : public CBoundSetting<std::uint8_t, int> {
  public:
    CFlagSetting(double introduced, double retired, int* bound, std::uint8_t def, const std::string& name,
                 int controlId, CSettingList* owner);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange& dx) override;
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
};

class CChoiceSetting : public CBoundSetting<int> {
  public:
    CChoiceSetting(double introduced, double retired, int* bound, int def, const std::string& name,
                   int controlId, CSettingList* owner);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange& dx) override;
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
};

class CFontSetting : public CBoundSetting<LOGFONT> {
  public:
    // `def` null: the built-in default font.
    CFontSetting(double introduced, double retired, LOGFONT* bound, const LOGFONT* def,
                 const std::string& name, int controlId, CSettingList* owner);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange&) override {}
    bool OnCommand(int id) override;
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
};

class CTextSetting : public CBoundSetting<std::string> {
  public:
    CTextSetting(double introduced, double retired, std::string* bound, const std::string& def,
                 const std::string& name, int controlId, CSettingList* owner, int maxLength);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange& dx) override;
    void* GetMaximum() override { return &m_maxLength; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
    int m_maxLength;
};

class CColorSetting : public CBoundSetting<COLORREF> {
  public:
    CColorSetting(double introduced, double retired, COLORREF* bound, COLORREF def, const std::string& name,
                  int controlId, CSettingList* owner);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange&) override {}
    bool OnCommand(int id) override;
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
};

class CIntegerSetting : public CBoundSetting<int> {
  public:
    CIntegerSetting(double introduced, double retired, int* bound, int def, const std::string& name,
                    int controlId, CSettingList* owner, int minimum, int maximum);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange& dx) override;
    void* GetMinimum() override { return &m_minimum; }
    void* GetMaximum() override { return &m_maximum; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
    int m_minimum;
    int m_maximum;
};

class CRealSetting : public CBoundSetting<double> {
  public:
    CRealSetting(double introduced, double retired, double* bound, double def, const std::string& name,
                 int controlId, CSettingList* owner, double minimum, double maximum);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange& dx) override;
    void* GetMinimum() override { return &m_minimum; }
    void* GetMaximum() override { return &m_maximum; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingList* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
    double m_minimum;
    double m_maximum;
};
