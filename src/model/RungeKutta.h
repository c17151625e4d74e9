#pragma once
// The two embedded Runge-Kutta pairs a model can choose: 4/5 (Cash-Karp, six stages) and 7/8
// (thirteen stages). Both carry the higher-order solution forward.

#include "model/Integrator.h"

class CRungeKutta45 : public CIntegrator {
  public:
    CRungeKutta45(std::size_t n, COrventDoc& doc);

  protected:
    void SetTableau() override;
};

class CRungeKutta78 : public CIntegrator {
  public:
    CRungeKutta78(std::size_t n, COrventDoc& doc);

  protected:
    void SetTableau() override;
};
