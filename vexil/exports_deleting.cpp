// Entry point of the deleting road: items removed from a storage's text (F8).
#include "host/host_interface.h"
#include "vexil/deleting/delete_items.h"
#include "vexil/storage/storage.h"

HOST_EXPORT int HOST_CALL DeleteFiles(host::PanelHandle panel, host::PanelItem* items, int itemsNumber, int opMode) {
    try {
        if (panel == nullptr || panel == host::kInvalidHandle) return 0;
        return vexil::DeleteItems(*static_cast<vexil::Storage*>(panel), items, itemsNumber, opMode);
    } catch (...) {
        return 0;
    }
}
