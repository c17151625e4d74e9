#pragma once
// The passes of the fused integrator, written once for vectors of any width. Each
// IntegratorKernels<Set>.cpp defines KINTRA_KERNEL_NAMESPACE, KINTRA_KERNEL_NAME and
// KINTRA_KERNEL_WIDTH (doubles per vector), is compiled with its instruction set's flags and
// includes this file. Everything here has internal linkage, so that no function compiled for a
// wider set can stand in for one of the baseline's.
//
// Element by element every kernel makes the same operations in the same order as the integrator's
// plain sums: k = H x d; a stage input yStart + a0 k0 + a1 k1 + ...; the solution yStart + b0 k0 +
// ...; the error 0 + e1 (k1 - k0) + e2 (k2 - k0) + ...; coefficients that are zero are left out.
// Vectors only do several elements at once, so the numbers are those of the scalar sums.

#include "model/IntegratorKernels.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

namespace KINTRA_KERNEL_NAMESPACE {
namespace {

constexpr std::size_t W = KINTRA_KERNEL_WIDTH;
typedef double Vec __attribute__((vector_size(W * sizeof(double))));
typedef std::int64_t LaneMask __attribute__((vector_size(W * sizeof(double))));

template <class V> inline V Load(const double* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <class V> inline void Store(double* p, const V& v) {
    std::memcpy(p, &v, sizeof v);
}

// Row `stages` of a pair stands for the weights b, row `stages` + 1 for the error weights e.
template <const ButcherTableau& T, int Row, int M> constexpr double Coefficient() {
    if constexpr (Row == T.stages)
        return T.b[M];
    else if constexpr (Row == T.stages + 1)
        return T.e[M];
    else
        return T.A(Row, M);
}

// sum + C x term with C the pair's coefficient (Row, M), left out when C is zero. A factor of exactly
// 1 or -1 would be folded away by the compiler, changing what a NaN becomes, so the pairs must have
// none.
template <const ButcherTableau& T, int Row, int M, class V> inline void AddTerm(V& sum, const V& term) {
    constexpr double C = Coefficient<T, Row, M>();
    static_assert(C != 1.0 && C != -1.0);
    if constexpr (C != 0.0) sum = sum + C * term;
}

// Whether any lane of a mask (or a flag) is set.
template <class M> [[gnu::always_inline]] inline bool Any(const M& m) {
    if constexpr (std::is_same_v<M, bool>) {
        return m;
    } else {
        bool any = false;
        for (std::size_t w = 0; w < W; ++w)
            any |= m[w] != 0;
        return any;
    }
}

// One element (V = double) or one vector of elements from i on, d the derivatives there. The sums
// are formed with plain arithmetic; `sumNaN` notes whether one came out NaN.
template <const ButcherTableau& T, int J, class V, class M>
[[gnu::always_inline]] inline void Lane(const StagePassArgs& a, std::size_t i, const double* d, V& largest,
                                        M& notANumber, M& sumNaN) {
    constexpr int S = T.stages;
    const std::size_t n = a.n;
    const V kJ = a.H * Load<V>(d);
    Store(a.k + static_cast<std::size_t>(J) * n + i, kJ);
    auto stage = [&]<int Q>() -> V {
        if constexpr (Q == J)
            return kJ;
        else
            return Load<V>(a.k + static_cast<std::size_t>(Q) * n + i);
    };
    if constexpr (J + 1 < S) {
        V input = Load<V>(a.yStart + i);
        [&]<int... Q>(std::integer_sequence<int, Q...>) {
            (AddTerm<T, J + 1, Q>(input, stage.template operator()<Q>()), ...);
        }
        (std::make_integer_sequence<int, J + 1>{});
        Store(a.states + i, input);
        sumNaN |= input != input;
    } else {
        V y = Load<V>(a.yStart + i);
        [&]<int... Q>(std::integer_sequence<int, Q...>) {
            (AddTerm<T, S, Q>(y, stage.template operator()<Q>()), ...);
        }
        (std::make_integer_sequence<int, S>{});
        Store(a.yNew + i, y);
        Store(a.states + i, y);
        sumNaN |= y != y;
        // The first difference is zero and left out.
        const V k0 = stage.template operator()<0>();
        const V zero{};
        V e = zero;
        [&]<int... Q>(std::integer_sequence<int, Q...>) {
            ((Q > 0 ? AddTerm<T, S + 1, Q>(e, stage.template operator()<Q>() - k0) : void()), ...);
        }
        (std::make_integer_sequence<int, S>{});
        // |e|; a zero keeps its sign, which cannot change the maximum since that starts at +0.
        const V magnitude = e < zero ? -e : e;
        largest = magnitude > largest ? magnitude : largest;
        notANumber |= magnitude != magnitude;
    }
}

template <const ButcherTableau& T, int J> double Pass(const StagePassArgs& a) {
    Vec vectorLargest{};
    LaneMask vectorNaN{}, vectorSumNaN{};
    double largest = 0.0;
    bool notANumber = false, sumNaN = false;
    for (std::size_t r = 0; r < a.runCount; ++r) {
        const DerivativeRun& run = a.runs[r];
        const double* d = run.source ? run.source : a.dydt + run.begin;
        std::size_t i = run.begin;
        for (; i + W <= run.end; i += W, d += W)
            Lane<T, J, Vec, LaneMask>(a, i, d, vectorLargest, vectorNaN, vectorSumNaN);
        for (; i < run.end; ++i, ++d)
            Lane<T, J, double, bool>(a, i, d, largest, notANumber, sumNaN);
    }
    // A sum that came out NaN is formed again by OrderedSum, so that which NaN it is does not depend
    // on the order in which the compiler handed over the operands of an addition. Nothing in the
    // pass reads the stage inputs or the solution it forms.
    if (sumNaN || Any(vectorSumNaN)) {
        constexpr int Row = J + 1 < T.stages ? J + 1 : T.stages;
        double* to = J + 1 < T.stages ? a.states : a.yNew;
        for (std::size_t i = 0; i < a.n; ++i)
            if (to[i] != to[i]) a.states[i] = to[i] = OrderedSum(T, Row, a, i);
    }
    if constexpr (J + 1 == T.stages) {
        for (std::size_t w = 0; w < W; ++w) {
            const double l = vectorLargest[w];
            largest = l > largest ? l : largest;
        }
        notANumber |= Any(vectorNaN);
        return notANumber ? std::numeric_limits<double>::quiet_NaN() : largest;
    }
    return 0.0;
}

// Input k of blocks j .. j + width - 1 of a Sum segment.
template <class V> [[gnu::always_inline]] inline V SumInput(const SumSegmentArgs& a, std::size_t j, int k) {
    if (a.strided[k]) return Load<V>(a.strided[k] + j);
    if constexpr (std::is_same_v<V, double>) {
        return a.values[a.index[j * a.indexStride + static_cast<std::size_t>(k)]];
    } else {
        V x;
        for (std::size_t w = 0; w < W; ++w)
            x[w] = a.values[a.index[(j + w) * a.indexStride + static_cast<std::size_t>(k)]];
        return x;
    }
}

// The sums of a Sum block, 0 + x0 w0 + x1 w1 + x2 w2 over the connected inputs (the bits of Inputs), as its
// own Compute.
template <int Inputs, class V>
[[gnu::always_inline]] inline V BlockSum(const SumSegmentArgs& a, std::size_t j) {
    V sum{};
    if constexpr ((Inputs & 1) != 0) sum = sum + SumInput<V>(a, j, 0) * a.w[0];
    if constexpr ((Inputs & 2) != 0) sum = sum + SumInput<V>(a, j, 1) * a.w[1];
    if constexpr ((Inputs & 4) != 0) sum = sum + SumInput<V>(a, j, 2) * a.w[2];
    return sum;
}

// The sums are formed with plain arithmetic, and those that came out NaN again by OrderedBlockSum.
template <int Inputs> void SumSegmentOf(const SumSegmentArgs& a) {
    std::size_t j = 0;
    LaneMask vectorNaN{};
    bool notANumber = false;
    bool allStrided = true;
    for (int k = 0; k < 3; ++k)
        allStrided &= (Inputs & (1 << k)) == 0 || a.strided[k] != nullptr;
    if (allStrided) {
        // Every input side by side: the same sums without a test per input.
        const double *x0 = a.strided[0], *x1 = a.strided[1], *x2 = a.strided[2];
        const double w0 = a.w[0], w1 = a.w[1], w2 = a.w[2];
        for (; j + W <= a.count; j += W) {
            Vec sum{};
            if constexpr ((Inputs & 1) != 0) sum = sum + Load<Vec>(x0 + j) * w0;
            if constexpr ((Inputs & 2) != 0) sum = sum + Load<Vec>(x1 + j) * w1;
            if constexpr ((Inputs & 4) != 0) sum = sum + Load<Vec>(x2 + j) * w2;
            Store(a.out + j, sum);
            vectorNaN |= sum != sum;
        }
    }
    for (; j + W <= a.count; j += W) {
        const Vec sum = BlockSum<Inputs, Vec>(a, j);
        Store(a.out + j, sum);
        vectorNaN |= sum != sum;
    }
    for (; j < a.count; ++j) {
        const double sum = BlockSum<Inputs, double>(a, j);
        a.out[j] = sum;
        notANumber |= sum != sum;
    }
    if (notANumber || Any(vectorNaN))
        for (j = 0; j < a.count; ++j)
            if (a.out[j] != a.out[j]) a.out[j] = OrderedBlockSum(a, j);
}

template <const ButcherTableau& T, class Stages> struct Passes;
template <const ButcherTableau& T, int... J> struct Passes<T, std::integer_sequence<int, J...>> {
    static constexpr StagePass table[] = {&Pass<T, J>...};
};
using Passes45 = Passes<kRungeKutta45, std::make_integer_sequence<int, kRungeKutta45.stages>>;
using Passes78 = Passes<kRungeKutta78, std::make_integer_sequence<int, kRungeKutta78.stages>>;

} // namespace

const IntegratorKernel& Table() {
    static constexpr SumSegment sums[] = {nullptr,          &SumSegmentOf<1>, &SumSegmentOf<2>,
                                          &SumSegmentOf<3>, &SumSegmentOf<4>, &SumSegmentOf<5>,
                                          &SumSegmentOf<6>, &SumSegmentOf<7>};
    static constexpr IntegratorKernel kernel{KINTRA_KERNEL_NAME, Passes45::table, Passes78::table, sums};
    return kernel;
}

} // namespace KINTRA_KERNEL_NAMESPACE
