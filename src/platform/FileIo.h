#pragma once
// Whole-file reading and crash-safe writing.

#include <cstdint>
#include <string>
#include <vector>

// Reads a whole file. False (with a readable reason) when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes a temporary file beside `path`, flushes it to disk and renames it over `path`; on any
// failure the old file is left as it was, the temporary file is removed and `error` says why.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size, std::string& error);
