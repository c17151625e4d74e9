#pragma once
// The chart view: the block diagram of a chart on its grid, with the connection lines, block
// names and values and an optional notes text above. The same drawing paints the screen and the
// printed pages. Editing with the mouse and printing build on the geometry kept here.

#include "chart/ChartEdit.h"
#include "model/Routing.h"
#include "platform/DeviceContext.h"
#include "platform/Document.h"
#include "settings/SettingList.h"

#include <string>
#include <vector>

class CBlock;
class COrventDoc;

// Control ids of the "Chart Viewing Properties" dialog that edit the view's settings.
enum ChartViewControl {
    IDC_HOLD_SIZE = 1215,
    IDC_HOLD_COLOR = 1207,
    IDC_HOLD_DISPLAY = 1216,
    IDC_LINES_X = 1218,
    IDC_LINES_Y = 1217,
    IDC_DELTA_VERT = 1034,
    IDC_DELTA_HORIZ = 1035,
    IDC_MAG_BMP = 1136,
    IDC_DISPLAY_MODE = 1178,
    IDC_CHART_FONT = 1043,
    IDC_CHART_COLOR = -1043,
    IDC_NOTES_FONT = 1095,
    IDC_NOTES_COLOR = -1095,
    IDC_NOTES_DISPLAY = 1205,
    IDC_SIZE_LOCK = 1203,
    IDC_NAME_DISPLAY = 1201,
    IDC_VALUE_DISPLAY = 1202,
    IDC_LINE_WIDTH = 1219,
};

// Picture ids of the marks drawn beside the blocks.
constexpr int kPortMarkPicture = 179;
constexpr int kAtFirstPicture = 291;

class COrventView : public CView {
  public:
    COrventView();
    ~COrventView() override;

    std::string GetViewClassName() const override { return "COrventView"; }
    COrventDoc* GetDocument() const;

