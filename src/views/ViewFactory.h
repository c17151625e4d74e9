#pragma once
// Views by the class names chart files carry.

#include <memory>
#include <string>

class CView;

// A new chart, graph or list view for "COrventView", "CGraphBase" or "CListBase"; null for any
// other name.
std::unique_ptr<CView> CreateChartFileView(const std::string& className);
