#include "model/OrventDoc.h"

#include "model/BlockTypes.h"
#include "model/ClockBlock.h"
#include "model/ModelWindows.h"
#include "model/Solver.h"
#include "platform/Platform.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>

const std::array<COLORREF, 7> COrventDoc::LineColors = {
    RGB(0, 0, 0),     RGB(0, 0, 255),   RGB(255, 0, 0),   RGB(0, 255, 0),
    RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 0),
};

// A block of the registered type with that code, or null (nothing allocated) for a code no
// registered type has: 61622, 61627, 61629, everything outside the type codes, and every code
// before the blocks layer has registered its types.
std::unique_ptr<CBlock> COrventDoc::CreateBlock(int typeCode) {
    const CBlockTypeInfo* type = FindBlockType(typeCode);
    if (!type) return nullptr;
    std::unique_ptr<CBlock> block = type->Create(*type, this);
    // The constructor has already given the block its type's name and help id, which the table
    // holds as well (Catalogue.AgreesWithTheStringTable keeps the two equal).
    ApplyShape(*block, type->Shape);
    return block;
}

COrventDoc::COrventDoc() {
    ModelSettings.SetSection("Model", 100.0);
    ModelSettings.AddInteger(100.0, 0.0, &VertLines, 5, "VertLines", 1032, 1, 99);
    ModelSettings.AddInteger(100.0, 0.0, &HorizLines, 5, "HorizLines", 1033, 1, 99);
    ModelSettings.AddInteger(100.0, 0.0, &MaxSort, 500, "MaxSort", 1196, 0, 0);
    ModelSettings.AddChoice(100.0, 0.0, &IntStyle, 0, "IntStyle", 1198);
    ModelSettings.AddFlag(100.0, 0.0, &PrintMode, 0, "PrintMode", 1201);
    ModelSettings.AddReal(102.0, 0.0, &MaxSteps, 100.0, "MaxSteps", 1204, 0.0, 0.0);
    ClampModelSettings();
}

void COrventDoc::ClampModelSettings() {
    VertLines = std::clamp(VertLines, 1, 99);
    HorizLines = std::clamp(HorizLines, 1, 99);
    // Any bound of 0 or less refuses every sort; 0 says so.
    MaxSort = std::max(MaxSort, 0);
    // The two radio buttons; anything else has always run the 4/5 pair.
    if (IntStyle != 0 && IntStyle != 1) IntStyle = 0;
    // A NaN would switch the step guard off.
    if (std::isnan(MaxSteps)) MaxSteps = 100.0;
}

void COrventDoc::DropRunLists() {
    Solver.reset();
    IntegratingBlocks.clear();
    EvalOrder.clear();
    AtFirstBlocks.clear();
    SourceBlocks.clear();
    CompanionBlocks.clear();
}

COrventDoc::~COrventDoc() {
    // Run lists and views only refer to blocks; drop the references before the blocks go.
    DropRunLists();
    PendingBlock.reset();
    Blocks.clear();
}

void COrventDoc::AddBlock() {
    if (!PendingBlock) return;
    CBlock* block = PendingBlock.get();
    Blocks.push_back(std::move(PendingBlock));
    block->LineColor = LineColors[Blocks.size() % LineColorCount];
    // Each notice makes every view measure the whole chart again: a file tells them once.
    if (m_loading)
        m_grewWhileLoading = true;
    else
        UpdateAllViews(nullptr, HINT_BLOCKS_GREW, nullptr);
    SetModifiedFlag();
}

std::string COrventDoc::UniqueBlockName(const std::string& name) const {
    auto taken = [this](const std::string& n) {
        return std::any_of(Blocks.begin(), Blocks.end(), [&](const auto& b) { return b->Name == n; });
    };
    if (name.empty() || !taken(name)) return name;
    std::string stem = name;
    const std::size_t digits = stem.find_last_not_of("0123456789");
    if (digits != std::string::npos && digits + 1 < stem.size() && stem[digits] == ' ' && digits > 0)
        stem.resize(digits);
    for (std::size_t n = 2;; ++n) {
        std::string suffix(" ");
        suffix.append(std::to_string(n));
        // The number always shows whole; the stem gives way within the name's length limit.
        std::string candidate =
            Utf8Left(stem, kMaxBlockNameLength - std::min(kMaxBlockNameLength, suffix.size()));
        candidate.append(suffix);
        if (!taken(candidate)) return candidate;
    }
}

