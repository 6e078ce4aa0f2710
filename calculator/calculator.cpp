// The calculator plugin's exported entry points. They adapt the host's
// calling convention to the dialog and keep every exception inside.
#include <cstring>

#include "calculator_dialog.h"
#include "host/host_interface.h"
#include "host_lang.h"
#include "platform/platform.h"

namespace {

host::HostStartupInfo g_host{};
const char* const kPluginMenuStrings[] = {"Calculato&r"};
constexpr int kPluginMenuInfoSize = 36;

// The user's decimal separator, read once when the library is loaded.
const char g_separator = platform::os().DecimalSeparator();

}  // namespace

HOST_EXPORT void HOST_CALL SetStartupInfo(const host::HostStartupInfo* info) {
    std::memcpy(&g_host, info, host::kStartupInfoCopySize);
}

HOST_EXPORT void HOST_CALL GetPluginInfo(host::PluginMenuInfo* info) {
    try {
        info->structSize = kPluginMenuInfoSize;
        info->flags = 0;
        info->diskMenuStringsNumber = 0;
        info->pluginMenuStrings = kPluginMenuStrings;
        info->pluginMenuStringsNumber = 1;
        info->pluginConfigStringsNumber = 0;
    } catch (...) {
        calc::ShowExceptionNotice(g_host);
    }
}

HOST_EXPORT host::PanelHandle HOST_CALL OpenPlugin(int /*openFrom*/, intptr_t /*item*/) {
    try {
        calc::CalculatorDialog(g_host, g_separator);
    } catch (...) {
        calc::ShowExceptionNotice(g_host);
    }
    return host::kInvalidHandle;
}
