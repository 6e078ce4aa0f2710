#include "encode_host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "vexil/alphabets.h"
#include "vexil/module_state.h"

namespace encode_testing {

EncodeHost* EncodeHost::current = nullptr;

namespace {

const char* HOST_CALL GetMsg(int, int number) {
    static std::map<int, std::string> texts;
    auto it = texts.find(number);
    if (it == texts.end()) it = texts.emplace(number, MessageText(number)).first;
    return it->second.c_str();
}

int HOST_CALL Message(int, uint32_t flags, const char*, const char* const* items, int itemsNumber,
                      int buttonsNumber) {
    EncodeHost* host = EncodeHost::current;
    MessageCall call;
    call.flags = flags;
    call.buttons = buttonsNumber;
    for (int i = 0; i < itemsNumber; ++i) call.lines.emplace_back(items[i]);
    host->messages.push_back(call);
    if (buttonsNumber == 0) return 0;
    if (host->answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << (call.lines.size() > 1 ? call.lines[1] : "");
        return -1;
    }
    const int answer = host->answers.front();
    host->answers.pop_front();
    return answer;
}

int HOST_CALL MatchName(const char* pattern, const char* name, int) { return WildcardMatch(pattern, name) ? 1 : 0; }

}  // namespace

std::string MessageText(int number) {
    switch (number) {
        case 28: return "Encode %s";
        case 29: return "files";
        case 30: return "Type: %s";
        case 31: return "Single: %s";
        case 34: return "Split: %s";
        case 35: return "Lines: %d";
        case 44: return "File %d";
        case 46: return "New";
        case 47: return "Existing";
        default: return "M" + std::to_string(number);
    }
}

bool WildcardMatch(const char* pattern, const char* name) {
    if (*pattern == 0) return *name == 0;
    if (*pattern == '*') {
        for (const char* n = name;; ++n) {
            if (WildcardMatch(pattern + 1, n)) return true;
            if (*n == 0) return false;
        }
    }
    if (*name == 0) return false;
    if (*pattern != '?' && std::tolower(static_cast<unsigned char>(*pattern)) !=
                               std::tolower(static_cast<unsigned char>(*name)))
        return false;
    return WildcardMatch(pattern + 1, name + 1);
}

EncodeHost::EncodeHost() {
    vexil::BuildAlphabets();
    host::HostStartupInfo& h = vexil::Module().host;
    saved_ = h;
    h.moduleNumber = 7;
    h.getMsg = GetMsg;
    h.message = Message;
    h.matchName = MatchName;
    current = this;
}

EncodeHost::~EncodeHost() {
    vexil::Module().host = saved_;
    current = nullptr;
}

std::vector<MessageCall> EncodeHost::Questions() const {
    std::vector<MessageCall> questions;
    for (const MessageCall& m : messages)
        if (m.buttons > 0) questions.push_back(m);
    return questions;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("vexil_encode_" + std::to_string(random()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string RandomBytes(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

}  // namespace encode_testing
