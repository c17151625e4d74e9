#pragma once
// Options > Sweep...: one parameter of one block over a range, run in the background, each run a
// copy of the chart; the runs are drawn in the chart's graph windows as earlier runs, labelled by
// the parameter's value. The chart itself, and its histories, stay as they were.

#include "model/Sweep.h"
#include "views/GraphView.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class COrventDoc;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

class CSweepDialog : public QDialog {
    Q_OBJECT
  public:
    CSweepDialog(COrventDoc& doc, QWidget* parent);
    ~CSweepDialog() override;

    // The dialog on `doc`, until the user closes it.
    static void Run(COrventDoc& doc, QWidget* parent);
    // Called with the dialog once it is shown (lets tests work it).
    static std::function<void(CSweepDialog&)> Shown;

    QComboBox* BlockBox() const { return m_block; }
    QComboBox* ParameterBox() const { return m_parameter; }
    QLineEdit* FromEdit() const { return m_from; }
    QLineEdit* ToEdit() const { return m_to; }
    QSpinBox* CountBox() const { return m_count; }
    QPushButton* StartButton() const { return m_start; }
    QPushButton* CancelButton() const { return m_cancel; }
    QProgressBar* Progress() const { return m_progress; }
    QLabel* Status() const { return m_status; }
    bool IsSweeping() const { return m_worker.joinable(); }

    // Starts the sweep the controls describe; false (with the reason shown) when they describe
    // none.
    bool Start();

    // Close: a sweep under way is cancelled first.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FillParameters();
    void Finished(bool complete, const QString& error);
    // Cancels a sweep under way and waits for its thread.
    void StopWorker();

    COrventDoc& m_doc;
    // The blocks the list offers, in its order.
    std::vector<const CBlock*> m_blocks;
    QComboBox* m_block;
    QComboBox* m_parameter;
    QLineEdit* m_from;
    QLineEdit* m_to;
    QSpinBox* m_count;
    QPushButton* m_start;
    QPushButton* m_cancel;
    QProgressBar* m_progress;
    QLabel* m_status;

    // For every graph window of the chart: its view and the places of its X source and graphs
    // 1..3 in the chart's blocks (-1: none).
    struct GraphTarget {
        CGraphBase* graph;
        std::array<int, 4> blocks;
    };
    std::vector<GraphTarget> m_targets;
    // Filled by the sweep's thread, one list per target.
    std::mutex m_mutex;
    std::vector<std::vector<CGraphBase::EarlierRun>> m_runs;
    std::atomic<bool> m_cancelRequested{false};
    std::thread m_worker;
};
