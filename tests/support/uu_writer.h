// A small UU/XX writer for tests and the benchmark: the text layout of the
// plugin's encoder (section lines, table, attribute and begin lines, data
// lines per 65536-byte chunk, trailer), with a choice of line end.
#pragma once

#include <cstdint>
#include <string>

namespace testenc {

struct UuOptions {
    int type = 0;              // 0 UU, 1 XX
    bool table = true;         // the "table" block in the first section
    int linesPerSection = 0;   // 0: one section
    std::string eol = "\r\n";
};

// Encodes `data` as file `name`; the text of all sections, one after another.
std::string UuEncode(const std::string& name, const std::string& data, const UuOptions& options = {});

// A data line of `bytes` source bytes (1..45) of value `fill`, without line end.
std::string DataLine(int bytes, int type = 0, unsigned char fill = 'x');

// Deterministic pseudo-random bytes.
std::string RandomBytes(size_t n, uint32_t seed);

}  // namespace testenc
