#pragma once
// The passes of the fused integrator over the states, compiled once for each instruction set the
// processor may have and chosen when the program runs. Every kernel gives the same numbers to the
// last bit: element by element the same operations in the same order, with no fused multiply-add.

#include "model/Integration.h"
#include "model/RungeKutta.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What one pass reads and writes. After the evaluation of stage j the pass of stage j forms
// k(j) = H x derivative and, from the stage increments so far, the input of stage j + 1 in
// `states`; the pass of the last stage forms instead the solution in `yNew` and in `states`, and
// returns the largest magnitude of the error estimate over the states (NaN when one is not a
// number).
struct StagePassArgs {
    double H;
    std::size_t n;
    const double* yStart;
    double* k; // the stages' increments, n values each
    double* states;
    double* yNew;
    const double* dydt;
    const DerivativeRun* runs;
    std::size_t runCount;
};
using StagePass = double (*)(const StagePassArgs&);

// Element i of the input of stage `row` (row < stages) or of the solution (row == stages), formed
// with the sums and products of model/Arith.h: where two NaNs meet, the running sum's wins. The
// passes form a value again with it when it came out NaN.
double OrderedSum(const ButcherTableau& tableau, int row, const StagePassArgs& a, std::size_t i);

// A segment of Sum blocks with the same weights, none of which reads another: block j (0 <= j <
// count) writes out[j] = 0 + x0 w0 + x1 w1 + x2 w2 over the connected inputs of `mask`, where x_k
// is strided[k][j], or values[index[j * indexStride + k]] when strided[k] is null. A sum that comes
// out NaN is formed again by OrderedBlockSum.
struct SumSegmentArgs {
    const double* values;
    double* out;
    std::size_t count;
    const double* strided[3];
    const std::int32_t* index;
    std::size_t indexStride;
    double w[3];
    int mask;
};
using SumSegment = void (*)(const SumSegmentArgs&);
double OrderedBlockSum(const SumSegmentArgs& a, std::size_t j);

struct IntegratorKernel {
    const char* name;
    const StagePass* rk45; // one pass per stage
    const StagePass* rk78;
    const SumSegment* sums; // by mask
};

enum class KernelLevel { Sse2, Avx2, Avx512 };

// The kernels this processor can run, from the baseline up.
std::vector<KernelLevel> AvailableKernels();
const IntegratorKernel& Kernel(KernelLevel level);
const char* KernelName(KernelLevel level);

// The kernel runs use: the best the processor has, or the one the environment variable
// KINTRA_KERNEL names (sse2, avx2, avx512) when the processor has it, or the one forced here.
KernelLevel ActiveKernel();
// Forces a kernel for the runs that start from now on (tests); cleared with ClearForcedKernel.
void ForceKernel(KernelLevel level);
void ClearForcedKernel();

// The passes of a pair for a kernel; null for a tableau other than the two built in.
const StagePass* PassesOf(const IntegratorKernel& kernel, const ButcherTableau& tableau);
