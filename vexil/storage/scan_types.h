// The types shared by the whole-text scan (uue_scanner) and the judgement of
// one block (block_scan): an accepted block and a window of the text.
#pragma once

#include <cstdint>
#include <string>

namespace vexil {

struct SectionBlock {
    int32_t number = 0;
    int32_t total = 0;
    std::string name;        // cut to 259 characters
    int64_t dataChars = 0;
    // Where the block's data lines lie in the text, for the decoder: from the
    // start of the data scan to the end of the last counted line before the
    // "end" line. The exact byte count is added up from the length characters.
    uint64_t dataBegin = 0;
    uint64_t dataEnd = 0;
    int64_t dataBytes = 0;
    // The whole block in the text: from its header ("section" word, or the
    // start of a plain block's begin line) to the end of its last line (the
    // "end" or "====" line when there is one, else the last data line),
    // line end not included.
    uint64_t blockBegin = 0;
    uint64_t blockEnd = 0;
    int32_t mode = -1;       // octal mode of the begin line (section 1); -1 when none was read
    bool ended = false;      // the data closed with an "end" line
    bool base64 = false;     // a plain base64 block: its data lines are base64, not UU or XX
    bool plain = false;      // a plain block (no "section" header)
};

// A view of the text from absolute position `base` to `end`; `last` when
// `end` is the end of the whole text.
struct TextWindow {
    const unsigned char* data = nullptr;  // data[0] is the byte at `base`
    uint64_t base = 0;
    uint64_t end = 0;
    bool last = false;
};

}  // namespace vexil
