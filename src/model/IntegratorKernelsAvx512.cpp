// The integrator's passes for the avx512 instruction set (see the build for its flags).
#define KINTRA_KERNEL_NAMESPACE kintra_kernels_avx512
#define KINTRA_KERNEL_NAME "avx512"
#define KINTRA_KERNEL_WIDTH 8
#include "model/IntegratorKernelBody.h"
