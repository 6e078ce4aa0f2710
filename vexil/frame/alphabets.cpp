#include "vexil/frame/alphabets.h"

namespace vexil {

namespace {
Alphabets g_alphabets{};
}

const Alphabets& CodeAlphabets() { return g_alphabets; }

void BuildAlphabets() {
    Alphabets& a = g_alphabets;
    a.uu[0] = '`';
    for (int v = 1; v < 64; ++v) a.uu[v] = static_cast<char>(32 + v);
    a.uu[64] = 0;
    const char* xx = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    for (int v = 0; v < 64; ++v) a.xx[v] = xx[v];
    a.xx[64] = 0;
    for (int c = 0; c < 256; ++c) a.uuReverse[c] = a.xxReverse[c] = 0;
    for (int v = 0; v < 64; ++v) {
        a.uuReverse[static_cast<unsigned char>(a.uu[v])] = static_cast<unsigned char>(v + 1);
        a.xxReverse[static_cast<unsigned char>(a.xx[v])] = static_cast<unsigned char>(v + 1);
    }
}

unsigned char AlphabetChar(unsigned v, int encodingType) {
    if (encodingType == 0) return static_cast<unsigned char>(g_alphabets.uu[v & 63]);
    if (encodingType == 1) return static_cast<unsigned char>(g_alphabets.xx[v & 63]);
    return 255;
}

}  // namespace vexil
