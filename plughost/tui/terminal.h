// What the screen layer needs from a terminal: its size, showing a grid, and
// reading keys. CursesTerminal is the real one; tests use a scripted one.
#pragma once

#include "grid.h"

namespace plughost::tui {

class Terminal {
public:
    virtual ~Terminal() = default;
    virtual void Size(int* width, int* height) = 0;
    // Shows the grid; the cursor goes to (cursorX, cursorY), hidden when cursorX < 0.
    virtual void Present(const Grid& grid, int cursorX, int cursorY) = 0;
    // The next key (keys.h), key::kNone when none came within timeoutMs
    // (a negative timeout waits for ever), key::kResize when the size changed.
    virtual int ReadKey(int timeoutMs) = 0;
    // The signal that asked the program to quit, 0 when none did. Once it is
    // set, ReadKey answers Esc so that open views close.
    virtual int QuitSignal() { return 0; }
};

}  // namespace plughost::tui
