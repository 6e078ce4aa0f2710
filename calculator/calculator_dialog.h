// The calculator dialog: an expression field, the radix to evaluate as,
// the result in four radixes, and the Run, Evaluate and Close buttons.
#pragma once

#include <array>
#include <string>

#include "host/host_interface.h"

namespace calc {

enum class Radix { Dec = 0, Hex = 1, Oct = 2, Bin = 3 };

// What the dialog shows, carried from one showing to the next.
struct CalculatorState {
    std::string expression = "0";
    Radix radix = Radix::Dec;
    std::array<std::string, 4> results = {"0", "0", "0", "0"};  // indexed by Radix
};

inline constexpr int kDialogItemCount = 16;
inline constexpr int kDialogWidth = 43;
inline constexpr int kDialogHeight = 12;
inline constexpr int kExpressionItem = 0;
inline constexpr int kFirstRadioItem = 5;   // DEC, HEX, OCT, BIN follow in order
inline constexpr int kFirstResultItem = 9;  // decimal, hexadecimal, octal, binary
inline constexpr int kRunButton = 13;
inline constexpr int kEvaluateButton = 14;
inline constexpr int kCloseButton = 15;

// Fills the 16 dialog items from the state.
void BuildDialogItems(const CalculatorState& state, host::DialogItem* items);

// The radio button selected in the items, or `current` when none is.
Radix SelectedRadix(const host::DialogItem* items, Radix current);

// Evaluates `expression` into the four results. With `evaluate`, a result
// (other than "Owerflow") also replaces the expression, written in the
// selected radix with its suffix ("h", "o", "b"; none for DEC). A failure
// shows "Error" four times and keeps the expression.
void Calculate(CalculatorState& state, const std::string& expression, bool evaluate, char separator);

// Shows the dialog until Close or Esc.
void CalculatorDialog(const host::HostStartupInfo& host, char separator);

}  // namespace calc
