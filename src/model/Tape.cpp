#include "model/Tape.h"

#include "model/Arith.h"
#include "model/BlockTypes.h"
#include "model/RunModel.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <typeinfo>
#include <unordered_map>

bool CTape::Enabled = true;

namespace {
using kintra::Add;
using kintra::Mul;

// Sums and products of a first try at a block of several operations: a NaN met on the way makes
// the result a NaN, so a result that is a number is the one the ordered operations give, and only
// a NaN result is formed again with them.
struct PlainOps {
    static double Add(double a, double b) { return a + b; }
    static double Mul(double a, double b) { return a * b; }
};
struct OrderedOps {
    static double Add(double a, double b) { return kintra::Add(a, b); }
    static double Mul(double a, double b) { return kintra::Mul(a, b); }
};

// The blocks evaluated inline.
constexpr int kDivide = BlockType::Divide;
constexpr int kMultiply = BlockType::Multiply;
constexpr int kNegate = BlockType::Negate;
constexpr int kPower = BlockType::Power;
constexpr int kSquareRoot = BlockType::SquareRoot;
constexpr int kSum = BlockType::Sum;
constexpr int kAbsolute = BlockType::Absolute;
constexpr int kInteger = BlockType::Integer;
constexpr int kModulo = BlockType::Modulo;
constexpr int kOffset = BlockType::Offset;
constexpr int kGain = BlockType::Gain;

bool IsInlineType(int typeId) {
    switch (typeId) {
    case kDivide:
    case kMultiply:
    case kNegate:
    case kPower:
    case kSquareRoot:
    case kSum:
    case kAbsolute:
    case kInteger:
    case kModulo:
    case kOffset:
    case kGain:
        return true;
    default:
        return false;
    }
}

// Index of a value in a table of distinct values (distinct bit patterns, so -0.0 and NaNs keep
// theirs), adding it when new.
template <class T>
std::int32_t Intern(std::vector<T>& table, std::map<std::vector<std::uint64_t>, std::int32_t>& index,
                    const T& value) {
    std::vector<std::uint64_t> key(sizeof(T) / sizeof(std::uint64_t));
    std::memcpy(key.data(), &value, sizeof(T));
    auto it = index.find(key);
    if (it != index.end()) return it->second;
    const auto i = static_cast<std::int32_t>(table.size());
    table.push_back(value);
    index.emplace(std::move(key), i);
    return i;
}
} // namespace

