#pragma once
// The List window: the recorded values of chosen blocks as a table, one column per block and one
// row per recorded output step, printed across pages or exported as tab-separated text or CSV.

#include "settings/SettingList.h"
#include "views/TemplateView.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Control ids of the list's settings (the List Parameters dialog edits them).
enum ListControl {
    IDC_LIST_PRECISION = 1172,
    IDC_LIST_EXTRA = 1173,
    IDC_LIST_FONT = 1207,
    IDC_LIST_FONT_COLOR = -1207,
    IDC_LIST_NOTES_FONT = 1169,
    IDC_LIST_NOTES_COLOR = -1169,
    IDC_LIST_NOTES_DISPLAY = 1097,
};

class CListBase : public CTemplateView {
  public:
    static constexpr int kHelpContext = 123;
    // Bounds of the number format (the List Parameters dialog enforces them too).
    static constexpr int kMaxPrecision = 16;
    static constexpr int kMaxExtra = 99;

    CListBase();
    ~CListBase() override;

    std::string GetViewClassName() const override { return "CListBase"; }

    // ---- Framework ----
    // First display: the default columns when there are none.
    void OnInitialUpdate() override;
    // Hint -1 with a block: the first column holding the block goes.
    void OnUpdate(CView* sender, long hint, UpdateObject object) override;
    // The table in the window: the notes above it when shown, a header row of block names, one
    // row per recorded step; the first column stays at the left edge while the others scroll.
    void OnDraw(DeviceContext& dc) override;
    void Serialize(CArchive& ar) override;

    // Every block of the document, in order, except those computed once at the start and the
    // Clock's companions.
    void SetDefaultColumns();
    // A new pane of a split window takes this list's settings and columns (not title or notes).
    void CopySettingsTo(CListBase& other) const;

    // ---- Text ----
    // A value as the table shows it: Precision digits after the point, at least Extra + 9
    // characters (zero-padded when Extra is 0), a three-digit exponent.
    std::string FormatValue(double value) const;
    // Number of rows: the length of the Clock's history.
    int RowCount() const { return RecordedCount(); }
    // The "Print to File" text: the notes, then a line of column names, then one line per row,
    // every field followed by a tab, lines ended by carriage return and line feed.
    std::string PrintText() const;
    // The blocks of the data table: the Clock first (the time of every row), then the columns,
    // less a first column that is the Clock already. A column whose block was not found is none.
    std::vector<const CBlock*> DataColumns() const;
    // The values for other programs: a header row of the DataColumns' names, then one row per
    // recorded step; a value is the shortest text that reads back as the same double, or "nan",
    // "inf", "-inf". Fields are separated by `separator`; a field holding the separator, a quote
    // or a line break is quoted, its quotes doubled. Every row ends with `lineEnd`.
    std::string DataText(char separator, std::string_view lineEnd) const;
    // CSV: DataText with commas and CR LF line ends.
    std::string CsvText() const { return DataText(',', "\r\n"); }

    // What "Print to File" writes: PrintText or CsvText.
    enum class FileKind { Text, Csv };
    // The file name the "Print to File" dialog proposes (".prn", or ".csv" for CSV).
    std::string DefaultPrintFileName(FileKind kind = FileKind::Text) const;
    // Writes the text of that kind to `path`; false (with the reason in `error`) when it cannot
    // be written, and then nothing is written.
    bool PrintToFile(const std::string& path, std::string& error, FileKind kind = FileKind::Text) const;
    // "Print to File..." once its file is chosen: PrintToFile, and when that fails a message box
    // ("Export Error") says which file and why. False when nothing was written.
    bool ExportToFile(const std::string& path, FileKind kind = FileKind::Text) const;

