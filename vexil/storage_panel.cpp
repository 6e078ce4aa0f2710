#include "storage_panel.h"

namespace vexil {

// Placeholder: no storage is ever created yet, so there is nothing to destroy.
void DestroyStorage(Storage*) {}

}  // namespace vexil
