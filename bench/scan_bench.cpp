// Lists a generated 256 MiB storage (scan into a storage, then the panel's
// item list) and reports the speed, the peak memory and the ratio to `wc -l`
// on the same file in the same run. Then the worst case: 64 MiB in lines of
// 4 MiB full of "section" words, which it lists the same way and compares
// with the main case per MB; it must not take more than 4 times as long per
// MB. Last, for information, lines of 4 MiB full of header beginnings
// ("section 5 of ", "section 5 of 6 of ", "section 1 of 1 of file x "),
// where every occurrence reads its own number and total.
//
//   scan_bench [FILE]   (default: a file in the system's temporary directory;
//                        a FILE that exists is listed as it is and kept)
//   scan_bench --generate FILE   (only writes the storage)
//   scan_bench --worst-only      (only the worst case)
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

// 64 MiB in lines of 4 MiB, each repeating one of `shapes`, and after every
// fourth line a short block that the headers before it reach.
uint64_t GenerateLongLines(const std::string& path, const std::vector<std::string>& shapes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    uint64_t written = 0;
    for (size_t line = 0; written < (64ull << 20); ++line) {
        std::string text;
        const std::string& word = shapes[line % shapes.size()];
        while (text.size() < (4u << 20)) text += word;
        text += "\r\n";
        if (line % 4 == 3) {
            text += "section 2 of 2 of file after" + std::to_string(line) + "\r\n";
            for (int i = 0; i < 5; ++i) text += testenc::DataLine(45) + "\r\n";
        }
        std::fwrite(text.data(), 1, text.size(), f);
        written += text.size();
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

struct Measured {
    double mb = 0;
    double scan = 0;  // median seconds of 3
    double wc = 0;
};

// Lists the file three times (scan, then the item list) beside `wc -l` and prints the figures.
Measured Measure(const char* title, const std::string& path, uint64_t size) {
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
    Measured m{static_cast<double>(size) / 1e6, scans[1], wcs[1]};
    std::printf("%s: %s, %.1f MB, %d files, %d sections, %d items listed\n", title, path.c_str(), m.mb, files,
                sections, items);
    std::printf("scan:    %.0f MB/s (median of 3: %.3f s)\n", m.mb / m.scan, m.scan);
    std::printf("wc -l:   %.0f MB/s (median of 3: %.3f s)\n", m.mb / m.wc, m.wc);
    std::printf("ratio:   scan takes %.2f times as long as wc -l\n", m.scan / m.wc);
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--generate") return Generate(argv[2]) > 0 ? 0 : 1;
    const bool worstOnly = argc == 2 && std::string(argv[1]) == "--worst-only";
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = tmp ? tmp : "/tmp";
    const std::string path = argc > 1 && !worstOnly ? argv[1] : dir + "/scan_bench.uue";
    vexil::BuildAlphabets();

    Measured main{};
    if (!worstOnly) {
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
        main = Measure("storage", path, size);
        if (existing == nullptr) std::remove(path.c_str());
    }

    const std::string worstPath = dir + "/scan_bench_worst.txt";
    const uint64_t worstSize = GenerateLongLines(worstPath, {"section "});
    if (worstSize == 0) {
        std::fprintf(stderr, "cannot write %s\n", worstPath.c_str());
        return 1;
    }
    const Measured worst = Measure("worst case (4 MiB lines of \"section\" words)", worstPath, worstSize);
    std::remove(worstPath.c_str());
    const uint64_t headersSize =
        GenerateLongLines(worstPath, {"section 5 of ", "section 5 of 6 of ", "section 1 of 1 of file x "});
    const Measured headers = Measure("header lines (4 MiB lines of header beginnings)", worstPath, headersSize);
    std::remove(worstPath.c_str());
    int status = 0;
    if (!worstOnly) {
        const double perMb = (worst.scan / worst.mb) / (main.scan / main.mb);
        std::printf("worst:   %.2f times the main case's time per MB (at most 4)\n", perMb);
        std::printf("headers: %.2f times the main case's time per MB\n",
                    (headers.scan / headers.mb) / (main.scan / main.mb));
        status = perMb <= 4.0 ? 0 : 2;
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak RSS: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return status;
}
