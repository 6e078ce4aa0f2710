// plughost calc STEP...: drives the calculator plugin's real dialog through
// OpenPlugin. A dialog handler stands in for the user: on every showing it
// applies the steps up to the next --run or --evaluate to the items and
// presses that button; once the steps are used up it presses Close.
#include <cstring>
#include <optional>
#include <string>

#include "commands.h"

namespace plughost {

namespace {

// The calculator dialog's items as the host sees them.
constexpr int kItemCount = 16;
constexpr int kExpressionItem = 0;
constexpr int kFirstRadioItem = 5;   // DEC, HEX, OCT, BIN
constexpr int kFirstResultItem = 9;  // the results in the same order
constexpr int kRunButton = 13;
constexpr int kEvaluateButton = 14;
constexpr int kCloseButton = 15;
const char* const kRadixNames[] = {"dec", "hex", "oct", "bin"};

struct Step {
    enum Kind { kRadix, kExpression, kRun, kEvaluate } kind;
    int radix = 0;
    std::string text;
};

std::optional<int> RadixIndex(const std::string& name) {
    for (int i = 0; i < 4; ++i)
        if (name == kRadixNames[i]) return i;
    return std::nullopt;
}

bool ParseSteps(const std::vector<std::string>& args, std::vector<Step>* steps, std::string* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool hasValue = i + 1 < args.size();
        if (word == "--run") {
            steps->push_back({Step::kRun, 0, ""});
        } else if (word == "--evaluate") {
            steps->push_back({Step::kEvaluate, 0, ""});
        } else if (word == "--radix") {
            std::optional<int> radix = hasValue ? RadixIndex(args[i + 1]) : std::nullopt;
            if (!radix) {
                *error = "--radix takes dec, hex, oct or bin";
                return false;
            }
            steps->push_back({Step::kRadix, *radix, ""});
            ++i;
        } else if (word == "--expr") {
            if (!hasValue || args[i + 1].size() >= sizeof(host::DialogItem::data)) {
                *error = "--expr takes a text of at most 511 characters";
                return false;
            }
            steps->push_back({Step::kExpression, 0, args[i + 1]});
            ++i;
        } else {
            *error = "unknown step " + word;
            return false;
        }
    }
    return true;
}

std::string ItemText(const host::DialogItem& item) {
    const void* end = std::memchr(item.data, 0, sizeof item.data);
    return std::string(item.data, end != nullptr ? static_cast<const char*>(end) - item.data : sizeof item.data);
}

void PrintShown(const host::DialogItem* items, std::ostream& out) {
    out << "expression\t" << ItemText(items[kExpressionItem]) << "\n";
    for (int r = 0; r < 4; ++r) out << kRadixNames[r] << "\t" << ItemText(items[kFirstResultItem + r]) << "\n";
}

void Apply(const Step& step, host::DialogItem* items) {
    if (step.kind == Step::kRadix) {
        for (int r = 0; r < 4; ++r) items[kFirstRadioItem + r].selected = r == step.radix ? 1 : 0;
    } else if (step.kind == Step::kExpression) {
        std::memcpy(items[kExpressionItem].data, step.text.c_str(), step.text.size() + 1);
    }
}

// Restores the Ui's previous dialog handler however the command ends.
class HandlerScope {
public:
    HandlerScope(Ui& ui, Ui::DialogHandler handler) : ui_(ui), previous_(ui.SetDialogHandler(std::move(handler))) {}
    ~HandlerScope() { ui_.SetDialogHandler(std::move(previous_)); }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    Ui& ui_;
    Ui::DialogHandler previous_;
};

}  // namespace

int RunCalc(Host& host, const std::vector<std::string>& args, std::ostream& out) {
    std::vector<Step> steps;
    std::string error;
    if (!ParseSteps(args, &steps, &error)) {
        host.Log() << "plughost: calc: " << error << "\n";
        return 2;
    }
    Plugin* calculator = host.FindPlugin("calculator");
    if (calculator == nullptr || calculator->Exports().openPlugin == nullptr) {
        host.Log() << "plughost: calc: the calculator plugin is not loaded\n";
        return 1;
    }

    size_t next = 0;
    bool showPending = false;
    bool closed = false;
    bool strangeDialog = false;
    auto handler = [&](const DialogRequest& request) -> int {
        if (request.items == nullptr || request.count != kItemCount) {
            strangeDialog = true;
            return -1;
        }
        if (showPending) {
            PrintShown(request.items, out);
            showPending = false;
        }
        while (next < steps.size()) {
            const Step& step = steps[next++];
            if (step.kind == Step::kRun || step.kind == Step::kEvaluate) {
                showPending = true;
                return step.kind == Step::kRun ? kRunButton : kEvaluateButton;
            }
            Apply(step, request.items);
        }
        closed = true;
        return kCloseButton;
    };

    host::PanelHandle panel;
    {
        HandlerScope scope(host.GetUi(), handler);
        panel = calculator->Exports().openPlugin(0, 0);
    }
    if (strangeDialog) {
        host.Log() << "plughost: calc: the plugin showed a dialog that is not the calculator's\n";
        return 1;
    }
    if (!closed) {
        host.Log() << "plughost: calc: the calculator dialog ended before the steps did\n";
        return 1;
    }
    if (panel != host::kInvalidHandle) {
        host.Log() << "plughost: calc: OpenPlugin opened a panel\n";
        return 1;
    }
    return 0;
}

}  // namespace plughost
