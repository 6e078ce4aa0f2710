// Encoding speed against the system's uuencode, and the cost of writing the
// output alone (dd). Native builds only; not part of the test suite.
//
//   encode_bench [--size MIB] [--rounds N] [--dir DIR]
//
// A source of MIB mebibytes (default 128) of pseudo-random bytes is written
// and read once, so every round reads it from the page cache. Each round
// encodes it with default settings into a new unsplit output, runs uuencode
// on the same file, and writes the same number of bytes with dd; the best and
// the median time of each are printed, with our peak resident memory.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/host_interface.h"
#include "vexil/frame/alphabets.h"
#include "vexil/encoding/encoder.h"
#include "vexil/frame/module_state.h"

namespace {

const char* HOST_CALL BenchMsg(int, int) { return "%d"; }
int HOST_CALL BenchMessage(int, uint32_t, const char*, const char* const*, int, int) { return 0; }
int HOST_CALL BenchMatch(const char* pattern, const char*, int) { return std::strcmp(pattern, "*") == 0; }

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double TimeCommand(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return Seconds(start);
}

uint64_t FileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

void WriteSource(const std::string& path, uint64_t bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::vector<uint64_t> block(1 << 17);  // 1 MiB
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (uint64_t done = 0; done < bytes; done += 8 * block.size()) {
        for (uint64_t& word : block) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        std::fwrite(block.data(), 1, std::min<uint64_t>(8 * block.size(), bytes - done), f);
    }
    std::fclose(f);
    // Read it back once so the rounds find it in the page cache.
    f = std::fopen(path.c_str(), "rb");
    while (std::fread(block.data(), 1, 8 * block.size(), f) > 0) {
    }
    std::fclose(f);
}

struct Stats {
    std::vector<double> times;
    double Best() const { return *std::min_element(times.begin(), times.end()); }
    double Median() const {
        std::vector<double> t = times;
        std::sort(t.begin(), t.end());
        return t[t.size() / 2];
    }
};

}  // namespace

int main(int argc, char** argv) {
    uint64_t mebibytes = 128;
    int rounds = 5;
    std::string base = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--size") mebibytes = std::strtoull(argv[i + 1], nullptr, 10);
        else if (option == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--dir") base = argv[i + 1];
    }
    std::string dirTemplate = base + "/encode_bench_XXXXXX";
    if (!mkdtemp(dirTemplate.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = dirTemplate;
    const std::string source = dir + "/source.bin";
    const std::string ours = dir + "/source.uue";
    const std::string theirs = dir + "/uuencode.out";
    const std::string floorFile = dir + "/dd.out";
    const uint64_t sourceBytes = mebibytes << 20;

    vexil::BuildAlphabets();
    host::HostStartupInfo& h = vexil::Module().host;
    h.getMsg = BenchMsg;
    h.message = BenchMessage;
    h.matchName = BenchMatch;
    const vexil::EncodeSettings settings;  // defaults: unsplit, table on, UU

    std::printf("source: %llu MiB in %s\n", static_cast<unsigned long long>(mebibytes), dir.c_str());
    WriteSource(source, sourceBytes);

    Stats encode, uuencode, dd;
    uint64_t outputBytes = 0;
    for (int round = 0; round < rounds; ++round) {
        std::remove(ours.c_str());
        vexil::EncodeJobState job;
        const auto start = Clock::now();
        const bool ok = vexil::EncodeFile(source, dir, settings, job);
        encode.times.push_back(Seconds(start));
        if (!ok) {
            std::fprintf(stderr, "encoding failed\n");
            return 1;
        }
        outputBytes = FileSize(ours);

        std::remove(theirs.c_str());
        uuencode.times.push_back(TimeCommand("uuencode '" + source + "' source.bin > '" + theirs + "'"));

        std::remove(floorFile.c_str());
        dd.times.push_back(TimeCommand("dd if=/dev/zero of='" + floorFile + "' bs=1M count=" +
                                       std::to_string(outputBytes) + " iflag=count_bytes status=none"));
    }

    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    const double megabytes = static_cast<double>(sourceBytes) / 1e6;
    std::printf("output: %llu bytes (uuencode: %llu)\n", static_cast<unsigned long long>(outputBytes),
                static_cast<unsigned long long>(FileSize(theirs)));
    std::printf("%-10s %9s %9s %10s\n", "", "best s", "median s", "MB/s best");
    std::printf("%-10s %9.3f %9.3f %10.0f\n", "encoder", encode.Best(), encode.Median(), megabytes / encode.Best());
    std::printf("%-10s %9.3f %9.3f %10.0f\n", "uuencode", uuencode.Best(), uuencode.Median(),
                megabytes / uuencode.Best());
    std::printf("%-10s %9.3f %9.3f\n", "dd floor", dd.Best(), dd.Median());
    std::printf("ratio uuencode/encoder: best %.2f, median %.2f\n", uuencode.Best() / encode.Best(),
                uuencode.Median() / encode.Median());
    std::printf("peak RSS: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);

    std::remove(ours.c_str());
    std::remove(theirs.c_str());
    std::remove(floorFile.c_str());
    std::remove(source.c_str());
    rmdir(dir.c_str());
    return 0;
}
