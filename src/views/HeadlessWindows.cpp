#include "views/HeadlessWindows.h"

#include "chart/OrventView.h"
#include "model/OrventDoc.h"
#include "views/GraphView.h"
#include "views/ListView.h"

#include <algorithm>

HeadlessWindowHost::HeadlessWindowHost() = default;

HeadlessWindowHost::~HeadlessWindowHost() {
    // Views leave their documents as they go.
    while (!m_views.empty())
        m_views.pop_back();
}

CView* HeadlessWindowHost::Adopt(COrventDoc& doc, std::unique_ptr<CView> view) {
    CView* v = view.get();
    doc.AddView(v);
    m_views.push_back(std::move(view));
    v->OnInitialUpdate();
    return v;
}

CView* HeadlessWindowHost::OpenChartWindow(COrventDoc& doc) {
    return Adopt(doc, std::make_unique<COrventView>());
}
CView* HeadlessWindowHost::OpenGraphWindow(COrventDoc& doc) {
    return Adopt(doc, std::make_unique<CGraphBase>());
}
CView* HeadlessWindowHost::OpenListWindow(COrventDoc& doc) {
    return Adopt(doc, std::make_unique<CListBase>());
}

void HeadlessWindowHost::CloseWindow(CView& view) {
    std::erase_if(m_views, [&](const std::unique_ptr<CView>& v) { return v.get() == &view; });
}

void HeadlessWindowHost::CloseDocumentWindows(COrventDoc& doc) {
    std::erase_if(m_views, [&](const std::unique_ptr<CView>& v) { return v->GetDocument() == &doc; });
}
