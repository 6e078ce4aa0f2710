// Entry point of the decoding road: items of a storage panel copied out into
// a folder (F5, or viewing through an extraction into the host's folder),
// or moved out (F6: extracted, then deleted from the storage).
#include "host/host_interface.h"
#include "vexil/decoding/extract.h"
#include "vexil/deleting/delete_items.h"
#include "vexil/storage/storage.h"

HOST_EXPORT int HOST_CALL GetFiles(host::PanelHandle panel, host::PanelItem* items, int itemsNumber, int move,
                                   char* destPath, int opMode) {
    try {
        if (panel == nullptr || panel == host::kInvalidHandle) return 0;
        auto& storage = *static_cast<vexil::Storage*>(panel);
        if (move != 0) return vexil::MoveItems(storage, items, itemsNumber, destPath, opMode);
        return vexil::ExtractItems(storage, items, itemsNumber, false, destPath,
                                   opMode);
    } catch (...) {
        return 0;
    }
}
