// A Ui for commands that drive a plugin through a few menus and dialogs
// themselves: the next requests of the script are answered by the command
// (and logged as the scripted Ui logs them); every other request, and all
// of them once the script is used up, go to the Ui that was in force.
#pragma once

#include <deque>
#include <functional>

#include "host.h"
#include "ui.h"

namespace plughost {

struct DrivenStep {
    enum class Kind { kMenu, kDialog };
    Kind kind;
    int answer;
    // Run on a dialog's items before it is logged and answered.
    std::function<void(host::DialogItem* items, int count)> edit;
};

class DrivenUi : public Ui {
public:
    // Puts itself in force in `host` until destroyed.
    DrivenUi(Host& host, std::deque<DrivenStep> steps);
    ~DrivenUi() override;
    DrivenUi(const DrivenUi&) = delete;
    DrivenUi& operator=(const DrivenUi&) = delete;

    // True when every step of the script was taken.
    bool Done() const { return steps_.empty(); }

    int Menu(const MenuRequest& request) override;
    int Dialog(const DialogRequest& request) override;
    int Message(const MessageRequest& request) override;

private:
    bool Next(DrivenStep::Kind kind, DrivenStep* step);

    Host& host_;
    Ui& inner_;
    std::deque<DrivenStep> steps_;
};

}  // namespace plughost
