// The integrator's passes for the avx2 instruction set (see the build for its flags).
#define KINTRA_KERNEL_NAMESPACE kintra_kernels_avx2
#define KINTRA_KERNEL_NAME "avx2"
#define KINTRA_KERNEL_WIDTH 4
#include "model/IntegratorKernelBody.h"
