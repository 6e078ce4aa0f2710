// Helpers of the encoder's tests: a fake host installed as the module's
// host with the message texts the encoder formats, and file helpers.
#pragma once

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/fake_host.h"
#include "vexil/frame/alphabets.h"
#include "vexil/frame/module_state.h"

namespace encode_test {

class EncodeHost : public test::FakeHost {
public:
    EncodeHost() {
        vexil::BuildAlphabets();
        vexil::Module().host = StartupInfo();
        SetMessage(44, "File %d");
        SetMessage(46, "New");
        SetMessage(47, "Existing");
    }
    // The message boxes that had buttons (questions), in order.
    std::vector<MessageCall> Questions() const {
        std::vector<MessageCall> questions;
        for (const MessageCall& m : messages)
            if (m.buttons > 0) questions.push_back(m);
        return questions;
    }
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// `n` bytes from a fixed pseudo-random sequence.
inline std::string RandomBytes(size_t n, unsigned seed = 1) {
    std::mt19937 random(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// The bytes of the first UU-encoded file in `text`: the data lines after its
// begin line up to "end", passing over blank lines and section lines.
// Lines are taken at face value; a length beyond its characters reads zeros.
inline std::string DecodeUu(const std::string& text) {
    std::string bytes;
    bool started = false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 2;
        if (!started) {
            started = line.rfind("begin 644 ", 0) == 0;
            continue;
        }
        if (line == "end") break;
        if (line.empty() || line.rfind("section ", 0) == 0) continue;
        auto value = [&](size_t i) { return i < line.size() ? static_cast<unsigned>(line[i] - 32) & 63 : 0u; };
        const unsigned n = value(0);
        for (unsigned b = 0; b < n; ++b) {
            const size_t bit = 6 + 8 * b;  // past the length character
            unsigned byte = 0;
            for (size_t k = bit; k < bit + 8; ++k) byte = (byte << 1) | ((value(k / 6) >> (5 - k % 6)) & 1);
            bytes += static_cast<char>(byte);
        }
    }
    return bytes;
}

}  // namespace encode_test
