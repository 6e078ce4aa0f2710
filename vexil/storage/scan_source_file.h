// ScanSourceFile: scans a whole text file into a storage.
#pragma once

#include <string>

#include "vexil/storage/storage.h"

namespace vexil {

// Reads the file through a CheckedFile bound to the storage's job state and
// registers every accepted block in file order, exactly as a scan of the
// whole file in one piece would; records the file with AddSourceFile when
// at least one block was accepted. A file that cannot be found first gets
// the not-found prompt; a file failure the user gives up on ends the scan
// (blocks registered so far stay, without a source path).
void ScanSourceFile(Storage& storage, const std::string& path);

}  // namespace vexil
