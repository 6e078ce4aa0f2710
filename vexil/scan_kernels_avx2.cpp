// Built with AVX2 enabled (x86-64 only); used when the processor has it.
#include "scan_kernels.inc"

namespace vexil {

const ScanKernels* Avx2Kernels() { return &kKernels; }

}  // namespace vexil