void COrventDoc::PlaceBlock(int x, int y) {
    if (!PendingBlock) return;
    CBlock* block = PendingBlock.get();
    block->Position = {x, y};
    AddBlock();
    UpdateAllViews(nullptr, HINT_BLOCK_PLACED, block);
}

void COrventDoc::DeleteBlock(CBlock* block) {
    auto it = std::find_if(Blocks.begin(), Blocks.end(), [&](const auto& b) { return b.get() == block; });
    if (it == Blocks.end()) return;
    // The Clock and its companions live as long as the document.
    if (it == Blocks.begin() || block->Kind == BK_COMPANION) return;
    SetModifiedFlag();
    for (auto& b : Blocks)
        for (auto& input : b->Inputs)
            if (input == block) input = nullptr;
    UpdateAllViews(nullptr, HINT_BLOCK_DELETING, block);
    // Nothing may keep pointing at the block once it is gone.
    for (auto* list : {&IntegratingBlocks, &EvalOrder, &AtFirstBlocks, &SourceBlocks})
        list->erase(std::remove(list->begin(), list->end(), block), list->end());
    it = std::find_if(Blocks.begin(), Blocks.end(), [&](const auto& b) { return b.get() == block; });
    if (it != Blocks.end()) Blocks.erase(it);
}

bool COrventDoc::MoveBlock(CBlock* block, int x, int y) {
    if (!block) return false;
    const CPoint cell{x, y};
    auto* clock = dynamic_cast<CClockBlock*>(block);
    auto isCompanion = [clock](const CBlock* b) {
        return clock && (b == clock->ErrorCompanion || b == clock->CountCompanion);
    };
    for (const auto& b : Blocks) {
        // The block's own cell counts as taken: dropping it where it was is no move.
        if (b->Position == cell && !isCompanion(b.get())) return false;
        if (clock && b.get() != clock && !isCompanion(b.get()) &&
            (b->Position == CClockBlock::ErrorCell(cell) || b->Position == CClockBlock::CountCell(cell)))
            return false;
    }
    // A companion on (-99, -99) would be saved by the views that show it as showing nothing.
    if (clock && (CClockBlock::ErrorCell(cell) == NoPosition || CClockBlock::CountCell(cell) == NoPosition))
        return false;
    block->Position = cell;
    if (clock) clock->PlaceCompanions();
    SetModifiedFlag();
    RerouteBlock(block);
    return true;
}

void COrventDoc::CopyBlockSettings(const CBlock& source, CBlock& target) {
    target.Name = source.Name;
    target.LineLabel = source.LineLabel;
    target.LineColor = source.LineColor;
    target.Notes = source.Notes;
    target.Invert = source.Invert;
    target.AtFirst = source.AtFirst;
    target.Params = source.Params;
    if (target.TypeId == source.TypeId) target.CopyOwnSettings(source);
}

CView* COrventDoc::GetChartView() const {
    return Views().empty() ? nullptr : Views().front();
}

namespace {
std::uint64_t PositionKey(int x, int y) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y);
}
} // namespace

CBlock* COrventDoc::FindBlockAt(int x, int y) const {
    if (!m_loading) {
        for (const auto& b : Blocks)
            if (b->Position.x == x && b->Position.y == y) return b.get();
        return nullptr;
    }
    // Nothing moves or goes while a file is read; blocks are only appended (the Clock's
    // companions among them), so the index catches up with the tail. The first block wins.
    for (; m_indexed < Blocks.size(); ++m_indexed) {
        CBlock* b = Blocks[m_indexed].get();
        m_byPosition.try_emplace(PositionKey(b->Position.x, b->Position.y), b);
    }
    const auto it = m_byPosition.find(PositionKey(x, y));
    return it == m_byPosition.end() ? nullptr : it->second;
}

