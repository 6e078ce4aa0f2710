// Where the encoder writes: the output path for a source and a target, and
// the names of later section files.
#pragma once

#include <string>

#include "vexil/frame/encode_settings.h"

namespace vexil {

constexpr size_t kMaxOutputPath = 1023;

// The output path of `sourcePath` for `target`. A target naming an existing
// directory receives "<source name>.uue" there; any other target's name and
// extension parts act as patterns that the source's name and extension must
// match (through the host's name matching) to be kept; a part that does not
// match is used as it is. With split output and no single storage a kept
// name gets "_1" added, the first of the section file names. Where names
// are case-sensitive, an existing file whose name differs from the result
// only in letter case is returned in its own spelling. A result longer than
// kMaxOutputPath is returned uncut, for the caller to refuse.
std::string ResolveOutputPath(const std::string& sourcePath, const std::string& target,
                              const EncodeSettings& settings);

// The name written into the encoded text: the source's name and extension.
std::string EncodedName(const std::string& sourcePath);

// The file of the next section: the run of digits that ends the name (never
// its first character) is read as k and replaced by k + 1 ("x_1" -> "x_2",
// "x_9" -> "x_10", "all" -> "all1").
std::string NextSectionPath(const std::string& path);

}  // namespace vexil