CTape::CTape(CRunModel& model) : m_model(model) {
    m_clock = model.Clock();
    m_stateCount = model.IntegratingBlocks.size();

    // A block is evaluated inline only when it is exactly the class the factory makes for its type
    // code, so a block of another class that borrows a code is computed by its own Compute.
    std::map<int, std::unique_ptr<CBlock>> prototypes;
    auto isFactoryClass = [&](const CBlock* b) {
        if (!IsInlineType(b->TypeId)) return false;
        auto it = prototypes.find(b->TypeId);
        if (it == prototypes.end()) it = prototypes.emplace(b->TypeId, model.CreateBlock(b->TypeId)).first;
        if (!it->second) return false;
        const CBlock& prototype = *it->second;
        return typeid(prototype) == typeid(*b);
    };
    auto codeOf = [&](const CBlock* b) {
        if (!isFactoryClass(b)) return OP_COMPUTE;
        const int mask = (b->Inputs[0] ? 1 : 0) | (b->Inputs[1] ? 2 : 0) | (b->Inputs[2] ? 4 : 0);
        switch (b->TypeId) {
        case kSum:
            return static_cast<OpCode>(OP_SUM + mask);
        case kMultiply:
            return static_cast<OpCode>(OP_MUL + mask);
        case kGain:
            return OP_GAIN;
        case kNegate:
            return OP_NEGATE;
        case kAbsolute:
            return OP_ABSOLUTE;
        case kOffset:
            return OP_OFFSET;
        case kInteger:
            return OP_INTEGER;
        case kSquareRoot:
            return OP_SQRT;
        case kPower:
            return OP_POWER;
        case kDivide:
            return OP_DIVIDE;
        case kModulo:
            return (mask & 2) ? OP_MODULO : OP_MODULO_PARAM;
        default:
            return OP_COMPUTE;
        }
    };
    std::vector<OpCode> codes;
    codes.reserve(model.EvalOrder.size());
    for (const CBlock* b : model.EvalOrder)
        codes.push_back(codeOf(b));
    std::vector<CBlock*> states, algebraic;
    CanonicalOrder(model, codes, states, algebraic);

    for (CBlock* b : states) {
        m_slotBlocks.push_back(b);
        m_values.push_back(b->Value);
    }
    m_zeroSlot = static_cast<std::int32_t>(m_values.size());
    m_slotBlocks.push_back(nullptr);
    m_values.push_back(0.0);
    m_clockSlot = static_cast<std::int32_t>(m_values.size());
    m_slotBlocks.push_back(m_clock);
    m_values.push_back(m_clock ? m_clock->Value : 0.0);
    m_firstAlgebraic = m_values.size();
    const std::size_t algebraicEnd = m_firstAlgebraic + algebraic.size();
    for (CBlock* b : algebraic) {
        m_slotBlocks.push_back(b);
        m_values.push_back(b->Value);
    }

    std::unordered_map<const CBlock*, std::int32_t> slots;
    for (std::size_t i = 0; i < m_slotBlocks.size(); ++i)
        if (m_slotBlocks[i]) slots.emplace(m_slotBlocks[i], static_cast<std::int32_t>(i));
    auto slotOf = [&](CBlock* b) -> std::int32_t {
        if (!b) return -1;
        auto it = slots.find(b);
        if (it != slots.end()) return it->second;
        // A block outside the run lists: constant for the length of an output interval.
        const auto slot = static_cast<std::int32_t>(m_values.size());
        m_slotBlocks.push_back(b);
        m_values.push_back(b->Value);
        m_preloads.push_back({b, slot});
        slots.emplace(b, slot);
        return slot;
    };

    std::map<std::vector<std::uint64_t>, std::int32_t> paramIndex;
    std::vector<bool> preloaded(m_values.size(), false);
    for (std::size_t j = 0; j < algebraic.size(); ++j) {
        CBlock* b = algebraic[j];
        const auto self = static_cast<std::int32_t>(m_firstAlgebraic + j);
        Op op{{slotOf(b->Inputs[0]), slotOf(b->Inputs[1]), slotOf(b->Inputs[2])}, 0};
        const OpCode code = codeOf(b);
        // Apart from Sum and Multiply, the inline types read an unconnected input as 0.0.
        if (code >= OP_GAIN && code != OP_COMPUTE)
            for (std::int32_t& in : op.in)
                if (in < 0) in = m_zeroSlot;
        // A block read before its own turn in the pass holds its value from earlier.
        preloaded.resize(m_values.size(), false);
        for (std::int32_t in : op.in) {
            const auto u = static_cast<std::size_t>(in);
            if (in >= self && u < algebraicEnd && !preloaded[u]) {
                preloaded[u] = true;
                m_preloads.push_back({m_slotBlocks[u], in});
            }
        }
        // A Compute reads its inputs from the blocks (a Divide's only when it reports a zero divisor).
        if (code == OP_COMPUTE || code == OP_DIVIDE) {
            Fallback f{b, static_cast<std::uint32_t>(m_syncs.size()), 0};
            for (std::int32_t in : op.in)
                if (in >= 0) m_syncs.push_back({m_slotBlocks[static_cast<std::size_t>(in)], in});
            f.syncEnd = static_cast<std::uint32_t>(m_syncs.size());
            (code == OP_DIVIDE ? op.in[2] : op.aux) = static_cast<std::int32_t>(m_fallbacks.size());
            m_fallbacks.push_back(f);
            // A Divide that reports keeps its earlier value.
            if (code == OP_DIVIDE && !preloaded[static_cast<std::size_t>(self)]) {
                preloaded[static_cast<std::size_t>(self)] = true;
                m_preloads.push_back({b, self});
            }
        }
        if (code == OP_COMPUTE) {
            ++m_computeCount;
        } else {
            op.aux =
                Intern(m_params, paramIndex, std::array<double, 3>{b->Params[0], b->Params[1], b->Params[2]});
            ++m_inlineCount;
            m_writeBacks.push_back({b, self});
        }
        Append(code, op);
    }

    // Of the blocks a Compute reads, only the states and the inline blocks can be out of date.
    std::vector<bool> stale(m_values.size(), false);
    for (std::size_t i = 0; i < m_stateCount; ++i)
        stale[i] = true;
    for (const Link& w : m_writeBacks)
        stale[static_cast<std::size_t>(w.slot)] = true;
    std::vector<Link> kept;
    for (Fallback& f : m_fallbacks) {
        const auto begin = static_cast<std::uint32_t>(kept.size());
        for (std::uint32_t i = f.syncBegin; i < f.syncEnd; ++i)
            if (stale[static_cast<std::size_t>(m_syncs[i].slot)]) kept.push_back(m_syncs[i]);
        f.syncBegin = begin;
        f.syncEnd = static_cast<std::uint32_t>(kept.size());
    }
    m_syncs = std::move(kept);

    std::vector<std::int32_t> sources(m_stateCount);
    std::vector<double> gains(m_stateCount);
    for (std::size_t i = 0; i < m_stateCount; ++i) {
        const CBlock* b = m_slotBlocks[i];
        sources[i] = b->Inputs[0] ? slotOf(b->Inputs[0]) : m_zeroSlot;
        gains[i] = b->Params[0];
    }
    MakeRuns(sources, gains);
    MakeSumLoops();
    SplitPreloads();
}

