// Deleting items from a storage: the work behind DeleteFiles.
//
// Every block of a selected item is cut out of its text file. The new text is
// the old one minus the cut ranges, byte for byte otherwise, written into a
// temporary file beside the text and renamed over it only when it was written
// whole, so a failure at any point leaves the text file as it was.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host_interface.h"
#include "vexil/storage/storage.h"

namespace vexil {

// One block to cut: its recorded extent (SectionBlock::blockBegin/End).
// Section blocks also take the blank line after them that the encoder's
// separator writes; plain blocks end with their terminator line.
struct BlockCut {
    uint64_t begin = 0;
    uint64_t end = 0;
    bool section = true;
};

enum class RewriteStatus {
    kDone,
    kChanged,  // the file's size or last-write time differs from the scan's
    kFailed,   // nothing was changed
};

// Rewrites the text file of `source` without the blocks of `cuts`: each is
// widened to whole lines (a header that only blanks precede on its line is
// taken from the line start; the block's last line end, and for a section
// block one blank line after it, go with it).
RewriteStatus RemoveBlocks(const SourceFile& source, const std::vector<BlockCut>& cuts);

// Deletes `items` from the storage after a confirmation (none when opMode
// has kOpSilent). Items deleted are unselected. The sources rewritten are
// scanned again. Returns 1 when every item was deleted, 0 otherwise.
int DeleteItems(Storage& storage, host::PanelItem* items, int count, int opMode);

// GetFiles with move set: extracts the items into `destPath`, then deletes,
// without a question, exactly those that were extracted whole. Items moved
// are unselected; the others stay selected. Returns 1 when every item was
// moved, 0 when one was not, -1 when the user cancelled the extraction.
int MoveItems(Storage& storage, host::PanelItem* items, int count, const char* destPath, int opMode);

}  // namespace vexil
