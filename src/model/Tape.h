#pragma once
// The model evaluation of one run compiled into a compact program.
//
// Every value the evaluation reads or writes has a slot in one array: the states of the
// integrating blocks first (in an order of the program's own, see StateBlock), then a constant zero, the
// Clock, the algebraic blocks and the other blocks they read. The algebraic blocks are evaluated in an
// order that depends on how the chart is linked, not on where its blocks were placed, and in which
// each block reads the same values as in EvalOrder (see CanonicalOrder). The simple arithmetic types
// are evaluated inline with the same operations, in the same order, as their own Compute (model/Arith.h fixes
// which NaN a sum or product keeps), so the results are identical to the last bit; every other type is
// computed by its own Compute, after the blocks it reads have been given their current values. The blocks'
// Value fields are otherwise brought up to date only by WriteBack, which the run calls whenever something
// outside the program may read them (a failure or stop, the end of the run, the source blocks of an output
// step, the record hooks, a window showing live values); the run records its output steps from Values().
//
// The states are ordered so that the derivatives of consecutive states lie in consecutive slots
// wherever the chart allows: the integrator then reads them in place, as runs (see Runs), and only
// the others are copied out by Evaluate. An integrating block whose input is another integrating
// block comes before it, so that a pass over the states in order reads a state before it forms
// the next stage's value there.

#include "model/Integration.h"
#include "model/IntegratorKernels.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CBlock;
class CRunModel;

class CTape {
  public:
    // Compiles the run model's EvalOrder and the derivatives of its IntegratingBlocks, as the run
    // lists stand now. The run lists and the blocks' links and parameters must not change while
    // the program is in use.
    explicit CTape(CRunModel& model);
    ~CTape();
    CTape(const CTape&) = delete;
    CTape& operator=(const CTape&) = delete;

    // Whether runs evaluate their model through a program (the default) or block by block.
    static bool Enabled;

    // Takes in what may have changed outside the program since the last evaluation: the values of
    // the blocks outside the run lists and of the algebraic blocks read before they are computed
    // (those evaluated inline only after a WriteBack: until then the program holds their values).
    void BeginInterval();
    // Where the caller puts the state of every integrating block before an evaluation.
    double* States() { return m_values.data(); }
    // The integrating block whose state is States()[i].
    CBlock* StateBlock(std::size_t i) const { return m_slotBlocks[i]; }
    // One evaluation at IntervalStart + offset of the states in States(), writing the derivatives
    // of the states outside the runs with a source (see Runs) to `derivatives`. Like the run model's
    // EvaluateDerivatives it sets CurrentTime and the Clock's value, and fails when the run is
    // stopped (after WriteBack).
    bool Evaluate(double offset, double* derivatives);
    // Where the derivatives lie after an evaluation: runs over all the states, in order.
    const DerivativeRun* Runs(std::size_t& count) const {
        count = m_runs.size();
        return m_runs.data();
    }
    // Stores the states and the values of the inline blocks of the last evaluation in the blocks,
    // once after each evaluation.
    void WriteBack();
    // Every value of the program, by slot.
    const double* Values() const { return m_values.data(); }
    // Whether the blocks were given the values of the last evaluation (WriteBack). Their Values
    // are then the newer ones: something may have computed them since.
    bool Written() const { return m_written; }
    // For each block, the slot of the program that holds its value after an evaluation (a state,
    // the Clock or an algebraic block), or -1 when the block's own Value holds it.
    std::vector<std::int32_t> ValueSlots(const std::vector<CBlock*>& blocks) const;

    std::size_t InlineCount() const { return m_inlineCount; }
    // How many Sum blocks are evaluated in loops over segments, and how many of their inputs are
    // read side by side (strided) rather than through the slot table.
    std::size_t BlocksInLoops() const;
    std::size_t StridedInputs() const;
    // How many states have their derivative read in place, in runs of at least kMinRun.
    std::size_t StatesInRuns() const { return m_statesInRuns; }
    static constexpr std::size_t kMinRun = 4;
    std::size_t FallbackCount() const { return m_computeCount; }

