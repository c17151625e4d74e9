#pragma once
// The life of a chart document with its first chart window, for the program and the
// command-line tool alike. The windows are the installed window host's (ModelWindows()).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class COrventDoc;

namespace kintra {

// File New: a document, its chart window, then a new chart in it (the Clock and its companions).
// Null when the chart window cannot be opened.
std::unique_ptr<COrventDoc> NewChartDocument();

// File Open: a document, its chart window, then the file read into it, re-opening the windows it
// records. Null, after a message, when the file cannot be read; the windows opened on the
// document are then closed again and nothing of it remains.
std::unique_ptr<COrventDoc> OpenChartDocument(const std::string& path);
// The same from the bytes of a chart file already read (`path` names it in messages).
std::unique_ptr<COrventDoc> OpenChartDocument(std::vector<std::uint8_t> bytes, const std::string& path);

// A document read from the bytes of a chart file to be run, not shown: no window opens, and the
// window records are read past. Null, after a message, when the file cannot be read.
std::unique_ptr<COrventDoc> OpenChartModel(std::vector<std::uint8_t> bytes, const std::string& path);

// Closes every window of the document, then destroys it.
void CloseChartDocument(std::unique_ptr<COrventDoc> doc);

} // namespace kintra
