// The run: checks, run lists and their order, initialization and the output-step loop.

#include "model/Arith.h"
#include "model/BlockTypes.h"
#include "model/ClockBlock.h"
#include "model/ModelWindows.h"
#include "model/OrventDoc.h"
#include "model/Solver.h"
#include "model/Tape.h"
#include "platform/Platform.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <queue>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {
const char* const kCheckCaption = "Run Time Error";
const char* const kRunCaption = "RunTime Error";
// A run reserves at most this many history samples in all up front; longer runs grow as they go.
constexpr double kMaxReservedSamples = 1 << 24;
// The string-table texts for a missing first, second and third input follow one another.
constexpr int kMissingInputTextId = 61582;
} // namespace

bool COrventDoc::CheckRequiredInputs() {
    bool missing = false;
    for (const auto& b : Blocks) {
        for (int j = 0; j < b->RequiredInputs && j < 3; ++j) {
            if (b->Inputs[j]) continue;
            missing = true;
            std::string text = "A " + b->TypeName + " block, " + b->Name + ", " +
                               kintra::LoadString(kMissingInputTextId + j);
            // The chart shows which block it is while the message is read.
            UpdateAllViews(nullptr, HINT_SELECT_BLOCK, b.get());
            if (Platform().Messages().MessageBox(text, kCheckCaption, MB_OKCANCEL) == IDCANCEL) return false;
        }
    }
    return !missing;
}

bool COrventDoc::BuildRunLists() {
    EvalOrder.clear();
    IntegratingBlocks.clear();
    AtFirstBlocks.clear();
    SourceBlocks.clear();
    for (const auto& p : Blocks) {
        CBlock* b = p.get();
        if (b->AtFirst) AtFirstBlocks.push_back(b);
        if (b->Kind == BK_ALGEBRAIC && !b->AtFirst) EvalOrder.push_back(b);
        if (b->Kind == BK_INTEGRATING && b->TypeId != kClockTypeId) IntegratingBlocks.push_back(b);
        if (b->Kind == BK_SOURCE && !b->AtFirst) SourceBlocks.push_back(b);
    }
    return OrderList(EvalOrder) && OrderIntegratingBlocks() && OrderList(AtFirstBlocks) &&
           OrderList(SourceBlocks);
}

