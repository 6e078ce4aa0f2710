// Entry points of the plugin frame: start, plugin menus, closing, configuration.
// Thin adapters from the host ABI to the core; no exception leaves them.
#include <cstdio>
#include <cstring>
#include <string>

#include "vexil/frame/alphabets.h"
#include "vexil/settings/config_menu.h"
#include "vexil/frame/dialog_templates.h"
#include "vexil/encoding/encoding_job.h"
#include "host/host_interface.h"
#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "platform/platform.h"
#include "vexil/settings/settings_store.h"
#include "vexil/storage/storage_panel.h"

using namespace vexil;

HOST_EXPORT void HOST_CALL SetStartupInfo(const host::HostStartupInfo* info) {
    try {
        ModuleState& m = Module();
        std::memcpy(&m.host, info, host::kStartupInfoCopySize);
        std::snprintf(m.settingsKeyPath, sizeof m.settingsKeyPath, "%s\\VEXIL", m.host.rootKey);
        m.generalOptions = PrepareDialogItems(kGeneralOptionsTemplate, kGeneralOptionsItems);
        m.encodingOptions = PrepareDialogItems(kEncodingOptionsTemplate, kEncodingOptionsItems);
        m.briefEncoding = PrepareDialogItems(kBriefEncodingTemplate, kEncodingDialogItems);
        m.detailedEncoding = PrepareDialogItems(kDetailedEncodingTemplate, kEncodingDialogItems);
        BuildAlphabets();
        LoadSettings();
    } catch (...) {
    }
}

HOST_EXPORT void HOST_CALL GetPluginInfo(host::PluginMenuInfo* info) {
    try {
        ModuleState& m = Module();
        m.menuString = GetMsgText(MPluginTitle);
        info->structSize = sizeof(host::PluginMenuInfo);
        info->pluginMenuStrings = &m.menuString;
        info->pluginMenuStringsNumber = 1;
        info->pluginConfigStrings = &m.menuString;
        info->pluginConfigStringsNumber = 1;
    } catch (...) {
    }
}

HOST_EXPORT host::PanelHandle HOST_CALL OpenPlugin(int /*openFrom*/, intptr_t /*item*/) {
    try {
        host::MenuItem items[2] = {};
        std::snprintf(items[0].text, sizeof items[0].text, "%s", GetMsgText(MEncodeFiles));
        std::snprintf(items[1].text, sizeof items[1].text, "reserved (%s)", GetMsgText(MReservedEntry));
        const host::HostStartupInfo& h = Module().host;
        const int chosen = h.menu(h.moduleNumber, -1, -1, 0, host::kMenuWrapMode, GetMsgText(MPluginTitle),
                                  nullptr, nullptr, nullptr, nullptr, items, 2);
        if (chosen == 0) StartEncoding();
    } catch (...) {
    }
    return host::kInvalidHandle;
}

HOST_EXPORT void HOST_CALL ClosePlugin(host::PanelHandle panel) {
    try {
        DestroyStorage(static_cast<Storage*>(panel));
    } catch (...) {
    }
    try {
        platform::os().SetCurrentDir(std::string(1, platform::kPathSeparator));
    } catch (...) {
    }
}

HOST_EXPORT int HOST_CALL Configure(int /*itemNumber*/) {
    try {
        return RunConfigureMenu();
    } catch (...) {
        return 1;
    }
}
