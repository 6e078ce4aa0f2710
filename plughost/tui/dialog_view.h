// A modal dialog drawn from the host's dialog item array.
//
// The dialog is `width` x `height` cells, centred on the screen; item
// coordinates are relative to its top-left corner. States of check boxes and
// radio buttons, the texts of edit fields and the focus are written back into
// the items when the dialog closes.
#pragma once

#include <string>

#include "host/host_interface.h"
#include "screen.h"

namespace plughost::tui {

struct DialogContent {
    std::string helpTopic;
    int x1 = -1, y1 = -1;    // -1, -1: centred; else the dialog's corner on screen
    int width = 0, height = 0;
    host::DialogItem* items = nullptr;
    int count = 0;
};

// Index of the item that closed the dialog (a button, or the default button
// on Enter); -1 on Esc.
int RunDialog(Screen& screen, const DialogContent& content);

}  // namespace plughost::tui
