#include "SweepDialog.h"

#include "model/OrventDoc.h"
#include "model/SweepOutput.h"
#include "views/HeadlessWindows.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

using namespace kintra;

std::function<void(CSweepDialog&)> CSweepDialog::Shown;

namespace {

// Hands every finished run to the graph windows' lists: for each, the X and Y values of its
// graphs, labelled "NAME.pN = VALUE".
class GraphSink : public SweepSink {
  public:
    GraphSink(std::string label, std::vector<std::array<int, 4>> targets, std::mutex& mutex,
              std::vector<std::vector<CGraphBase::EarlierRun>>& runs)
        : m_label(std::move(label)), m_targets(std::move(targets)), m_mutex(mutex), m_runs(runs) {}
    void Begin(const SweepHeader& header) override { m_blocks = header.BlockNames.size(); }
    void Write(const SweepRun& run) override {
        std::string label = m_label + " = " + ExactNumber(run.Values.front());
        if (run.Status != SweepStatus::Completed)
            label.append(" (").append(SweepStatusName(run.Status)).append(")");
        for (std::size_t t = 0; t < m_targets.size(); ++t) {
            const std::array<int, 4>& blocks = m_targets[t];
            CGraphBase::EarlierRun earlier;
            earlier.Label = label;
            for (std::size_t k = 1; k < 4 && blocks[0] >= 0; ++k) {
                if (blocks[k] < 0) continue;
                for (std::size_t s = 0; s < run.Samples; ++s) {
                    earlier.X[k].push_back(run.Histories[s * m_blocks + static_cast<std::size_t>(blocks[0])]);
                    earlier.Y[k].push_back(run.Histories[s * m_blocks + static_cast<std::size_t>(blocks[k])]);
                }
            }
            std::lock_guard lock(m_mutex);
            m_runs[t].push_back(std::move(earlier));
        }
    }

  private:
    std::string m_label;
    std::vector<std::array<int, 4>> m_targets;
    std::mutex& m_mutex;
    std::vector<std::vector<CGraphBase::EarlierRun>>& m_runs;
    std::size_t m_blocks = 0;
};

} // namespace

CSweepDialog::CSweepDialog(COrventDoc& doc, QWidget* parent) : QDialog(parent), m_doc(doc) {
    setObjectName(QStringLiteral("SweepDialog"));
    setWindowTitle(QStringLiteral("Sweep"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Runs copies of the chart with one parameter taking evenly spaced "
                                  "values,\nand draws them in the graph windows as earlier runs."),
                   this));
    auto* form = new QFormLayout;
    m_block = new QComboBox(this);
    m_parameter = new QComboBox(this);
    m_from = new QLineEdit(this);
    m_to = new QLineEdit(this);
    m_count = new QSpinBox(this);
    m_count->setRange(2, 1000);
    m_count->setValue(5);
    form->addRow(QStringLiteral("&Block:"), m_block);
    form->addRow(QStringLiteral("&Parameter:"), m_parameter);
    form->addRow(QStringLiteral("&From:"), m_from);
    form->addRow(QStringLiteral("&To:"), m_to);
    form->addRow(QStringLiteral("&Runs:"), m_count);
    layout->addLayout(form);
    m_progress = new QProgressBar(this);
    m_progress->setValue(0);
    layout->addWidget(m_progress);
    m_status = new QLabel(this);
    layout->addWidget(m_status);
    auto* buttons = new QDialogButtonBox(this);
    m_start = buttons->addButton(QStringLiteral("&Start"), QDialogButtonBox::ActionRole);
    m_cancel = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    // Every block but the Clock's hidden companions, each name once (a sweep sets the first block
    // of a name, as kintra-cli does).
    for (const auto& b : m_doc.Blocks) {
        if (b->Kind == BK_COMPANION) continue;
        if (std::any_of(m_blocks.begin(), m_blocks.end(),
                        [&](const CBlock* o) { return o->Name == b->Name; }))
            continue;
        m_blocks.push_back(b.get());
        m_block->addItem(QString::fromStdString(b->Name));
    }
    connect(m_block, &QComboBox::currentIndexChanged, this, [this] { FillParameters(); });
    connect(m_parameter, &QComboBox::currentIndexChanged, this, [this](int p) {
        const int b = m_block->currentIndex();
        if (b < 0 || p < 0) return;
        const double v = m_blocks[static_cast<std::size_t>(b)]->Params[static_cast<std::size_t>(p)];
        m_from->setText(QString::fromStdString(ExactNumber(v == 0 ? 0.0 : v / 2)));
        m_to->setText(QString::fromStdString(ExactNumber(v == 0 ? 1.0 : v * 1.5)));
    });
    connect(m_start, &QPushButton::clicked, this, [this] { Start(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (IsSweeping())
            m_cancelRequested = true;
        else
            reject();
    });
    // The block after the Clock is the likelier choice.
    FillParameters();
    if (m_blocks.size() > 1) m_block->setCurrentIndex(1);
}

