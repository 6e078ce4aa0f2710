#include "box_chars.h"

namespace plughost {

std::string RenderBoxChars(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        switch (static_cast<unsigned char>(c)) {
            case 0xC4: shown += "\xE2\x94\x80"; break;  // U+2500 horizontal line
            case 0xB3: shown += "\xE2\x94\x82"; break;  // U+2502 vertical line
            case 0xC2: shown += "\xE2\x94\xAC"; break;  // U+252C down and horizontal
            case 0xC1: shown += "\xE2\x94\xB4"; break;  // U+2534 up and horizontal
            case 0xDB: shown += "\xE2\x96\x88"; break;  // U+2588 full block
            case 0xB0: shown += "\xE2\x96\x91"; break;  // U+2591 light shade
            default: shown += c; break;
        }
    }
    return shown;
}

}  // namespace plughost
