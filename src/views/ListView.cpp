#include "views/ListView.h"

#include "model/OrventDoc.h"
#include "platform/Archive.h"
#include "platform/FileIo.h"
#include "platform/Platform.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>

CListBase::CListBase() {
    Settings.SetSection("ListView", 100.0);
    Settings.AddInteger(100.0, 0.0, &Precision, 3, "Precision", IDC_LIST_PRECISION, 0, kMaxPrecision);
    Settings.AddInteger(100.0, 0.0, &Extra, 0, "Extra", IDC_LIST_EXTRA, 0, kMaxExtra);
    Settings.AddFont(100.0, 0.0, &ListFont, nullptr, "ListFont", IDC_LIST_FONT);
    Settings.AddColor(100.0, 0.0, &FontColor, GetSysColor(COLOR_WINDOWTEXT), "FontColor",
                      IDC_LIST_FONT_COLOR);
    Settings.AddFont(100.0, 0.0, &NotesFont, nullptr, "NotesFont", IDC_LIST_NOTES_FONT);
    Settings.AddColor(100.0, 0.0, &NotesColor, GetSysColor(COLOR_WINDOWTEXT), "NotesColor",
                      IDC_LIST_NOTES_COLOR);
    Settings.AddFlag(100.0, 0.0, &NotesDisplay, 0, "NotesDisplay", IDC_LIST_NOTES_DISPLAY);
}

CListBase::~CListBase() = default;

// ---- Framework -----------------------------------------------------------------------------

void CListBase::OnInitialUpdate() {
    if (Columns.empty()) SetDefaultColumns();
    UpdateScrollSizes();
    Invalidate();
}

void CListBase::OnUpdate(CView*, long hint, UpdateObject object) {
    // A block on its way out takes every column that shows it: a second column of the same block
    // would otherwise be drawn, saved and exported from freed memory.
    if (const CBlock* block = object.As<CBlock>(); hint < 0 && block) std::erase(Columns, block);
    // New rows lengthen the list while a run proceeds.
    if (hint == HINT_HISTORIES_GREW) UpdateScrollSizes();
    Invalidate();
}

void CListBase::Serialize(CArchive& ar) {
    const COrventDoc* doc = GetDocument();
    const double version = doc ? doc->FileVersion : kDataVersion;
    Settings.Serialize(ar, version);
    if (ar.IsStoring()) {
        ar.WriteString(ListTitle);
        ar.WriteString(ListNotes);
        ar.WriteInt32(static_cast<std::int32_t>(Columns.size()));
        for (const CBlock* b : Columns) {
            const CPoint p = b ? b->Position : NoPosition;
            ar.WriteInt32(p.x);
            ar.WriteInt32(p.y);
        }
        return;
    }
    ListTitle = ar.ReadString();
    ListNotes = ar.ReadString();
    const std::int32_t n = ar.ReadInt32();
    ar.CheckCount(n, 8);
    std::vector<CPoint> positions(static_cast<std::size_t>(n));
    for (CPoint& p : positions) {
        p.x = ar.ReadInt32();
        p.y = ar.ReadInt32();
    }
    Columns = ResolvePositions(positions);
    MeasureCells();
    UpdateCaption();
    UpdateScrollSizes();
    Invalidate();
}

void CListBase::UpdateCaption() {
    SetCaption(ListTitle);
}

void CListBase::SetDefaultColumns() {
    Columns.clear();
    const COrventDoc* doc = GetDocument();
    if (!doc) return;
    for (const auto& b : doc->Blocks)
        if (!b->AtFirst && b->Kind != BK_COMPANION) Columns.push_back(b.get());
}

void CListBase::CopySettingsTo(CListBase& other) const {
    // The list holds what was last read or written; the members may have moved on since.
    for (std::size_t i = 0; i < Settings.GetSize(); ++i)
        Settings[i].TakeFromBound();
    other.Settings.CopyValuesFrom(Settings);
    other.Columns = Columns;
}

// ---- Text ----------------------------------------------------------------------------------

