// The progress box shown while files are encoded, and the Esc watch.
#pragma once

#include <string>

namespace vexil {

constexpr int kProgressClosing = -1;  // `number` of a job's closing call
constexpr int kAbortGoOn = 0;
constexpr int kAbortStop = 2;

// With a source path: announces a file (its name, the target, the number
// shown in the last line) and draws the box with the bar at `percent`.
// Without one: draws the last announcement again with a new bar; the closing
// call (number kProgressClosing) then forgets the announced texts.
void ShowEncodeProgress(const char* sourcePath, const char* target, int number, int percent);

// Updates the bar when `display` is set (and progress is not suppressed),
// then reads every pending console event; an Esc asks whether to stop.
// Returns kAbortStop when the user confirms, else kAbortGoOn.
int CheckAbortKey(int percent, bool display);

// The message numbers of the box's title and of the Esc question; the
// decoder sets its own for a job and restores the encoder's after it.
void SetProgressMessages(int title, int abortQuestion);

// The 25-character bar: floor(percent / 4) full blocks, the rest light shade.
std::string ProgressBar(int percent);

}  // namespace vexil
