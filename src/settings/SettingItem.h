#pragma once
// One typed, persisted setting bound to a member of its owner: read from and written to the
// settings store, carried in chart files, reset to a factory default, shown in a dialog control.

#include "platform/Archive.h"
#include "platform/LogFont.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class CArchive;
class CSettingItem;
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

// What an item asks of the list that holds it: the settings-store section it is read from and
// written to, the version of the file record being read, and its siblings by control id (a font
// finds the colour chosen with it). CSettingList is the one implementation.
class CSettingOwner {
  public:
    virtual const std::string& Section() const = 0;
    virtual double FileVersion() const = 0;
    virtual CSettingItem* FindItem(int controlId) const = 0;

  protected:
    CSettingOwner() = default;
    CSettingOwner(const CSettingOwner&) = default;
    CSettingOwner& operator=(const CSettingOwner&) = default;
    ~CSettingOwner() = default;
};

class CSettingItem {
  public:
    CSettingItem(int kind, double introduced, double retired, const std::string& name, int controlId,
                 CSettingOwner* owner);
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
    // The value and the default as the type the item keeps them in: std::uint8_t for a flag,
    // int for a choice or an integer, double for a real, COLORREF for a colour, LOGFONT for a
    // font, std::string for a text. Null when asked for another type.
    template <typename T> T* ValueAs();
    template <typename T> const T* DefaultAs() const;
    // The range an integer (int) or a real (double) accepts; nothing for other kinds and types.
    template <typename T> std::optional<T> MinimumAs() const;
    template <typename T> std::optional<T> MaximumAs() const;
    // An unbound item of the same kind, name, id, versions, default, bounds and value.
    virtual std::unique_ptr<CSettingItem> CloneInto(CSettingOwner* owner) const = 0;

    const std::string& Name() const { return m_name; }
    int ControlId() const { return m_controlId; }
    int Kind() const { return m_kind; }
    double IntroducedVersion() const { return m_introduced; }
    double RetiredVersion() const { return m_retired; }
    CSettingOwner* Owner() const { return m_owner; }

  protected:
    const std::string& Section() const;
    // True when the record being read carries this item.
    bool CarriedByFile() const;

    std::string m_name;
    int m_controlId;
    CSettingOwner* m_owner;
    int m_kind;
    double m_introduced;
    double m_retired;
};

// The value and default of an item that keeps a T, whatever its owner's member is.
template <typename T> class CTypedSetting : public CSettingItem {
  public:
    const T& Value() const { return m_value; }
    void SetValue(const T& value) { m_value = value; }

  protected:
    CTypedSetting(int kind, double introduced, double retired, const T& def, const std::string& name,
                  int controlId, CSettingOwner* owner)
        : CSettingItem(kind, introduced, retired, name, controlId, owner), m_value(def), m_default(def) {}

    T m_value;
    T m_default;

    friend class CSettingItem;
};

// The range an integer or a real accepts.
template <typename T> class CSettingRange {
  public:
    CSettingRange(T minimum, T maximum) : m_minimum(minimum), m_maximum(maximum) {}
    virtual ~CSettingRange() = default;
    T Minimum() const { return m_minimum; }
    T Maximum() const { return m_maximum; }

  protected:
    T m_minimum;
    T m_maximum;
};

