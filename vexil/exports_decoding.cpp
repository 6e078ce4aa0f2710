// Entry point of the decoding road: items of a storage panel copied out into
// a folder (F5, or viewing through an extraction into the host's folder).
#include "host/host_interface.h"
#include "vexil/decoding/extract.h"
#include "vexil/storage/storage.h"

HOST_EXPORT int HOST_CALL GetFiles(host::PanelHandle panel, host::PanelItem* items, int itemsNumber, int move,
                                   char* destPath, int opMode) {
    try {
        if (panel == nullptr || panel == host::kInvalidHandle) return 0;
        return vexil::ExtractItems(*static_cast<vexil::Storage*>(panel), items, itemsNumber, move != 0, destPath,
                                   opMode);
    } catch (...) {
        return 0;
    }
}
