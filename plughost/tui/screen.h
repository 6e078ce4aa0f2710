// The screen: one grid shown on a terminal, a base painter for what lies at
// the bottom (the panels) and a stack of modal layers (dialogs, menus, boxes).
//
// A layer saves what was under it when it opens and puts it back when it
// closes, so a box drawn by a button-less message stays until something is
// drawn over it. When the terminal is resized the base and every open layer
// are painted again in order.
//
// All drawing happens with Mutex() held: plugins may call the host from a
// second thread (the wait notice).
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "grid.h"
#include "terminal.h"

namespace plughost::tui {

struct HelpTopic {
    std::string title;
    std::vector<std::string> lines;
};

class Screen {
public:
    explicit Screen(Terminal& terminal);

    Grid& GetGrid() { return grid_; }
    std::recursive_mutex& Mutex() { return mutex_; }

    // Paints the base (panels, title line, key bar) on a full repaint.
    void SetBasePainter(std::function<void(Grid&)> painter) { base_ = std::move(painter); }
    // Finds a help topic for F1; the result is false when there is none.
    void SetHelpSource(std::function<bool(const std::string& topic, HelpTopic* out)> source) {
        help_ = std::move(source);
    }
    bool FindHelp(const std::string& topic, HelpTopic* out) const;

    void SetCursor(int x, int y) { cursorX_ = x, cursorY_ = y; }
    void HideCursor() { cursorX_ = -1; }
    // Shows the grid as it stands.
    void Present();
    // Paints base and layers afresh and shows them.
    void RepaintAll();
    // Reads a key; on a resize the grid takes the new size and everything is
    // repainted before key::kResize is returned.
    int ReadKey(int timeoutMs);
    int QuitSignal() { return terminal_.QuitSignal(); }

    // A modal layer: opened by the constructor, closed by the destructor.
    class Layer {
    public:
        Layer(Screen& screen, std::function<void(Grid&)> painter);
        ~Layer();
        Layer(const Layer&) = delete;
        Layer& operator=(const Layer&) = delete;

    private:
        Screen& screen_;
    };
    int LayerCount() const { return static_cast<int>(layers_.size()); }

private:
    struct OpenLayer {
        std::function<void(Grid&)> painter;
        Grid under;  // the grid as it was when the layer opened
    };
    void SyncSize();

    Terminal& terminal_;
    Grid grid_;
    std::recursive_mutex mutex_;
    std::function<void(Grid&)> base_;
    std::function<bool(const std::string&, HelpTopic*)> help_;
    std::vector<OpenLayer> layers_;
    int cursorX_ = -1, cursorY_ = -1;
};

}  // namespace plughost::tui