CSweepDialog::~CSweepDialog() {
    StopWorker();
}

void CSweepDialog::Run(COrventDoc& doc, QWidget* parent) {
    CSweepDialog dialog(doc, parent);
    dialog.exec();
}

void CSweepDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (Shown) Shown(*this);
}

void CSweepDialog::FillParameters() {
    m_parameter->clear();
    const int b = m_block->currentIndex();
    if (b < 0) return;
    const CBlock* block = m_blocks[static_cast<std::size_t>(b)];
    for (int p = 0; p < std::clamp(block->ParamsShown, 0, 3); ++p)
        m_parameter->addItem(QStringLiteral("p%1: %2").arg(p + 1).arg(
            QString::fromStdString(block->ParamLabels[static_cast<std::size_t>(p)])));
}

bool CSweepDialog::Start() {
    if (IsSweeping()) return false;
    const int b = m_block->currentIndex();
    const int p = m_parameter->currentIndex();
    if (b < 0 || p < 0) {
        m_status->setText(QStringLiteral("Choose a block and one of its parameters."));
        return false;
    }
    SweepPlan plan;
    try {
        SweepAxis axis =
            ParseSweepAxis("x.p1=" + m_from->text().trimmed().toStdString() + ":" +
                           m_to->text().trimmed().toStdString() + ":" + std::to_string(m_count->value()));
        axis.block = m_blocks[static_cast<std::size_t>(b)]->Name;
        axis.param = p;
        plan.Axes = {axis};
    } catch (const SweepError& e) {
        m_status->setText(QString::fromStdString(e.what()).replace(QStringLiteral("x.p1="), QString()));
        return false;
    }

    m_targets.clear();
    std::vector<std::array<int, 4>> places;
    auto placeOf = [&](const CBlock* block) {
        for (std::size_t i = 0; i < m_doc.Blocks.size(); ++i)
            if (m_doc.Blocks[i].get() == block) return static_cast<int>(i);
        return -1;
    };
    for (CView* v : m_doc.Views())
        if (auto* graph = dynamic_cast<CGraphBase*>(v)) {
            GraphTarget t{graph, {-1, -1, -1, -1}};
            for (int k = 0; k <= std::clamp(graph->LastTrace, 0, 3); ++k)
                t.blocks[static_cast<std::size_t>(k)] = placeOf(graph->Traces[static_cast<std::size_t>(k)]);
            m_targets.push_back(t);
            places.push_back(t.blocks);
        }
    m_runs.assign(m_targets.size(), {});
    m_cancelRequested = false;
    m_progress->setRange(0, m_count->value());
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("Running..."));
    m_start->setEnabled(false);
    m_cancel->setText(QStringLiteral("Cancel"));

    const std::string label = plan.Axes.front().Label();
    std::vector<std::uint8_t> chart = m_doc.Snapshot();
    m_worker = std::thread([this, chart = std::move(chart), plan, label, places]() mutable {
        SweepOptions options;
        options.MakeWindows = [] { return std::make_unique<HeadlessWindowHost>(); };
        options.Cancel = &m_cancelRequested;
        options.Progress = [this](std::uint64_t done, std::uint64_t) {
            QMetaObject::invokeMethod(
                this, [this, done] { m_progress->setValue(static_cast<int>(done)); }, Qt::QueuedConnection);
        };
        GraphSink sink(label, places, m_mutex, m_runs);
        bool complete = false;
        QString error;
        try {
            complete = RunSweep(chart, plan, options, sink);
        } catch (const SweepError& e) {
            error = QString::fromStdString(e.what());
        }
        QMetaObject::invokeMethod(
            this, [this, complete, error] { Finished(complete, error); }, Qt::QueuedConnection);
    });
    return true;
}

void CSweepDialog::Finished(bool complete, const QString& error) {
    if (m_worker.joinable()) m_worker.join();
    m_start->setEnabled(true);
    m_cancel->setText(QStringLiteral("Close"));
    std::size_t shown = 0;
    {
        std::lock_guard lock(m_mutex);
        for (std::size_t t = 0; t < m_targets.size(); ++t) {
            shown = m_runs[t].size();
            m_targets[t].graph->ShowOtherRuns(std::move(m_runs[t]));
        }
        m_runs.clear();
    }
    if (!error.isEmpty())
        m_status->setText(error);
    else if (m_targets.empty())
        m_status->setText(
            QStringLiteral("The runs are done, but the chart has no graph window to show them."));
    else
        m_status->setText(complete ? QStringLiteral("%1 runs shown in the graph windows.").arg(shown)
                                   : QStringLiteral("Cancelled: the %1 runs done are shown.").arg(shown));
}

void CSweepDialog::StopWorker() {
    if (!m_worker.joinable()) return;
    m_cancelRequested = true;
    m_worker.join();
}

void CSweepDialog::reject() {
    StopWorker();
    QDialog::reject();
}
