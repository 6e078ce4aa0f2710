// The compact dialog tables of vexil, expanded by SetStartupInfo into the
// prepared dialogs of ModuleState.
#pragma once

#include "vexil/frame/module_state.h"

namespace vexil {

constexpr int kGeneralOptionsItems = 6;
constexpr int kEncodingOptionsItems = 19;
constexpr int kEncodingDialogItems = 11;

extern const DialogTemplate kGeneralOptionsTemplate[kGeneralOptionsItems];
extern const DialogTemplate kEncodingOptionsTemplate[kEncodingOptionsItems];
// Items whose text is built at run time from a format carry the format's
// message number (brief items 3 and 6 to 9, detailed item 3); the dialog code
// overwrites those texts in its copy.
extern const DialogTemplate kBriefEncodingTemplate[kEncodingDialogItems];
extern const DialogTemplate kDetailedEncodingTemplate[kEncodingDialogItems];

}  // namespace vexil
