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
// cuts the file back to its length before this call; an abort, Esc on a
// failure question or a source that shrinks deletes an output that this call
// created. An output that is the source file itself is refused. A confirmed
// abort stops the whole job (sets `cancelled`).
bool EncodeFile(const std::string& sourcePath, const std::string& target, const EncodeSettings& settings,
                EncodeJobState& job);

// As EncodeFile, with `outputPath` the output itself rather than a pattern
// (an existing spelling of it differing only in letter case is used).
bool EncodeFileInto(const std::string& sourcePath, const std::string& outputPath, const EncodeSettings& settings,
                    EncodeJobState& job);

}  // namespace vexil
