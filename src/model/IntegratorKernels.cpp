#include "model/IntegratorKernels.h"

#include "model/Arith.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace kintra_kernels_sse2 {
const IntegratorKernel& Table();
}
namespace kintra_kernels_avx2 {
const IntegratorKernel& Table();
}
namespace kintra_kernels_avx512 {
const IntegratorKernel& Table();
}

namespace {
std::optional<KernelLevel> g_forced;

bool Supported(KernelLevel level) {
    switch (level) {
    case KernelLevel::Sse2:
        return true;
    case KernelLevel::Avx2:
        return __builtin_cpu_supports("avx2");
    case KernelLevel::Avx512:
        return __builtin_cpu_supports("avx512f");
    }
    return false;
}
} // namespace

std::vector<KernelLevel> AvailableKernels() {
    std::vector<KernelLevel> levels;
    for (KernelLevel level : {KernelLevel::Sse2, KernelLevel::Avx2, KernelLevel::Avx512})
        if (Supported(level)) levels.push_back(level);
    return levels;
}

const IntegratorKernel& Kernel(KernelLevel level) {
    switch (level) {
    case KernelLevel::Avx512:
        return kintra_kernels_avx512::Table();
    case KernelLevel::Avx2:
        return kintra_kernels_avx2::Table();
    case KernelLevel::Sse2:
        break;
    }
    return kintra_kernels_sse2::Table();
}

const char* KernelName(KernelLevel level) {
    return Kernel(level).name;
}

KernelLevel ActiveKernel() {
    if (g_forced && Supported(*g_forced)) return *g_forced;
    if (const char* asked = std::getenv("KINTRA_KERNEL"))
        for (KernelLevel level : AvailableKernels())
            if (std::strcmp(asked, KernelName(level)) == 0) return level;
    return AvailableKernels().back();
}

void ForceKernel(KernelLevel level) {
    g_forced = level;
}

void ClearForcedKernel() {
    g_forced.reset();
}

const StagePass* PassesOf(const IntegratorKernel& kernel, const ButcherTableau& tableau) {
    if (tableau.a == kRungeKutta45.a) return kernel.rk45;
    if (tableau.a == kRungeKutta78.a) return kernel.rk78;
    return nullptr;
}

double OrderedSum(const ButcherTableau& tableau, int row, const StagePassArgs& a, std::size_t i) {
    const int terms = row < tableau.stages ? row : tableau.stages;
    double sum = a.yStart[i];
    for (int m = 0; m < terms; ++m) {
        const double c = row < tableau.stages ? tableau.A(row, m) : tableau.b[m];
        if (c != 0.0) sum = kintra::Add(sum, kintra::Mul(c, a.k[static_cast<std::size_t>(m) * a.n + i]));
    }
    return sum;
}

double OrderedBlockSum(const SumSegmentArgs& a, std::size_t j) {
    double sum = 0.0;
    for (std::size_t k = 0; k < 3; ++k) {
        if ((a.mask & (1 << k)) == 0) continue;
        const double x = a.strided[k] ? a.strided[k][j] : a.values[a.index[j * a.indexStride + k]];
        sum = kintra::Add(sum, kintra::Mul(x, a.w[k]));
    }
    return sum;
}
