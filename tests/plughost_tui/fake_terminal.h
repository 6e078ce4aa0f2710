// A terminal for tests: a fixed size, keys from a queue, and the last grid
// it was asked to show. When the queue runs dry it answers Esc, so a view
// waiting for more keys closes instead of hanging the test.
#pragma once

#include <deque>
#include <string>

#include "tui/keys.h"
#include "tui/terminal.h"

namespace plughost::tui {

class FakeTerminal : public Terminal {
public:
    FakeTerminal(int width, int height) : width_(width), height_(height) {}

    void Size(int* width, int* height) override {
        *width = width_;
        *height = height_;
    }
    void Present(const Grid& grid, int cursorX, int cursorY) override {
        shown = grid;
        cursorX_ = cursorX;
        cursorY_ = cursorY;
        ++presents;
    }
    int ReadKey(int) override {
        seen = shown;
        if (keys.empty()) {
            ++drained;
            return key::kEsc;
        }
        const int code = keys.front();
        keys.pop_front();
        if (code == key::kResize) {
            width_ = resizeWidth;
            height_ = resizeHeight;
        }
        return code;
    }

    // Queues every character of `text` as a key.
    void Type(const std::string& text) {
        for (unsigned char c : text) keys.push_back(c);
    }
    void Press(int code) { keys.push_back(code); }
    // A new size, seen at the next repaint.
    void Resize(int width, int height) {
        width_ = width;
        height_ = height;
    }

    // The whole screen as text, one line per row.
    std::string Text() const {
        std::string out;
        for (int y = 0; y < shown.Height(); ++y) out += shown.RowText(y) + "\n";
        return out;
    }
    bool Shows(const std::string& text) const { return Text().find(text) != std::string::npos; }
    // Whether `text` was on the screen when the last key was read.
    bool Showed(const std::string& text) const {
        for (int y = 0; y < seen.Height(); ++y)
            if (seen.RowText(y).find(text) != std::string::npos) return true;
        return false;
    }

    std::deque<int> keys;
    Grid shown;
    Grid seen;  // what was on the screen when the last key was read
    int presents = 0;
    int drained = 0;
    int resizeWidth = 0, resizeHeight = 0;
    int cursorX_ = -1, cursorY_ = -1;

private:
    int width_, height_;
};

}  // namespace plughost::tui
