#include "platform/Document.h"

#include <algorithm>

CView::~CView() {
    if (m_document) m_document->RemoveView(this);
}

void CView::OnUpdate(CView*, long, UpdateObject) {}
void CView::OnDraw(DeviceContext&) {}
void CView::Serialize(CArchive&) {}

CDocument::~CDocument() {
    for (CView* v : m_views)
        v->m_document = nullptr;
}

void CDocument::AddView(CView* view) {
    if (view->m_document == this) return;
    if (view->m_document) view->m_document->RemoveView(view);
    m_views.push_back(view);
    view->m_document = this;
}

void CDocument::MoveViewToEnd(CView* view) {
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end()) return;
    m_views.erase(it);
    m_views.push_back(view);
}

void CDocument::RemoveView(CView* view) {
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end()) return;
    m_views.erase(it);
    view->m_document = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, long hint, UpdateObject object) {
    // A view may close itself while hearing the news; walk a copy and skip views that left.
    const std::vector<CView*> views = m_views;
    for (CView* v : views) {
        if (v == sender) continue;
        if (std::find(m_views.begin(), m_views.end(), v) == m_views.end()) continue;
        v->OnUpdate(sender, hint, object);
    }
}

bool CDocument::OnNewDocument() {
    m_pathName.clear();
    m_modified = false;
    return true;
}

void CDocument::Serialize(CArchive&) {}
