// The host's Ui on the screen: menus, dialogs and message boxes drawn by
// the screen layer.
#pragma once

#include "tui/screen.h"
#include "ui.h"

namespace plughost::tui {

class ScreenUi : public Ui {
public:
    explicit ScreenUi(Screen& screen) : screen_(screen) {}

    int Menu(const MenuRequest& request) override;
    int Dialog(const DialogRequest& request) override;
    int Message(const MessageRequest& request) override;

private:
    Screen& screen_;
};

}  // namespace plughost::tui
