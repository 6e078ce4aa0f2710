// Entry points of the storage panel.
// Placeholders until the storage panel lands: no file is taken over, so the
// host never holds a storage handle and the others are never reached.
#include "host/host_interface.h"

HOST_EXPORT host::PanelHandle HOST_CALL OpenFilePlugin(char* /*name*/, const unsigned char* /*data*/,
                                                       int /*dataSize*/) {
    return host::kInvalidHandle;
}

HOST_EXPORT void HOST_CALL GetOpenPluginInfo(host::PanelHandle /*panel*/, host::OpenPanelDescription* /*info*/) {}

HOST_EXPORT int HOST_CALL GetFindData(host::PanelHandle /*panel*/, host::PanelItem** items, int* itemsNumber,
                                      int /*opMode*/) {
    *items = nullptr;
    *itemsNumber = 0;
    return 1;
}

HOST_EXPORT int HOST_CALL ProcessEvent(host::PanelHandle /*panel*/, int /*event*/, void* /*param*/) { return 0; }
