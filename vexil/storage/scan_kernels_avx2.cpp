// Built with AVX2 enabled (x86-64 only); used when the processor has it.
#if defined(VEXIL_AVX2_KERNELS)

#include "vexil/storage/scan_kernels.inc"

namespace vexil {

const ScanKernels* Avx2Kernels() { return &kKernels; }

}  // namespace vexil

#endif
