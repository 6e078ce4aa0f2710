// Entry point of the encoding road onto a storage panel.
// Placeholder until encoding lands: nothing is appended.
#include "host/host_interface.h"

HOST_EXPORT int HOST_CALL PutFiles(host::PanelHandle /*panel*/, host::PanelItem* /*items*/, int /*itemsNumber*/,
                                   int /*move*/, int /*opMode*/) {
    return 0;
}
