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

}  // namespace encode_test
