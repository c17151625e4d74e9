#include "model/OrventDoc.h"

// The chart file is not written yet.
void COrventDoc::Serialize(CArchive&) {}
