#pragma once
// Kintra's string table: type names by type code, prompts and tool tips by command id, messages.

#include <cstddef>
#include <string>

namespace kintra {
namespace detail {
struct StringEntry {
    int id;
    const char* text;
};
extern const StringEntry kStringEntries[];
extern const std::size_t kStringEntryCount;
} // namespace detail

// The entry with that id, or an empty text when there is none.
std::string LoadString(int id);
bool HasString(int id);
// For a command: the status-bar prompt (before the newline) and the tool tip (after it).
std::string CommandPrompt(int commandId);
std::string CommandTip(int commandId);
} // namespace kintra
