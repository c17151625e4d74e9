#pragma once
// The Function Generator: a table of ordinates spread evenly from the lower to the upper bound
// and interpolated with a natural cubic spline; outside the bounds it holds the end values or,
// with "Extrapolation" nonzero, extends the spline's end tangents.

#include "blocks/BlockSetup.h"

#include <vector>

class CFunctionGeneratorBlock : public CBlock {
  public:
    CFunctionGeneratorBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    // Prepares the table for the run.
    int Initialize() override;
    void Compute() override;
    void CopyOwnSettings(const CBlock& source) override;

    // Builds Abscissas, SecondDerivatives and the end slopes from Ordinates and the bounds
    // (a connected bound input is stored into its parameter first). Leaves the table empty when
    // there are fewer than three ordinates or the upper bound is not above the lower one.
    void PrepareTable();
    // Replaces the table the user entered; the spline is prepared again on next use.
    void SetOrdinates(std::vector<double> ordinates);

    std::vector<double> Ordinates;         // saved
    std::vector<double> Abscissas;         // built by PrepareTable
    std::vector<double> SecondDerivatives; // built by PrepareTable
    double LowerSlope = 0.0;
    double UpperSlope = 0.0;

  private:
    // The bounds the table was built for.
    double m_builtUpper = 0.0;
    double m_builtLower = 0.0;
};
