#include "driven_ui.h"

#include "scripted_ui.h"

namespace plughost {

DrivenUi::DrivenUi(Host& host, std::deque<DrivenStep> steps)
    : host_(host), inner_(host.ReplaceUi(*this)), steps_(std::move(steps)) {}

DrivenUi::~DrivenUi() { host_.ReplaceUi(inner_); }

bool DrivenUi::Next(DrivenStep::Kind kind, DrivenStep* step) {
    if (steps_.empty() || steps_.front().kind != kind) return false;
    *step = std::move(steps_.front());
    steps_.pop_front();
    return true;
}

int DrivenUi::Menu(const MenuRequest& request) {
    DrivenStep step;
    if (!Next(DrivenStep::Kind::kMenu, &step)) return inner_.Menu(request);
    ScriptedUi echo(host_.Log());
    echo.QueueAnswer(step.answer);
    return echo.Menu(request);
}

int DrivenUi::Dialog(const DialogRequest& request) {
    DrivenStep step;
    if (!Next(DrivenStep::Kind::kDialog, &step)) return inner_.Dialog(request);
    if (step.edit) step.edit(request.items, request.count);
    ScriptedUi echo(host_.Log());
    echo.QueueAnswer(step.answer);
    return echo.Dialog(request);
}

int DrivenUi::Message(const MessageRequest& request) { return inner_.Message(request); }

}  // namespace plughost