// A segment of at least kMinRun Sum blocks with the same weights, none of which reads a block of the
// segment, is evaluated as one loop (in vectors) by the kernel of the run; an input that advances by
// one slot from block to block is read side by side, the others through the slots.
void CTape::MakeSumLoops() {
    m_sumKernels = Kernel(ActiveKernel()).sums;
    std::vector<std::size_t> indexAt;
    for (Segment& seg : m_segments) {
        // A segment of Gains each of which but the first reads the one before: their gains side by side.
        if (seg.code == OP_GAIN) {
            bool chain = true;
            for (std::uint32_t i = seg.begin + 1; i < seg.end && chain; ++i)
                chain = m_ops[i].in[0] == static_cast<std::int32_t>(m_firstAlgebraic + i) - 1;
            if (!chain) continue;
            seg.loop = static_cast<std::int32_t>(m_chainGains.size());
            for (std::uint32_t i = seg.begin; i < seg.end; ++i)
                m_chainGains.push_back(m_params[static_cast<std::size_t>(m_ops[i].aux)][0]);
            continue;
        }
        const int mask = static_cast<int>(seg.code) - OP_SUM;
        const std::size_t count = seg.end - seg.begin;
        if (mask < 1 || mask > 7 || count < kMinRun) continue;
        const Op* ops = &m_ops[seg.begin];
        const auto outBegin = static_cast<std::int32_t>(m_firstAlgebraic + seg.begin);
        const auto outEnd = static_cast<std::int32_t>(m_firstAlgebraic + seg.end);
        bool loop = true;
        for (std::size_t j = 0; j < count && loop; ++j) {
            loop = ops[j].aux == ops[0].aux;
            for (int k = 0; k < 3; ++k)
                if ((mask & (1 << k)) != 0 && ops[j].in[k] >= outBegin && ops[j].in[k] < outEnd) loop = false;
        }
        if (!loop) continue;
        const auto& w = m_params[static_cast<std::size_t>(ops[0].aux)];
        SumSegmentArgs a{
            m_values.data(), m_values.data() + outBegin, count, {}, nullptr, 3, {w[0], w[1], w[2]}, mask};
        for (int k = 0; k < 3; ++k) {
            if ((mask & (1 << k)) == 0) continue;
            bool strided = true;
            for (std::size_t j = 0; j < count && strided; ++j)
                strided = ops[j].in[k] == ops[0].in[k] + static_cast<std::int32_t>(j);
            if (strided) a.strided[k] = m_values.data() + ops[0].in[k];
        }
        indexAt.push_back(m_sumIndex.size());
        for (std::size_t j = 0; j < count; ++j)
            m_sumIndex.insert(m_sumIndex.end(), ops[j].in, ops[j].in + 3);
        seg.loop = static_cast<std::int32_t>(m_sumLoops.size());
        m_sumLoops.push_back(a);
    }
    for (std::size_t i = 0; i < m_sumLoops.size(); ++i)
        m_sumLoops[i].index = m_sumIndex.data() + indexAt[i];
}

std::size_t CTape::BlocksInLoops() const {
    std::size_t blocks = 0;
    for (const SumSegmentArgs& a : m_sumLoops)
        blocks += a.count;
    return blocks;
}

std::size_t CTape::StridedInputs() const {
    std::size_t inputs = 0;
    for (const SumSegmentArgs& a : m_sumLoops)
        for (const double* in : a.strided)
            inputs += in ? a.count : 0;
    return inputs;
}

