// The question asked when the encoder's output file exists already.
#pragma once

#include <cstdint>
#include <string>

namespace vexil {

enum class ExistingOutputAnswer { kSkip, kReplace, kAppend, kCancel };

// Estimated size of the encoded text of a `sourceSize`-byte file named
// `encodedName` (the "~" figure of the question).
uint64_t EstimatedEncodedSize(uint64_t sourceSize, size_t encodedNameLength);

// Shows the question with the new and the existing file's figures.
ExistingOutputAnswer AskAboutExistingOutput(const std::string& sourcePath, const std::string& outputPath,
                                            const std::string& encodedName);

}  // namespace vexil
