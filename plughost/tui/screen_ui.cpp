#include "screen_ui.h"

#include "tui/dialog_view.h"
#include "tui/menu_view.h"
#include "tui/message_view.h"

namespace plughost::tui {

int ScreenUi::Menu(const MenuRequest& request) {
    MenuContent content;
    content.title = request.title;
    content.bottom = request.bottom;
    content.helpTopic = request.helpTopic;
    for (const MenuEntry& entry : request.items)
        content.items.push_back(MenuLine{entry.text, entry.selected, entry.checked, entry.separator});
    return RunMenu(screen_, content);
}

int ScreenUi::Dialog(const DialogRequest& request) {
    DialogContent content;
    content.helpTopic = request.helpTopic;
    if (request.x1 < 0 || request.y1 < 0) {
        // Centred: x2 and y2 are the width and height.
        content.width = request.x2;
        content.height = request.y2;
    } else {
        content.x1 = request.x1;
        content.y1 = request.y1;
        content.width = request.x2 - request.x1 + 1;
        content.height = request.y2 - request.y1 + 1;
    }
    content.items = request.items;
    content.count = request.count;
    return RunDialog(screen_, content);
}

int ScreenUi::Message(const MessageRequest& request) {
    MessageContent content;
    content.flags = request.flags;
    content.helpTopic = request.helpTopic;
    content.title = request.title;
    content.lines = request.lines;
    content.buttons = request.buttons;
    return RunMessage(screen_, content);
}

}  // namespace plughost::tui
