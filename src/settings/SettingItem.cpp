#include "settings/SettingItem.h"

#include "platform/DataExchange.h"
#include "platform/Platform.h"
#include "platform/Text.h"

#include <cmath>
#include <cstdlib>

namespace {
SettingsStore& Profile() {
    return Platform().Settings();
}
} // namespace

CSettingItem::CSettingItem(int kind, double introduced, double retired, const std::string& name,
                           int controlId, CSettingOwner* owner)
    : m_name(name), m_controlId(controlId), m_owner(owner), m_kind(kind), m_introduced(introduced),
      m_retired(retired) {}

bool CSettingItem::OnCommand(int) {
    return false;
}

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
                           const std::string& name, int controlId, CSettingOwner* owner)
    : CBoundSetting(SK_FLAG, introduced, retired, bound, def, name, controlId, owner) {
    BindInitialValue();
}

// Four bytes in the file (sign-extended); only the low byte counts on reading.
void CFlagSetting::WriteValue(CArchive& ar) const {
    ar.WriteInt32(static_cast<std::int8_t>(m_value));
}
void CFlagSetting::ReadValue(CArchive& ar) {
    m_value = static_cast<std::uint8_t>(ar.ReadInt32() & 0xFF);
}

void CFlagSetting::ReadRegistry() {
    m_value = static_cast<std::uint8_t>(Profile().GetProfileInt(Section(), m_name, m_default) & 0xFF);
}

void CFlagSetting::WriteRegistry() {
    Profile().WriteProfileInt(Section(), m_name, static_cast<std::int8_t>(m_value));
}

void CFlagSetting::Exchange(DataExchange& dx) {
    if (dx.IsSaving())
        m_value = dx.GetCheck(m_controlId) == 1 ? 1 : 0;
    else
        dx.SetCheck(m_controlId, m_value ? 1 : 0);
}

std::unique_ptr<CSettingItem> CFlagSetting::CloneInto(CSettingOwner* owner) const {
    auto c = std::make_unique<CFlagSetting>(m_introduced, m_retired, nullptr, m_default, m_name, m_controlId,
                                            owner);
    c->m_value = m_value;
    return c;
}

// ---- Choice --------------------------------------------------------------------------------

CChoiceSetting::CChoiceSetting(double introduced, double retired, int* bound, int def,
                               const std::string& name, int controlId, CSettingOwner* owner)
    : CBoundSetting(SK_CHOICE, introduced, retired, bound, def, name, controlId, owner) {
    BindInitialValue();
}

void CChoiceSetting::WriteValue(CArchive& ar) const {
    ar.WriteInt32(m_value);
}
void CChoiceSetting::ReadValue(CArchive& ar) {
    m_value = ar.ReadInt32();
}
void CChoiceSetting::ReadRegistry() {
    m_value = Profile().GetProfileInt(Section(), m_name, m_default);
}
void CChoiceSetting::WriteRegistry() {
    Profile().WriteProfileInt(Section(), m_name, m_value);
}

void CChoiceSetting::Exchange(DataExchange& dx) {
    if (dx.IsSaving())
        m_value = dx.GetRadio(m_controlId);
    else
        dx.SetRadio(m_controlId, m_value);
}

std::unique_ptr<CSettingItem> CChoiceSetting::CloneInto(CSettingOwner* owner) const {
    auto c = std::make_unique<CChoiceSetting>(m_introduced, m_retired, nullptr, m_default, m_name,
                                              m_controlId, owner);
    c->m_value = m_value;
    return c;
}

// ---- Font ----------------------------------------------------------------------------------

CFontSetting::CFontSetting(double introduced, double retired, LOGFONT* bound, const LOGFONT* def,
                           const std::string& name, int controlId, CSettingOwner* owner)
    : CBoundSetting(SK_FONT, introduced, retired, bound, def ? *def : DefaultLogFont(), name, controlId,
                    owner) {
    BindInitialValue();
}

// Five 32-bit fields, eight bytes, then the face name as a counted string.
void CFontSetting::WriteValue(CArchive& ar) const {
    const LOGFONT& f = m_value;
    for (std::int32_t v : {f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight})
        ar.WriteInt32(v);
    for (std::uint8_t b : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                           f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily})
        ar.WriteByte(b);
    ar.WriteString(f.FaceName());
}

void CFontSetting::ReadValue(CArchive& ar) {
    LOGFONT f;
    for (std::int32_t* v : {&f.lfHeight, &f.lfWidth, &f.lfEscapement, &f.lfOrientation, &f.lfWeight})
        *v = ar.ReadInt32();
    for (std::uint8_t* b : {&f.lfItalic, &f.lfUnderline, &f.lfStrikeOut, &f.lfCharSet, &f.lfOutPrecision,
                            &f.lfClipPrecision, &f.lfQuality, &f.lfPitchAndFamily})
        *b = ar.ReadByte();
    f.SetFaceName(ar.ReadString());
    m_value = f;
}

