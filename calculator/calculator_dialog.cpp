#include "calculator_dialog.h"

#include <cstring>
#include <vector>

#include "checked_float.h"
#include "decimal_text.h"
#include "radix_numbers.h"
#include "str2math.h"

namespace calc {

namespace {

constexpr uint32_t kTextFlags = host::kDifSetColor;  // 0x200 as the items pass it
constexpr uint32_t kResultBoxFlags = 0xa00;
constexpr const char* kRadioTexts[] = {"&DEC", "&HEX", "&OCT", "&BIN"};
constexpr const char* kSuffixes[] = {"", "h", "o", "b"};
constexpr int kRadixes[] = {10, 16, 8, 2};
const char kErrorText[] = "Error";

void SetText(host::DialogItem& item, const std::string& text) {
    size_t length = std::min(text.size(), sizeof item.data - 1);
    std::memcpy(item.data, text.data(), length);
    item.data[length] = '\0';
}

host::DialogItem MakeItem(int type, int x1, int y1, int x2, int y2, uint32_t flags, const std::string& text) {
    host::DialogItem item{};
    item.type = type;
    item.x1 = x1;
    item.y1 = y1;
    item.x2 = x2;
    item.y2 = y2;
    item.flags = flags;
    SetText(item, text);
    return item;
}

}  // namespace

void BuildDialogItems(const CalculatorState& state, host::DialogItem* items) {
    using namespace host;
    items[0] = MakeItem(kDiEdit, 2, 2, 40, 0, kTextFlags, state.expression);
    items[0].focus = -1;
    items[0].selected = 1;
    items[1] = MakeItem(kDiDoubleBox, 0, 0, 42, 11, 0, "Calculator");
    items[2] = MakeItem(kDiText, 2, 1, 0, 0, kTextFlags, "Expression");
    items[3] = MakeItem(kDiSingleBox, 9, 3, 40, 9, kResultBoxFlags, "");
    items[4] = MakeItem(kDiText, 2, 4, 0, 0, kTextFlags, "Eval As");
    for (int r = 0; r < 4; ++r) {
        items[kFirstRadioItem + r] = MakeItem(kDiRadioButton, 2, 5 + r, 0, 0, kTextFlags, kRadioTexts[r]);
        items[kFirstRadioItem + r].selected = static_cast<int>(state.radix) == r ? 1 : 0;
        items[kFirstResultItem + r] = MakeItem(kDiText, 10, 5 + r, 0, 0, kTextFlags, state.results[r]);
    }
    items[kRunButton] = MakeItem(kDiButton, 2, 10, 0, 0, kDifCenterGroup, "&Run");
    items[kRunButton].defaultButton = 1;
    items[kEvaluateButton] = MakeItem(kDiButton, 10, 10, 0, 0, kDifCenterGroup, "&Evaluate");
    items[kCloseButton] = MakeItem(kDiButton, 32, 10, 0, 0, kDifCenterGroup, "Close");
}

Radix SelectedRadix(const host::DialogItem* items, Radix current) {
    for (int r = 0; r < 4; ++r) {
        if (items[kFirstRadioItem + r].selected) return static_cast<Radix>(r);
    }
    return current;
}

void Calculate(CalculatorState& state, const std::string& expression, bool evaluate, char separator) {
    // The results and their radix digits are made at the precision the
    // evaluation uses, whatever the host's control word.
    const ExtendedPrecisionScope precision;
    state.expression = expression;
    std::optional<double> value = EvaluateExpression(expression, separator);
    if (!value) {
        state.results.fill(kErrorText);
        return;
    }
    state.results[0] = FormatDecimal(*value, separator);
    for (int r = 1; r < 4; ++r) state.results[r] = DecimalToRadix(state.results[0], kRadixes[r], separator);
    const int selected = static_cast<int>(state.radix);
    if (evaluate && state.results[selected] != kOverflowText) {
        std::string text = state.results[selected];
        // Binary 0 and 1 go back as "0b" and "1b", without the pad digit.
        const size_t digits = text[0] == '-' ? 1 : 0;
        if (state.radix == Radix::Bin && text.size() == digits + 2 && text[digits] == '0') text.erase(digits, 1);
        state.expression = text + kSuffixes[selected];
    }
}

void CalculatorDialog(const host::HostStartupInfo& host, char separator) {
    CalculatorState state;
    for (;;) {
        std::vector<host::DialogItem> items(kDialogItemCount);
        BuildDialogItems(state, items.data());
        int closedBy = host.dialog(host.moduleNumber, -1, -1, kDialogWidth, kDialogHeight, nullptr, items.data(),
                                   kDialogItemCount);
        state.radix = SelectedRadix(items.data(), state.radix);
        if (closedBy == -1 || closedBy == kCloseButton) return;
        const host::DialogItem& field = items[kExpressionItem];
        std::string typed(field.data, strnlen(field.data, sizeof field.data));
        Calculate(state, typed, closedBy == kEvaluateButton, separator);
    }
}

}  // namespace calc
