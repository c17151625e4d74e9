#include "model/Solver.h"

#include "model/ClockBlock.h"
#include "model/Integrator.h"
#include "model/RunModel.h"
#include "model/Tape.h"
#include "platform/Text.h"

#include <cmath>
#include <string>
#include <vector>

// The run model as the integrator sees it: the states are the Values of the integrating blocks,
// the derivatives those the run model (or its compiled program) evaluates.
class CSolver::Model : public CDerivatives {
  public:
    Model(CRunModel& model, std::size_t n, bool useTape) : m_model(model), m_states(n, 0.0) {
        m_blocks = model.IntegratingBlocks;
        m_blocks.resize(n, nullptr);
        if (useTape) {
            // The program keeps the states in an order of its own.
            m_tape = std::make_unique<CTape>(model);
            for (std::size_t i = 0; i < n; ++i)
                m_blocks[i] = m_tape->StateBlock(i);
        }
    }

    // Nothing between two intervals changes an integrating block's state, so the program's
    // states stay in the integrator; the blocks' Values are read only at the start of the run
    // (and on the plain path, which keeps every value in the blocks).
    bool BeginInterval(double* y, bool resumed) override {
        if (m_tape) {
            m_tape->BeginInterval();
            if (resumed) return false;
        }
        for (std::size_t i = 0; i < m_blocks.size(); ++i)
            y[i] = m_blocks[i] ? m_blocks[i]->Value : 0.0;
        return true;
    }
    // The program reads the states in its own array.
    double* States() override { return m_tape ? m_tape->States() : m_states.data(); }
    bool Evaluate(double offset, double* dydt) override {
        if (m_tape) return m_tape->Evaluate(offset, dydt);
        for (std::size_t i = 0; i < m_blocks.size(); ++i)
            if (m_blocks[i]) m_blocks[i]->Value = m_states[i];
        return m_model.EvaluateDerivatives(offset, dydt);
    }
    void Publish() override {
        if (m_tape) m_tape->WriteBack();
    }
    const DerivativeRun* Runs(std::size_t& count) const override {
        if (m_tape) return m_tape->Runs(count);
        count = 0;
        return nullptr;
    }
    const CTape* Tape() const { return m_tape.get(); }

  private:
    CRunModel& m_model;
    std::vector<CBlock*> m_blocks;
    std::vector<double> m_states;
    std::unique_ptr<CTape> m_tape;
};

CSolver::CSolver(CRunModel& model, int intStyle, std::size_t stateCount, bool useTape) : m_run(model) {
    CBlock* clock = model.Clock();
    const double tolerance = clock ? clock->Params[0] : model.ErrorLimit;
    if (auto* cb = dynamic_cast<CClockBlock*>(clock)) {
        m_errorCompanion = cb->ErrorCompanion;
        m_countCompanion = cb->CountCompanion;
    }
    const ButcherTableau& tableau = TableauOfStyle(intStyle);
    // The program takes every integrating block.
    useTape = useTape && stateCount == model.IntegratingBlocks.size();
    m_model = std::make_unique<Model>(model, stateCount, useTape);
    m_integrator = std::make_unique<CIntegrator>(
        tableau, CStepController(tolerance, model.MaxSteps, tableau.order), stateCount, useTape);
}

CSolver::~CSolver() = default;

const IntegratorStatistics& CSolver::Statistics() const {
    return m_integrator->Statistics();
}

const CTape* CSolver::Tape() const {
    return m_model->Tape();
}

void CSolver::PublishValues() {
    m_model->Publish();
}

IntervalResult CSolver::AdvanceInterval(double stepSize, double outputInterval) {
    const IntervalResult r = m_integrator->AdvanceInterval(*m_model, stepSize, outputInterval);
    switch (r.status) {
    case IntervalStatus::Completed:
        if (m_errorCompanion) m_errorCompanion->Value = r.largestError;
        if (m_countCompanion) m_countCompanion->Value = r.attempts;
        break;
    case IntervalStatus::Stopped:
        break;
    case IntervalStatus::TooManySteps:
        m_run.RunTimeError("Excessive integration steps (" + FormatString("%.0f", std::trunc(r.stepsNeeded)) +
                           ") at time " + FormatString("%g", m_run.CurrentTime));
        break;
    case IntervalStatus::NotANumber:
        m_run.RunTimeError("Integration error: a value is not a number at time " +
                           FormatString("%g", m_run.CurrentTime));
        break;
    }
    return r;
}

std::unique_ptr<CSolver> CreateSolver(CRunModel& model, int intStyle, std::size_t stateCount) {
    return std::make_unique<CSolver>(model, intStyle, stateCount, CTape::Enabled);
}