  private:
    enum OpCode : std::uint8_t {
        OP_SUM,     // + mask of the connected inputs (8 codes)
        OP_MUL = 8, // + mask (8 codes)
        OP_GAIN = 16,
        OP_NEGATE,
        OP_ABSOLUTE,
        OP_OFFSET,
        OP_INTEGER,
        OP_SQRT,
        OP_POWER,
        OP_DIVIDE,
        OP_MODULO,       // divisor from input 2
        OP_MODULO_PARAM, // divisor from parameter 2
        OP_COMPUTE,      // the block's own Compute
    };
    // One algebraic block. It writes the slot of its place in the evaluation order.
    struct Op {
        std::int32_t in[3]; // slots of the inputs (-1: not connected); a Divide, which ignores
                            // input 3, keeps its entry in m_fallbacks in in[2]
        std::int32_t aux;   // its parameters in m_params; for OP_COMPUTE its entry in m_fallbacks
    };
    struct Segment { // consecutive blocks of one code
        OpCode code;
        std::uint32_t begin;
        std::uint32_t end;
        // A segment evaluated as one loop: for Sums its entry in m_sumLoops, for a chain of Gains
        // where its gains begin in m_chainGains.
        std::int32_t loop = -1;
    };
    struct Link {
        CBlock* block;
        std::int32_t slot;
    };
    struct Fallback {
        CBlock* block;
        std::uint32_t syncBegin; // m_syncs: the blocks it reads whose values live here
        std::uint32_t syncEnd;
    };
    struct Derivative {
        std::int32_t state;
        std::int32_t source;
        double gain;
    };

    void Append(OpCode code, const Op& op);
    static std::vector<std::size_t> StateOrder(const std::vector<CBlock*>& states,
                                               const std::vector<CBlock*>& algebraic);
    void MakeRuns(const std::vector<std::int32_t>& sources, const std::vector<double>& gains);
    void MakeSumLoops(); // and the chains of Gains
    void RunCompute(const Fallback& f, double& value);
    // Moves the preloads of inline blocks to m_inlinePreloads.
    void SplitPreloads();
    template <class F> void ForEach(const Segment& seg, F f);
    // The program's order of the states and of EvalOrder, whose codes are given.
    static void CanonicalOrder(const CRunModel& model, const std::vector<OpCode>& codes,
                               std::vector<CBlock*>& states, std::vector<CBlock*>& algebraic);

    CRunModel& m_model;
    CBlock* m_clock = nullptr;
    std::size_t m_stateCount = 0;
    std::int32_t m_zeroSlot = 0;
    std::int32_t m_clockSlot = 0;
    std::size_t m_firstAlgebraic = 0;
    std::vector<double> m_values;
    std::vector<CBlock*> m_slotBlocks; // the block of each slot (null for the zero slot)
    std::vector<Op> m_ops;
    std::vector<Segment> m_segments;
    std::vector<std::array<double, 3>> m_params; // distinct parameter sets
    std::vector<Fallback> m_fallbacks;
    std::vector<Link> m_syncs;
    std::vector<Link> m_writeBacks; // inline blocks
    std::vector<Link> m_preloads;   // outside blocks and blocks read before they are computed
    // The derivatives Evaluate copies out: those with a gain other than 1, and those of gain 1
    // outside the runs (state m_unitGains[2j] takes the value of slot m_unitGains[2j + 1]).
    std::vector<Derivative> m_derivatives;
    std::vector<std::int32_t> m_unitGains;
    std::vector<DerivativeRun> m_runs;
    std::vector<SumSegmentArgs> m_sumLoops;
    std::vector<std::int32_t> m_sumIndex; // the input slots of the loops' blocks, three each
    const SumSegment* m_sumKernels = nullptr;
    std::vector<double> m_chainGains;
    std::size_t m_statesInRuns = 0;
    std::size_t m_inlineCount = 0;
    std::size_t m_computeCount = 0;
    std::vector<Link> m_inlinePreloads; // inline blocks read before they are computed
    bool m_written = true;              // the blocks hold the values of the last evaluation
};
