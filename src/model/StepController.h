#pragma once
// The step-size control of the embedded Runge-Kutta pairs: an attempt passes when its error
// estimate is below the absolute tolerance, and the next step is h x 0.9 x (tolerance / err)^p,
// p being 1/order after a pass and 1/(order - 1) after a failure, with no bounds on the factor.
// An interval that the proposed step would cross in more than the allowed number of steps ends
// the run.

class CStepController {
  public:
    // `order` is that of the solution carried forward.
    CStepController(double tolerance, double maxSteps, int order);

    double Tolerance() const { return m_tolerance; }
    double MaxSteps() const { return m_maxSteps; }
    bool Accepts(double err) const { return err < m_tolerance; }
    // The step proposed after an attempt of size h with error estimate err.
    double NextStep(double err, double h) const;
    // How many steps of size h an interval of the given length needs, and whether that is more
    // than allowed.
    static double StepsNeeded(double interval, double h) { return interval / h; }
    bool TooManySteps(double stepsNeeded) const { return stepsNeeded > m_maxSteps; }

  private:
    double m_tolerance;
    double m_maxSteps;
    double m_safety = 0.9;
    double m_growExponent;
    double m_shrinkExponent;
};
