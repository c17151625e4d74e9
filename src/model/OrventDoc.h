#pragma once
// The document of one chart: it owns every block, the model settings and the run.

#include "model/Block.h"
#include "model/ChartHistory.h"
#include "model/HistoryTable.h"
#include "model/Integration.h"
#include "model/Routing.h"
#include "model/RunModel.h"
#include "platform/Document.h"
#include "settings/SettingList.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CSolver;

// Update hints sent to the views.
enum DocumentHint {
    HINT_REDRAW = 0,
    HINT_BLOCK_PLACED = 1,
    HINT_BLOCKS_GREW = 5,
    HINT_BLOCK_DELETING = -1,
    HINT_SELECT_BLOCK = 40, // the object (a CBlock) becomes the chart's selection
    // A run recorded more samples: the output views show them while the run proceeds. Only the
    // run's refresh sends it, to the graph and list windows; nothing else changed.
    HINT_HISTORIES_GREW = 41,
};

// How the last Run command ended.
enum class RunOutcome {
    NotRun,    // no run yet
    Refused,   // a check before the run failed (missing input, sort failure, timing)
    Completed, // the time loop reached its end, or a block (Quit) ended it normally
    Stopped,   // the user stopped it
    Failed,    // a run-time error ended it
};

constexpr double kDataVersion = 102.0;

class COrventDoc : public CDocument, public CRunModel {
  public:
    COrventDoc();
    ~COrventDoc() override;

    // ---- Blocks ----
    // A new, unplaced block of that type code, or null for a code no type has.
    std::unique_ptr<CBlock> CreateBlock(int typeCode) override;
    void AddBlock();
    void PlaceBlock(int x, int y);
    void DeleteBlock(CBlock* block);
    // Moves a placed block to the cell (x, y) and routes its lines again; a Clock takes its
    // companions along. False, with nothing changed, when a cell it needs holds another block.
    bool MoveBlock(CBlock* block, int x, int y);
    // Everything the user set on `source` except its links, cell and history: a pasted block is a
    // full copy of the copied one.
    void CopyBlockSettings(const CBlock& source, CBlock& target);
    // `name` when no block of the chart has it; otherwise its stem (without a " N" number at the
    // end) with the first free number from 2: "Integrate 2", "Integrate 3". Blocks placed or
    // pasted take this name; a file's names and names the user types are kept as they are.
    std::string UniqueBlockName(const std::string& name) const;
    CView* GetChartView() const;
    CBlock* Clock() const override { return Blocks.empty() ? nullptr : Blocks.front().get(); }
    // The first block of `Blocks` standing at (x, y), or null.
    CBlock* FindBlockAt(int x, int y) const override;
    // After the Block Editor's OK: the lines again when asked, the modified flag, the views.
    void BlockEdited(CBlock& block, bool reroute) override;
    void MarkModified() override { SetModifiedFlag(); }
    // Appends a Clock's companion to Blocks and CompanionBlocks.
    void AdoptCompanion(std::unique_ptr<CBlock> companion) override;
    // While a chart file is read: FindBlockAt answers from an index of the positions instead of
    // searching, and AddBlock leaves the views alone. EndLoading drops the index and, when
    // `notify` is set and blocks were added, tells the views once that the list grew.
    void BeginLoading();
    void EndLoading(bool notify);

    // ---- Framework ----
    bool OnNewDocument() override;
    void SetTitle(const std::string& title) override;
    void Serialize(CArchive& ar) override;
    // Reads the chart file at `path` into this fresh document. False, after a message, when it
    // cannot be read: the document is then only fit to be discarded.
    bool OnOpenDocument(const std::string& path);
    // The same from the file's bytes already read; `path` names the file in messages and the title.
    bool OpenFromBytes(std::vector<std::uint8_t> bytes, const std::string& path);
    // Writes the chart to `path` through a temporary file renamed over it. False, after a
    // message, when it cannot be written: an existing file is then left as it was.
    bool OnSaveDocument(const std::string& path);

