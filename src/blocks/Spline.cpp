#include "blocks/Spline.h"

#include <algorithm>
#include <array>
#include <vector>

void SplineSetup(std::span<const double> y, std::span<const double> x, std::span<double> y2) {
    const std::size_t n = std::min({y.size(), x.size(), y2.size()});
    if (n == 0) return;
    // The Delay block fits at most four points; keep its evaluations free of allocation.
    std::array<double, 8> small{};
    std::vector<double> large;
    double* u = small.data();
    if (n > small.size()) {
        large.assign(n, 0.0);
        u = large.data();
    }
    y2[0] = 0.0;
    u[0] = 0.0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
        const double p = sig * y2[i - 1] + 2.0;
        y2[i] = (sig - 1.0) / p;
        u[i] = (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
        u[i] = (6.0 * u[i] / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
    }
    y2[n - 1] = 0.0;
    for (std::size_t k = n - 1; k-- > 0;)
        y2[k] = y2[k] * y2[k + 1] + u[k];
}

double SplineEvaluate(std::span<const double> y, std::span<const double> x, std::span<const double> y2,
                      double position) {
    const std::size_t n = y.size();
    if (n == 0 || x.size() != n || y2.size() != n) return 0.0;
    if (n == 1) return y[0];
    std::size_t lo = 0;
    std::size_t hi = n - 1;
    if (n > 2) {
        while (hi - lo > 1) {
            const std::size_t k = (hi + lo) / 2;
            if (x[k] > position)
                hi = k;
            else
                lo = k;
        }
    }
    const double h = x[hi] - x[lo];
    const double a = (x[hi] - position) / h;
    const double b = (position - x[lo]) / h;
    return a * y[lo] + b * y[hi] + ((a * a * a - a) * y2[lo] + (b * b * b - b) * y2[hi]) * (h * h) / 6.0;
}