// The states in the order of the program (indices in `states`), given the program's order of the
// algebraic blocks. A state whose source is algebraic (level 0) comes in the order of that source's slot; one
// that integrates a state of level L - 1 is of level L, in the order of that state. Higher levels come first,
// so a state is read as a derivative before its own slot is written; states whose sources go round in a
// circle come first of all, in their own order, and are copied out.
std::vector<std::size_t> CTape::StateOrder(const std::vector<CBlock*>& states,
                                           const std::vector<CBlock*>& algebraic) {
    const std::size_t n = states.size();
    std::unordered_map<const CBlock*, std::size_t> stateIndex, evalIndex;
    for (std::size_t i = 0; i < n; ++i)
        stateIndex.emplace(states[i], i);
    for (std::size_t i = 0; i < algebraic.size(); ++i)
        evalIndex.emplace(algebraic[i], i);
    auto sourceState = [&](std::size_t i) -> std::ptrdiff_t {
        auto it = stateIndex.find(states[i]->Inputs[0]);
        return it == stateIndex.end() ? -1 : static_cast<std::ptrdiff_t>(it->second);
    };

    constexpr int kUnknown = -2, kCircle = -1;
    std::vector<int> level(n, kUnknown);
    std::vector<std::size_t> chain;
    std::vector<bool> onChain(n, false);
    for (std::size_t i = 0; i < n; ++i) {
        // Follow the sources from i until a known level, an algebraic source or a circle.
        std::size_t j = i;
        int below = -1; // the level of what the last state of the chain integrates
        bool circle = false;
        while (level[j] == kUnknown) {
            if (onChain[j]) {
                circle = true;
                break;
            }
            onChain[j] = true;
            chain.push_back(j);
            const std::ptrdiff_t source = sourceState(j);
            if (source < 0) break;
            j = static_cast<std::size_t>(source);
        }
        if (!circle && level[j] != kUnknown) {
            circle = level[j] == kCircle;
            below = level[j];
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            level[*it] = circle ? kCircle : ++below;
            onChain[*it] = false;
        }
        chain.clear();
    }

    int top = 0;
    for (int l : level)
        top = std::max(top, l);
    // The rank of each state within its level, level by level from 0.
    std::vector<std::size_t> rank(n, 0);
    std::vector<std::vector<std::size_t>> byLevel(static_cast<std::size_t>(top) + 2);
    for (std::size_t i = 0; i < n; ++i)
        byLevel[static_cast<std::size_t>(level[i] + 1)].push_back(i);
    std::vector<std::pair<std::size_t, std::size_t>> keyed; // (key, state)
    for (int l = 0; l <= top; ++l) {
        auto& members = byLevel[static_cast<std::size_t>(l + 1)];
        keyed.clear();
        for (std::size_t i : members) {
            std::size_t key = algebraic.size();
            if (l > 0) {
                key = rank[static_cast<std::size_t>(sourceState(i))];
            } else if (auto it = evalIndex.find(states[i]->Inputs[0]); it != evalIndex.end()) {
                key = it->second;
            }
            keyed.push_back({key, i});
        }
        // Members are in increasing index, so sorting the pairs keeps equal keys in that order.
        std::sort(keyed.begin(), keyed.end());
        for (std::size_t r = 0; r < keyed.size(); ++r) {
            members[r] = keyed[r].second;
            rank[members[r]] = r;
        }
    }
    std::vector<std::size_t> order(byLevel[0]);
    for (int l = top; l >= 0; --l) {
        const auto& members = byLevel[static_cast<std::size_t>(l + 1)];
        order.insert(order.end(), members.begin(), members.end());
    }
    return order;
}

