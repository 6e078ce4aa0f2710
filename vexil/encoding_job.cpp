#include "encoding_job.h"

namespace vexil {

// Placeholder: encoding is not wired yet, so the menu entry does nothing.
void StartEncoding() {}

}  // namespace vexil
