// The terminal on ncurses: full screen, keys decoded by ncurses, the screen
// given back to the shell on exit and on a crash signal. Ctrl+C is a key
// (Esc); SIGINT, SIGTERM and SIGHUP ask the program to quit (QuitSignal).
#pragma once

#include "terminal.h"

namespace plughost::tui {

class CursesTerminal : public Terminal {
public:
    // Takes over the terminal; only one may exist at a time.
    CursesTerminal();
    ~CursesTerminal() override;
    CursesTerminal(const CursesTerminal&) = delete;
    CursesTerminal& operator=(const CursesTerminal&) = delete;

    void Size(int* width, int* height) override;
    void Present(const Grid& grid, int cursorX, int cursorY) override;
    int ReadKey(int timeoutMs) override;
    int QuitSignal() override;

private:
    int Translate(int status, unsigned int ch);

    Grid shown_;  // what the terminal shows, to send only changed cells
    int ctrlPageUp_ = 0, ctrlPageDown_ = 0, altShiftF9_ = 0;
};

// Whether standard input and output are both terminals.
bool OnTerminal();

}  // namespace plughost::tui