namespace {
// The thirteen numeric fields of a font by their settings-store suffix; the 8-bit ones are cut
// to their low byte on reading.
struct FontField {
    const char* suffix;
    std::int32_t LOGFONT::*wide;
    std::uint8_t LOGFONT::*narrow;
};
const FontField kFontFields[] = {
    {".Height", &LOGFONT::lfHeight, nullptr},
    {".Width", &LOGFONT::lfWidth, nullptr},
    {".Escapement", &LOGFONT::lfEscapement, nullptr},
    {".Orientation", &LOGFONT::lfOrientation, nullptr},
    {".Weight", &LOGFONT::lfWeight, nullptr},
    {".Italic", nullptr, &LOGFONT::lfItalic},
    {".Underline", nullptr, &LOGFONT::lfUnderline},
    {".StrikeOut", nullptr, &LOGFONT::lfStrikeOut},
    {".CharSet", nullptr, &LOGFONT::lfCharSet},
    {".OutPrecision", nullptr, &LOGFONT::lfOutPrecision},
    {".ClipPrecision", nullptr, &LOGFONT::lfClipPrecision},
    {".Quality", nullptr, &LOGFONT::lfQuality},
    {".PitchAndFamily", nullptr, &LOGFONT::lfPitchAndFamily},
};
} // namespace

void CFontSetting::ReadRegistry() {
    SettingsStore& s = Profile();
    const std::string& sec = Section();
    LOGFONT f = m_default;
    for (const FontField& field : kFontFields) {
        if (field.wide)
            f.*field.wide = s.GetProfileInt(sec, m_name + field.suffix, m_default.*field.wide);
        else
            f.*field.narrow = static_cast<std::uint8_t>(
                s.GetProfileInt(sec, m_name + field.suffix, m_default.*field.narrow) & 0xFF);
    }
    f.SetFaceName(s.GetProfileString(sec, m_name + ".FaceName", m_default.FaceName()));
    m_value = f;
}

void CFontSetting::WriteRegistry() {
    SettingsStore& s = Profile();
    const std::string& sec = Section();
    for (const FontField& field : kFontFields)
        s.WriteProfileInt(sec, m_name + field.suffix,
                          field.wide ? m_value.*field.wide : m_value.*field.narrow);
    s.WriteProfileString(sec, m_name + ".FaceName", m_value.FaceName());
}

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

std::unique_ptr<CSettingItem> CFontSetting::CloneInto(CSettingOwner* owner) const {
    auto c = std::make_unique<CFontSetting>(m_introduced, m_retired, nullptr, &m_default, m_name, m_controlId,
                                            owner);
    c->m_value = m_value;
    return c;
}

// ---- Text ----------------------------------------------------------------------------------

CTextSetting::CTextSetting(double introduced, double retired, std::string* bound, const std::string& def,
                           const std::string& name, int controlId, CSettingOwner* owner, int maxLength)
    : CBoundSetting(SK_TEXT, introduced, retired, bound, def, name, controlId, owner),
      m_maxLength(maxLength) {
    BindInitialValue();
}

void CTextSetting::WriteValue(CArchive& ar) const {
    ar.WriteString(m_value);
}
void CTextSetting::ReadValue(CArchive& ar) {
    m_value = ar.ReadString();
}
void CTextSetting::ReadRegistry() {
    m_value = Profile().GetProfileString(Section(), m_name, m_default);
}
void CTextSetting::WriteRegistry() {
    Profile().WriteProfileString(Section(), m_name, m_value);
}

void CTextSetting::Exchange(DataExchange& dx) {
    if (!dx.IsSaving()) {
        dx.SetText(m_controlId, m_value);
        return;
    }
    std::string text = dx.GetText(m_controlId);
    if (m_maxLength > 0 && Utf8Length(text) > static_cast<std::size_t>(m_maxLength))
        dx.Fail(m_controlId, FormatString("Enter no more than %d characters.", m_maxLength));
    m_value = text;
}

std::unique_ptr<CSettingItem> CTextSetting::CloneInto(CSettingOwner* owner) const {
    auto c = std::make_unique<CTextSetting>(m_introduced, m_retired, nullptr, m_default, m_name, m_controlId,
                                            owner, m_maxLength);
    c->m_value = m_value;
    return c;
}

// ---- Colour --------------------------------------------------------------------------------

CColorSetting::CColorSetting(double introduced, double retired, COLORREF* bound, COLORREF def,
                             const std::string& name, int controlId, CSettingOwner* owner)
    : CBoundSetting(SK_COLOR, introduced, retired, bound, def, name, controlId, owner) {
    BindInitialValue();
}

