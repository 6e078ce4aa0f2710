// EncodeFile: one source file into uuencoded (or xxencoded) text.
#pragma once

#include <string>

#include "vexil/frame/encode_settings.h"

namespace vexil {

// Encodes `sourcePath` (full, or relative to the current directory) for
// `target` (an existing directory, or a path whose name and extension act
// as patterns): into a new file, a set of section files, or, when the job
// appends, onto the end of an existing file. Asks before writing over an
// existing output unless the job appends to its target. True when the whole
// source was encoded and the trailer written; false when the file was
// skipped, cancelled, aborted or failed. An abort or failure while appending
// cuts the file back to its length before this call; an abort deletes an
// output that this call created.
bool EncodeFile(const std::string& sourcePath, const std::string& target, const EncodeSettings& settings,
                EncodeJobState& job);

}  // namespace vexil
