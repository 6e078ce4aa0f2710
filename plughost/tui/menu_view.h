// A vertical menu: a framed list of entries with hot keys.
#pragma once

#include <string>
#include <vector>

#include "screen.h"

namespace plughost::tui {

struct MenuLine {
    std::string text;
    bool selected = false;  // the entry the menu opens on
    bool checked = false;
    bool separator = false;
};

struct MenuContent {
    std::string title;
    std::string bottom;
    std::string helpTopic;
    std::vector<MenuLine> items;
};

// Index of the chosen entry; -1 on Esc or when there is nothing to choose.
int RunMenu(Screen& screen, const MenuContent& content);

}  // namespace plughost::tui
