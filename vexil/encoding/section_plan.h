// How the data lines of one encoded file are cut into sections.
//
// Lines are counted from 1; a section starts before a line when the running
// count passes the bound, which then grows by the section length L. The
// header block of the first section counts as h lines (2, or 4 with the
// character table), so the first section holds L - h data lines and each
// later one L (one line each while L <= h, until the bound catches up).
#pragma once

#include <cstdint>

#include "vexil/frame/encode_settings.h"

namespace vexil {

constexpr uint64_t kNoMoreSections = UINT64_MAX;

// Data lines of a source of `length` bytes, encoded a chunk at a time.
uint64_t DataLineCount(uint64_t length);

class SectionPlan {
public:
    SectionPlan(uint64_t sourceLength, const EncodeSettings& settings);

    // Number of sections the whole file gets (at least 1).
    uint64_t Total() const { return total_; }
    // Ordinal of the section started last (0 before the first).
    uint64_t Started() const { return started_; }
    // The line before which the next section starts, or kNoMoreSections.
    uint64_t NextStart() const { return nextStart_; }
    // Records the start of the next section before line NextStart().
    void Start();

private:
    uint64_t length_;      // L; 0 when the text is not split
    uint64_t header_;      // h
    uint64_t total_;
    uint64_t started_ = 0;
    uint64_t nextStart_ = 1;
};

}  // namespace vexil
