#include "model/Tape.h"

#include "model/OrventDoc.h"

#include <cmath>
#include <map>
#include <memory>
#include <typeinfo>
#include <unordered_map>

bool CTape::Enabled = true;

namespace {
// Type codes of the blocks evaluated inline.
constexpr int kDivide = 61590;
constexpr int kMultiply = 61591;
constexpr int kNegate = 61592;
constexpr int kPower = 61593;
constexpr int kSquareRoot = 61594;
constexpr int kSum = 61595;
constexpr int kAbsolute = 61613;
constexpr int kInteger = 61618;
constexpr int kModulo = 61620;
constexpr int kOffset = 61623;
constexpr int kGain = 61631;

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

int InputMask(const CBlock* b) {
    return (b->Inputs[0] ? 1 : 0) | (b->Inputs[1] ? 2 : 0) | (b->Inputs[2] ? 4 : 0);
}

// The computations below repeat those of the blocks' own Compute operation by operation.

template <int Mask> void RunSum(const auto* op, const auto* end, double* v) {
    for (; op != end; ++op) {
        double r = 0.0;
        if constexpr ((Mask & 1) != 0) r += v[op->in[0]] * op->p[0];
        if constexpr ((Mask & 2) != 0) r += v[op->in[1]] * op->p[1];
        if constexpr ((Mask & 4) != 0) r += v[op->in[2]] * op->p[2];
        v[op->dst] = r;
    }
}

template <int Mask> void RunMultiply(const auto* op, const auto* end, double* v) {
    for (; op != end; ++op) {
        double r = 1.0;
        if constexpr ((Mask & 1) != 0) r = (v[op->in[0]] * r) * op->p[0];
        if constexpr ((Mask & 2) != 0) r = (v[op->in[1]] * r) * op->p[1];
        if constexpr ((Mask & 4) != 0) r = (v[op->in[2]] * r) * op->p[2];
        v[op->dst] = r;
    }
}
} // namespace

