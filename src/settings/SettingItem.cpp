#include "settings/SettingItem.h"

#include "platform/Archive.h"
#include "platform/DataExchange.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/SettingList.h"

#include <cstdlib>

namespace {
SettingsStore& Profile() { return Platform().Settings(); }
} // namespace

CSettingItem::CSettingItem(int kind, double introduced, double retired, const std::string& name, int controlId,
                           CSettingList* owner)
    : m_name(name), m_controlId(controlId), m_owner(owner), m_kind(kind), m_introduced(introduced),
      m_retired(retired) {}

bool CSettingItem::OnCommand(int) { return false; }

const std::string& CSettingItem::Section() const {
    static const std::string none;
    return m_owner ? m_owner->Section() : none;
}

bool CSettingItem::CarriedByFile() const {
    const double v = m_owner ? m_owner->FileVersion() : 0.0;
    return v >= m_introduced && (m_retired == 0.0 || v <= m_retired);
}

// ---- Flag ----------------------------------------------------------------------------------

CFlagSetting::CFlagSetting(double introduced, double retired, int* bound, std::uint8_t def,
                           const std::string& name, int controlId, CSettingList* owner)
    : CSettingItem(SK_FLAG, introduced, retired, name, controlId, owner), m_bound(bound), m_value(def),
      m_default(def) {
    if (m_bound) {
        ReadRegistry();
        Store();
    }
}

void CFlagSetting::Store() {
    if (m_bound) *m_bound = m_value;
}

void CFlagSetting::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        TakeFromBound();
        if (m_retired == 0.0) ar.WriteInt32(static_cast<std::int8_t>(m_value));
    } else if (CarriedByFile()) {
        m_value = static_cast<std::uint8_t>(ar.ReadInt32() & 0xFF);
        Store();
    }
}

void CFlagSetting::TakeFromBound() {
    if (m_bound) m_value = static_cast<std::uint8_t>(*m_bound & 0xFF);
}

void CFlagSetting::ReadRegistry() {
    m_value = static_cast<std::uint8_t>(Profile().GetProfileInt(Section(), m_name, m_default) & 0xFF);
}

void CFlagSetting::WriteRegistry() { Profile().WriteProfileInt(Section(), m_name, static_cast<std::int8_t>(m_value)); }
void CFlagSetting::ResetToDefault() { m_value = m_default; }

void CFlagSetting::CopyFrom(const CSettingItem& other) {
    m_value = static_cast<const CFlagSetting&>(other).m_value;
    Store();
}

void CFlagSetting::Exchange(DataExchange& dx) {
    if (dx.IsSaving())
        m_value = dx.GetCheck(m_controlId) == 1 ? 1 : 0;
    else
        dx.SetCheck(m_controlId, m_value ? 1 : 0);
}

std::unique_ptr<CSettingItem> CFlagSetting::CloneInto(CSettingList* owner) const {
    auto c = std::make_unique<CFlagSetting>(m_introduced, m_retired, nullptr, m_default, m_name, m_controlId, owner);
    c->m_value = m_value;
    return c;
}

// ---- Choice --------------------------------------------------------------------------------

CChoiceSetting::CChoiceSetting(double introduced, double retired, int* bound, int def, const std::string& name,
                               int controlId, CSettingList* owner)
    : CSettingItem(SK_CHOICE, introduced, retired, name, controlId, owner), m_bound(bound), m_value(def),
      m_default(def) {
    if (m_bound) {
        ReadRegistry();
        Store();
    }
}

void CChoiceSetting::Store() {
    if (m_bound) *m_bound = m_value;
}

void CChoiceSetting::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        TakeFromBound();
        if (m_retired == 0.0) ar.WriteInt32(m_value);
    } else if (CarriedByFile()) {
        m_value = ar.ReadInt32();
        Store();
    }
}

void CChoiceSetting::TakeFromBound() {
    if (m_bound) m_value = *m_bound;
}
void CChoiceSetting::ReadRegistry() { m_value = Profile().GetProfileInt(Section(), m_name, m_default); }
void CChoiceSetting::WriteRegistry() { Profile().WriteProfileInt(Section(), m_name, m_value); }
void CChoiceSetting::ResetToDefault() { m_value = m_default; }

