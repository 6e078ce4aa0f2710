// Message boxes: a title, lines of text and a row of buttons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "screen.h"

namespace plughost::tui {

struct MessageContent {
    uint32_t flags = 0;  // host::kMsgWarning: warning colours; host::kMsgLeftAlign: lines not centred
    std::string helpTopic;
    std::string title;
    std::vector<std::string> lines;
    std::vector<std::string> buttons;
};

// With buttons: the index of the button chosen, -1 on Esc. Without: the box
// is drawn, left on the screen, and -1 is returned at once.
int RunMessage(Screen& screen, const MessageContent& content);

}  // namespace plughost::tui
