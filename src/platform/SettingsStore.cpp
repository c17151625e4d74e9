#include "platform/SettingsStore.h"

#include "platform/FileIo.h"

#include <cctype>
#include <charconv>
#include <sstream>

int MemorySettingsStore::GetProfileInt(const std::string& section, const std::string& name,
                                       int defaultValue) {
    auto s = m_values.find(section);
    if (s == m_values.end()) return defaultValue;
    auto v = s->second.find(name);
    if (v == s->second.end()) return defaultValue;
    // Like the classic profile reader: leading blanks, a sign and digits; anything else gives 0.
    const std::string& t = v->second;
    std::size_t i = 0;
    while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i])))
        ++i;
    bool neg = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) neg = t[i++] == '-';
    long long n = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])) && n < (1LL << 40))
        n = n * 10 + (t[i++] - '0');
    return static_cast<int>(static_cast<unsigned int>(neg ? -n : n));
}

void MemorySettingsStore::WriteProfileInt(const std::string& section, const std::string& name, int value) {
    m_values[section][name] = std::to_string(value);
}

std::string MemorySettingsStore::GetProfileString(const std::string& section, const std::string& name,
                                                  const std::string& defaultValue) {
    auto s = m_values.find(section);
    if (s == m_values.end()) return defaultValue;
    auto v = s->second.find(name);
    return v == s->second.end() ? defaultValue : v->second;
}

void MemorySettingsStore::WriteProfileString(const std::string& section, const std::string& name,
                                             const std::string& value) {
    m_values[section][name] = value;
}

bool MemorySettingsStore::Has(const std::string& section, const std::string& name) const {
    auto s = m_values.find(section);
    return s != m_values.end() && s->second.count(name) != 0;
}

IniSettingsStore::IniSettingsStore(std::string path) : m_path(std::move(path)) {
    Load();
}

static std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

static std::string UnescapeKey(const std::string& k) {
    std::string out;
    for (std::size_t i = 0; i < k.size(); ++i) {
        if (k[i] == '%' && i + 2 < k.size()) {
            int v = 0;
            auto r = std::from_chars(k.data() + i + 1, k.data() + i + 3, v, 16);
            if (r.ec == std::errc() && r.ptr == k.data() + i + 3) {
                out.push_back(static_cast<char>(v));
                i += 2;
                continue;
            }
        }
        out.push_back(k[i]);
    }
    return out;
}

static std::string UnquoteValue(const std::string& v) {
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') return v;
    std::string out;
    for (std::size_t i = 1; i + 1 < v.size(); ++i) {
        if (v[i] == '\\' && i + 2 < v.size()) {
            char c = v[++i];
            out.push_back(c == 'n' ? '\n' : c == 't' ? '\t' : c);
        } else {
            out.push_back(v[i]);
        }
    }
    return out;
}

void IniSettingsStore::Load() {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(m_path, bytes, m_loadError)) return;
    m_loaded = true;
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t.front() == '[' && t.back() == ']') {
            section = UnescapeKey(t.substr(1, t.size() - 2));
            continue;
        }
        auto eq = t.find('=');
        if (eq == std::string::npos) continue;
        m_values[section][UnescapeKey(Trim(t.substr(0, eq)))] = UnquoteValue(Trim(t.substr(eq + 1)));
    }
}

bool IniSettingsStore::Save() const {
    std::ostringstream out;
    for (const auto& [section, values] : m_values) {
        out << '[' << section << "]\n";
        for (const auto& [name, value] : values)
            out << name << '=' << value << '\n';
        out << '\n';
    }
    const std::string text = out.str();
    std::string error;
    return WriteFileAtomically(m_path, text.data(), text.size(), error);
}

void IniSettingsStore::WriteProfileInt(const std::string& section, const std::string& name, int value) {
    MemorySettingsStore::WriteProfileInt(section, name, value);
    Save();
}

void IniSettingsStore::WriteProfileString(const std::string& section, const std::string& name,
                                          const std::string& value) {
    MemorySettingsStore::WriteProfileString(section, name, value);
    Save();
}
