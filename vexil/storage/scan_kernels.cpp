#include "vexil/storage/scan_kernels.inc"

namespace vexil {

const ScanKernels& BaselineKernels() { return kKernels; }

#if !defined(VEXIL_AVX2_KERNELS)
const ScanKernels* Avx2Kernels() { return nullptr; }
#endif

namespace {

const ScanKernels& ForThisProcessor() {
    static const ScanKernels& chosen = []() -> const ScanKernels& {
#if defined(VEXIL_AVX2_KERNELS)
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx2") && Avx2Kernels() != nullptr) return *Avx2Kernels();
#endif
        return kKernels;
    }();
    return chosen;
}

const ScanKernels* g_override = nullptr;

}  // namespace

const ScanKernels& Kernels() { return g_override != nullptr ? *g_override : ForThisProcessor(); }

void UseKernels(const ScanKernels* kernels) { g_override = kernels; }

}  // namespace vexil
