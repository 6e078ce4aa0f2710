#include "curses_terminal.h"

#include <fcntl.h>
#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <cwchar>

#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#include <curses.h>
#include <term.h>

#include "keys.h"
#include "text_codec.h"

namespace plughost::tui {

namespace {

volatile std::sig_atomic_t g_cursesActive = 0;
int g_savedStderr = -1;

// Diagnostics written to a terminal would tear up the screen: while it is
// ours they go to $TMPDIR/plughost-browse.log.
void RedirectStderr() {
    if (!isatty(STDERR_FILENO)) return;
    const char* dir = std::getenv("TMPDIR");
    const std::string path = std::string(dir != nullptr && *dir ? dir : "/tmp") + "/plughost-browse.log";
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0) fd = open("/dev/null", O_WRONLY);
    if (fd < 0) return;
    g_savedStderr = dup(STDERR_FILENO);
    dup2(fd, STDERR_FILENO);
    close(fd);
}

// Only async-signal-safe calls besides endwin: this also runs in signal handlers.
void RestoreTerminal() {
    if (g_cursesActive) {
        g_cursesActive = 0;
        endwin();
    }
    if (g_savedStderr >= 0) {
        dup2(g_savedStderr, STDERR_FILENO);
        close(g_savedStderr);
        g_savedStderr = -1;
    }
}

// Crash signals: give the screen back, then die as the signal would.
extern "C" void OnFatalSignal(int signal) {
    RestoreTerminal();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// SIGINT, SIGTERM and SIGHUP only ask to quit: a plugin writing a file goes
// on until its job ends and the main loop then quits in order. The keyboard's
// Ctrl+C never raises SIGINT (the terminal is in raw mode); it is a key.
volatile std::sig_atomic_t g_quitSignal = 0;

extern "C" void OnQuitSignal(int signal) { g_quitSignal = signal; }

constexpr int kQuitSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kFatalSignals[] = {SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// Wide characters need a UTF-8 character type; fall back to C.UTF-8 when
// the environment names none.
void ChooseCharacterLocale() {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    if (codeset == nullptr || std::strcmp(codeset, "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

struct Colours {
    short fg, bg;
    attr_t attr;
};

Colours ColoursOf(Style style) {
    switch (style) {
    case Style::kPanel: return {COLOR_CYAN, COLOR_BLUE, A_NORMAL};
    case Style::kPanelDir: return {COLOR_WHITE, COLOR_BLUE, A_BOLD};
    case Style::kPanelSelected: return {COLOR_YELLOW, COLOR_BLUE, A_BOLD};
    case Style::kPanelCursor: return {COLOR_BLACK, COLOR_CYAN, A_NORMAL};
    case Style::kPanelCursorSelected: return {COLOR_YELLOW, COLOR_CYAN, A_BOLD};
    case Style::kPanelTitle: return {COLOR_YELLOW, COLOR_BLUE, A_BOLD};
    case Style::kTitleBar: return {COLOR_BLACK, COLOR_CYAN, A_NORMAL};
    case Style::kKeyNumber: return {COLOR_WHITE, COLOR_BLACK, A_NORMAL};
    case Style::kKeyLabel: return {COLOR_BLACK, COLOR_CYAN, A_NORMAL};
    case Style::kDialog: return {COLOR_BLACK, COLOR_WHITE, A_NORMAL};
    case Style::kDialogHot: return {COLOR_BLUE, COLOR_WHITE, A_BOLD};
    case Style::kDialogFocus: return {COLOR_BLACK, COLOR_CYAN, A_NORMAL};
    case Style::kDialogEdit: return {COLOR_BLACK, COLOR_CYAN, A_NORMAL};
    case Style::kDialogEditMarked: return {COLOR_WHITE, COLOR_BLUE, A_BOLD};
    case Style::kWarning: return {COLOR_WHITE, COLOR_RED, A_BOLD};
    case Style::kWarningHot: return {COLOR_YELLOW, COLOR_RED, A_BOLD};
    case Style::kWarningFocus: return {COLOR_BLACK, COLOR_WHITE, A_NORMAL};
    case Style::kMenu: return {COLOR_WHITE, COLOR_CYAN, A_BOLD};
    case Style::kMenuHot: return {COLOR_YELLOW, COLOR_CYAN, A_BOLD};
    case Style::kMenuSelected: return {COLOR_WHITE, COLOR_BLACK, A_BOLD};
    case Style::kHelp: return {COLOR_BLACK, COLOR_CYAN, A_NORMAL};
    case Style::kHelpTitle: return {COLOR_WHITE, COLOR_CYAN, A_BOLD};
    case Style::kCount: break;
    }
    return {COLOR_WHITE, COLOR_BLACK, A_NORMAL};
}

// Without colours (a monochrome terminal, or NO_COLOR set) the cursor bar,
// the selection, focus and hot keys show through reverse video, bold and
// underline.
attr_t MonoAttr(Style style) {
    switch (style) {
    case Style::kPanelCursor:
    case Style::kTitleBar:
    case Style::kKeyLabel:
    case Style::kDialogFocus:
    case Style::kWarningFocus:
    case Style::kMenuSelected: return A_REVERSE;
    case Style::kPanelCursorSelected: return A_REVERSE | A_BOLD | A_UNDERLINE;
    case Style::kPanelSelected: return A_BOLD | A_UNDERLINE;
    case Style::kDialogHot:
    case Style::kWarningHot:
    case Style::kMenuHot: return A_BOLD | A_UNDERLINE;
    case Style::kDialogEdit: return A_UNDERLINE;
    case Style::kDialogEditMarked: return A_REVERSE | A_UNDERLINE;
    case Style::kPanelDir:
    case Style::kPanelTitle:
    case Style::kHelpTitle: return A_BOLD;
    default: return A_NORMAL;
    }
}

bool g_colour = false;

// The key code ncurses gives for a terminfo key capability, or a new code
// bound to `fallback` (the sequence xterm-like terminals send) when the
// terminal description lacks it.
int BindKey(const char* capability, const char* fallback, int newCode) {
    char* sequence = tigetstr(capability);
    if (sequence != nullptr && sequence != reinterpret_cast<char*>(-1)) {
        const int code = key_defined(sequence);
        if (code > 0) return code;
        define_key(sequence, newCode);
        return newCode;
    }
    const int code = key_defined(fallback);
    if (code > 0) return code;
    define_key(fallback, newCode);
    return newCode;
}

// The width ncurses lays a character out with; the built-in table where
// the C library knows the character not.
int TerminalCharWidth(char32_t ch) {
    const int width = wcwidth(static_cast<wchar_t>(ch));
    return width >= 0 ? width : TableCharWidth(ch);
}

// What common terminals send for Home, End, Insert, Delete, PgUp, PgDn and
// the F-keys (xterm, VT220, rxvt, the Linux console, PuTTY, tmux), whatever
// the terminal description in force names.
struct KeyVariant {
    const char* sequence;
    int code;
};
constexpr KeyVariant kKeyVariants[] = {
    {"\033[1~", KEY_HOME},  {"\033[7~", KEY_HOME},  {"\033[H", KEY_HOME},   {"\033OH", KEY_HOME},
    {"\033[4~", KEY_END},   {"\033[8~", KEY_END},   {"\033[F", KEY_END},    {"\033OF", KEY_END},
    {"\033[2~", KEY_IC},    {"\033[3~", KEY_DC},    {"\033[5~", KEY_PPAGE}, {"\033[6~", KEY_NPAGE},
    {"\033[A", KEY_UP},     {"\033[B", KEY_DOWN},   {"\033[C", KEY_RIGHT},  {"\033[D", KEY_LEFT},
    {"\033OA", KEY_UP},     {"\033OB", KEY_DOWN},   {"\033OC", KEY_RIGHT},  {"\033OD", KEY_LEFT},
    {"\033OP", KEY_F(1)},   {"\033OQ", KEY_F(2)},   {"\033OR", KEY_F(3)},   {"\033OS", KEY_F(4)},
    {"\033[11~", KEY_F(1)}, {"\033[12~", KEY_F(2)}, {"\033[13~", KEY_F(3)}, {"\033[14~", KEY_F(4)},
    {"\033[[A", KEY_F(1)},  {"\033[[B", KEY_F(2)},  {"\033[[C", KEY_F(3)},  {"\033[[D", KEY_F(4)},
    {"\033[[E", KEY_F(5)},  {"\033[15~", KEY_F(5)}, {"\033[17~", KEY_F(6)}, {"\033[18~", KEY_F(7)},
    {"\033[19~", KEY_F(8)}, {"\033[20~", KEY_F(9)}, {"\033[21~", KEY_F(10)}, {"\033[23~", KEY_F(11)},
    {"\033[24~", KEY_F(12)}, {"\033[Z", KEY_BTAB},
};

// Binds every variant the terminal description leaves unbound.
void BindKeyVariants() {
    for (const KeyVariant& v : kKeyVariants)
        if (key_defined(v.sequence) == 0) define_key(v.sequence, v.code);
}

}  // namespace

bool OnTerminal() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }

CursesTerminal::CursesTerminal() {
    ChooseCharacterLocale();
    SetCharWidthSource(TerminalCharWidth);
    // Esc must be told from the start of a key sequence quickly.
    if (std::getenv("ESCDELAY") == nullptr) set_escdelay(25);
    initscr();
    g_cursesActive = 1;
    RedirectStderr();
    for (int signal : kFatalSignals) std::signal(signal, OnFatalSignal);
    for (int signal : kQuitSignals) {
        struct sigaction action {};
        action.sa_handler = OnQuitSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);  // no SA_RESTART: a waiting read returns at once
    }
    std::atexit(RestoreTerminal);
    // Raw mode: Ctrl+C arrives as a key (byte 3) that dialogs take as Esc and
    // that a plugin's Esc watch reads as Esc, instead of killing the program
    // in the middle of a write.
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    intrflush(stdscr, FALSE);
    // Never look at pending input while drawing: a plugin's Esc watch reads
    // the keys itself, and its progress box must show while keys wait.
    typeahead(-1);
    use_extended_names(TRUE);
    const char* noColour = std::getenv("NO_COLOR");
    g_colour = has_colors() && (noColour == nullptr || *noColour == '\0');
    if (g_colour) {
        start_color();
        for (int s = 0; s < static_cast<int>(Style::kCount); ++s) {
            const Colours c = ColoursOf(static_cast<Style>(s));
            init_pair(static_cast<short>(s + 1), c.fg, c.bg);
        }
    }
    BindKeyVariants();
    ctrlPageUp_ = BindKey("kPRV5", "\033[5;5~", KEY_MAX + 1);
    ctrlPageDown_ = BindKey("kNXT5", "\033[6;5~", KEY_MAX + 2);
    altShiftF9_ = BindKey("kf9;4", "\033[20;4~", KEY_MAX + 3);
    curs_set(0);
}

CursesTerminal::~CursesTerminal() {
    for (int signal : kFatalSignals) std::signal(signal, SIG_DFL);
    for (int signal : kQuitSignals) std::signal(signal, SIG_DFL);
    SetCharWidthSource(nullptr);
    RestoreTerminal();
}

void CursesTerminal::Size(int* width, int* height) {
    int rows = 0, cols = 0;
    getmaxyx(stdscr, rows, cols);
    *width = cols;
    *height = rows;
}

void CursesTerminal::Present(const Grid& grid, int cursorX, int cursorY) {
    const bool full = shown_.Width() != grid.Width() || shown_.Height() != grid.Height();
    if (full) {
        shown_.Resize(grid.Width(), grid.Height());
        clearok(stdscr, TRUE);
    }
    for (int y = 0; y < grid.Height(); ++y) {
        // A changed row is sent whole: a wide character and the cell it
        // covers must go out together, or the terminal keeps stale halves.
        bool changed = full;
        for (int x = 0; !changed && x < grid.Width(); ++x) changed = !(shown_.At(x, y) == grid.At(x, y));
        if (!changed) continue;
        for (int x = 0; x < grid.Width(); ++x) {
            const Cell cell = grid.At(x, y);
            if (cell.ch == kWideTail) continue;  // covered by the wide character before it
            wchar_t text[2] = {static_cast<wchar_t>(cell.ch), L'\0'};
            cchar_t out;
            if (g_colour)
                setcchar(&out, text, ColoursOf(cell.style).attr, static_cast<short>(static_cast<int>(cell.style) + 1),
                         nullptr);
            else
                setcchar(&out, text, MonoAttr(cell.style), 0, nullptr);
            mvadd_wch(y, x, &out);
        }
    }
    shown_ = grid;
    if (cursorX >= 0) {
        curs_set(1);
        move(cursorY, cursorX);
    } else {
        curs_set(0);
    }
    refresh();
}

int CursesTerminal::Translate(int status, unsigned int ch) {
    if (status == OK) {
        switch (ch) {
        case 27:
        case 3: return key::kEsc;  // Ctrl+C
        case 13:
        case 10: return key::kEnter;
        case 9: return key::kTab;
        case 8:
        case 127: return key::kBackspace;
        case 18: return key::kCtrlR;
        default: return ch < 32 ? key::kNone : static_cast<int>(ch);
        }
    }
    const int code = static_cast<int>(ch);
    if (code == ctrlPageUp_) return key::kCtrlPageUp;
    if (code == ctrlPageDown_) return key::kCtrlPageDown;
    if (code == altShiftF9_) return key::kAltShiftF9;
    if (code >= KEY_F(1) && code <= KEY_F(12)) return key::F(code - KEY_F(0));
    switch (code) {
    case KEY_UP: return key::kUp;
    case KEY_DOWN: return key::kDown;
    case KEY_LEFT: return key::kLeft;
    case KEY_RIGHT: return key::kRight;
    case KEY_HOME: return key::kHome;
    case KEY_END: return key::kEnd;
    case KEY_PPAGE: return key::kPageUp;
    case KEY_NPAGE: return key::kPageDown;
    case KEY_IC: return key::kInsert;
    case KEY_DC: return key::kDelete;
    case KEY_BACKSPACE: return key::kBackspace;
    case KEY_ENTER: return key::kEnter;
    case KEY_BTAB: return key::kBackTab;
    case KEY_RESIZE: return key::kResize;
    default: return key::kNone;
    }
}

int CursesTerminal::QuitSignal() { return g_quitSignal; }

int CursesTerminal::ReadKey(int timeoutMs) {
    // Once asked to quit, every view closes as with Esc.
    if (g_quitSignal) return key::kEsc;
    wtimeout(stdscr, timeoutMs);
    wint_t ch = 0;
    const int status = wget_wch(stdscr, &ch);
    if (status == ERR) return g_quitSignal ? key::kEsc : key::kNone;
    if (status == KEY_CODE_YES && static_cast<int>(ch) == KEY_RESIZE) shown_.Resize(0, 0);
    int code = Translate(status, ch);
    if (code == key::kEsc) {
        // Esc directly followed by a key: that key with Alt held.
        wtimeout(stdscr, 0);
        wint_t next = 0;
        const int nextStatus = wget_wch(stdscr, &next);
        if (nextStatus != ERR) {
            const int nextCode = Translate(nextStatus, next);
            if (key::IsPrintable(nextCode)) return nextCode | key::kAlt;
            if (nextCode == key::kNone) return key::kEsc;
            if (nextStatus == OK) unget_wch(static_cast<wchar_t>(next));
            else ungetch(static_cast<int>(next));
        }
    }
    return code;
}

}  // namespace plughost::tui
