// Entry point of the encoding road onto a storage panel: files copied onto
// the panel are appended to the storage's first plain-text file.
#include "host/host_interface.h"
#include "vexil/encoding/put_files.h"
#include "vexil/storage/storage.h"

HOST_EXPORT int HOST_CALL PutFiles(host::PanelHandle panel, host::PanelItem* items, int itemsNumber, int /*move*/,
                                   int /*opMode*/) {
    try {
        if (panel == nullptr || panel == host::kInvalidHandle || items == nullptr || itemsNumber <= 0) return 0;
        const vexil::SourceFile* writable = static_cast<vexil::Storage*>(panel)->WritableSource();
        return vexil::PutFilesInto(writable ? writable->path.c_str() : nullptr, items, itemsNumber);
    } catch (...) {
        return 0;
    }
}
