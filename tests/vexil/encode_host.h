// A host for the encoder's tests: message texts by number, the host's name
// matching, and message boxes recorded and answered from a queue. Installed
// into the module state for the lifetime of the object.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "host/host_interface.h"

namespace encode_testing {

struct MessageCall {
    unsigned flags = 0;
    std::vector<std::string> lines;
    int buttons = 0;
};

class EncodeHost {
public:
    EncodeHost();
    ~EncodeHost();
    EncodeHost(const EncodeHost&) = delete;
    EncodeHost& operator=(const EncodeHost&) = delete;

    // Answers for message boxes with buttons, taken in order; a box asked
    // with none left fails the test and is answered with -1.
    std::deque<int> answers;
    // Every message box shown, button-less progress boxes included.
    std::vector<MessageCall> messages;

    // The boxes that had buttons (questions), in order.
    std::vector<MessageCall> Questions() const;

    static EncodeHost* current;

private:
    host::HostStartupInfo saved_;
};

// The text the test host gives for a message number.
std::string MessageText(int number);

// The host's wildcard matching: '*' and '?', ignoring ASCII letter case.
bool WildcardMatch(const char* pattern, const char* name);

// A fresh empty directory under the system's temporary directory, removed
// with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// `n` bytes from a fixed pseudo-random sequence.
std::string RandomBytes(size_t n, unsigned seed = 1);

}  // namespace encode_testing
