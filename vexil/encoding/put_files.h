// Copying files onto a storage panel: each is encoded onto the end of the
// storage's text file.
#pragma once

#include "host/host_interface.h"

namespace vexil {

// Appends each of the `count` items (names relative to the current
// directory) to the text file `storagePath`, the storage's first plain-text
// file; null means the storage has none and nothing is done. Stops when the
// user cancels the job; a skipped file lets the next one go on. Returns 0.
int PutFilesInto(const char* storagePath, const host::PanelItem* items, int count);

}  // namespace vexil
