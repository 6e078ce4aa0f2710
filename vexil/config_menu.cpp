#include "config_menu.h"

namespace vexil {

// Placeholder: the configuration menu is not wired yet.
int RunConfigureMenu() { return 1; }

}  // namespace vexil
