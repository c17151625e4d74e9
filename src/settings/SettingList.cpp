#include "settings/SettingList.h"

void CSettingList::SetSection(const std::string& section, double version) {
    m_section = section;
    m_listVersion = version;
}

void CSettingList::Append(std::unique_ptr<CSettingItem> item) {
    // Grow by an eighth of the count, clamped to 4..1024 entries, as the lists always have.
    if (m_items.size() == m_items.capacity()) {
        std::size_t step = m_items.size() / 8;
        step = step < 4 ? 4 : step > 1024 ? 1024 : step;
        m_items.reserve(m_items.size() + step);
    }
    m_items.push_back(std::move(item));
}

bool CSettingList::AddFlag(double introduced, double retired, int* bound, std::uint8_t def,
                           const std::string& name, int controlId) {
    Append(std::make_unique<CFlagSetting>(introduced, retired, bound, def, name, controlId, this));
    return true;
}

bool CSettingList::AddChoice(double introduced, double retired, int* bound, int def, const std::string& name,
                             int controlId) {
    Append(std::make_unique<CChoiceSetting>(introduced, retired, bound, def, name, controlId, this));
    return true;
}

bool CSettingList::AddFont(double introduced, double retired, LOGFONT* bound, const LOGFONT* def,
                           const std::string& name, int controlId) {
    Append(std::make_unique<CFontSetting>(introduced, retired, bound, def, name, controlId, this));
    return true;
}

bool CSettingList::AddColor(double introduced, double retired, COLORREF* bound, COLORREF def,
                            const std::string& name, int controlId) {
    Append(std::make_unique<CColorSetting>(introduced, retired, bound, def, name, controlId, this));
    return true;
}

bool CSettingList::AddInteger(double introduced, double retired, int* bound, int def, const std::string& name,
                              int controlId, int minimum, int maximum) {
    Append(std::make_unique<CIntegerSetting>(introduced, retired, bound, def, name, controlId, this, minimum,
                                             maximum));
    return true;
}

bool CSettingList::AddReal(double introduced, double retired, double* bound, double def,
                           const std::string& name, int controlId, double minimum, double maximum) {
    Append(std::make_unique<CRealSetting>(introduced, retired, bound, def, name, controlId, this, minimum,
                                          maximum));
    return true;
}

void CSettingList::Serialize(CArchive& ar, double version) {
    if (version != 0.0) m_fileVersion = version;
    for (auto& item : m_items)
        item->Serialize(ar);
}

void CSettingList::Recall() {
    for (auto& item : m_items)
        item->ReadRegistry();
}

void CSettingList::Update() {
    for (auto& item : m_items)
        item->WriteRegistry();
}

void CSettingList::Reset() {
    for (auto& item : m_items)
        item->ResetToDefault();
}

void CSettingList::CopyValuesFrom(const CSettingList& other) {
    const std::size_t n = m_items.size() < other.m_items.size() ? m_items.size() : other.m_items.size();
    for (std::size_t i = 0; i < n; ++i)
        if (m_items[i]->Kind() == other.m_items[i]->Kind()) m_items[i]->CopyFrom(*other.m_items[i]);
}

void CSettingList::Exchange(DataExchange& dx) {
    for (auto& item : m_items)
        item->Exchange(dx);
}

bool CSettingList::OnCommand(int id) {
    bool any = false;
    for (auto& item : m_items)
        if (item->OnCommand(id)) any = true;
    return any;
}

void CSettingList::CloneFrom(const CSettingList& other) {
    m_section = other.m_section;
    m_items.clear();
    for (const auto& item : other.m_items) {
        item->TakeFromBound();
        Append(item->CloneInto(this));
    }
}

CSettingItem* CSettingList::FindItem(int controlId) const {
    for (const auto& item : m_items)
        if (item->ControlId() == controlId) return item.get();
    return nullptr;
}
