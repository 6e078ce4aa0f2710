#include "vexil/storage/whole_lines.h"

namespace vexil {

namespace {

bool Check(const unsigned char* line) {
    unsigned bad = 0;
    for (size_t i = 1; i <= kWholeLineChars; ++i) bad |= static_cast<unsigned char>(line[i] - 0x20) > 0x40;
    return bad == 0;
}

void Decode(const unsigned char* line, unsigned char* out) {
    const unsigned char* p = line + 1;
    for (size_t i = 0; i < kWholeLineChars; i += 4, p += 4, out += 3) {
        const unsigned a = (p[0] - 0x20u) & 0x3F, b = (p[1] - 0x20u) & 0x3F, c = (p[2] - 0x20u) & 0x3F,
                       d = (p[3] - 0x20u) & 0x3F;
        out[0] = static_cast<unsigned char>((a << 2) | (b >> 4));
        out[1] = static_cast<unsigned char>((b << 4) | (c >> 2));
        out[2] = static_cast<unsigned char>((c << 6) | d);
    }
}

constexpr WholeLineKernels kPortable{Check, Decode};

}  // namespace

const WholeLineKernels& PortableWholeLines() { return kPortable; }

#if !defined(VEXIL_AVX2_KERNELS)
const WholeLineKernels* VectorWholeLines() { return nullptr; }
#endif

const WholeLineKernels& WholeLines() {
    static const WholeLineKernels& chosen = []() -> const WholeLineKernels& {
#if defined(VEXIL_AVX2_KERNELS)
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx2") && VectorWholeLines() != nullptr) return *VectorWholeLines();
#endif
        return kPortable;
    }();
    return chosen;
}

}  // namespace vexil