// The order in which the program keeps the states and evaluates the algebraic blocks: one that
// follows how the blocks are linked rather than where they were placed, so that blocks doing the
// same thing on consecutive states come side by side and read their inputs at a constant stride.
// Only inline blocks move, and never past a block with a fallback (a Compute may have effects of
// its own, such as drawing random numbers or reporting): a block stays after every block it reads
// and before every block that reads its earlier value, so each reads the same values as in
// EvalOrder and every result is the same to the last bit.
//
// The states are first ranked by the circles of links they lie on (the strongly connected parts of
// the chart, a part after those it reads), which follows a chain of oscillators whatever the order
// its blocks were placed in. Between two fallbacks the algebraic blocks are then sorted level by
// level (the longest path of links within that stretch), by code, by parameters and by the places
// of their inputs; the states then take the order StateOrder gives them for that evaluation order,
// and the blocks are sorted once more against it.
void CTape::CanonicalOrder(const CRunModel& model, const std::vector<OpCode>& codes,
                           std::vector<CBlock*>& states, std::vector<CBlock*>& algebraic) {
    const std::vector<CBlock*>& integrating = model.IntegratingBlocks;
    const std::vector<CBlock*>& evalOrder = model.EvalOrder;
    const std::size_t n = integrating.size(), m = evalOrder.size(), nodes = n + m;
    const CBlock* clock = model.Clock();

    // Node i < n is integrating[i], node n + j is evalOrder[j]. What each reads (a state only its
    // derivative's source); -1 for nothing or a block outside both lists.
    std::unordered_map<const CBlock*, std::int32_t> nodeOf;
    nodeOf.reserve(nodes);
    for (std::size_t i = 0; i < nodes; ++i)
        nodeOf.emplace(i < n ? integrating[i] : evalOrder[i - n], static_cast<std::int32_t>(i));
    auto find = [&](const CBlock* b) -> std::int32_t {
        auto it = b ? nodeOf.find(b) : nodeOf.end();
        return it == nodeOf.end() ? -1 : it->second;
    };
    std::vector<std::array<std::int32_t, 3>> reads(nodes, {-1, -1, -1});
    for (std::size_t i = 0; i < n; ++i)
        reads[i][0] = find(integrating[i]->Inputs[0]);
    for (std::size_t j = 0; j < m; ++j)
        for (int k = 0; k < 3; ++k)
            reads[n + j][static_cast<std::size_t>(k)] =
                find(evalOrder[j]->Inputs[static_cast<std::size_t>(k)]);

    // The strongly connected parts (Tarjan, without recursion). A part is complete only after every
    // part it reads, so numbering the parts as they complete puts the upstream ones first.
    std::vector<std::int32_t> part(nodes, -1), index(nodes, -1), low(nodes, 0), open;
    std::vector<std::pair<std::int32_t, std::size_t>> path; // a node and its next input to follow
    std::int32_t visited = 0, parts = 0;
    auto enter = [&](std::int32_t v) {
        const auto u = static_cast<std::size_t>(v);
        index[u] = low[u] = visited++;
        open.push_back(v);
        path.push_back({v, 0});
    };
    for (std::size_t root = 0; root < nodes; ++root) {
        if (index[root] >= 0) continue;
        enter(static_cast<std::int32_t>(root));
        while (!path.empty()) {
            const auto v = static_cast<std::size_t>(path.back().first);
            if (path.back().second < 3) {
                const std::int32_t w = reads[v][path.back().second++];
                if (w < 0) continue;
                const auto u = static_cast<std::size_t>(w);
                if (index[u] < 0)
                    enter(w);
                else if (part[u] < 0)
                    low[v] = std::min(low[v], index[u]);
                continue;
            }
            path.pop_back();
            if (!path.empty()) {
                const auto parent = static_cast<std::size_t>(path.back().first);
                low[parent] = std::min(low[parent], low[v]);
            }
            if (low[v] != index[v]) continue;
            std::int32_t w;
            do {
                w = open.back();
                open.pop_back();
                part[static_cast<std::size_t>(w)] = parts;
            } while (static_cast<std::size_t>(w) != v);
            ++parts;
        }
    }

    // The states ranked by their parts, in chart order within one.
    std::vector<std::size_t> stateNodes(n);
    for (std::size_t i = 0; i < n; ++i)
        stateNodes[i] = i;
    std::stable_sort(stateNodes.begin(), stateNodes.end(),
                     [&](std::size_t a, std::size_t b) { return part[a] < part[b]; });

    // The stretches between fallbacks (each fallback a stretch of its own) and the levels within them:
    // a block comes after the blocks of its stretch that it reads earlier in EvalOrder, and before
    // those it reads later (their earlier values).
    std::vector<std::size_t> stretch(m);
    std::vector<std::int64_t> level(m, 0);
    std::size_t stretches = 0;
    for (std::size_t j = 0; j < m; ++j) {
        const bool fallback = codes[j] == OP_COMPUTE || codes[j] == OP_DIVIDE;
        if (fallback && j > 0) ++stretches;
        stretch[j] = stretches;
        if (fallback) ++stretches;
    }
    for (std::size_t j = 0; j < m; ++j) {
        for (std::int32_t u : reads[n + j]) {
            if (u < static_cast<std::int32_t>(n)) continue;
            const std::size_t p = static_cast<std::size_t>(u) - n;
            if (p < j && stretch[p] == stretch[j]) level[j] = std::max(level[j], level[p] + 1);
        }
        for (std::int32_t u : reads[n + j]) {
            if (u < static_cast<std::int32_t>(n)) continue;
            const std::size_t p = static_cast<std::size_t>(u) - n;
            if (p > j && stretch[p] == stretch[j]) level[p] = std::max(level[p], level[j] + 1);
        }
    }
    // Blocks outside both lists in the order EvalOrder first reads them.
    std::unordered_map<const CBlock*, std::int64_t> outside;
    for (std::size_t j = 0; j < m; ++j)
        for (int k = 0; k < 3; ++k) {
            const CBlock* in = evalOrder[j]->Inputs[static_cast<std::size_t>(k)];
            if (in && in != clock && reads[n + j][static_cast<std::size_t>(k)] < 0)
                outside.emplace(in, static_cast<std::int64_t>(outside.size()));
        }

    // Sorts the algebraic blocks stretch by stretch and level by level, given the states' places.
    const auto late = static_cast<std::int64_t>(n + 2 + m), beyond = late + static_cast<std::int64_t>(m);
    std::vector<std::int64_t> statePlace(n), place(m);
    std::vector<std::size_t> members(m);
    std::vector<std::pair<std::array<std::int64_t, 7>, std::size_t>> keys;
    auto placeBlocks = [&] {
        std::fill(place.begin(), place.end(), -1);
        for (std::size_t j = 0; j < m; ++j)
            members[j] = j;
        std::stable_sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
            return stretch[a] != stretch[b] ? stretch[a] < stretch[b] : level[a] < level[b];
        });
        // Where the program will keep an input, as far as it is known yet.
        auto inputKey = [&](std::size_t j, std::size_t k) -> std::int64_t {
            const CBlock* in = evalOrder[j]->Inputs[k];
            if (!in) return -1;
            if (in == clock) return static_cast<std::int64_t>(n + 1);
            const std::int32_t u = reads[n + j][k];
            if (u < 0) return beyond + outside[in];
            if (static_cast<std::size_t>(u) < n) return statePlace[static_cast<std::size_t>(u)];
            const std::size_t p = static_cast<std::size_t>(u) - n;
            return place[p] >= 0 ? static_cast<std::int64_t>(n + 2) + place[p]
                                 : late + static_cast<std::int64_t>(p);
        };
        std::int64_t next = 0;
        for (std::size_t a = 0; a < m;) {
            std::size_t b = a;
            while (b < m && stretch[members[b]] == stretch[members[a]] &&
                   level[members[b]] == level[members[a]])
                ++b;
            keys.clear();
            for (std::size_t r = a; r < b; ++r) {
                const std::size_t j = members[r];
                const auto& p = evalOrder[j]->Params;
                keys.push_back(
                    {{codes[j], std::bit_cast<std::int64_t>(p[0]), std::bit_cast<std::int64_t>(p[1]),
                      std::bit_cast<std::int64_t>(p[2]), inputKey(j, 0), inputKey(j, 1), inputKey(j, 2)},
                     j});
            }
            std::sort(keys.begin(), keys.end());
            for (const auto& key : keys)
                place[key.second] = next++;
            a = b;
        }
        algebraic.assign(m, nullptr);
        for (std::size_t j = 0; j < m; ++j)
            algebraic[static_cast<std::size_t>(place[j])] = evalOrder[j];
    };
    auto orderStates = [&] {
        for (std::size_t r = 0; r < n; ++r)
            statePlace[stateNodes[r]] = static_cast<std::int64_t>(r);
        placeBlocks();
        states.clear();
        for (std::size_t i : stateNodes)
            states.push_back(integrating[i]);
        std::vector<std::size_t> ordered;
        for (std::size_t r : StateOrder(states, algebraic))
            ordered.push_back(stateNodes[r]);
        stateNodes = std::move(ordered);
    };
    orderStates();
    orderStates();
    states.clear();
    for (std::size_t i : stateNodes)
        states.push_back(integrating[i]);
}