void CChoiceSetting::CopyFrom(const CSettingItem& other) {
    m_value = static_cast<const CChoiceSetting&>(other).m_value;
    Store();
}

void CChoiceSetting::Exchange(DataExchange& dx) {
    if (dx.IsSaving())
        m_value = dx.GetRadio(m_controlId);
    else
        dx.SetRadio(m_controlId, m_value);
}

std::unique_ptr<CSettingItem> CChoiceSetting::CloneInto(CSettingList* owner) const {
    auto c = std::make_unique<CChoiceSetting>(m_introduced, m_retired, nullptr, m_default, m_name, m_controlId,
                                              owner);
    c->m_value = m_value;
    return c;
}

// ---- Font ----------------------------------------------------------------------------------

CFontSetting::CFontSetting(double introduced, double retired, LOGFONT* bound, const LOGFONT* def,
                           const std::string& name, int controlId, CSettingList* owner)
    : CSettingItem(SK_FONT, introduced, retired, name, controlId, owner), m_bound(bound),
      m_value(def ? *def : DefaultLogFont()), m_default(def ? *def : DefaultLogFont()) {
    if (m_bound) {
        ReadRegistry();
        Store();
    }
}

void CFontSetting::Store() {
    if (m_bound) *m_bound = m_value;
}

void CFontSetting::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        TakeFromBound();
        if (m_retired != 0.0) return;
        const LOGFONT& f = m_value;
        ar.WriteInt32(f.lfHeight);
        ar.WriteInt32(f.lfWidth);
        ar.WriteInt32(f.lfEscapement);
        ar.WriteInt32(f.lfOrientation);
        ar.WriteInt32(f.lfWeight);
        for (std::uint8_t b : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                               f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily})
            ar.WriteByte(b);
        ar.WriteString(f.FaceName());
    } else if (CarriedByFile()) {
        LOGFONT f;
        f.lfHeight = ar.ReadInt32();
        f.lfWidth = ar.ReadInt32();
        f.lfEscapement = ar.ReadInt32();
        f.lfOrientation = ar.ReadInt32();
        f.lfWeight = ar.ReadInt32();
        for (std::uint8_t* b : {&f.lfItalic, &f.lfUnderline, &f.lfStrikeOut, &f.lfCharSet, &f.lfOutPrecision,
                                &f.lfClipPrecision, &f.lfQuality, &f.lfPitchAndFamily})
            *b = ar.ReadByte();
        f.SetFaceName(ar.ReadString());
        m_value = f;
        Store();
    }
}

void CFontSetting::TakeFromBound() {
    if (m_bound) m_value = *m_bound;
}

void CFontSetting::ReadRegistry() {
    SettingsStore& s = Profile();
    const std::string& sec = Section();
    const LOGFONT& d = m_default;
    LOGFONT f = d;
    f.lfHeight = s.GetProfileInt(sec, m_name + ".Height", d.lfHeight);
    f.lfWidth = s.GetProfileInt(sec, m_name + ".Width", d.lfWidth);
    f.lfEscapement = s.GetProfileInt(sec, m_name + ".Escapement", d.lfEscapement);
    f.lfOrientation = s.GetProfileInt(sec, m_name + ".Orientation", d.lfOrientation);
    f.lfWeight = s.GetProfileInt(sec, m_name + ".Weight", d.lfWeight);
    auto byte = [&](const char* suffix, std::uint8_t def) {
        return static_cast<std::uint8_t>(s.GetProfileInt(sec, m_name + suffix, def) & 0xFF);
    };
    f.lfItalic = byte(".Italic", d.lfItalic);
    f.lfUnderline = byte(".Underline", d.lfUnderline);
    f.lfStrikeOut = byte(".StrikeOut", d.lfStrikeOut);
    f.lfCharSet = byte(".CharSet", d.lfCharSet);
    f.lfOutPrecision = byte(".OutPrecision", d.lfOutPrecision);
    f.lfClipPrecision = byte(".ClipPrecision", d.lfClipPrecision);
    f.lfQuality = byte(".Quality", d.lfQuality);
    f.lfPitchAndFamily = byte(".PitchAndFamily", d.lfPitchAndFamily);
    f.SetFaceName(s.GetProfileString(sec, m_name + ".FaceName", d.FaceName()));
    m_value = f;
}