void COrventDoc::BlockEdited(CBlock& block, bool reroute) {
    if (reroute) RerouteBlock(&block);
    SetModifiedFlag();
    UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
}

void COrventDoc::AdoptCompanion(std::unique_ptr<CBlock> companion) {
    CompanionBlocks.push_back(companion.get());
    Blocks.push_back(std::move(companion));
}

void COrventDoc::BeginLoading() {
    m_loading = true;
    m_grewWhileLoading = false;
    m_byPosition.clear();
    m_indexed = 0;
}

void COrventDoc::EndLoading(bool notify) {
    const bool grew = m_grewWhileLoading;
    m_loading = false;
    m_grewWhileLoading = false;
    m_byPosition = {};
    m_indexed = 0;
    if (notify && grew) UpdateAllViews(nullptr, HINT_BLOCKS_GREW, nullptr);
}

bool COrventDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return false;
    if (CView* chart = GetChartView()) chart->OnInitialUpdate();
    PendingBlock = CreateBlock(kClockTypeId);
    if (!PendingBlock) {
        Platform().Messages().MessageBox(kintra::kNoBlockTypes, "Kintra", MB_OK, MB_ICONERROR);
        return false;
    }
    auto* clock = static_cast<CClockBlock*>(PendingBlock.get());
    PlaceBlock(0, 0);
    if (clock) clock->CreateCompanions();
    SetModifiedFlag(false);
    PendingBlock.reset();
    History.Clear();
    return true;
}

void COrventDoc::BeginChange(const std::string& label) {
    if (m_changeDepth++ > 0) return;
    m_changeLabel = label;
    m_changeBefore = Snapshot();
}

void COrventDoc::EndChange() {
    if (m_changeDepth == 0 || --m_changeDepth > 0) return;
    std::vector<std::uint8_t> before = std::move(m_changeBefore);
    m_changeBefore = {};
    RecordChange(m_changeLabel, std::move(before));
}

void COrventDoc::RecordChange(const std::string& label, std::vector<std::uint8_t> before) {
    if (m_changeDepth > 0 || Snapshot() == before) return;
    History.Record(label, std::move(before));
    SetModifiedFlag();
}

bool COrventDoc::Undo() {
    if (m_changeDepth > 0 || !History.CanUndo()) return false;
    RestoreSnapshot(History.TakeUndo(Snapshot()));
    SetModifiedFlag(!History.IsAtSavedState());
    return true;
}

bool COrventDoc::Redo() {
    if (m_changeDepth > 0 || !History.CanRedo()) return false;
    RestoreSnapshot(History.TakeRedo(Snapshot()));
    SetModifiedFlag(!History.IsAtSavedState());
    return true;
}

void COrventDoc::SetTitle(const std::string& title) {
    m_ownTitle = title;
    CDocument::SetTitle(Title.empty() ? title : Title);
}

void COrventDoc::OnPreferences() {
    CChartChange change(this, "Model Properties");
    CSettingList working;
    working.CloneFrom(ModelSettings);
    std::string title = Title;
    if (!ModelWindows().RunModelProperties(working, title)) return;
    ModelSettings.CopyValuesFrom(working);
    ClampModelSettings();
    SetModifiedFlag();
    Title = title;
    // Without a model title the chart is known by its own title again (file name or "Chart" n).
    CDocument::SetTitle(Title.empty() ? m_ownTitle : Title);
}

void COrventDoc::OnDebugSettings() {
    int state = RouteDebug;
    if (ModelWindows().RunDebugSettings(state)) RouteDebug = state ? 1 : 0;
}

void COrventDoc::OnRun() {
    CChartChange change(this, "Run");
    RunSimulation();
}

void COrventDoc::OnInitialize() {
    CChartChange change(this, "Initialize");
    InitializeOnly = 1;
    RunSimulation();
    Stopped = 1;
    InitializeOnly = 0;
    SetModifiedFlag();
    UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
}
