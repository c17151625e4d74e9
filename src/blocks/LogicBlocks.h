#pragma once
// The Logic palette: the gates AND, Exclusive OR and Inclusive OR, the selector Relay, the run
// terminator Quit and the sample-and-hold Zero Order Hold. An input is true when it is connected
// and its value times its parameter is above 0; outputs are 1.0 and 0.0.

#include "blocks/BlockSetup.h"

KINTRA_DECLARE_BLOCK(CAndBlock);
KINTRA_DECLARE_BLOCK(CExclusiveOrBlock);
KINTRA_DECLARE_BLOCK(CInclusiveOrBlock);
// Input 1 ("On") when input 3 ("Switch") is above parameter 1 ("Test"), else input 2 ("Off").
KINTRA_DECLARE_BLOCK(CRelayBlock);
// Ends the run (normally, without a message) unless the limit ≤ input 1 × gain. No output.
KINTRA_DECLARE_BLOCK(CQuitBlock);
// Holds its sample in parameter 2 ("Current Hold"), taking a new one whenever the sample is
// above the limit.
KINTRA_DECLARE_BLOCK(CZeroOrderHoldBlock);
