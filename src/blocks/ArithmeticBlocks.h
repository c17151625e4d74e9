#pragma once
// The arithmetic family: Sum, Multiply, Divide, Negate, Power, Square Root, Gain, Absolute,
// Integer, Modulo and Offset (algebraic), and the two constants Constant and Pi. None keeps state
// beyond Value and none writes more than the common record.

#include "blocks/BlockSetup.h"

// Value = sum of in_i × p_i over the connected inputs (0.0 with none).
KINTRA_DECLARE_BLOCK(CSumBlock);
// Value = running product (in_i × v) × p_i over the connected inputs (1.0 with none).
KINTRA_DECLARE_BLOCK(CMultiplyBlock);
// Value = (in1 × p1) / (p2 × in2); a zero input 2 with a nonzero p2 is a run-time error.
KINTRA_DECLARE_BLOCK(CDivideBlock);
KINTRA_DECLARE_BLOCK(CNegateBlock);
// Sign-preserving power: |in1 × p1| ^ (in2 × p2), negated for a negative base.
KINTRA_DECLARE_BLOCK(CPowerBlock);
// Sign-preserving square root of in1 × p1.
KINTRA_DECLARE_BLOCK(CSquareRootBlock);
KINTRA_DECLARE_BLOCK(CGainBlock);
KINTRA_DECLARE_BLOCK(CAbsoluteBlock);
KINTRA_DECLARE_BLOCK(CIntegerBlock);
KINTRA_DECLARE_BLOCK(CModuloBlock);
KINTRA_DECLARE_BLOCK(COffsetBlock);
// Constant and Pi compute in Initialize (they run once, at the start of a run).
KINTRA_DECLARE_BLOCK(CConstantBlock);
KINTRA_DECLARE_BLOCK(CPiBlock);
