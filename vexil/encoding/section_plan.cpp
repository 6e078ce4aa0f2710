#include "vexil/encoding/section_plan.h"

#include <algorithm>

#include "vexil/encoding/chunk_encoder.h"

namespace vexil {

uint64_t DataLineCount(uint64_t length) {
    return (length / kChunkSize) * ChunkLineCount(kChunkSize) + ChunkLineCount(length % kChunkSize);
}

SectionPlan::SectionPlan(uint64_t sourceLength, const EncodeSettings& settings)
    // A stored length of 0 (or less) would put every line in a section of its own; it counts as 1.
    : length_(settings.SplitOutput ? static_cast<uint64_t>(std::max<int32_t>(settings.LinesPerSection, 1)) : 0),
      header_(settings.CharacterTable ? 4 : 2) {
    const uint64_t lines = DataLineCount(sourceLength);
    if (length_ == 0 || lines == 0) {
        total_ = 1;
    } else {
        // The j-th section starts before line max(j, (j - 1) L - h + 1).
        total_ = std::min(lines, (lines + header_ - 1) / length_ + 1);
    }
}

void SectionPlan::Start() {
    ++started_;
    if (length_ == 0) {
        nextStart_ = kNoMoreSections;
        return;
    }
    const uint64_t boundReach = started_ * length_ + 1;  // j L - h + 1, kept from going below 1
    nextStart_ = std::max(nextStart_ + 1, boundReach > header_ ? boundReach - header_ : 1);
}

}  // namespace vexil
