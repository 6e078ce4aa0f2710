// The storage panel: opening a text file as a storage, describing and listing
// it for the host, following changes of its file, and the wait notice shown
// while a long scan runs. The exports in exports_storage.cpp adapt the host's
// calls to these functions.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "host/host_interface.h"
#include "vexil/storage/storage.h"

namespace vexil {

// Opens the file `name` (its first bytes in data/dataSize) as a storage; null
// when the plugin does not take the file.
Storage* OpenStorage(const char* name, const unsigned char* data, int dataSize);

// Fills the panel description of an open storage.
void DescribeStorage(const Storage& storage, host::OpenPanelDescription* info);

// Builds the panel items: one per complete file, one per section of an
// incomplete one. The array stays valid until the next listing of the same
// storage or its destruction.
void ListStorage(Storage& storage, host::PanelItem** items, int* count);

// A file is complete when every section number from 1 to its total is present.
bool IsComplete(const EncodedFile& file);
// The item name of a complete file: its name made safe (what extraction writes).
std::string CompleteItemName(const EncodedFile& file);
// The item name of a section of an incomplete file: "name NN/TT".
std::string SectionItemName(const Section& section, const EncodedFile& file);

// Handles a host event: on the idle event the first source file whose
// last-write time changed is scanned again and the host asked to re-read and
// redraw the panel `handle`.
void StorageEvent(Storage& storage, host::PanelHandle handle, int event);

// Destroys a storage created by OpenStorage (the panel handle the host passes back).
void DestroyStorage(Storage* storage);

// The title every open storage shows (written by each successful open).
const char* PanelTitle();

// Module-wide scan state shared with the wait-notice thread: `scanFinished`
// is 0 while OpenStorage scans, and `scanSerial` numbers the scans, so that
// a notice thread of an earlier scan never mistakes a later scan's 0 for its own.
struct ScanState {
    std::atomic<int32_t> scanFinished{1};
    std::atomic<uint32_t> scanSerial{0};
    std::atomic<int32_t> liveNotices{0};  // notice threads not yet ended
};
ScanState& Scanning();

// Body of the notice thread; `argument` carries the serial of its scan.
void WaitNotice(void* argument);

}  // namespace vexil
