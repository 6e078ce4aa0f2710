#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/platform.h"

namespace test {

namespace fs = std::filesystem;

std::string UniqueName(const std::string& prefix) {
    static std::atomic<int> counter{0};
    static const unsigned seed = std::random_device{}();
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    return prefix + std::to_string(now) + "-" + std::to_string(seed % 100000) + "-" + std::to_string(++counter);
}

TempDir::TempDir() {
    const fs::path dir = fs::temp_directory_path() / UniqueName("plughost-test-");
    fs::create_directories(dir);
    path_ = dir.string();
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const { return path_ + platform::kPathSeparator + name; }

std::string TempDir::Write(const std::string& name, const std::string& content) const {
    const std::string path = File(name);
    std::ofstream out(path, std::ios::binary);
    out << content;
    return path;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace test