void CColorSetting::WriteValue(CArchive& ar) const {
    ar.WriteUInt32(m_value);
}
void CColorSetting::ReadValue(CArchive& ar) {
    m_value = ar.ReadUInt32();
}

// Three values, name + "Red", "Green" and "Blue", each falling back to the default's component.
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

bool CColorSetting::OnCommand(int id) {
    if (id != m_controlId) return false;
    COLORREF chosen = m_value;
    if (!Platform().Windows().ChooseColor(m_value, chosen)) return false;
    m_value = chosen;
    return true;
}

std::unique_ptr<CSettingItem> CColorSetting::CloneInto(CSettingOwner* owner) const {
    auto c = std::make_unique<CColorSetting>(m_introduced, m_retired, nullptr, m_default, m_name, m_controlId,
                                             owner);
    c->m_value = m_value;
    return c;
}

// ---- Integer -------------------------------------------------------------------------------

CIntegerSetting::CIntegerSetting(double introduced, double retired, int* bound, int def,
                                 const std::string& name, int controlId, CSettingOwner* owner, int minimum,
                                 int maximum)
    : CBoundSetting(SK_INTEGER, introduced, retired, bound, def, name, controlId, owner),
      CSettingRange(minimum, maximum) {
    BindInitialValue();
}

void CIntegerSetting::WriteValue(CArchive& ar) const {
    ar.WriteInt32(m_value);
}
void CIntegerSetting::ReadValue(CArchive& ar) {
    m_value = ar.ReadInt32();
}
void CIntegerSetting::ReadRegistry() {
    m_value = Profile().GetProfileInt(Section(), m_name, m_default);
}
void CIntegerSetting::WriteRegistry() {
    Profile().WriteProfileInt(Section(), m_name, m_value);
}

void CIntegerSetting::Exchange(DataExchange& dx) {
    if (!dx.IsSaving()) {
        dx.SetText(m_controlId, FormatString("%d", m_value));
        return;
    }
    int v = 0;
    if (!ParseInt(dx.GetText(m_controlId), v)) dx.Fail(m_controlId, "Please enter an integer.");
    if (m_minimum < m_maximum && (v < m_minimum || v > m_maximum))
        dx.Fail(m_controlId,
                FormatString("Please enter an integer between %d and %d.", m_minimum, m_maximum));
    m_value = v;
}

std::unique_ptr<CSettingItem> CIntegerSetting::CloneInto(CSettingOwner* owner) const {
    auto c = std::make_unique<CIntegerSetting>(m_introduced, m_retired, nullptr, m_default, m_name,
                                               m_controlId, owner, m_minimum, m_maximum);
    c->m_value = m_value;
    return c;
}

// ---- Real ----------------------------------------------------------------------------------

CRealSetting::CRealSetting(double introduced, double retired, double* bound, double def,
                           const std::string& name, int controlId, CSettingOwner* owner, double minimum,
                           double maximum)
    : CBoundSetting(SK_REAL, introduced, retired, bound, def, name, controlId, owner),
      CSettingRange(minimum, maximum) {
    BindInitialValue();
}

void CRealSetting::WriteValue(CArchive& ar) const {
    ar.WriteDouble(m_value);
}
void CRealSetting::ReadValue(CArchive& ar) {
    m_value = ar.ReadDouble();
}

// Kept in the store as "%e" text with a three-digit exponent, so to seven significant digits.
void CRealSetting::ReadRegistry() {
    std::string text = Profile().GetProfileString(Section(), m_name, FormatE3(m_default));
    m_value = std::strtod(text.c_str(), nullptr);
}

void CRealSetting::WriteRegistry() {
    Profile().WriteProfileString(Section(), m_name, FormatE3(m_value));
}

void CRealSetting::Exchange(DataExchange& dx) {
    if (!dx.IsSaving()) {
        dx.SetText(m_controlId, FormatString("%.15g", m_value));
        return;
    }
    double v = 0.0;
    // "nan" reads as a double but is no number anything could use.
    if (!ParseDouble(dx.GetText(m_controlId), v) || std::isnan(v))
        dx.Fail(m_controlId, "Please enter a number.");
    if (m_minimum < m_maximum && (v < m_minimum || v > m_maximum))
        dx.Fail(m_controlId,
                FormatString("Please enter a number between %.15g and %.15g.", m_minimum, m_maximum));
    m_value = v;
}

std::unique_ptr<CSettingItem> CRealSetting::CloneInto(CSettingOwner* owner) const {
    auto c = std::make_unique<CRealSetting>(m_introduced, m_retired, nullptr, m_default, m_name, m_controlId,
                                            owner, m_minimum, m_maximum);
    c->m_value = m_value;
    return c;
}
