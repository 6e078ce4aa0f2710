// Entry points of the storage panel: thin adapters over storage_panel.h. No
// exception leaves an entry point.
#include "host/host_interface.h"
#include "vexil/storage/storage_panel.h"

using vexil::Storage;

HOST_EXPORT host::PanelHandle HOST_CALL OpenFilePlugin(char* name, const unsigned char* data, int dataSize) {
    try {
        Storage* storage = vexil::OpenStorage(name, data, dataSize);
        return storage != nullptr ? static_cast<host::PanelHandle>(storage) : host::kInvalidHandle;
    } catch (...) {
        return host::kInvalidHandle;
    }
}

HOST_EXPORT void HOST_CALL GetOpenPluginInfo(host::PanelHandle panel, host::OpenPanelDescription* info) {
    try {
        vexil::DescribeStorage(*static_cast<Storage*>(panel), info);
    } catch (...) {
    }
}

HOST_EXPORT int HOST_CALL GetFindData(host::PanelHandle panel, host::PanelItem** items, int* itemsNumber,
                                      int /*opMode*/) {
    try {
        vexil::ListStorage(*static_cast<Storage*>(panel), items, itemsNumber);
    } catch (...) {
        *items = nullptr;
        *itemsNumber = 0;
    }
    return 1;
}

HOST_EXPORT int HOST_CALL ProcessEvent(host::PanelHandle panel, int event, void* /*param*/) {
    try {
        vexil::StorageEvent(*static_cast<Storage*>(panel), panel, event);
    } catch (...) {
    }
    return 0;
}
