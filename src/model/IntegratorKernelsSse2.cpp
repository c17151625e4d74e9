// The integrator's passes for the sse2 instruction set (see the build for its flags).
#define KINTRA_KERNEL_NAMESPACE kintra_kernels_sse2
#define KINTRA_KERNEL_NAME "sse2"
#define KINTRA_KERNEL_WIDTH 2
#include "model/IntegratorKernelBody.h"