    // ---- Framework ----
    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, long hint, UpdateObject object) override;
    void OnDraw(DeviceContext& dc) override;
    void Serialize(CArchive& ar) override;
    // While a run proceeds: the blocks' values drawn again over what the window shows, each on
    // a background as wide as the widest value so that a shorter one leaves nothing of the one
    // before. The next full drawing shows whatever else lay under that background.
    void DrawLiveValues(DeviceContext& dc);

    // The window showing this view (not owned); none for a view drawn off-screen.
    void SetWindow(ViewWindow* window) { m_window = window; }
    ViewWindow* GetWindow() const { return m_window; }

    // A new pane of a split window takes this view's settings.
    void CopySettingsTo(COrventView& other) const;

    // ---- Geometry ----
    void CountExtent();
    void WrapNotes(DeviceContext* dc);
    // Recomputes the geometry and the scroll sizes; without a device context, the window's own.
    void RecalcLayout(DeviceContext* dc = nullptr);
    // Centre of grid cell (column, row) in logical units.
    CPoint CellCentre(int column, int row) const {
        return {XOrigin + column * CellWidth, row * CellHeight - YOrigin};
    }
    // The geometry the connection lines are drawn in, from the current layout.
    RouteGeometry LineGeometry() const {
        return {MagBmp,
                CellWidth,
                CellHeight,
                XOrigin,
                YOrigin,
                DeltaVert + LineWidth,
                DeltaHoriz + LineWidth,
                LabelOffset};
    }
    // Products of the magnification with bitmap units, cut toward zero.
    int Mag(double units) const { return static_cast<int>(units * MagBmp); }
    bool IsMonochrome(const DeviceContext& dc) const;
    // Printing: whether a block's cell lies on the current page.
    bool IsOnCurrentPage(int column, int row) const;
    // Printing: pages needed for the chart at the current geometry and PrintRect.
    void Paginate();
    // Printing: "Page 2B of 3B", or empty on a single page.
    std::string FormatPageLabel() const;

    // ---- Settings (in file order) ----
    int HoldSize = 2;
    COLORREF HoldColor = 0x000000FF;
    int HoldDisplay = 1;
    int LinesX = 15;
    int LinesY = 15;
    int DeltaVert = 2;
    int DeltaHoriz = 2;
    double MagBmp = 1.0;
    int DisplayMode = 0; // 0 colour, 1 monochrome
    LOGFONT ChartLf;
    COLORREF ChartClr = 0;
    LOGFONT NotesLf;
    COLORREF NotesClr = 0;
    int NotesDisplay = 0;
    int SizeLock = 1;
    int NameDisplay = 1;
    int ValueDisplay = 1;
    int LineWidth = 1;
    CSettingList Settings;

    std::string ChartTitle;
    std::string ChartNotes;
    std::vector<std::string> NotesLines;
    int NotesHeight = 0;

    // ---- Geometry (logical units) ----
    int TextGap = 0;
    int TextWidth = 0;
    int TextHeight = 0;
    int CellWidth = 0;
    int CellHeight = 0;
    int XOrigin = 0;
    int YOrigin = 0;
    int LabelOffset = 0;
    int TotalWidth = 0;
    int TotalHeight = 0;
    int MaxColumn = 0;
    int MinRow = 0;
    // Scrolling sizes from the last layout: whole view, page, line.
    CSize ScrollTotal;
    CSize ScrollPage;
    CSize ScrollLine;

    // ---- Editing (ChartEdit.cpp); points in logical units ----
    void OnLButtonDown(CPoint point);
    void OnRButtonDown(CPoint point);
    // Moves the end of the rubber band while a connection is drawn; true when it moved.
    bool OnMouseMove(CPoint point);
    // The placing cursor instead of the arrow.
    bool ShowsPlacingCursor() const { return Placing != 0; }
    // An insert command: a new block of its type waits to be placed. False for no such command.
    bool OnInsert(int commandId);
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditDelete();
    bool CanCutCopyDelete() const { return SelectedBlock != nullptr; }
    bool CanPaste() const { return ClipboardBlock() != nullptr && !Placing; }
    // The insert command's palette button shows pressed.
    bool IsInsertChecked(int commandId) const { return Placing && ActiveInsertId == commandId; }
    // The rubber band of a connection being drawn, in the pixel-inverting mode.
    void DrawRubberBand(DeviceContext& dc) const;
    // The first block whose body holds the point, or null.
    CBlock* HitTestBlock(CPoint point) const;
    // The first port under the point: false (and an empty pick) for none or for an input that
    // already has a source. Starting a connection also sets the rubber band's anchor and end.
    bool HitTestPort(CPoint point, PortPick& pick);
    // A block is about to be deleted: nothing here may keep referring to it.
    void ForgetBlock(const CBlock* block);
    // Gives up a block waiting to be placed (or one picked up) and a connection begun, as the
    // right button and Escape do; false when there was neither.
    bool CancelEditing();

    // ---- Hovering ----
    // The port under the point, connected or not (an empty pick for none).
    PortPick PortAt(CPoint point) const;
    // The hot area of a port in logical units (y upwards: top > bottom).
    CRect PortArea(const PortPick& port) const;
    // Follows the mouse: the port under it that a click could take is drawn highlighted; true
    // when that port changed.
    bool SetHoverPoint(CPoint point);
    // The highlight of the port under the mouse; drawn on the screen only, over the chart.
    void DrawHoverPort(DeviceContext& dc) const;
    // What hovering the point tells: the port's input and its source or the output, else the
    // block's name, type, value and first line of notes; empty over empty chart.
    std::string TipAt(CPoint point) const;
    PortPick HoverPort;

    // ---- Editing state ----
    CBlock* SelectedBlock = nullptr;
    CBlock* MovingBlock = nullptr;
    int Placing = 0;
    int Connecting = 0;
    PortPick FirstPick;
    PortPick SecondPick;
    CPoint Anchor;
    CPoint End;
    int ActiveInsertId = 0;
    int LastInsertId = 0;
    // Type code of the block last armed for placing (insert, paste or re-arm), kept once it is
    // placed so that a click on empty chart arms another; 0 when none. Only the type is kept:
    // the placed block itself belongs to the document.
    int PendingType = 0;
    // The pending block came from Paste (its placing is undone as "Paste").
    bool PastePending = false;
    int SnapX = 10;
    int SnapY = 10;

    // ---- Printing state ----
    CRect PrintRect{0, 0, 800, -1054};
    int PagesAcross = 1;
    int PagesDown = 1;
    int CurrentPageColumn = 1;
    int CurrentPageRow = 1;
    int ColumnsPerPage = 1;
    int RowsFirstPage = 1;
    int RowsPerPage = 1;
    // Text of the footer's date; empty uses today's.
    std::string PrintDate;

  private:
    void DrawHoldingPoints(DeviceContext& dc, bool mono);
    void DrawPortMark(DeviceContext& dc, const CBlock& block, int slot);
    void DrawAtFirstMark(DeviceContext& dc, const CBlock& block);
    void DrawConnections(DeviceContext& dc, bool mono);
    void DrawBlockTexts(DeviceContext& dc, bool mono);
    // A block's value under its picture.
    void DrawValue(DeviceContext& dc, const CBlock& block, CPoint centre);
    void DrawBlockPictures(DeviceContext& dc, bool mono);
    void DrawHeaderFooter(DeviceContext& dc);
    void DrawNotes(DeviceContext& dc, bool mono);
    void ClippedPolyline(DeviceContext& dc, const CPoint* points, int count);
    bool IsBlockDrawn(const CBlock& block, const DeviceContext& dc) const;
    void UpdateCaption();
    void ClampSettings();
    enum class PortHit { None, Port, ConnectedInput };
    PortHit FindPort(CPoint point, PortPick& pick);
    void PlaceAt(CPoint point);
    void FinishConnection(CPoint point);
    // Deletes the selected block as one step of the history named `verb` and the block.
    void DeleteSelected(const char* verb);
    void Repaint();

    ViewWindow* m_window = nullptr;
};
