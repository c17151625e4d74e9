#pragma once
// Reading and writing ".cht" chart files: the texts the reader shows and the error that ends a
// read whose message has already been shown.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

class CView;

namespace kintra {

inline constexpr const char* kLoadErrorCaption = "Load Error";
inline constexpr const char* kSaveErrorCaption = "Save Error";
inline constexpr const char* kNeedUpdatedVersion = "Need updated version of Orvent to load this data file";
inline constexpr const char* kInvalidDataInFile = "Invalid data in File";

// View class names carried by chart files.
inline constexpr const char* kChartViewClass = "COrventView";
inline constexpr const char* kGraphViewClass = "CGraphBase";
inline constexpr const char* kListViewClass = "CListBase";

// Smallest number of bytes one block takes in a file: its table entry (type code and position)
// and the shortest common record (three empty texts, colour, two flags, three inputs with their
// parameters and route records, an empty history).
inline constexpr std::size_t kBlockTableEntrySize = 2 + 8;
inline constexpr std::size_t kMinBlockRecordSize = 1 + 1 + 4 + 1 + 4 + 4 + 3 * (8 + 8 + 16) + 4;
// Smallest view record: its class name ("CListBase" is the shortest) and nothing else.
inline constexpr std::size_t kMinViewRecordSize = 1 + 9;

// Largest grid column or row (either sign) a block of a chart file may stand on. The chart's
// geometry, the companions' places and the routes are reckoned from grid positions in 32-bit
// logical units, which positions beyond this would overflow.
inline constexpr std::int32_t kMaxGridCoordinate = 100000;

// A chart file the reader refused after telling the user why; the open fails.
class CChartLoadRefused : public std::runtime_error {
  public:
    explicit CChartLoadRefused(const std::string& what) : std::runtime_error(what) {}
};

// True for the class names a chart file may carry.
bool IsChartFileViewClass(const std::string& className);

} // namespace kintra