void CFontSetting::WriteRegistry() {
    SettingsStore& s = Profile();
    const std::string& sec = Section();
    const LOGFONT& f = m_value;
    s.WriteProfileInt(sec, m_name + ".Height", f.lfHeight);
    s.WriteProfileInt(sec, m_name + ".Width", f.lfWidth);
    s.WriteProfileInt(sec, m_name + ".Escapement", f.lfEscapement);
    s.WriteProfileInt(sec, m_name + ".Orientation", f.lfOrientation);
    s.WriteProfileInt(sec, m_name + ".Weight", f.lfWeight);
    s.WriteProfileInt(sec, m_name + ".Italic", f.lfItalic);
    s.WriteProfileInt(sec, m_name + ".Underline", f.lfUnderline);
    s.WriteProfileInt(sec, m_name + ".StrikeOut", f.lfStrikeOut);
    s.WriteProfileInt(sec, m_name + ".CharSet", f.lfCharSet);
    s.WriteProfileInt(sec, m_name + ".OutPrecision", f.lfOutPrecision);
    s.WriteProfileInt(sec, m_name + ".ClipPrecision", f.lfClipPrecision);
    s.WriteProfileInt(sec, m_name + ".Quality", f.lfQuality);
    s.WriteProfileInt(sec, m_name + ".PitchAndFamily", f.lfPitchAndFamily);
    s.WriteProfileString(sec, m_name + ".FaceName", f.FaceName());
}

void CFontSetting::ResetToDefault() { m_value = m_default; }

void CFontSetting::CopyFrom(const CSettingItem& other) {
    m_value = static_cast<const CFontSetting&>(other).m_value;
    Store();
}

void CFontSetting::Exchange(DataExchange&) {}

bool CFontSetting::OnCommand(int id) {
    if (id != m_controlId) return false;
    CColorSetting* paired = nullptr;
    if (m_owner) {
        CSettingItem* item = m_owner->FindItem(-m_controlId);
        if (item && item->Kind() == SK_COLOR) paired = static_cast<CColorSetting*>(item);
    }
    LOGFONT copy = m_value;
    COLORREF color = paired ? paired->Value() : 0;
    if (!Platform().Windows().ChooseFont(copy, paired ? &color : nullptr, 0x101)) return false;
    m_value = copy;
    if (paired) paired->SetValue(color);
    return true;
}

std::unique_ptr<CSettingItem> CFontSetting::CloneInto(CSettingList* owner) const {
    auto c = std::make_unique<CFontSetting>(m_introduced, m_retired, nullptr, &m_default, m_name, m_controlId,
                                            owner);
    c->m_value = m_value;
    return c;
}

// ---- Text ----------------------------------------------------------------------------------

CTextSetting::CTextSetting(double introduced, double retired, std::string* bound, const std::string& def,
                           const std::string& name, int controlId, CSettingList* owner, int maxLength)
    : CSettingItem(SK_TEXT, introduced, retired, name, controlId, owner), m_bound(bound), m_value(def),
      m_default(def), m_maxLength(maxLength) {
    if (m_bound) {
        ReadRegistry();
        Store();
    }
}

void CTextSetting::Store() {
    if (m_bound) *m_bound = m_value;
}

void CTextSetting::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        TakeFromBound();
        if (m_retired == 0.0) ar.WriteString(m_value);
    } else if (CarriedByFile()) {
        m_value = ar.ReadString();
        Store();
    }
}

void CTextSetting::TakeFromBound() {
    if (m_bound) m_value = *m_bound;
}
void CTextSetting::ReadRegistry() { m_value = Profile().GetProfileString(Section(), m_name, m_default); }
void CTextSetting::WriteRegistry() { Profile().WriteProfileString(Section(), m_name, m_value); }
void CTextSetting::ResetToDefault() { m_value = m_default; }

