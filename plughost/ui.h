// What plughost shows to the user: menus, dialogs and message boxes.
//
// The host operations translate the plugins' records into these requests and
// hand them to the Ui in force. ScriptedUi (scripted_ui.h) prints every request
// and answers from a queue; an interactive front end implements the same three
// calls. All three are made with the host's lock held (host.h), so an
// implementation never sees two requests at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/host_interface.h"

namespace plughost {

struct MenuEntry {
    std::string text;
    bool selected = false;  // the entry the menu opens on
    bool checked = false;
    bool separator = false;
};

struct MenuRequest {
    std::string title;
    std::string bottom;
    std::string helpTopic;
    uint32_t flags = 0;
    std::vector<MenuEntry> items;
};

struct MessageRequest {
    uint32_t flags = 0;  // host::kMsgWarning, kMsgLeftAlign, ...
    std::string helpTopic;
    std::string title;
    std::vector<std::string> lines;    // between the title and the buttons
    std::vector<std::string> buttons;  // none: the box is drawn and the call returns at once
};

// A dialog works on the plugin's own item array: the Ui writes the states
// (selected) and edit texts back into `items` before it returns.
struct DialogRequest {
    std::string helpTopic;
    int x1 = -1, y1 = -1, x2 = 0, y2 = 0;  // -1, -1, width, height for a centred dialog
    host::DialogItem* items = nullptr;
    int count = 0;
};

class Ui {
public:
    using DialogHandler = std::function<int(const DialogRequest& request)>;

    virtual ~Ui() = default;
    // Index of the chosen entry; -1 when cancelled (Esc).
    virtual int Menu(const MenuRequest& request) = 0;
    // Index of the item that closed the dialog; -1 when cancelled.
    virtual int Dialog(const DialogRequest& request) = 0;
    // Index of the button pressed; -1 when cancelled or when there are no buttons.
    virtual int Message(const MessageRequest& request) = 0;

    // A command that drives a plugin's dialog itself installs a handler that
    // answers dialogs in place of Dialog(); an empty handler removes it.
    // Returns the handler it replaces.
    DialogHandler SetDialogHandler(DialogHandler handler) {
        std::swap(handler, dialogHandler_);
        return handler;
    }
    // What the host's dialog operation calls: the handler if one is installed, else Dialog().
    int AnswerDialog(const DialogRequest& request) {
        return dialogHandler_ ? dialogHandler_(request) : Dialog(request);
    }

private:
    DialogHandler dialogHandler_;
};

}  // namespace plughost