namespace {

// Which inputs of a list's blocks tie their order: a bit per input.
constexpr unsigned kAllInputs = 0b111;
// Every integrating block advances with the others in one step of the integrator, so their order
// changes nothing there; it matters only when they are initialized, where an Integrate takes its
// Initial Value input (input 2).
constexpr unsigned kInitialValueInput = 0b010;

bool Counts(unsigned links, std::size_t input) {
    return (links >> input) & 1u;
}

// True when the links between the blocks of a list close a loop (a block feeding itself does
// not count: it never asks for a move). Kahn's peeling, linear in the blocks and their inputs.
template <typename SlotOf> bool HasLoop(const std::vector<CBlock*>& list, SlotOf slotOf) {
    const std::size_t n = list.size();
    std::vector<int> pending(n, 0);              // sources in the list not yet peeled
    std::vector<std::size_t> firstFed(n + 1, 0); // the blocks each block feeds, packed
    for (std::size_t i = 0; i < n; ++i)
        for (const CBlock* input : list[i]->Inputs) {
            const int k = input ? slotOf(input) : -1;
            if (k < 0 || static_cast<std::size_t>(k) == i) continue;
            ++pending[i];
            ++firstFed[static_cast<std::size_t>(k) + 1];
        }
    for (std::size_t i = 0; i < n; ++i)
        firstFed[i + 1] += firstFed[i];
    std::vector<std::size_t> fed(firstFed[n]);
    std::vector<std::size_t> next(firstFed.begin(), firstFed.end() - 1);
    for (std::size_t i = 0; i < n; ++i)
        for (const CBlock* input : list[i]->Inputs) {
            const int k = input ? slotOf(input) : -1;
            if (k < 0 || static_cast<std::size_t>(k) == i) continue;
            fed[next[static_cast<std::size_t>(k)]++] = i;
        }
    std::vector<std::size_t> ready;
    for (std::size_t i = 0; i < n; ++i)
        if (pending[i] == 0) ready.push_back(i);
    std::size_t peeled = 0;
    while (!ready.empty()) {
        const std::size_t i = ready.back();
        ready.pop_back();
        ++peeled;
        for (std::size_t e = firstFed[i]; e < firstFed[i + 1]; ++e)
            if (--pending[fed[e]] == 0) ready.push_back(fed[e]);
    }
    return peeled < n;
}

// The blocks of `list` that a peeling of blocks without sources in the list leaves: every one of
// them has a source among them, so they hold a loop (or are fed by one). The links from `cutFrom`
// into `cutTo` count as absent.
std::vector<CBlock*> Unpeeled(const std::vector<CBlock*>& list, unsigned links, const CBlock* cutTo = nullptr,
                              const CBlock* cutFrom = nullptr) {
    std::unordered_map<const CBlock*, std::size_t> slot;
    for (std::size_t i = 0; i < list.size(); ++i)
        slot.emplace(list[i], i);
    std::vector<int> pending(list.size(), 0);
    std::vector<std::vector<std::size_t>> fed(list.size());
    for (std::size_t i = 0; i < list.size(); ++i)
        for (std::size_t j = 0; j < list[i]->Inputs.size(); ++j) {
            const CBlock* input = Counts(links, j) ? list[i]->Inputs[j] : nullptr;
            const auto it = input ? slot.find(input) : slot.end();
            if (it == slot.end() || it->second == i || (list[i] == cutTo && input == cutFrom)) continue;
            ++pending[i];
            fed[it->second].push_back(i);
        }
    std::vector<std::size_t> ready;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (pending[i] == 0) ready.push_back(i);
    while (!ready.empty()) {
        const std::size_t i = ready.back();
        ready.pop_back();
        for (std::size_t f : fed[i])
            if (--pending[f] == 0) ready.push_back(f);
    }
    std::vector<CBlock*> left;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (pending[i] > 0) left.push_back(list[i]);
    return left;
}

// One loop among `left` (each of which has a source among them): from the first block, step to
// a source in `left` until a block comes round again.
std::vector<CBlock*> LoopAmong(const std::vector<CBlock*>& left, unsigned links) {
    std::vector<CBlock*> path{left.front()};
    for (;;) {
        const CBlock* b = path.back();
        CBlock* source = nullptr;
        for (std::size_t j = 0; j < b->Inputs.size(); ++j) {
            CBlock* input = Counts(links, j) ? b->Inputs[j] : nullptr;
            if (input && input != b && std::find(left.begin(), left.end(), input) != left.end()) {
                source = input;
                break;
            }
        }
        const auto seen = std::find(path.begin(), path.end(), source);
        if (seen != path.end()) {
            // The path ran against the signal: reversed, it runs with it.
            std::vector<CBlock*> loop(seen, path.end());
            std::reverse(loop.begin(), loop.end());
            const auto first = std::min_element(loop.begin(), loop.end(), [&](CBlock* x, CBlock* y) {
                return std::find(left.begin(), left.end(), x) < std::find(left.begin(), left.end(), y);
            });
            std::rotate(loop.begin(), first, loop.end());
            return loop;
        }
        path.push_back(source);
    }
}

constexpr std::size_t kLoopNamesShown = 10;

} // namespace

std::vector<CBlock*> COrventDoc::FindLoop(bool* more) const {
    std::vector<CBlock*> loop;
    if (more) *more = false;
    const std::pair<const std::vector<CBlock*>*, unsigned> lists[] = {
        {&EvalOrder, kAllInputs},
        {&IntegratingBlocks, kInitialValueInput},
        {&AtFirstBlocks, kAllInputs},
        {&SourceBlocks, kAllInputs}};
    for (const auto& [list, links] : lists) {
        if (!loop.empty()) {
            // Another list with a loop of its own.
            if (more && !Unpeeled(*list, links).empty()) *more = true;
            continue;
        }
        const std::vector<CBlock*> left = Unpeeled(*list, links);
        if (left.empty()) continue;
        loop = LoopAmong(left, links);
        // Another loop of this list is one that survives cutting the link that closes this one.
        if (more && !Unpeeled(*list, links, loop.front(), loop.back()).empty()) *more = true;
    }
    return loop;
}