// A gain of 1 changes no value that the integrator can see (its steps multiply every derivative by
// the step size, which makes any signalling NaN quiet either way): such a derivative is read in
// place when it starts a run of at least kMinRun states whose sources follow each other and never
// lie before the state. Every other derivative is copied out by Evaluate.
void CTape::MakeRuns(const std::vector<std::int32_t>& sources, const std::vector<double>& gains) {
    const std::size_t n = sources.size();
    auto direct = [&](std::size_t i) { return gains[i] == 1.0 && static_cast<std::size_t>(sources[i]) >= i; };
    std::size_t i = 0;
    while (i < n) {
        std::size_t end = i;
        if (direct(i)) {
            end = i + 1;
            while (end < n && direct(end) && sources[end] == sources[end - 1] + 1)
                ++end;
        }
        if (end - i >= kMinRun) {
            m_runs.push_back({i, end, m_values.data() + sources[i]});
            m_statesInRuns += end - i;
            i = end;
            continue;
        }
        if (gains[i] == 1.0) {
            m_unitGains.push_back(static_cast<std::int32_t>(i));
            m_unitGains.push_back(sources[i]);
        } else {
            m_derivatives.push_back({static_cast<std::int32_t>(i), sources[i], gains[i]});
        }
        if (!m_runs.empty() && !m_runs.back().source && m_runs.back().end == i)
            ++m_runs.back().end;
        else
            m_runs.push_back({i, i + 1, nullptr});
        ++i;
    }
}

CTape::~CTape() = default;

void CTape::Append(OpCode code, const Op& op) {
    const auto index = static_cast<std::uint32_t>(m_ops.size());
    m_ops.push_back(op);
    if (!m_segments.empty() && m_segments.back().code == code && m_segments.back().end == index)
        ++m_segments.back().end;
    else
        m_segments.push_back({code, index, index + 1});
}

void CTape::SplitPreloads() {
    std::vector<bool> inlined(m_values.size(), false);
    for (const Link& w : m_writeBacks)
        inlined[static_cast<std::size_t>(w.slot)] = true;
    std::vector<Link> kept;
    for (const Link& l : m_preloads)
        (inlined[static_cast<std::size_t>(l.slot)] ? m_inlinePreloads : kept).push_back(l);
    m_preloads = std::move(kept);
}

void CTape::BeginInterval() {
    for (const Link& l : m_preloads)
        m_values[static_cast<std::size_t>(l.slot)] = l.block->Value;
    // An inline block's Value is its own only after a WriteBack: something may have computed the
    // block since (the algebraic pass after the source blocks of an output step).
    if (m_written)
        for (const Link& l : m_inlinePreloads)
            m_values[static_cast<std::size_t>(l.slot)] = l.block->Value;
}

