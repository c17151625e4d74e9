#include "model/ChartHistory.h"

#include <utility>

void CChartHistory::Record(std::string label, Bytes before) {
    for (const Step& s : m_redo)
        m_size -= s.Image.size();
    m_redo.clear();
    m_size += before.size();
    m_undo.push_back({std::move(label), std::move(before), m_state});
    m_state = m_nextState++;
    Trim();
}

CChartHistory::Bytes CChartHistory::TakeUndo(Bytes current) {
    if (m_undo.empty()) return {};
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    m_size -= step.Image.size();
    m_size += current.size();
    m_redo.push_back({step.Label, std::move(current), m_state});
    m_state = step.State;
    Trim();
    return std::move(step.Image);
}

CChartHistory::Bytes CChartHistory::TakeRedo(Bytes current) {
    if (m_redo.empty()) return {};
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    m_size -= step.Image.size();
    m_size += current.size();
    m_undo.push_back({step.Label, std::move(current), m_state});
    m_state = step.State;
    Trim();
    return std::move(step.Image);
}

void CChartHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_size = 0;
    m_state = m_savedState = m_nextState++;
}

// The oldest undo steps go first, then the farthest redo steps; the nearest of each stays.
void CChartHistory::Trim() {
    while ((m_size > m_budget || m_undo.size() > kMaxSteps) && m_undo.size() > 1) {
        m_size -= m_undo.front().Image.size();
        m_undo.pop_front();
    }
    while ((m_size > m_budget || m_redo.size() > kMaxSteps) && m_redo.size() > 1) {
        m_size -= m_redo.front().Image.size();
        m_redo.pop_front();
    }
}
