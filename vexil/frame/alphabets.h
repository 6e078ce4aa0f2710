// The two code alphabets (UU and XX) and their reverse tables.
#pragma once

namespace vexil {

struct Alphabets {
    char uu[65];                  // index 0 is the grave accent, v is code 32 + v
    char xx[65];                  // "+-0-9A-Za-z"
    unsigned char uuReverse[256]; // index + 1 for alphabet characters, else 0
    unsigned char xxReverse[256];
};

// Built once at start (SetStartupInfo); the scanner and the encoder read it.
const Alphabets& CodeAlphabets();
void BuildAlphabets();

// Character v (0..63) of the alphabet of `encodingType` (0 UU, 1 XX); 255 for other types.
unsigned char AlphabetChar(unsigned v, int encodingType);

}  // namespace vexil
