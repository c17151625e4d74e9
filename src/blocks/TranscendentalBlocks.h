#pragma once
// The transcendental family: Sine, Cosine, ArcTangent, Exponent, Log 10, Log e and Decibel.
// Angles are in radians; x = input 1 × parameter 1 throughout.

#include "blocks/BlockSetup.h"

KINTRA_DECLARE_BLOCK(CSineBlock);
KINTRA_DECLARE_BLOCK(CCosineBlock);
// atan2(in1 × p1, in2 × p1) with input 2 connected, else atan(in1 × p1); p2 is not used.
KINTRA_DECLARE_BLOCK(CArcTangentBlock);
KINTRA_DECLARE_BLOCK(CExponentBlock);
// Sign-preserving logarithms: 0 at 0, -log|x| for negative x.
KINTRA_DECLARE_BLOCK(CLog10Block);
KINTRA_DECLARE_BLOCK(CLogEBlock);
// 10 log10(x²), 0 at 0.
KINTRA_DECLARE_BLOCK(CDecibelBlock);
