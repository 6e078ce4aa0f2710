// The settings record of vexil and the per-job state record.
#pragma once

#include <cstdint>

namespace vexil {

// The eleven settings, in their stored order (see settings_store.h for
// defaults and persistence).
struct EncodeSettings {
    int32_t SuppressOutput = 0;
    int32_t AssociateWithFiles = 1;
    int32_t OnlyShortFilenames = 0;
    int32_t EnableSingleStorage = 0;
    int32_t CharacterTable = 1;
    int32_t Checksums = 1;
    int32_t CRC = 1;
    int32_t EncodingType = 0;  // 0 UU alphabet, 1 XX alphabet
    int32_t SplitOutput = 0;
    int32_t LinesPerSection = 100;
    int32_t AutoApply = 1;
};

// The record of one encoding job (or of one storage's scans); all zero at start.
struct EncodeJobState {
    int32_t cancelled = 0;       // set when the user cancels the whole job
    int32_t appending = 0;       // the existing-output question chose replace/append
    int32_t appendToTarget = 0;  // the caller appends every file to the target
    int32_t completed = 0;       // the last file was encoded to its end
};

}  // namespace vexil
