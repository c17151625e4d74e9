#include "model/OrventDoc.h"

// Connection lines are not routed yet; re-routing a block has nothing to do.
void COrventDoc::RerouteBlock(CBlock*) {}