void CTape::WriteBack() {
    // Once written, the blocks may have been computed again (after the source blocks): theirs
    // are the newer values.
    if (m_written) return;
    for (std::size_t i = 0; i < m_stateCount; ++i)
        m_slotBlocks[i]->Value = m_values[i];
    for (const Link& l : m_writeBacks)
        l.block->Value = m_values[static_cast<std::size_t>(l.slot)];
    m_written = true;
}

std::vector<std::int32_t> CTape::ValueSlots(const std::vector<CBlock*>& blocks) const {
    std::unordered_map<const CBlock*, std::int32_t> slots;
    const std::size_t end = m_firstAlgebraic + m_ops.size();
    for (std::size_t i = 0; i < end; ++i)
        if (m_slotBlocks[i]) slots.emplace(m_slotBlocks[i], static_cast<std::int32_t>(i));
    std::vector<std::int32_t> out;
    out.reserve(blocks.size());
    for (const CBlock* b : blocks) {
        const auto it = slots.find(b);
        out.push_back(it == slots.end() ? -1 : it->second);
    }
    return out;
}

void CTape::RunCompute(const Fallback& f, double& value) {
    for (std::uint32_t i = f.syncBegin; i < f.syncEnd; ++i)
        m_syncs[i].block->Value = m_values[static_cast<std::size_t>(m_syncs[i].slot)];
    f.block->Compute();
    value = f.block->Value;
}

// Calls f(op, parameters, result) for every block of a segment. The computations passed to it
// repeat those of the blocks' own Compute operation by operation.
template <class F> void CTape::ForEach(const Segment& seg, F f) {
    double* out = m_values.data() + m_firstAlgebraic;
    const Op* ops = m_ops.data();
    const std::array<double, 3>* params = m_params.data();
    for (std::uint32_t i = seg.begin; i < seg.end; ++i)
        f(ops[i], params[ops[i].aux].data(), out[i]);
}

