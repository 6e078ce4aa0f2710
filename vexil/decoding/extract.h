// Extraction of a storage's items into a folder: the work behind GetFiles.
//
// Each item the host passes is either a complete file (its sections are
// joined in section-number order, from whichever text file holds them) or a
// section of an incomplete file (the selected sections of one file are
// decoded together into a file whose name says which sections it holds,
// "name.part-1-3-of-3", after a question). Every file is written into a
// temporary file in the destination folder and renamed to its name only
// when it was decoded whole, so a failure, a damaged line or Esc never
// leaves a file under the item's name nor touches one that was there.
#pragma once

#include <string>

#include "host/host_interface.h"
#include "vexil/storage/storage.h"

namespace vexil {

// The host's operation mode flags of GetFiles.
constexpr int kOpSilent = 0x1;     // no questions: whatever would be asked is skipped
constexpr int kOpFind = 0x2;
constexpr int kOpView = 0x4;       // extraction for viewing into the host's folder
constexpr int kOpEdit = 0x8;
constexpr int kOpTopLevel = 0x10;
constexpr int kOpDescriptions = 0x20;
constexpr int kOpQuickView = 0x40;

// Extracts `items` into `destPath` (the current directory when empty).
// Items extracted are unselected (their kItemSelected flag cleared).
// Returns 1 when every item was extracted, 0 when one was not, -1 when the
// user cancelled. `move` is refused with a message (0): moving is
// MoveItems of the deleting layer, which extracts through this.
int ExtractItems(Storage& storage, host::PanelItem* items, int count, bool move, const char* destPath, int opMode);

// The name under which a file that already exists in `folder` is kept
// beside it: "name (2).ext", "name (3).ext", ... the first that is free.
std::string FreeName(const std::string& folder, const std::string& name);

}  // namespace vexil