std::string COrventDoc::SortFailureText() {
    std::string text = "Sort Failure";
    bool more = false;
    const std::vector<CBlock*> loop = FindLoop(&more);
    if (loop.empty()) return text;
    // The chart shows where the loop is while the message is read.
    UpdateAllViews(nullptr, HINT_SELECT_BLOCK, loop.front());
    text.append("\nThese blocks form a loop that cannot be put in order: ");
    for (std::size_t i = 0; i < loop.size() && i < kLoopNamesShown; ++i)
        text.append(i ? ", " : "").append(loop[i]->Name);
    if (loop.size() > kLoopNamesShown)
        text.append(", ... (").append(std::to_string(loop.size())).append(" blocks in all)");
    text.append(".");
    if (more) text.append("\nThe chart has other such loops as well.");
    return text;
}

// Moves each block in front of the blocks of the same list that it feeds, one move per scan:
// the first position j that has a source later in the list takes the nearest such source.
// A move changes nothing before position j, so the next scan resumes there; each block's place
// is kept in its SortSlot, so its sources are found without searching.
bool COrventDoc::OrderList(std::vector<CBlock*>& list) {
    if (MaxSort <= 0) return false;
    const int n = static_cast<int>(list.size());
    for (const auto& b : Blocks)
        b->SortSlot = -1;
    for (int i = 0; i < n; ++i)
        list[i]->SortSlot = i;
    auto slotOf = [&](const CBlock* b) {
        int s = b->SortSlot;
        return (s >= 0 && s < n && list[s] == b) ? s : -1;
    };
    // A loop can never be ordered: every scan would find another move until the bound runs out,
    // which with a large bound takes minutes. It fails at once instead, as it would at the end.
    if (HasLoop(list, slotOf)) return false;
    int passes = 0;
    int j = 0;
    for (;;) {
        int from = -1;
        for (; j < n; ++j) {
            int best = INT_MAX;
            for (const CBlock* input : list[j]->Inputs) {
                if (!input) continue;
                int k = slotOf(input);
                if (k > j && k < best) best = k;
            }
            if (best != INT_MAX) {
                from = best;
                break;
            }
        }
        if (from < 0) return true;
        CBlock* moved = list[from];
        for (int i = from; i > j; --i) {
            list[i] = list[i - 1];
            list[i]->SortSlot = i;
        }
        list[j] = moved;
        moved->SortSlot = j;
        if (++passes >= MaxSort) return false;
    }
}

// The integrating blocks keep their chart order, except that a block whose initial value comes
// from another integrating block follows it: at each step the block placed first that waits for
// no other comes next. Linear in the blocks (no moves, so no sort bound); false on a loop of
// initial values, which no order can satisfy.
bool COrventDoc::OrderIntegratingBlocks() {
    std::vector<CBlock*>& list = IntegratingBlocks;
    const std::size_t n = list.size();
    for (const auto& b : Blocks)
        b->SortSlot = -1;
    for (std::size_t i = 0; i < n; ++i)
        list[i]->SortSlot = static_cast<int>(i);
    auto sourceOf = [&](std::size_t i) -> int {
        const CBlock* input = list[i]->Inputs[1];
        if (!input || input == list[i]) return -1;
        const int s = input->SortSlot;
        return (s >= 0 && static_cast<std::size_t>(s) < n && list[static_cast<std::size_t>(s)] == input) ? s
                                                                                                         : -1;
    };
    // Each block has at most one such source: the blocks waiting form trees, or close a loop.
    std::vector<int> source(n);
    std::vector<std::size_t> firstFed(n + 1, 0);
    for (std::size_t i = 0; i < n; ++i) {
        source[i] = sourceOf(i);
        if (source[i] >= 0) ++firstFed[static_cast<std::size_t>(source[i]) + 1];
    }
    for (std::size_t i = 0; i < n; ++i)
        firstFed[i + 1] += firstFed[i];
    std::vector<std::size_t> fed(firstFed[n]);
    std::vector<std::size_t> next(firstFed.begin(), firstFed.end() - 1);
    for (std::size_t i = 0; i < n; ++i)
        if (source[i] >= 0) fed[next[static_cast<std::size_t>(source[i])]++] = i;
    // The ready blocks by chart place, smallest first.
    std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>> ready;
    for (std::size_t i = 0; i < n; ++i)
        if (source[i] < 0) ready.push(i);
    std::vector<CBlock*> ordered;
    ordered.reserve(n);
    while (!ready.empty()) {
        const std::size_t i = ready.top();
        ready.pop();
        ordered.push_back(list[i]);
        for (std::size_t e = firstFed[i]; e < firstFed[i + 1]; ++e)
            ready.push(fed[e]);
    }
    if (ordered.size() < n) return false;
    list = std::move(ordered);
    return true;
}