void CTextSetting::CopyFrom(const CSettingItem& other) {
    m_value = static_cast<const CTextSetting&>(other).m_value;
    Store();
}

void CTextSetting::Exchange(DataExchange& dx) {
    if (!dx.IsSaving()) {
        dx.SetText(m_controlId, m_value);
        return;
    }
    std::string text = dx.GetText(m_controlId);
    if (m_maxLength > 0 && text.size() > static_cast<std::size_t>(m_maxLength))
        dx.Fail(m_controlId, FormatString("Enter no more than %d characters.", m_maxLength));
    m_value = text;
}

std::unique_ptr<CSettingItem> CTextSetting::CloneInto(CSettingList* owner) const {
    auto c = std::make_unique<CTextSetting>(m_introduced, m_retired, nullptr, m_default, m_name, m_controlId,
                                            owner, m_maxLength);
    c->m_value = m_value;
    return c;
}

// ---- Colour --------------------------------------------------------------------------------

CColorSetting::CColorSetting(double introduced, double retired, COLORREF* bound, COLORREF def,
                             const std::string& name, int controlId, CSettingList* owner)
    : CSettingItem(SK_COLOR, introduced, retired, name, controlId, owner), m_bound(bound), m_value(def),
      m_default(def) {
    if (m_bound) {
        ReadRegistry();
        Store();
    }
}

void CColorSetting::Store() {
    if (m_bound) *m_bound = m_value;
}

void CColorSetting::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        TakeFromBound();
        if (m_retired == 0.0) ar.WriteUInt32(m_value);
    } else if (CarriedByFile()) {
        m_value = ar.ReadUInt32();
        Store();
    }
}

void CColorSetting::TakeFromBound() {
    if (m_bound) m_value = *m_bound;
}

void CColorSetting::ReadRegistry() {
    SettingsStore& s = Profile();
    const std::string& sec = Section();
    int r = s.GetProfileInt(sec, m_name + "Red", GetRValue(m_default));
    int g = s.GetProfileInt(sec, m_name + "Green", GetGValue(m_default));
    int b = s.GetProfileInt(sec, m_name + "Blue", GetBValue(m_default));
    m_value = RGB(r, g, b);
}

void CColorSetting::WriteRegistry() {
    SettingsStore& s = Profile();
    const std::string& sec = Section();
    s.WriteProfileInt(sec, m_name + "Red", GetRValue(m_value));
    s.WriteProfileInt(sec, m_name + "Green", GetGValue(m_value));
    s.WriteProfileInt(sec, m_name + "Blue", GetBValue(m_value));
}

void CColorSetting::ResetToDefault() { m_value = m_default; }

void CColorSetting::CopyFrom(const CSettingItem& other) {
    m_value = static_cast<const CColorSetting&>(other).m_value;
    Store();
}

void CColorSetting::Exchange(DataExchange&) {}

bool CColorSetting::OnCommand(int id) {
    if (id != m_controlId) return false;
    COLORREF chosen = m_value;
    if (!Platform().Windows().ChooseColor(m_value, chosen)) return false;
    m_value = chosen;
    return true;
}

std::unique_ptr<CSettingItem> CColorSetting::CloneInto(CSettingList* owner) const {
    auto c = std::make_unique<CColorSetting>(m_introduced, m_retired, nullptr, m_default, m_name, m_controlId,
                                             owner);
    c->m_value = m_value;
    return c;
}

// ---- Integer -------------------------------------------------------------------------------

CIntegerSetting::CIntegerSetting(double introduced, double retired, int* bound, int def, const std::string& name,
                                 int controlId, CSettingList* owner, int minimum, int maximum)
    : CSettingItem(SK_INTEGER, introduced, retired, name, controlId, owner), m_bound(bound), m_value(def),
      m_default(def), m_minimum(minimum), m_maximum(maximum) {
    if (m_bound) {
        ReadRegistry();
        Store();
    }
}

void CIntegerSetting::Store() {
    if (m_bound) *m_bound = m_value;
}

