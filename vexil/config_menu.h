// The configuration menu behind the Configure export.
#pragma once

namespace vexil {

// Runs the configuration menu until it is left; returns 1.
int RunConfigureMenu();

}  // namespace vexil
