#include "platform/StringTable.h"

namespace kintra {

static const detail::StringEntry* Find(int id) {
    for (std::size_t i = 0; i < detail::kStringEntryCount; ++i)
        if (detail::kStringEntries[i].id == id) return &detail::kStringEntries[i];
    return nullptr;
}

std::string LoadString(int id) {
    const auto* e = Find(id);
    return e ? std::string(e->text) : std::string();
}

bool HasString(int id) {
    return Find(id) != nullptr;
}

std::string CommandPrompt(int commandId) {
    std::string s = LoadString(commandId);
    return s.substr(0, s.find('\n'));
}

std::string CommandTip(int commandId) {
    std::string s = LoadString(commandId);
    auto nl = s.find('\n');
    return nl == std::string::npos ? std::string() : s.substr(nl + 1);
}

} // namespace kintra
