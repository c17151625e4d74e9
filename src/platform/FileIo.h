#pragma once
// Whole-file reading and crash-safe writing.

#include <cstdint>
#include <string>
#include <vector>

// Reads a whole file. False (with a readable reason) when it cannot be read. Only regular files
// are read: a folder, a FIFO or a device is refused before it is opened, so nothing blocks.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes a temporary file beside the file `path` names, flushes it to disk and renames it over
// that file; on any failure the old file is left as it was, the temporary file is removed and
// `error` says why. A symbolic link is followed: the file it points to is replaced and the link
// stays. A read-only file, a folder or any other non-regular file is refused. The new file keeps
// the old one's permissions except the set-user-id and set-group-id bits. Temporary files that
// an earlier save left in that folder when its process died are removed.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size, std::string& error);

// `text` made a plain, visible file name: separators and control characters become "_", leading
// dots and blanks go, and it is cut, never inside a UTF-8 character, to leave `room` bytes of the
// file system's 255 for an extension. Empty when nothing is left.
std::string PlainFileName(const std::string& text, std::size_t room = 0);

// True when `name` (a name within a folder, no slash) has the form of the temporary files that
// WriteFileAtomically makes; `pid` is then the process that made it.
bool IsSaveTemporaryName(const std::string& name, long& pid);