std::string CListBase::FormatValue(double value) const {
    // The format is "%" + width + "." + precision + "e" with both numbers printed two wide and
    // every space turned into a zero: a one-digit width (Extra 0) asks for zero padding.
    const int precision = std::clamp(Precision, 0, kMaxPrecision);
    const int extra = std::clamp(Extra, 0, kMaxExtra);
    const int width = extra + 9;
    const bool zeroPad = width < 10;
    std::string body;
    if (std::isfinite(value)) {
        body = WidenExponent(FormatString("%.*e", precision, value));
    } else {
        body = std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
    }
    const std::size_t w = static_cast<std::size_t>(width);
    if (body.size() >= w) return body;
    const std::size_t pad = w - body.size();
    if (zeroPad && std::isfinite(value)) {
        const std::size_t signs = (body[0] == '-' || body[0] == '+') ? 1 : 0;
        body.insert(signs, pad, '0');
    } else {
        body.insert(0, pad, ' ');
    }
    return body;
}

std::string CListBase::PrintText() const {
    static const char* const kLineEnd = "\r\n";
    std::string text;
    const int rows = RowCount();
    const double estimate = 64.0 + 16.0 * static_cast<double>(Columns.size()) * (rows + 1.0);
    text.reserve(static_cast<std::size_t>(std::min(estimate, 64.0 * 1024 * 1024)));
    text += ListNotes;
    text += kLineEnd;
    for (const CBlock* b : Columns) {
        if (b) text += b->Name;
        text += '\t';
    }
    text += kLineEnd;
    for (int j = 0; j < rows; ++j) {
        for (const CBlock* b : Columns) {
            if (b) text += FormatValue(b->GetHistoryAt(j));
            text += '\t';
        }
        text += kLineEnd;
    }
    return text;
}

std::vector<const CBlock*> CListBase::DataColumns() const {
    std::vector<const CBlock*> columns;
    const COrventDoc* doc = GetDocument();
    const CBlock* clock = doc ? doc->Clock() : nullptr;
    if (clock) columns.push_back(clock);
    const std::size_t first = !Columns.empty() && clock && Columns.front() == clock ? 1 : 0;
    columns.insert(columns.end(), Columns.begin() + static_cast<std::ptrdiff_t>(first), Columns.end());
    return columns;
}

namespace {
// A field as it stands between separators: quoted when it holds the separator, a quote or a
// line break.
void AppendField(std::string& text, std::string_view field, char separator) {
    if (field.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) {
        text.append(field);
        return;
    }
    text += '"';
    for (const char c : field) {
        if (c == '"') text += '"';
        text += c;
    }
    text += '"';
}

// A value that reads back as the same double; the IEEE specials as most readers take them (a
// NaN's sign and payload are not kept).
std::string DataNumber(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    return FormatRoundTrip(value);
}
} // namespace

std::string CListBase::DataText(char separator, std::string_view lineEnd) const {
    const std::vector<const CBlock*> columns = DataColumns();
    const int rows = RowCount();
    std::string text;
    const double estimate = 64.0 + 24.0 * static_cast<double>(columns.size()) * (rows + 1.0);
    text.reserve(static_cast<std::size_t>(std::min(estimate, 64.0 * 1024 * 1024)));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) text += separator;
        if (columns[i]) AppendField(text, columns[i]->Name, separator);
    }
    text.append(lineEnd);
    for (int j = 0; j < rows; ++j) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) text += separator;
            if (columns[i]) text += DataNumber(columns[i]->GetHistoryAt(j));
        }
        text.append(lineEnd);
    }
    return text;
}

std::string CListBase::DefaultPrintFileName(FileKind kind) const {
    // The title may hold anything a file gave it: the proposal stays one plain name in the
    // folder the user chooses.
    std::string name = PlainFileName(ListTitle, 4);
    if (name.empty()) name = "Output";
    return name.append(kind == FileKind::Csv ? ".csv" : ".prn");
}

bool CListBase::PrintToFile(const std::string& path, std::string& error, FileKind kind) const {
    const std::string text = kind == FileKind::Csv ? CsvText() : PrintText();
    return WriteFileAtomically(path, text.data(), text.size(), error);
}

bool CListBase::ExportToFile(const std::string& path, FileKind kind) const {
    std::string error;
    if (PrintToFile(path, error, kind)) return true;
    Platform().Messages().MessageBox("Unable to write the file '" + path + "': " + error + ".",
                                     "Export Error", MB_OK, MB_ICONERROR);
    return false;
}