CTape::CTape(COrventDoc& doc) : m_doc(doc) {
    m_clock = doc.Clock();
    m_stateCount = doc.IntegratingBlocks.size();
    for (CBlock* b : doc.IntegratingBlocks) {
        m_slotBlocks.push_back(b);
        m_values.push_back(b->Value);
    }
    m_zeroSlot = static_cast<std::int32_t>(m_values.size());
    m_slotBlocks.push_back(nullptr);
    m_values.push_back(0.0);
    m_clockSlot = static_cast<std::int32_t>(m_values.size());
    m_slotBlocks.push_back(m_clock);
    m_values.push_back(m_clock ? m_clock->Value : 0.0);
    const std::size_t firstAlgebraic = m_values.size();
    for (CBlock* b : doc.EvalOrder) {
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

    // A block is evaluated inline only when it is exactly the class the factory makes for its type
    // code, so a block of another class that borrows a code is computed by its own Compute.
    std::map<int, std::unique_ptr<CBlock>> prototypes;
    auto isFactoryClass = [&](const CBlock* b) {
        if (!IsInlineType(b->TypeId)) return false;
        auto it = prototypes.find(b->TypeId);
        if (it == prototypes.end()) it = prototypes.emplace(b->TypeId, doc.CreateBlock(b->TypeId)).first;
        return it->second && typeid(*it->second) == typeid(*b);
    };

    std::vector<bool> preloaded(m_values.size(), false);
    for (std::size_t j = 0; j < doc.EvalOrder.size(); ++j) {
        CBlock* b = doc.EvalOrder[j];
        const auto self = static_cast<std::int32_t>(firstAlgebraic + j);
        Op op{self, {slotOf(b->Inputs[0]), slotOf(b->Inputs[1]), slotOf(b->Inputs[2])},
              {b->Params[0], b->Params[1], b->Params[2]}};
        const int mask = InputMask(b);
        OpCode code = OP_COMPUTE;
        if (isFactoryClass(b)) {
            switch (b->TypeId) {
            case kSum: code = static_cast<OpCode>(OP_SUM + mask); break;
            case kMultiply: code = static_cast<OpCode>(OP_MUL + mask); break;
            case kGain: code = OP_GAIN; break;
            case kNegate: code = OP_NEGATE; break;
            case kAbsolute: code = OP_ABSOLUTE; break;
            case kOffset: code = OP_OFFSET; break;
            case kInteger: code = OP_INTEGER; break;
            case kSquareRoot: code = OP_SQRT; break;
            case kPower: code = OP_POWER; break;
            case kDivide: code = OP_DIVIDE; break;
            case kModulo: code = (mask & 2) ? OP_MODULO : OP_MODULO_PARAM; break;
            default: break;
            }
            // These read an unconnected input as 0.0.
            if (code >= OP_GAIN && code != OP_COMPUTE)
                for (std::int32_t& in : op.in)
                    if (in < 0) in = m_zeroSlot;
        }
        // An algebraic block read before its own turn in this pass holds its earlier value.
        preloaded.resize(m_values.size(), false);
        for (std::int32_t in : op.in) {
            const auto u = static_cast<std::size_t>(in);
            if (in >= self && u < firstAlgebraic + doc.EvalOrder.size() && !preloaded[u]) {
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
            op.in[code == OP_DIVIDE ? 2 : 0] = static_cast<std::int32_t>(m_fallbacks.size());
            m_fallbacks.push_back(f);
            // Its earlier value is the one it keeps when it reports.
            if (code == OP_DIVIDE && !preloaded[static_cast<std::size_t>(self)]) {
                preloaded[static_cast<std::size_t>(self)] = true;
                m_preloads.push_back({b, self});
            }
        }
        if (code == OP_COMPUTE) {
            ++m_computeCount;
        } else {
            ++m_inlineCount;
            m_writeBacks.push_back({b, self});
        }
        Append(code, op);
    }

    // Of the blocks a Compute reads, only the states and the inline blocks can be out of date.
    std::vector<bool> stale(m_values.size(), false);
    for (std::size_t i = 0; i < m_stateCount; ++i) stale[i] = true;
    for (const Link& w : m_writeBacks) stale[static_cast<std::size_t>(w.slot)] = true;
    std::vector<Link> kept;
    for (Fallback& f : m_fallbacks) {
        const auto begin = static_cast<std::uint32_t>(kept.size());
        for (std::uint32_t i = f.syncBegin; i < f.syncEnd; ++i)
            if (stale[static_cast<std::size_t>(m_syncs[i].slot)]) kept.push_back(m_syncs[i]);
        f.syncBegin = begin;
        f.syncEnd = static_cast<std::uint32_t>(kept.size());
    }
    m_syncs = std::move(kept);

    for (CBlock* b : doc.IntegratingBlocks) {
        const std::int32_t src = b->Inputs[0] ? slotOf(b->Inputs[0]) : m_zeroSlot;
        m_derivatives.push_back({src, b->Params[0]});
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

void CTape::BeginInterval() {
    for (const Link& l : m_preloads) m_values[static_cast<std::size_t>(l.slot)] = l.block->Value;
}

void CTape::WriteBack() {
    for (std::size_t i = 0; i < m_stateCount; ++i) m_slotBlocks[i]->Value = m_values[i];
    for (const Link& l : m_writeBacks) l.block->Value = m_values[static_cast<std::size_t>(l.slot)];
}

void CTape::RunCompute(const Fallback& f, std::int32_t slot) {
    double& value = m_values[static_cast<std::size_t>(slot)];
    for (std::uint32_t i = f.syncBegin; i < f.syncEnd; ++i)
        m_syncs[i].block->Value = m_values[static_cast<std::size_t>(m_syncs[i].slot)];
    f.block->Compute();
    value = f.block->Value;
}

bool CTape::Evaluate(double offset, double* y) {
    double* v = m_values.data();
    for (std::size_t i = 0; i < m_stateCount; ++i) v[i] = y[i];
    if (m_doc.Stopped) {
        WriteBack();
        return false;
    }
    const double t = m_doc.IntervalStart + offset;
    m_doc.CurrentTime = t;
    if (m_clock) m_clock->Value = t;
    v[m_clockSlot] = t;

    for (const Segment& seg : m_segments) {
        const Op* op = m_ops.data() + seg.begin;
        const Op* end = m_ops.data() + seg.end;
        switch (static_cast<int>(seg.code)) {
        case OP_SUM + 0: RunSum<0>(op, end, v); break;
        case OP_SUM + 1: RunSum<1>(op, end, v); break;
        case OP_SUM + 2: RunSum<2>(op, end, v); break;
        case OP_SUM + 3: RunSum<3>(op, end, v); break;
        case OP_SUM + 4: RunSum<4>(op, end, v); break;
        case OP_SUM + 5: RunSum<5>(op, end, v); break;
        case OP_SUM + 6: RunSum<6>(op, end, v); break;
        case OP_SUM + 7: RunSum<7>(op, end, v); break;
        case OP_MUL + 0: RunMultiply<0>(op, end, v); break;
        case OP_MUL + 1: RunMultiply<1>(op, end, v); break;
        case OP_MUL + 2: RunMultiply<2>(op, end, v); break;
        case OP_MUL + 3: RunMultiply<3>(op, end, v); break;
        case OP_MUL + 4: RunMultiply<4>(op, end, v); break;
        case OP_MUL + 5: RunMultiply<5>(op, end, v); break;
        case OP_MUL + 6: RunMultiply<6>(op, end, v); break;
        case OP_MUL + 7: RunMultiply<7>(op, end, v); break;
        case OP_GAIN:
            for (; op != end; ++op) v[op->dst] = v[op->in[0]] * op->p[0];
            break;
        case OP_NEGATE:
            for (; op != end; ++op) v[op->dst] = -(v[op->in[0]] * op->p[0]);
            break;
        case OP_ABSOLUTE:
            for (; op != end; ++op) v[op->dst] = std::fabs(v[op->in[0]]) * op->p[0];
            break;
        case OP_OFFSET:
            for (; op != end; ++op) v[op->dst] = v[op->in[0]] + op->p[0];
            break;
        case OP_INTEGER:
            for (; op != end; ++op) {
                const double x = v[op->in[0]] * op->p[0];
                v[op->dst] = x - std::fmod(x, 1.0);
            }
            break;
        case OP_SQRT:
            for (; op != end; ++op) {
                const double x = v[op->in[0]] * op->p[0];
                v[op->dst] = x >= 0 ? std::sqrt(std::fabs(x)) : -std::sqrt(std::fabs(x));
            }
            break;
        case OP_POWER:
            for (; op != end; ++op) {
                const double x = v[op->in[0]] * op->p[0];
                const double e = v[op->in[1]] * op->p[1];
                const double r = std::pow(std::fabs(x), e);
                v[op->dst] = x >= 0 ? r : -r;
            }
            break;
        case OP_DIVIDE:
            for (; op != end; ++op) {
                const double d = v[op->in[1]];
                const double z = d == 0.0 ? 1.0 : 0.0;
                // The zero divisor is reported by the block itself.
                // The block reports a zero divisor itself and keeps its earlier value.
                if (z * op->p[1] != 0.0) {
                    const Fallback& f = m_fallbacks[static_cast<std::size_t>(op->in[2])];
                    f.block->Value = v[op->dst];
                    RunCompute(f, op->dst);
                } else {
                    v[op->dst] = (v[op->in[0]] * op->p[0]) / (op->p[1] * d);
                }
            }
            break;
        case OP_MODULO:
            for (; op != end; ++op) {
                const double d = v[op->in[1]];
                v[op->dst] = d == 0.0 ? 0.0 : std::fmod(v[op->in[0]] * op->p[0], d);
            }
            break;
        case OP_MODULO_PARAM:
            for (; op != end; ++op) {
                const double d = op->p[1];
                v[op->dst] = d == 0.0 ? 0.0 : std::fmod(v[op->in[0]] * op->p[0], d);
            }
            break;
        case OP_COMPUTE:
            for (; op != end; ++op) RunCompute(m_fallbacks[static_cast<std::size_t>(op->in[0])], op->dst);
            break;
        default:
            break;
        }
    }

    for (std::size_t i = 0; i < m_stateCount; ++i) {
        const Derivative& d = m_derivatives[i];
        y[i] = v[d.source] * d.gain;
    }
    return true;
}