bool CTape::Evaluate(double offset, double* y) {
    double* v = m_values.data();
    if (m_model.Stopped) {
        WriteBack();
        return false;
    }
    m_written = false;
    const double t = m_model.IntervalStart + offset;
    m_model.CurrentTime = t;
    if (m_clock) m_clock->Value = t;
    v[m_clockSlot] = t;

    auto sum = [&]<int Mask>(const Segment& seg) {
        ForEach(seg, [=](const Op& op, const double* p, double& r) {
            auto sum = [&]<class O>(O) {
                double s = 0.0;
                if constexpr ((Mask & 1) != 0) s = O::Add(s, O::Mul(v[op.in[0]], p[0]));
                if constexpr ((Mask & 2) != 0) s = O::Add(s, O::Mul(v[op.in[1]], p[1]));
                if constexpr ((Mask & 4) != 0) s = O::Add(s, O::Mul(v[op.in[2]], p[2]));
                return s;
            };
            r = sum(PlainOps{});
            if (r != r) r = sum(OrderedOps{});
        });
    };
    auto multiply = [&]<int Mask>(const Segment& seg) {
        ForEach(seg, [=](const Op& op, const double* p, double& r) {
            auto product = [&]<class O>(O) {
                double m = 1.0;
                if constexpr ((Mask & 1) != 0) m = O::Mul(O::Mul(m, v[op.in[0]]), p[0]);
                if constexpr ((Mask & 2) != 0) m = O::Mul(O::Mul(m, v[op.in[1]]), p[1]);
                if constexpr ((Mask & 4) != 0) m = O::Mul(O::Mul(m, v[op.in[2]]), p[2]);
                return m;
            };
            r = product(PlainOps{});
            if (r != r) r = product(OrderedOps{});
        });
    };

    for (const Segment& seg : m_segments) {
        if (seg.loop >= 0 && seg.code == OP_GAIN) {
            double* out = v + m_firstAlgebraic + seg.begin;
            const double* gain = m_chainGains.data() + seg.loop;
            const double first = v[m_ops[seg.begin].in[0]];
            const std::uint32_t count = seg.end - seg.begin;
            // A NaN met on the way stays to the end: only then are the products formed again, ordered.
            double x = first;
            for (std::uint32_t i = 0; i < count; ++i)
                out[i] = x = x * gain[i];
            if (x != x) {
                x = first;
                for (std::uint32_t i = 0; i < count; ++i)
                    out[i] = x = Mul(x, gain[i]);
            }
            continue;
        }
        if (seg.loop >= 0) {
            const SumSegmentArgs& a = m_sumLoops[static_cast<std::size_t>(seg.loop)];
            m_sumKernels[a.mask](a);
            continue;
        }
        switch (static_cast<int>(seg.code)) {
        case OP_SUM + 0:
            sum.operator()<0>(seg);
            break;
        case OP_SUM + 1:
            sum.operator()<1>(seg);
            break;
        case OP_SUM + 2:
            sum.operator()<2>(seg);
            break;
        case OP_SUM + 3:
            sum.operator()<3>(seg);
            break;
        case OP_SUM + 4:
            sum.operator()<4>(seg);
            break;
        case OP_SUM + 5:
            sum.operator()<5>(seg);
            break;
        case OP_SUM + 6:
            sum.operator()<6>(seg);
            break;
        case OP_SUM + 7:
            sum.operator()<7>(seg);
            break;
        case OP_MUL + 0:
            multiply.operator()<0>(seg);
            break;
        case OP_MUL + 1:
            multiply.operator()<1>(seg);
            break;
        case OP_MUL + 2:
            multiply.operator()<2>(seg);
            break;
        case OP_MUL + 3:
            multiply.operator()<3>(seg);
            break;
        case OP_MUL + 4:
            multiply.operator()<4>(seg);
            break;
        case OP_MUL + 5:
            multiply.operator()<5>(seg);
            break;
        case OP_MUL + 6:
            multiply.operator()<6>(seg);
            break;
        case OP_MUL + 7:
            multiply.operator()<7>(seg);
            break;
        case OP_GAIN: {
            // In a chain of gains each reads the one before: that value is still at hand.
            double* out = v + m_firstAlgebraic;
            const auto previousSlot = static_cast<std::int32_t>(m_firstAlgebraic) - 1;
            double previous = v[m_firstAlgebraic + seg.begin - 1]; // the Clock before the first block
            for (std::uint32_t i = seg.begin; i < seg.end; ++i) {
                const Op& op = m_ops[i];
                const double x =
                    op.in[0] == previousSlot + static_cast<std::int32_t>(i) ? previous : v[op.in[0]];
                out[i] = previous = Mul(x, m_params[static_cast<std::size_t>(op.aux)][0]);
            }
            break;
        }
        case OP_NEGATE:
            ForEach(seg, [=](const Op& op, const double* p, double& r) { r = -Mul(v[op.in[0]], p[0]); });
            break;
        case OP_ABSOLUTE:
            ForEach(seg,
                    [v](const Op& op, const double* p, double& r) { r = Mul(std::fabs(v[op.in[0]]), p[0]); });
            break;
        case OP_OFFSET:
            ForEach(seg, [=](const Op& op, const double* p, double& r) { r = Add(v[op.in[0]], p[0]); });
            break;
        case OP_INTEGER:
            ForEach(seg, [=](const Op& op, const double* p, double& r) {
                const double x = Mul(v[op.in[0]], p[0]);
                r = x - std::fmod(x, 1.0);
            });
            break;
        case OP_SQRT:
            ForEach(seg, [=](const Op& op, const double* p, double& r) {
                const double a = Mul(v[op.in[0]], p[0]);
                const double root = std::sqrt(std::fabs(a));
                r = a >= 0 ? root : -root;
            });
            break;
        case OP_POWER:
            ForEach(seg, [=](const Op& op, const double* p, double& r) {
                const double base = Mul(v[op.in[0]], p[0]);
                const double exponent = Mul(v[op.in[1]], p[1]);
                const double power = std::pow(std::fabs(base), exponent);
                r = base >= 0 ? power : -power;
            });
            break;
        case OP_DIVIDE:
            ForEach(seg, [this, v](const Op& op, const double* p, double& r) {
                const double denominator = v[op.in[1]];
                if (denominator == 0.0 && p[1] != 0.0) {
                    // The block reports the zero divisor itself and keeps its earlier value.
                    const Fallback& f = m_fallbacks[static_cast<std::size_t>(op.in[2])];
                    f.block->Value = r;
                    RunCompute(f, r);
                } else {
                    r = Mul(v[op.in[0]], p[0]) / Mul(denominator, p[1]);
                }
            });
            break;
        case OP_MODULO:
            ForEach(seg, [=](const Op& op, const double* p, double& r) {
                const double divisor = v[op.in[1]];
                r = divisor == 0.0 ? 0.0 : std::fmod(Mul(v[op.in[0]], p[0]), divisor);
            });
            break;
        case OP_MODULO_PARAM:
            ForEach(seg, [=](const Op& op, const double* p, double& r) {
                const double divisor = p[1];
                r = divisor == 0.0 ? 0.0 : std::fmod(Mul(v[op.in[0]], p[0]), divisor);
            });
            break;
        case OP_COMPUTE: {
            double* out = v + m_firstAlgebraic;
            for (std::uint32_t i = seg.begin; i < seg.end; ++i)
                RunCompute(m_fallbacks[static_cast<std::size_t>(m_ops[i].aux)], out[i]);
            break;
        }
        default:
            break;
        }
    }

    const std::int32_t* unit = m_unitGains.data();
    for (std::size_t i = 0; i < m_unitGains.size(); i += 2)
        y[unit[i]] = v[unit[i + 1]];
    for (const Derivative& d : m_derivatives)
        y[d.state] = Mul(v[d.source], d.gain);
    return true;
}