// What every kind shares: the value, its default, the owner's member it is bound to, and the
// file record's skeleton (written unless retired; read only when the file carries the item).
template <typename T, typename B = T> class CBoundSetting : public CTypedSetting<T> {
    using Base = CTypedSetting<T>;

  public:
    void Serialize(CArchive& ar) final {
        if (ar.IsStoring()) {
            TakeFromBound();
            if (this->m_retired == 0.0) WriteValue(ar);
        } else if (this->CarriedByFile()) {
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

  protected:
    using Base::m_default;
    using Base::m_value;
    CBoundSetting(int kind, double introduced, double retired, B* bound, const T& def,
                  const std::string& name, int controlId, CSettingOwner* owner)
        : Base(kind, introduced, retired, def, name, controlId, owner), m_bound(bound) {}
    // Called last by each kind's constructor: a bound member starts from the user's stored
    // default, or the factory default where nothing is stored.
    void BindInitialValue() {
        if (!m_bound) return;
        this->ReadRegistry();
        Store();
    }
    void Store() {
        if (m_bound) *m_bound = static_cast<B>(m_value);
    }
    virtual void WriteValue(CArchive& ar) const = 0;
    virtual void ReadValue(CArchive& ar) = 0;

    B* m_bound;
};

// A flag is kept in 8 bits; the owner's member is an int holding 0 or 1.
class CFlagSetting : public CBoundSetting<std::uint8_t, int> {
  public:
    CFlagSetting(double introduced, double retired, int* bound, std::uint8_t def, const std::string& name,
                 int controlId, CSettingOwner* owner);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange& dx) override;
    std::unique_ptr<CSettingItem> CloneInto(CSettingOwner* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
};

class CChoiceSetting : public CBoundSetting<int> {
  public:
    CChoiceSetting(double introduced, double retired, int* bound, int def, const std::string& name,
                   int controlId, CSettingOwner* owner);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange& dx) override;
    std::unique_ptr<CSettingItem> CloneInto(CSettingOwner* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
};

class CFontSetting : public CBoundSetting<LOGFONT> {
  public:
    // `def` null: the built-in default font.
    CFontSetting(double introduced, double retired, LOGFONT* bound, const LOGFONT* def,
                 const std::string& name, int controlId, CSettingOwner* owner);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange&) override {}
    bool OnCommand(int id) override;
    std::unique_ptr<CSettingItem> CloneInto(CSettingOwner* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
};

class CTextSetting : public CBoundSetting<std::string> {
  public:
    CTextSetting(double introduced, double retired, std::string* bound, const std::string& def,
                 const std::string& name, int controlId, CSettingOwner* owner, int maxLength);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange& dx) override;
    // The longest text accepted, in characters; 0 for no limit.
    int MaxLength() const { return m_maxLength; }
    std::unique_ptr<CSettingItem> CloneInto(CSettingOwner* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
    int m_maxLength;
};

class CColorSetting : public CBoundSetting<COLORREF> {
  public:
    CColorSetting(double introduced, double retired, COLORREF* bound, COLORREF def, const std::string& name,
                  int controlId, CSettingOwner* owner);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange&) override {}
    bool OnCommand(int id) override;
    std::unique_ptr<CSettingItem> CloneInto(CSettingOwner* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
};

class CIntegerSetting : public CBoundSetting<int>, public CSettingRange<int> {
  public:
    CIntegerSetting(double introduced, double retired, int* bound, int def, const std::string& name,
                    int controlId, CSettingOwner* owner, int minimum, int maximum);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange& dx) override;
    std::unique_ptr<CSettingItem> CloneInto(CSettingOwner* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
};

class CRealSetting : public CBoundSetting<double>, public CSettingRange<double> {
  public:
    CRealSetting(double introduced, double retired, double* bound, double def, const std::string& name,
                 int controlId, CSettingOwner* owner, double minimum, double maximum);
    void ReadRegistry() override;
    void WriteRegistry() override;
    void Exchange(DataExchange& dx) override;
    std::unique_ptr<CSettingItem> CloneInto(CSettingOwner* owner) const override;

  private:
    void WriteValue(CArchive& ar) const override;
    void ReadValue(CArchive& ar) override;
};

template <typename T> T* CSettingItem::ValueAs() {
    auto* typed = dynamic_cast<CTypedSetting<T>*>(this);
    return typed ? &typed->m_value : nullptr;
}

template <typename T> const T* CSettingItem::DefaultAs() const {
    const auto* typed = dynamic_cast<const CTypedSetting<T>*>(this);
    return typed ? &typed->m_default : nullptr;
}

template <typename T> std::optional<T> CSettingItem::MinimumAs() const {
    const auto* range = dynamic_cast<const CSettingRange<T>*>(this);
    return range ? std::optional<T>(range->Minimum()) : std::nullopt;
}

template <typename T> std::optional<T> CSettingItem::MaximumAs() const {
    const auto* range = dynamic_cast<const CSettingRange<T>*>(this);
    return range ? std::optional<T>(range->Maximum()) : std::nullopt;
}
