#include "screen_ui.h"

#include "tui/dialog_view.h"
#include "tui/menu_view.h"
#include "tui/message_view.h"

namespace plughost::tui {

int ScreenUi::Menu(const MenuRequest& request) {
    MenuSpec spec;
    spec.title = request.title;
    spec.bottom = request.bottom;
    spec.helpTopic = request.helpTopic;
    for (const MenuEntry& entry : request.items)
        spec.items.push_back(MenuLine{entry.text, entry.selected, entry.checked, entry.separator});
    return RunMenu(screen_, spec);
}

int ScreenUi::Dialog(const DialogRequest& request) {
    DialogSpec spec;
    spec.helpTopic = request.helpTopic;
    if (request.x1 < 0 || request.y1 < 0) {
        // Centred: x2 and y2 are the width and height.
        spec.width = request.x2;
        spec.height = request.y2;
    } else {
        spec.x1 = request.x1;
        spec.y1 = request.y1;
        spec.width = request.x2 - request.x1 + 1;
        spec.height = request.y2 - request.y1 + 1;
    }
    spec.items = request.items;
    spec.count = request.count;
    return RunDialog(screen_, spec);
}

int ScreenUi::Message(const MessageRequest& request) {
    MessageSpec spec;
    spec.flags = request.flags;
    spec.helpTopic = request.helpTopic;
    spec.title = request.title;
    spec.lines = request.lines;
    spec.buttons = request.buttons;
    return RunMessage(screen_, spec);
}

}  // namespace plughost::tui
