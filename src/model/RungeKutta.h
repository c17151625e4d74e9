#pragma once
// The two embedded Runge-Kutta pairs a model can choose, as constant data: 4/5 (Cash-Karp, six
// stages) and 7/8 (thirteen stages). Both carry the higher-order solution forward.

#include <cstddef>
#include <iterator>

// An explicit embedded pair. Stages are numbered from 0; a holds the rows below the diagonal,
// packed: row j (1 .. stages-1) has the j entries a(j, 0 .. j-1), starting at j(j-1)/2. e is the
// difference of the carried weights b from the embedded ones, so an error estimate is
// sum(e(j) k(j)).
struct ButcherTableau {
    int stages;
    int order; // of the solution carried forward
    const double* c;
    const double* a;
    const double* b;
    const double* e;

    constexpr double A(int j, int m) const {
        return m < j ? a[static_cast<std::size_t>(j * (j - 1) / 2 + m)] : 0.0;
    }
};

namespace rk45 {
inline constexpr double c[] = {0.0, 1.0 / 5.0, 3.0 / 10.0, 3.0 / 5.0, 1.0, 7.0 / 8.0};
inline constexpr double a[] = {
    1.0 / 5.0,                                                                            //
    3.0 / 40.0,       9.0 / 40.0,                                                         //
    3.0 / 10.0,       -9.0 / 10.0,   6.0 / 5.0,                                           //
    -11.0 / 54.0,     5.0 / 2.0,     -70.0 / 27.0,    35.0 / 27.0,                        //
    1631.0 / 55296.0, 175.0 / 512.0, 575.0 / 13824.0, 44275.0 / 110592.0, 253.0 / 4096.0, //
};
// The fifth-order solution is carried forward; e is its difference from the fourth-order one
// (2825/27648, 0, 18575/48384, 13525/55296, 277/14336, 1/4), reduced to lowest terms.
inline constexpr double b[] = {37.0 / 378.0, 0.0, 250.0 / 621.0, 125.0 / 594.0, 0.0, 512.0 / 1771.0};
inline constexpr double e[] = {-277.0 / 64512.0, 0.0,           6925.0 / 370944.0, -6925.0 / 202752.0,
                               -277.0 / 14336.0, 277.0 / 7084.0};
} // namespace rk45

namespace rk78 {
// clang-format off
inline constexpr double c[] = {0.0, 1.0 / 4.0, 1.0 / 12.0, 1.0 / 8.0, 2.0 / 5.0, 1.0 / 2.0, 6.0 / 7.0, 1.0 / 7.0,
                               2.0 / 3.0, 2.0 / 7.0, 1.0, 1.0 / 3.0, 1.0};
inline constexpr double a[] = {
    1.0 / 4.0,
    5.0 / 72.0, 1.0 / 72.0,
    1.0 / 32.0, 0.0, 3.0 / 32.0,
    106.0 / 125.0, 0.0, -408.0 / 125.0, 352.0 / 125.0,
    1.0 / 48.0, 0.0, 0.0, 8.0 / 33.0, 125.0 / 528.0,
    -1263.0 / 2401.0, 0.0, 0.0, 39936.0 / 26411.0, -64125.0 / 26411.0, 5520.0 / 2401.0,
    37.0 / 392.0, 0.0, 0.0, 0.0, 1625.0 / 9408.0, -2.0 / 15.0, 61.0 / 6720.0,
    17176.0 / 25515.0, 0.0, 0.0, -47104.0 / 25515.0, 1325.0 / 504.0, -41792.0 / 25515.0,
        20237.0 / 145800.0, 4312.0 / 6075.0,
    -23834.0 / 180075.0, 0.0, 0.0, -77824.0 / 1980825.0, -636635.0 / 633864.0, 254048.0 / 300125.0,
        -183.0 / 7000.0, 8.0 / 11.0, -324.0 / 3773.0,
    12733.0 / 7600.0, 0.0, 0.0, -20032.0 / 5225.0, 456485.0 / 80256.0, -42599.0 / 7125.0,
        339227.0 / 912000.0, -1029.0 / 4180.0, 1701.0 / 1408.0, 5145.0 / 2432.0,
    -27061.0 / 204120.0, 0.0, 0.0, 40448.0 / 280665.0, -1353775.0 / 1197504.0, 17662.0 / 25515.0,
        -71687.0 / 1166400.0, 98.0 / 225.0, 1.0 / 16.0, 3773.0 / 11664.0, 0.0,
    11203.0 / 8680.0, 0.0, 0.0, -38144.0 / 11935.0, 2354425.0 / 458304.0, -84046.0 / 16275.0,
        673309.0 / 1636800.0, 4704.0 / 8525.0, 9477.0 / 10912.0, -1029.0 / 992.0, 0.0, 729.0 / 341.0,
};
inline constexpr double b[] = {31.0 / 720.0, 0.0, 0.0, 0.0, 0.0, 16.0 / 75.0, 16807.0 / 79200.0,
                               16807.0 / 79200.0, 243.0 / 1760.0, 0.0, 0.0, 243.0 / 1760.0, 31.0 / 720.0};
inline constexpr double e[] = {-1.0 / 480.0, 0.0, 0.0, 0.0, 0.0, -16.0 / 375.0, -2401.0 / 528000.0,
                               2401.0 / 132000.0, 243.0 / 14080.0, -2401.0 / 19200.0, -19.0 / 450.0,
                               243.0 / 1760.0, 31.0 / 720.0};
// clang-format on
} // namespace rk78

inline constexpr ButcherTableau kRungeKutta45{6, 5, rk45::c, rk45::a, rk45::b, rk45::e};
inline constexpr ButcherTableau kRungeKutta78{13, 8, rk78::c, rk78::a, rk78::b, rk78::e};

static_assert(std::size(rk45::a) == 15 && std::size(rk45::c) == 6 && std::size(rk45::e) == 6);
static_assert(std::size(rk78::a) == 78 && std::size(rk78::c) == 13 && std::size(rk78::e) == 13);

// The pair of a model's integration style (0: 4/5, 1: 7/8).
constexpr const ButcherTableau& TableauOfStyle(int intStyle) {
    return intStyle == 1 ? kRungeKutta78 : kRungeKutta45;
}