void CIntegerSetting::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        TakeFromBound();
        if (m_retired == 0.0) ar.WriteInt32(m_value);
    } else if (CarriedByFile()) {
        m_value = ar.ReadInt32();
        Store();
    }
}

void CIntegerSetting::TakeFromBound() {
    if (m_bound) m_value = *m_bound;
}
void CIntegerSetting::ReadRegistry() { m_value = Profile().GetProfileInt(Section(), m_name, m_default); }
void CIntegerSetting::WriteRegistry() { Profile().WriteProfileInt(Section(), m_name, m_value); }
void CIntegerSetting::ResetToDefault() { m_value = m_default; }

void CIntegerSetting::CopyFrom(const CSettingItem& other) {
    m_value = static_cast<const CIntegerSetting&>(other).m_value;
    Store();
}

void CIntegerSetting::Exchange(DataExchange& dx) {
    if (!dx.IsSaving()) {
        dx.SetText(m_controlId, FormatString("%d", m_value));
        return;
    }
    int v = 0;
    if (!ParseInt(dx.GetText(m_controlId), v)) dx.Fail(m_controlId, "Please enter an integer.");
    if (m_minimum < m_maximum && (v < m_minimum || v > m_maximum))
        dx.Fail(m_controlId, FormatString("Please enter an integer between %d and %d.", m_minimum, m_maximum));
    m_value = v;
}

std::unique_ptr<CSettingItem> CIntegerSetting::CloneInto(CSettingList* owner) const {
    auto c = std::make_unique<CIntegerSetting>(m_introduced, m_retired, nullptr, m_default, m_name, m_controlId,
                                               owner, m_minimum, m_maximum);
    c->m_value = m_value;
    return c;
}

// ---- Real ----------------------------------------------------------------------------------

CRealSetting::CRealSetting(double introduced, double retired, double* bound, double def, const std::string& name,
                           int controlId, CSettingList* owner, double minimum, double maximum)
    : CSettingItem(SK_REAL, introduced, retired, name, controlId, owner), m_bound(bound), m_value(def),
      m_default(def), m_minimum(minimum), m_maximum(maximum) {
    if (m_bound) {
        ReadRegistry();
        Store();
    }
}

void CRealSetting::Store() {
    if (m_bound) *m_bound = m_value;
}

void CRealSetting::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        TakeFromBound();
        if (m_retired == 0.0) ar.WriteDouble(m_value);
    } else if (CarriedByFile()) {
        m_value = ar.ReadDouble();
        Store();
    }
}

void CRealSetting::TakeFromBound() {
    if (m_bound) m_value = *m_bound;
}

void CRealSetting::ReadRegistry() {
    std::string text = Profile().GetProfileString(Section(), m_name, FormatE3(m_default));
    m_value = std::strtod(text.c_str(), nullptr);
}

void CRealSetting::WriteRegistry() { Profile().WriteProfileString(Section(), m_name, FormatE3(m_value)); }
void CRealSetting::ResetToDefault() { m_value = m_default; }

void CRealSetting::CopyFrom(const CSettingItem& other) {
    m_value = static_cast<const CRealSetting&>(other).m_value;
    Store();
}

void CRealSetting::Exchange(DataExchange& dx) {
    if (!dx.IsSaving()) {
        dx.SetText(m_controlId, FormatString("%.15g", m_value));
        return;
    }
    double v = 0.0;
    if (!ParseDouble(dx.GetText(m_controlId), v)) dx.Fail(m_controlId, "Please enter a number.");
    if (m_minimum < m_maximum && (v < m_minimum || v > m_maximum))
        dx.Fail(m_controlId, FormatString("Please enter a number between %.15g and %.15g.", m_minimum, m_maximum));
    m_value = v;
}

std::unique_ptr<CSettingItem> CRealSetting::CloneInto(CSettingList* owner) const {
    auto c = std::make_unique<CRealSetting>(m_introduced, m_retired, nullptr, m_default, m_name, m_controlId,
                                            owner, m_minimum, m_maximum);
    c->m_value = m_value;
    return c;
}