    // ---- Commands ----
    void RunSimulation();
    // The Run command: a run the user can undo (the histories before it come back).
    void OnRun();
    void OnInitialize();
    // Terminate Run, a click on the run window or Escape.
    void OnTerminateRun() {
        Stopped = 1;
        m_stopRequested = true;
    }
    void OnPreferences();
    void OnDebugSettings();
    // Brings the model settings into the range the Model Properties dialog accepts: a damaged
    // chart or settings store must not steer the routing, the sort or the integrator.
    void ClampModelSettings();

    // ---- Undo and Redo ----
    // A change the user can take back, named `label` ("Move Gain"): BeginChange before it,
    // EndChange after it (CChartChange does both). A change inside another is part of the outer
    // one; a change that leaves the chart's file image as it was is no step.
    void BeginChange(const std::string& label);
    void EndChange();
    // A change that began with the chart's image `before` and has now ended (a window closed by
    // the user leaves the document only after its close was agreed).
    void RecordChange(const std::string& label, std::vector<std::uint8_t> before);
    // Brings back the chart as it was before the last change (after the last undone change);
    // false when there is none. The modified mark is clear again at the saved state.
    bool Undo();
    bool Redo();
    // The chart's file image, and the chart brought back from one: blocks, settings, title and
    // the windows (windows the image lacks are closed, missing ones opened). The file version
    // the document was read with is kept.
    std::vector<std::uint8_t> Snapshot();
    void RestoreSnapshot(const std::vector<std::uint8_t>& image);
    // The chart's file image without the records of its windows: all a run needs (the blocks, the
    // model settings and the title), read back as a chart that has no windows.
    std::vector<std::uint8_t> ModelSnapshot();
    CChartHistory History;

    // ---- The run ----
    // The values the last run recorded, one row per output step; a block bound to it reads its
    // history there (GetHistoryAt, HistorySize).
    const CHistoryTable& HistoryTable() const { return m_histories; }
    // Every block forgets its history and the table is freed.
    void ClearHistories();
    bool BuildRunLists();
    bool OrderList(std::vector<CBlock*>& list);
    // Orders IntegratingBlocks for their initialization; false on a loop of initial values.
    bool OrderIntegratingBlocks();
    // After BuildRunLists failed: one loop of links within a run list, which no order can
    // satisfy, as the signal goes round it, starting with its block that comes first in the
    // list. Empty when no list holds a loop (a sort bound too small fails without one). `more`
    // tells whether another loop remains once this one is broken.
    std::vector<CBlock*> FindLoop(bool* more = nullptr) const;
    // Sets the time to IntervalStart + offset, computes the algebraic blocks and writes the
    // derivative of every integrating block; false when the run is stopped.
    bool EvaluateDerivatives(double offset, double* out) override;
    // A block's or the integrator's run-time error: the message box ("RunTime Error", error
    // icon), then the run stops after recording the current output step.
    void RunTimeError(const std::string& text) override;
    // During a run, brings every block's Value up to date with the run (a window about to show
    // them); the run keeps them in its program otherwise.
    void UpdateRunValues();
    // A block ending the run normally (Quit).
    void RequestStop() override { Stopped = 1; }

    // ---- Connection lines (the chart's routing) ----
    // Inputs are numbered 0 to 2 here. RoutePoints := the six points of the line of `input` of
    // `block` from its stored record, in the given geometry (a chart view's LineGeometry(), or
    // the reference geometry routes are searched in). The input must have a source.
    void ComputeRoute(const CBlock* block, int input,
                      const RouteGeometry& geometry = kReferenceRouteGeometry);
    // Searches the tracks for a free line of a connected input and stores it in its record; when
    // none is free, tells the user and marks the line unroutable (labels at both ends).
    void RouteInput(CBlock* block, int input);
    // True when the line now in the input's record runs along no line of another source.
    bool IsRouteFree(const CBlock* block, int input);
    // Routes every connected input of the block and every input it feeds again; updates the views.
    void RerouteBlock(CBlock* block);

