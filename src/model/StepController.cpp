#include "model/StepController.h"

#include <cmath>

CStepController::CStepController(double tolerance, double maxSteps, int order)
    : m_tolerance(tolerance), m_maxSteps(maxSteps), m_growExponent(1.0 / static_cast<double>(order)),
      m_shrinkExponent(1.0 / static_cast<double>(order - 1)) {}

double CStepController::NextStep(double err, double h) const {
    const double p = err <= m_tolerance ? m_growExponent : m_shrinkExponent;
    return h * m_safety * std::fabs(std::pow(m_tolerance / err, p));
}
