#pragma once
// The base of every block on a chart: one output value, up to three inputs linked to other
// blocks, up to three parameters, its place on the grid and the history of its last run.

#include "platform/Geometry.h"
#include "platform/LogFont.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CArchive;
class CBlock;
class CHistoryTable;

enum BlockKind {
    BK_ALGEBRAIC = 0,
    BK_INTEGRATING = 1,
    BK_CONSTANT = 2,
    BK_SOURCE = 4,
    BK_COMPANION = 8,
};

// Grid cell: x is the column (0, 1, 2, ... to the right), y the row (0, -1, -2, ... downwards).
constexpr CPoint NoPosition{-99, -99};

// The route of one connection line (four values; -96 direct, -97 vertical only, -99 unroutable).
struct CRouteRecord {
    std::array<std::int32_t, 4> v{0, 0, 0, 0};
    bool operator==(const CRouteRecord&) const = default;
};

constexpr int ROUTE_DIRECT = -96;
constexpr int ROUTE_VERTICAL = -97;
constexpr int ROUTE_UNROUTABLE = -99;

// What the Block Editor shows and returns.
struct CBlockEditorData {
    std::array<std::string, 3> InputNames;
    std::string Name;
    std::string TypeName;
    std::string CurrentValue;
    std::array<std::string, 3> ParamTexts;
    // The texts as first shown: a parameter whose text is still the same keeps its value.
    std::array<std::string, 3> ShownParamTexts;
    // The inputs cleared with "X"; only these are disconnected on OK.
    std::array<bool, 3> InputCleared{false, false, false};
    int Invert = 0;
    int AtFirst = 0;
    COLORREF LineColor = 0;
    std::string Notes;
    std::array<std::string, 3> InputLabels;
    std::array<std::string, 3> ParamLabels;
    int InputsShown = 3;
    int ParamsShown = 3;
    int Kind = 0;
    int ShowValue = 1;
    int TypeId = 0;
    int HelpId = 0;
    class CBlock* Block = nullptr;
};

// In characters.
constexpr std::size_t kMaxBlockNameLength = 35;

// What a block asks of the chart that holds it (the document): the blocks on the grid, the time
// and timing of the run under way, and the few things the chart does when a block changes or
// fails. Blocks know their chart only through this, so they stand below it.
class CBlockHost {
  public:
    virtual ~CBlockHost() = default;

    // The first block standing at (x, y), or null.
    virtual CBlock* FindBlockAt(int x, int y) const = 0;
    // The Block Editor's entries are applied to `block`: its lines are routed again when
    // `reroute` is set, the chart is marked modified and the views are told.
    virtual void BlockEdited(CBlock& block, bool reroute) = 0;
    // A block's own settings changed (the Function Generator's table): the chart is marked modified.
    virtual void MarkModified() = 0;
    // Takes a hidden companion of the Clock into the chart's blocks, after the blocks it holds.
    virtual void AdoptCompanion(std::unique_ptr<CBlock> companion) = 0;
    // A block's run-time error: the run tells the user and stops.
    virtual void RunTimeError(const std::string& text) = 0;
    // A block ending the run normally (Quit).
    virtual void RequestStop() = 0;

    // The run's time and timing, read by blocks while they compute.
    double CurrentTime = 0.0;
    double ErrorLimit = 0.0;
    double OutputInterval = 0.0;

    // The state of the chart's random generator, which its random blocks share and seed when a
    // run starts. It belongs to the chart so that charts run in threads side by side do not
    // disturb each other.
    std::uint32_t RandomState = 1;
    // When set, a random block whose seed parameter leaves the seed to the clock takes this one
    // instead (a run of a sweep, or one repeated alone), so the run can be reproduced.
    std::optional<std::uint32_t> ClockSeed;
};

class CBlock {
  public:
    CBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    CBlock(const CBlock&) = delete;
    CBlock& operator=(const CBlock&) = delete;
    virtual ~CBlock();

    virtual void Serialize(CArchive& ar) = 0;
    virtual int Initialize() = 0;
    virtual void Compute() = 0;
    // Forgets the history (a new run begins).
    virtual void ClearHistory();
    // Appends Value to the block's own history, outside the run's table, and tells the type.
    void RecordValue();
    // What a type does when its value has been recorded (Decay notes the time, Delay its input).
    // The run calls it only for blocks that HasRecordHook().
    virtual void OnRecorded() {}
    bool HasRecordHook() const { return m_recordHook; }
    // What a type keeps beyond the common settings and the user entered (the Function Generator's
    // table), taken from a block of the same type when it is copied and pasted. State that a run
    // sets up afresh is not copied.
    virtual void CopyOwnSettings(const CBlock& source) { (void)source; }

    // The common record every type writes or reads first.
    void SerializeCommon(CArchive& ar);
    // Links input `index` to the first block of the document at (x, y); (-99, -99) disconnects.
    bool ResolveInput(int x, int y, int index);
    // The value recorded at output step `index` of the last run (0 outside the history), and
    // how many were recorded.
    double GetHistoryAt(int index) const;
    std::size_t HistorySize() const;
    // The whole history, copied.
    std::vector<double> HistoryValues() const;
    // The block's own history from now on (read from a file, or given by a tool), in place of
    // what it recorded.
    void SetHistory(std::vector<double> values);
    // The block's history is column `column` of the run's table from now on (the table outlives
    // the binding: ClearHistory or SetHistory ends it).
    void BindHistory(const CHistoryTable* table, std::size_t column);
    bool HistoryInTable() const { return m_table != nullptr; }
    // The table the history is read from (null when the block keeps its own) and its column there.
    const CHistoryTable* HistoryTable() const { return m_table; }
    std::size_t HistoryColumn() const { return m_column; }
    // The Block Editor on this block; OK applies the user's entries.
    void EditProperties();
    // Fills the editor data from the block, and applies edited data to it (OK).
    CBlockEditorData MakeEditorData() const;
    void ApplyEditorData(const CBlockEditorData& data);

    // Value of input `i`'s source, or `fallback` when the input is unconnected.
    double InputOr(int i, double fallback) const { return Inputs[i] ? Inputs[i]->Value : fallback; }

    int InputsShown = 3;
    int ParamsShown = 3;
    int RequiredInputs = 0;
    int Kind = BK_ALGEBRAIC;
    int ShowValue = 1;
    int Invert = 0;
    int AtFirst = 0;
    double Value = 0.0;
    std::array<CBlock*, 3> Inputs{nullptr, nullptr, nullptr};
    std::array<double, 3> Params{1.0, 1.0, 1.0};
    std::string Name;
    std::string TypeName;
    std::array<std::string, 3> InputLabels{"Input 1", "Input 2", "Input 3"};
    std::array<std::string, 3> ParamLabels{"Gain", "Gain", "Gain"};
    int TypeId;
    int HelpId;
    CPoint Position;
    std::array<CRouteRecord, 3> RouteRecord{};
    std::string LineLabel;
    int ColorImage; // picture resource id
    int MonoImage;  // ColorImage + 500
    CBlockHost* Document;
    COLORREF LineColor = 0;
    std::string Notes;

    // Scratch slot for the run's list ordering and its choice of recorded blocks; meaningless
    // outside them.
    int SortSlot = -1;

  protected:
    // Set by the types that want OnRecorded.
    bool m_recordHook = false;

  private:
    // The history is a column of the run's table when m_table is set, else m_ownHistory.
    const CHistoryTable* m_table = nullptr;
    std::size_t m_column = 0;
    std::vector<double> m_ownHistory;
};
