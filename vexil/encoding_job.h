// Encoding jobs started from the plugins menu.
#pragma once

namespace vexil {

// Encodes the selected files of the active panel: the brief encoding dialog
// when AutoApply is 1, the detailed one otherwise.
void StartEncoding();

}  // namespace vexil
