#pragma once
// The Undo and Redo history of one chart: for every change, the chart as it was saved before
// (undo) or after (redo) it, with the change's name. A step holds the chart's file image, so
// undoing it brings back everything the file keeps: blocks, lines, settings, windows and the
// histories of a run.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class CChartHistory {
  public:
    using Bytes = std::vector<std::uint8_t>;

    // At most this many steps are kept in each direction.
    static constexpr std::size_t kMaxSteps = 1000;
    // Older steps are dropped while all images together are larger than this; the step next to
    // the current chart in each direction is kept whatever its size, so the last change (a long
    // run too) can always be undone.
    static constexpr std::size_t kDefaultBudget = 64u << 20;

    explicit CChartHistory(std::size_t budget = kDefaultBudget) : m_budget(budget) {}

    // A change named `label` turned the chart from `before` into a new state; the redo steps go.
    void Record(std::string label, Bytes before);
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The name of the change Undo or Redo would take back or make again (empty when none).
    std::string UndoLabel() const { return m_undo.empty() ? std::string() : m_undo.back().Label; }
    std::string RedoLabel() const { return m_redo.empty() ? std::string() : m_redo.back().Label; }
    // Undo: the image to restore; `current` (the chart now) becomes the redo step. Redo likewise.
    Bytes TakeUndo(Bytes current);
    Bytes TakeRedo(Bytes current);

    // The chart now is the one in its file (just opened or saved).
    void MarkSaved() { m_savedState = m_state; }
    bool IsAtSavedState() const { return m_state == m_savedState; }
    // Forgets every step (a new chart or a file read into the document).
    void Clear();

    std::size_t UndoCount() const { return m_undo.size(); }
    std::size_t RedoCount() const { return m_redo.size(); }
    // Bytes held by all steps.
    std::size_t Size() const { return m_size; }

  private:
    struct Step {
        std::string Label;
        Bytes Image;
        std::uint64_t State = 0; // the state the image is of
    };
    void Trim();

    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    std::size_t m_size = 0;
    std::size_t m_budget;
    // Every state of the chart gets its own number; the saved one is remembered.
    std::uint64_t m_state = 0;
    std::uint64_t m_savedState = 0;
    std::uint64_t m_nextState = 1;
};