    // ---- Geometry ----
    // The text that sizes every cell: Extra + 1 spaces, "+0.", Precision zeros and "e+000".
    std::string CellTemplate() const;
    // CellWidth and RowHeight from the template in ListFont; the notes wrapped to `notesWidth`,
    // or to the device context's width when that is 0. Without a device context, the window's
    // own (or fixed metrics without a window).
    void MeasureCells(DeviceContext* dc = nullptr, int notesWidth = 0);
    // MeasureCells, then the scroll sizes: the whole table (and the notes) and one cell per line.
    void UpdateScrollSizes(DeviceContext* dc = nullptr);

    // ---- Columns and texts ----
    // Not owned; a column whose stored block was not found is none and shows blank.
    std::vector<CBlock*> Columns;
    std::string ListTitle;
    std::string ListNotes;

    // ---- Settings ----
    int Precision = 3;
    int Extra = 0;
    LOGFONT ListFont;
    COLORREF FontColor = 0;
    LOGFONT NotesFont;
    COLORREF NotesColor = 0;
    int NotesDisplay = 0;
    CSettingList Settings;

    // ---- Geometry (from MeasureCells; logical units) ----
    int CellWidth = 1;
    int RowHeight = 1;
    // The notes as drawn: wrapped lines; extent = window width and their height (0 when the
    // notes are empty or not shown).
    std::vector<std::string> NotesLines;
    CSize NotesExtent;
    // Scrolling sizes from the last UpdateScrollSizes: whole table, one line.
    CSize ScrollTotal;
    CSize ScrollLine;
    // The window's last drawing showed rows up to (not including) this one; -1 before any.
    int ShownRowsEnd = -1;

    // ---- Printing ----
    // How the table is cut into pages: the first column is repeated on every page and the others
    // are shared out ColumnsPerPage to a page column; a page holds RowsPerPage rows under its
    // header line and the table's header row, except the first page row, where the notes take
    // the room of some rows. Pages run down a page column first.
    struct Pages {
        int ColumnsPerPage = 1;
        int RowsPerPage = 1;
        int RowsFirstPage = 1;
        int PagesDown = 1;
        int PagesAcross = 1;
        int Count() const { return PagesDown * PagesAcross; }
    };
    // Rows [First, End) or columns [First, End) of one page.
    struct Span {
        int First = 0;
        int End = 0;
    };
    // The pages of a drawing area of that size, at the cell sizes and notes of MeasureCells.
    Pages Paginate(const CRect& area) const;
    // The rows on page row `pageRow` and the columns after the frozen one on page column
    // `pageColumn` (both from 1) of `pages`.
    Span PageRows(const Pages& pages, int pageRow) const;
    Span PageColumns(const Pages& pages, int pageColumn) const;
    // "Page 2B of 3B" for the current page; empty when the list takes one page.
    std::string FormatPageLabel() const;

    // The pagination of the last page measured, and the page OnDraw prints (both from 1).
    Pages PrintPages;
    int CurrentPageRow = 1;
    int CurrentPageColumn = 1;
    // The footer's date; today's when empty.
    std::string PrintDate;

  private:
    void UpdateCaption();
    // OnDraw on paper: the current page with its header and footer lines.
    void DrawPage(DeviceContext& dc);
};

namespace kintra {

// Before the print dialog: the pages of the list on an 8.00 by 10.54 inch drawing area, measured
// on `windowDc` (the window's, or none for the window's own).
int EstimateListPages(CListBase& list, DeviceContext* windowDc);

// Gets the list ready to print page `page` (from 1) on `printerDc`, whose client rectangle is the
// page's drawing area. Returns the page count at that geometry.
int PrepareListPage(CListBase& list, DeviceContext& printerDc, int page);

// Prints pages `from` to `to` (from 1; `to` 0 or beyond the last page means to the last page).
// `pageDc(page)` starts a new sheet and gives its device context (null stops printing). The
// window's geometry is restored afterwards. Returns the number of pages printed.
int PrintListPages(CListBase& list, int from, int to, const std::function<DeviceContext*(int page)>& pageDc);

} // namespace kintra