    // ---- Fields ----
    // Whether reading a chart file opens the windows it records. When clear (a document that is
    // only run), each window record is still read in full, into a view that is then dropped, so
    // a damaged record refuses the file as it always does.
    bool OpenWindowsOnLoad = true;
    int InitializeOnly = 0;
    double FileVersion = kDataVersion;
    // The run's state beside that of CBlockHost and CRunModel (CurrentTime, IntervalStart, ...).
    double SimulationTime = 0.0;
    std::vector<std::unique_ptr<CBlock>> Blocks;
    std::vector<CBlock*> AtFirstBlocks;
    std::vector<CBlock*> SourceBlocks;
    std::vector<CBlock*> CompanionBlocks;
    static constexpr int LineColorCount = 7;
    static const std::array<COLORREF, 7> LineColors;
    std::unique_ptr<CSolver> Solver;
    double StepSize = 0.0;
    std::unique_ptr<CBlock> PendingBlock;
    std::string Title;
    CView* RunWindow = nullptr;
    int RouteDebug = 0;
    int NextLabel = 97;
    std::array<CPoint, 6> RoutePoints{};
    int PrintMode = 0;
    int VertLines = 5;
    int HorizLines = 5;
    int MaxSort = 500;
    int IntStyle = 0;
    CSettingList ModelSettings;

    RunOutcome LastRunOutcome = RunOutcome::NotRun;
    // Counts the runs begun since the chart was opened; a view tells a new run by it.
    unsigned RunSerial = 0;
    // What the integrator of the last run did (all zero when it integrated nothing).
    IntegratorStatistics RunStatistics;

  private:
    // Drops the solver and every run list, so that nothing but Blocks refers to a block.
    void DropRunLists();
    // Binds the recorded blocks to a new table, reserved for the run's expected output steps,
    // and records the first step.
    void StartHistories();
    // Records a row: the value of every recorded block, from the run's program where it holds
    // the newest, else from the block's Value; then the types' record hooks.
    void RecordOutputStep();
    // The run's recorded blocks (the Clock and the blocks of IntegratingBlocks, EvalOrder,
    // SourceBlocks and CompanionBlocks) in the order of Blocks, which is the table's column
    // order. Empty outside a run.
    std::vector<CBlock*> m_recorded;
    // Those of them that want OnRecorded.
    std::vector<CBlock*> m_recordHooks;
    // The slot of the program's values that holds each recorded block's value (-1: its Value);
    // empty when the run has no program.
    std::vector<std::int32_t> m_recordSlots;
    CHistoryTable m_histories;
    int m_changeDepth = 0;
    std::string m_changeLabel;
    std::vector<std::uint8_t> m_changeBefore;
    bool m_loading = false;
    bool m_grewWhileLoading = false;
    // Blocks[0 .. m_indexed) are in m_byPosition, keyed by PositionKey.
    mutable std::unordered_map<std::uint64_t, CBlock*> m_byPosition;
    mutable std::size_t m_indexed = 0;
    bool CheckRequiredInputs();
    // "Sort Failure", then the blocks of a loop, which the chart selects one of.
    std::string SortFailureText();
    bool m_runFailed = false;
    bool m_stopRequested = false;
    // The title the document has of its own (file name or "Chart" n), shown when the model has
    // no title.
    std::string m_ownTitle;
};

// Makes what happens in its lifetime one step of the document's history (no document: nothing).
class CChartChange {
  public:
    CChartChange(COrventDoc* doc, const std::string& label) : m_doc(doc) {
        if (m_doc) m_doc->BeginChange(label);
    }
    ~CChartChange() {
        if (m_doc) m_doc->EndChange();
    }
    CChartChange(const CChartChange&) = delete;
    CChartChange& operator=(const CChartChange&) = delete;

  private:
    COrventDoc* m_doc;
};
