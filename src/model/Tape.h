#pragma once
// The model evaluation of one run compiled into a compact program.
//
// Every value the evaluation reads or writes has a slot in one array: the states of the
// integrating blocks first, then a constant zero, the Clock, the algebraic blocks in evaluation
// order and the other blocks they read. The simple arithmetic types are evaluated inline with the
// same operations, in the same order, as their own Compute, so the results are identical to the
// last bit; every other type is computed by its own Compute, after the blocks it reads have been
// given their current values. The blocks' Value fields are otherwise brought up to date only by
// WriteBack, which the integrator calls whenever something outside the program may read them
// (the end of an interval, a failure).

#include <cstddef>
#include <cstdint>
#include <vector>

class CBlock;
class COrventDoc;

class CTape {
public:
    // Compiles the document's EvalOrder and the derivatives of its IntegratingBlocks, as the run
    // lists stand now. The run lists and the blocks' links and parameters must not change while
    // the program is in use.
    explicit CTape(COrventDoc& doc);
    ~CTape();
    CTape(const CTape&) = delete;
    CTape& operator=(const CTape&) = delete;

    // Whether runs evaluate their model through a program (the default) or block by block.
    static bool Enabled;

    // Takes in what may have changed outside the program since the last evaluation: the values of
    // the blocks outside the run lists and of the algebraic blocks read before they are computed.
    void BeginInterval();
    // One evaluation at IntervalStart + offset: y holds the state of every integrating block on
    // entry and its derivative on return. Like the document's EvaluateDerivatives it sets
    // CurrentTime and the Clock's value, and fails when the run is stopped (after WriteBack).
    bool Evaluate(double offset, double* y);
    // Stores the states and the values of the inline blocks of the last evaluation in the blocks.
    void WriteBack();

    std::size_t InlineCount() const { return m_inlineCount; }
    std::size_t FallbackCount() const { return m_computeCount; }

private:
    enum OpCode : std::uint8_t {
        OP_SUM,      // + mask of the connected inputs (8 codes)
        OP_MUL = 8,  // + mask (8 codes)
        OP_GAIN = 16,
        OP_NEGATE,
        OP_ABSOLUTE,
        OP_OFFSET,
        OP_INTEGER,
        OP_SQRT,
        OP_POWER,
        OP_DIVIDE,
        OP_MODULO,        // divisor from input 2
        OP_MODULO_PARAM,  // divisor from parameter 2
        OP_COMPUTE,       // the block's own Compute
    };
    struct Op {
        std::int32_t dst;
        std::int32_t in[3]; // slots of the inputs (-1: not connected); the index of the block in
                            // m_fallbacks replaces in[0] for OP_COMPUTE and in[2] for OP_DIVIDE
        double p[3];
    };
    struct Segment {
        OpCode code;
        std::uint32_t begin;
        std::uint32_t end;
    };
    struct Link {
        CBlock* block;
        std::int32_t slot;
    };
    struct Fallback {
        CBlock* block;
        std::uint32_t syncBegin; // m_syncs: the managed blocks it reads
        std::uint32_t syncEnd;
    };
    struct Derivative {
        std::int32_t source;
        double gain;
    };

    void Append(OpCode code, const Op& op);
    void RunCompute(const Fallback& f, std::int32_t slot);

    COrventDoc& m_doc;
    CBlock* m_clock = nullptr;
    std::size_t m_stateCount = 0;
    std::int32_t m_zeroSlot = 0;
    std::int32_t m_clockSlot = 0;
    std::vector<double> m_values;
    std::vector<CBlock*> m_slotBlocks; // the block of each slot (null for the zero slot)
    std::vector<Op> m_ops;
    std::vector<Segment> m_segments;
    std::vector<Fallback> m_fallbacks;
    std::vector<Link> m_syncs;
    std::vector<Link> m_writeBacks; // inline blocks
    std::vector<Link> m_preloads;   // outside blocks and blocks read before they are computed
    std::vector<Derivative> m_derivatives;
    std::size_t m_inlineCount = 0;
    std::size_t m_computeCount = 0;
};
