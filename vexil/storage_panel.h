// The storage panel: the entry points tied to an open storage.
#pragma once

#include "storage.h"

namespace vexil {

// Destroys a storage created by OpenFilePlugin (the panel handle the host passes back).
void DestroyStorage(Storage* storage);

}  // namespace vexil
