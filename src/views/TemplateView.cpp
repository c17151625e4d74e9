#include "views/TemplateView.h"

#include "model/ClockBlock.h"
#include "model/OrventDoc.h"

#include <climits>
#include <cstdint>
#include <unordered_map>

CTemplateView::~CTemplateView() = default;

COrventDoc* CTemplateView::GetDocument() const {
    return dynamic_cast<COrventDoc*>(CView::GetDocument());
}

int CTemplateView::RecordedCount() const {
    const COrventDoc* doc = GetDocument();
    if (!doc || doc->Blocks.empty()) return 0;
    const std::size_t n = doc->Blocks.front()->HistorySize();
    return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

void CTemplateView::Invalidate() {
    if (m_window) m_window->Invalidate();
}

void CTemplateView::SetCaption(const std::string& title) {
    if (m_window) m_window->SetCaption(title);
}

std::vector<CBlock*> CTemplateView::ResolvePositions(const std::vector<CPoint>& positions) const {
    std::vector<CBlock*> found(positions.size(), nullptr);
    const COrventDoc* doc = GetDocument();
    if (!doc || positions.empty()) return found;
    auto key = [](const CPoint& p) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.x)) << 32) |
               static_cast<std::uint32_t>(p.y);
    };
    std::unordered_map<std::uint64_t, CBlock*> byPosition;
    byPosition.reserve(doc->Blocks.size());
    for (const auto& b : doc->Blocks)
        byPosition[key(b->Position)] = b.get();
    const auto* clock = dynamic_cast<const CClockBlock*>(doc->Clock());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        auto it = byPosition.find(key(positions[i]));
        if (it != byPosition.end())
            found[i] = it->second;
        else if (clock)
            // Charts saved after their Clock had moved still name its companions where they began.
            found[i] = clock->CompanionLeftAt(positions[i]);
    }
    return found;
}
