// Lists a generated 256 MiB storage (scan into a storage, then the panel's
// item list) and reports the speed, the peak memory and the ratio to `wc -l`
// on the same file in the same run.
//
//   scan_bench [FILE]   (default: a file in the system's temporary directory;
//                        a FILE that exists is listed as it is and kept)
//   scan_bench --generate FILE   (only writes the storage)
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/uu_writer.h"
#include "vexil/frame/alphabets.h"
#include "vexil/storage/scan_source_file.h"
#include "vexil/storage/storage.h"
#include "vexil/storage/storage_panel.h"

namespace {

constexpr uint64_t kTarget = 256ull << 20;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// 1.5 MB files in sections of 1000 lines, with a mail-like line between them,
// written piece by piece so that generating costs little memory.
uint64_t Generate(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    testenc::UuOptions o;
    o.linesPerSection = 1000;
    uint64_t written = 0;
    for (int i = 0; written < kTarget; ++i) {
        const std::string text = testenc::UuEncode("part" + std::to_string(i) + ".bin",
                                                   testenc::RandomBytes(1500000, static_cast<uint32_t>(i)), o) +
                                 "From: someone\r\n";
        const size_t n = static_cast<size_t>(std::min<uint64_t>(text.size(), kTarget - written));
        std::fwrite(text.data(), 1, n, f);
        written += n;
    }
    std::fclose(f);
    return written;
}

double WcSeconds(const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    const std::string command = "wc -l '" + path + "' > /dev/null";
    if (std::system(command.c_str()) != 0) return 0;
    return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--generate") return Generate(argv[2]) > 0 ? 0 : 1;
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = argc > 1 ? argv[1] : std::string(tmp ? tmp : "/tmp") + "/scan_bench.uue";
    FILE* existing = argc > 1 ? std::fopen(path.c_str(), "rb") : nullptr;
    uint64_t size = 0;
    if (existing != nullptr) {
        std::fseek(existing, 0, SEEK_END);
        size = static_cast<uint64_t>(std::ftell(existing));
        std::fclose(existing);
    } else {
        size = Generate(path);
    }
    if (size == 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    vexil::BuildAlphabets();
    WcSeconds(path);  // warm the page cache

    std::vector<double> scans, wcs;
    int files = 0, sections = 0, items = 0;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        {
            vexil::Storage storage;
            vexil::ScanSourceFile(storage, path);
            host::PanelItem* listed = nullptr;
            vexil::ListStorage(storage, &listed, &items);
            files = storage.files.Count();
            sections = 0;
            storage.files.ForEach([&](vexil::EncodedFile* f) { sections += f->sections.Count(); });
        }
        scans.push_back(Seconds(start));
        wcs.push_back(WcSeconds(path));
    }
    std::sort(scans.begin(), scans.end());
    std::sort(wcs.begin(), wcs.end());
    const double mb = static_cast<double>(size) / 1e6;
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("storage: %s, %.1f MB, %d files, %d sections, %d items listed\n", path.c_str(), mb, files, sections,
                items);
    std::printf("scan:    %.0f MB/s (median of 3: %.3f s)\n", mb / scans[1], scans[1]);
    std::printf("wc -l:   %.0f MB/s (median of 3: %.3f s)\n", mb / wcs[1], wcs[1]);
    std::printf("ratio:   scan takes %.2f times as long as wc -l\n", scans[1] / wcs[1]);
    std::printf("peak RSS: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    if (existing == nullptr) std::remove(path.c_str());
    return 0;
}
