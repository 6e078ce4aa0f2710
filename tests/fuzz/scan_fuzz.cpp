// Fuzz target for the UUE scanner: DetectUue and ScanBlock must not misbehave
// on any text, and the windowed whole-text scan must find exactly what the
// scan of the text in one piece finds, whatever the window and read sizes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/vexil/storage/scan_helpers.h"
#include "vexil/storage/scan_kernels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool built = (vexil::BuildAlphabets(), true);
    (void)built;
    if (size < 2) return 0;
    // The first two bytes choose the buffer and read sizes.
    const size_t buffer = 1024 + static_cast<size_t>(data[0]) * 37;
    const size_t piece = 1 + static_cast<size_t>(data[1]) * 13;
    const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);

    vexil::DetectUue(scantest::Bytes(text), text.size());
    const auto whole = scantest::WholeTextScan(text);
    // Every kernel set built in must agree with the single-piece scan.
    for (const vexil::ScanKernels* k : {&vexil::BaselineKernels(), vexil::Avx2Kernels()}) {
        if (k == nullptr) continue;
        vexil::UseKernels(k);
        const auto windowed = scantest::WindowedScan(text, buffer, piece);
        if (windowed.found != whole) abort();
        if (windowed.detected != !whole.empty()) abort();
    }
    vexil::UseKernels(nullptr);
    return 0;
}
