#pragma once
// Sums and products whose NaN result does not depend on the compiler.
//
// When both operands of an addition or multiplication are NaN, the processor returns one of them,
// and which one depends on the order in which the compiler hands the operands over: it may swap
// the operands of any sum or product, differently from one place or optimization level to the
// next. The arithmetic blocks and the compiled evaluation of a run (model/Tape.h) form their sums
// and products with these, so both give the same values to the last bit, NaN signs and payloads
// included: the first operand's NaN (made quiet) wins, then the second's, and an invalid operation
// on numbers (0 x inf, inf - inf) gives the processor's own NaN. Without a NaN they are plain IEEE
// arithmetic.

#include <bit>
#include <cstdint>

namespace kintra {

// x with its quiet bit set, as arithmetic returns a NaN operand.
inline double QuietNaN(double x) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(x) | std::uint64_t{0x0008000000000000});
}

// The NaN that a sum or product of a and b gives, when r, as the processor computed it, is one.
inline double FirstNaN(double a, double b, double r) {
    if (a != a) return QuietNaN(a);
    if (b != b) return QuietNaN(b);
    return r;
}

inline double Add(double a, double b) {
    const double r = a + b;
    return r == r ? r : FirstNaN(a, b, r);
}

inline double Mul(double a, double b) {
    const double r = a * b;
    return r == r ? r : FirstNaN(a, b, r);
}

} // namespace kintra
