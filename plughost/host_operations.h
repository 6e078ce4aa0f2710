// The host operations table handed to plugins in SetStartupInfo.
//
// Each operation finds the Host through Host::Current(), takes its mutex for
// the whole call and never lets an exception out. Menus, dialogs and message
// boxes go to the Host's Ui; texts come from the calling plugin's language
// file (by module number); HostControl reaches the panels (host.h).
#pragma once

#include <string>

#include "host/host_interface.h"

namespace plughost {

// The settings root handed to every plugin.
extern const char kPluginsRootKey[];  // "Software\plughost\Plugins"

// The record for a plugin's SetStartupInfo.
host::HostStartupInfo MakeStartupInfo(int moduleNumber, const std::string& modulePath);

// The operations themselves, for tests that call them directly.
int HOST_CALL HostMenu(int moduleNumber, int x, int y, int maxHeight, uint32_t flags, const char* title,
                       const char* bottom, const char* helpTopic, const int* breakKeys, int* breakCode,
                       const host::MenuItem* items, int itemsNumber);
int HOST_CALL HostDialog(int moduleNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
                         host::DialogItem* items, int itemsNumber);
int HOST_CALL HostMessage(int moduleNumber, uint32_t flags, const char* helpTopic, const char* const* items,
                          int itemsNumber, int buttonsNumber);
const char* HOST_CALL HostGetMsg(int moduleNumber, int msgId);
int HOST_CALL HostControl(host::PanelHandle panel, int command, void* param);
int HOST_CALL HostMatchName(const char* pattern, const char* name, int skipPath);

}  // namespace plughost
