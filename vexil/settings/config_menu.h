// The configuration menu behind the Configure export and its two dialogs.
#pragma once

namespace vexil {

// Runs the configuration menu until it is left (Esc or the save item); returns 1.
int RunConfigureMenu();

// The options dialogs; each changes the live settings only when accepted.
void ShowGeneralOptions();
void ShowEncodingOptions();

}  // namespace vexil