bool COrventDoc::EvaluateDerivatives(double offset, double* out) {
    if (Stopped) return false;
    CurrentTime = IntervalStart + offset;
    Blocks.front()->Value = CurrentTime;
    for (CBlock* b : EvalOrder)
        b->Compute();
    const std::size_t n = IntegratingBlocks.size();
    for (std::size_t i = 0; i < n; ++i) {
        const CBlock* b = IntegratingBlocks[i];
        out[i] = kintra::Mul(b->Inputs[0] ? b->Inputs[0]->Value : 0.0, b->Params[0]);
    }
    return true;
}

void COrventDoc::RunTimeError(const std::string& text) {
    m_runFailed = true;
    Stopped = 1;
    Platform().Messages().MessageBox(text, kRunCaption, MB_OK, MB_ICONERROR);
}

void COrventDoc::StartHistories() {
    m_recorded.clear();
    m_recordHooks.clear();
    // The Clock, the integrating, algebraic and source blocks and the companions, in chart
    // order, so that a file's blocks read neighbouring columns (SortSlot marks them).
    for (const auto& b : Blocks)
        b->SortSlot = 0;
    Blocks.front()->SortSlot = 1;
    for (const auto* list : {&IntegratingBlocks, &EvalOrder, &SourceBlocks, &CompanionBlocks})
        for (CBlock* b : *list)
            b->SortSlot = 1;
    for (const auto& b : Blocks)
        if (b->SortSlot == 1) m_recorded.push_back(b.get());
    double expected = std::floor(SimulationTime / OutputInterval) + 2.0;
    const double share = std::max(1024.0, kMaxReservedSamples / static_cast<double>(m_recorded.size()));
    if (!(expected < share)) expected = share;
    m_histories.Reset(m_recorded.size(), static_cast<std::size_t>(expected));
    for (std::size_t i = 0; i < m_recorded.size(); ++i) {
        m_recorded[i]->BindHistory(&m_histories, i);
        if (m_recorded[i]->HasRecordHook()) m_recordHooks.push_back(m_recorded[i]);
    }
    // The first output step: the blocks of no run list (constants, blocks computed only at the
    // start) record this one value, outside the table.
    RecordOutputStep();
    for (const auto& b : Blocks)
        if (!b->HistoryInTable()) b->RecordValue();
}

void COrventDoc::RecordOutputStep() {
    double* row = m_histories.AppendRow();
    const std::size_t n = m_recorded.size();
    CBlock* const* blocks = m_recorded.data();
    // After a write-back the blocks hold the newest values (the source blocks and the algebraic
    // pass after them may have computed them since).
    if (!m_recordSlots.empty() && !Solver->Tape()->Written()) {
        const double* values = Solver->Tape()->Values();
        const std::int32_t* slots = m_recordSlots.data();
        for (std::size_t i = 0; i < n; ++i)
            row[i] = slots[i] >= 0 ? values[slots[i]] : blocks[i]->Value;
    } else {
        for (std::size_t i = 0; i < n; ++i)
            row[i] = blocks[i]->Value;
    }
    for (CBlock* b : m_recordHooks)
        b->OnRecorded();
}

void COrventDoc::UpdateRunValues() {
    if (Solver) Solver->PublishValues();
}

void COrventDoc::ClearHistories() {
    for (const auto& b : Blocks)
        b->ClearHistory();
    m_recorded.clear();
    m_recordHooks.clear();
    m_recordSlots.clear();
    m_histories.Clear();
}

