#include "screen.h"

#include "keys.h"

namespace plughost::tui {

Screen::Screen(Terminal& terminal) : terminal_(terminal) { SyncSize(); }

void Screen::SyncSize() {
    int width = 0, height = 0;
    terminal_.Size(&width, &height);
    if (width != grid_.Width() || height != grid_.Height()) grid_.Resize(width, height);
}

bool Screen::FindHelp(const std::string& topic, HelpTopic* out) const {
    return help_ && !topic.empty() && help_(topic, out);
}

void Screen::Present() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    terminal_.Present(grid_, cursorX_, cursorY_);
}

void Screen::RepaintAll() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    SyncSize();
    grid_.Fill(0, 0, grid_.Width(), grid_.Height(), Style::kPanel);
    if (base_) base_(grid_);
    for (OpenLayer& layer : layers_) {
        layer.under = grid_;
        if (layer.painter) layer.painter(grid_);
    }
    Present();
}

int Screen::ReadKey(int timeoutMs) {
    const int code = terminal_.ReadKey(timeoutMs);
    if (code == key::kResize) RepaintAll();
    return code;
}

Screen::Layer::Layer(Screen& screen, std::function<void(Grid&)> painter) : screen_(screen) {
    std::lock_guard<std::recursive_mutex> lock(screen_.mutex_);
    screen_.SyncSize();
    screen_.layers_.push_back(OpenLayer{std::move(painter), screen_.grid_});
}

Screen::Layer::~Layer() {
    std::lock_guard<std::recursive_mutex> lock(screen_.mutex_);
    if (screen_.layers_.empty()) return;
    Grid under = std::move(screen_.layers_.back().under);
    screen_.layers_.pop_back();
    if (under.Width() == screen_.grid_.Width() && under.Height() == screen_.grid_.Height())
        screen_.grid_ = std::move(under);
    else
        screen_.RepaintAll();
    screen_.HideCursor();
    screen_.Present();
}

}  // namespace plughost::tui