void COrventDoc::RunSimulation() {
    LastRunOutcome = RunOutcome::Refused;
    RunStatistics = {};
    m_runFailed = false;
    m_stopRequested = false;
    if (Blocks.empty()) return;
    if (!CheckRequiredInputs()) return;
    if (!BuildRunLists()) {
        Platform().Messages().MessageBox(SortFailureText(), kCheckCaption, MB_OK);
        return;
    }
    CBlock* clock = Blocks.front().get();
    ErrorLimit = clock->Params[0];
    OutputInterval = clock->Params[1];
    SimulationTime = clock->Params[2];
    // An interval of zero or less, or one too small to move the time forward, would never end.
    const bool usable = ErrorLimit > 0 && SimulationTime >= OutputInterval && OutputInterval > 0 &&
                        std::isfinite(SimulationTime) && SimulationTime / OutputInterval < 1e15;
    if (!usable) {
        Platform().Messages().MessageBox("Timing Parameters Error", kCheckCaption, MB_OK);
        return;
    }

    Stopped = 0;
    ++RunSerial;
    ClearHistories();
    clock->Initialize();
    CurrentTime = 0.0;
    clock->Value = 0.0;
    for (CBlock* b : AtFirstBlocks)
        b->Initialize();
    for (CBlock* b : AtFirstBlocks)
        b->Compute();
    for (CBlock* b : IntegratingBlocks)
        b->Initialize();
    for (CBlock* b : EvalOrder)
        b->Initialize();
    for (CBlock* b : EvalOrder)
        b->Compute();
    // Source blocks are sampled once per output step; the algebraic blocks then see the sample.
    if (!SourceBlocks.empty()) {
        for (CBlock* b : SourceBlocks)
            b->Initialize();
        for (CBlock* b : SourceBlocks)
            b->Compute();
        for (CBlock* b : EvalOrder)
            b->Compute();
    }
    if (InitializeOnly) {
        LastRunOutcome = m_runFailed ? RunOutcome::Failed : RunOutcome::Completed;
        return;
    }

    ModelWindowHost& windows = ModelWindows();
    RunWindow = windows.OpenRunWindow(*this);
    StartHistories();
    if (!IntegratingBlocks.empty()) Solver = CreateSolver(*this, IntStyle, IntegratingBlocks.size());
    // A run through the program records from its values while the blocks do not hold them.
    if (Solver && Solver->Tape()) m_recordSlots = Solver->Tape()->ValueSlots(m_recorded);
    SetModifiedFlag();
    StepSize = OutputInterval;
    IntervalStart = 0.0;

    const double end = SimulationTime - 0.5 * OutputInterval;
    if (end > 0) {
        do {
            CurrentTime = IntervalStart;
            if (Solver) {
                const IntervalResult interval = Solver->AdvanceInterval(StepSize, OutputInterval);
                StepSize = interval.nextStep;
                if (interval.status != IntervalStatus::Completed) Stopped = 1;
            } else {
                const double t = IntervalStart + OutputInterval;
                CurrentTime = t;
                clock->Value = t;
                for (CBlock* b : EvalOrder)
                    b->Compute();
            }
            // The source blocks and the algebraic pass after them read and write the blocks' Values,
            // and a record hook reads them (a Delay its input's).
            const bool sources = !Stopped && !SourceBlocks.empty();
            if (Solver && (sources || !m_recordHooks.empty())) Solver->PublishValues();
            if (sources) {
                for (CBlock* b : SourceBlocks)
                    b->Compute();
                for (CBlock* b : EvalOrder)
                    b->Compute();
            }
            RecordOutputStep();
            if (Stopped) break;
            if (RunWindow) windows.RunWindowStep(*this);
            IntervalStart += OutputInterval;
        } while (IntervalStart < end);
    }

    const bool userStop = m_stopRequested;
    // The chart and the Block Editor show each block's Value at the end of the run.
    if (Solver) {
        Solver->PublishValues();
        RunStatistics = Solver->Statistics();
    }
    Solver.reset();
    m_histories.Trim();
    m_recorded.clear();
    m_recordHooks.clear();
    m_recordSlots.clear();
    UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
    if (RunWindow) windows.CloseRunWindow(*this);
    RunWindow = nullptr;
    Stopped = 1;
    LastRunOutcome = m_runFailed ? RunOutcome::Failed
                     : userStop  ? RunOutcome::Stopped
                                 : RunOutcome::Completed;
}
