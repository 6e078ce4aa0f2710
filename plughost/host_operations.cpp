#include "host_operations.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "host.h"
#include "match_name.h"
#include "platform/process_env.h"

namespace plughost {

const char kPluginsRootKey[] = "Software\\plughost\\Plugins";

namespace {

std::string Text(const char* text) { return text != nullptr ? text : ""; }

// A fixed-size text field, which need not hold a terminating zero.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
    const void* end = std::memchr(field, 0, N);
    return std::string(field, end != nullptr ? static_cast<const char*>(end) - field : N);
}

// The seven operations the plugins never call.
void* HOST_CALL UnusedOperation() { return nullptr; }

}  // namespace

int HOST_CALL HostMenu(int /*moduleNumber*/, int /*x*/, int /*y*/, int /*maxHeight*/, uint32_t flags,
                       const char* title, const char* bottom, const char* helpTopic, const int* /*breakKeys*/,
                       int* breakCode, const host::MenuItem* items, int itemsNumber) {
    try {
        Host* host = Host::Current();
        if (host == nullptr) return -1;
        std::lock_guard<std::recursive_mutex> lock(host->Mutex());
        MenuRequest request;
        request.title = Text(title);
        request.bottom = Text(bottom);
        request.helpTopic = Text(helpTopic);
        request.flags = flags;
        for (int i = 0; i < itemsNumber; ++i) {
            MenuEntry entry;
            entry.text = FieldText(items[i].text);
            entry.selected = items[i].selected != 0;
            entry.checked = items[i].checked != 0;
            entry.separator = items[i].separator != 0;
            request.items.push_back(entry);
        }
        if (breakCode != nullptr) *breakCode = -1;
        return host->GetUi().Menu(request);
    } catch (...) {
        return -1;
    }
}

int HOST_CALL HostDialog(int /*moduleNumber*/, int x1, int y1, int x2, int y2, const char* helpTopic,
                         host::DialogItem* items, int itemsNumber) {
    try {
        Host* host = Host::Current();
        if (host == nullptr) return -1;
        std::lock_guard<std::recursive_mutex> lock(host->Mutex());
        DialogRequest request;
        request.helpTopic = Text(helpTopic);
        request.x1 = x1;
        request.y1 = y1;
        request.x2 = x2;
        request.y2 = y2;
        request.items = items;
        request.count = itemsNumber;
        const std::vector<host::DialogItem> before(items, items + std::max(itemsNumber, 0));
        const int answer = host->GetUi().AnswerDialog(request);
        if (answer >= 0 && answer < itemsNumber && items[answer].defaultButton != 0) {
            for (int i = 0; i < itemsNumber; ++i) {
                if (items[i].selected != before[i].selected ||
                    std::strncmp(items[i].data, before[i].data, sizeof items[i].data) != 0) {
                    host->NoteConfirmedChange();
                    break;
                }
            }
        }
        return answer;
    } catch (...) {
        return -1;
    }
}

int HOST_CALL HostMessage(int /*moduleNumber*/, uint32_t flags, const char* helpTopic, const char* const* items,
                          int itemsNumber, int buttonsNumber) {
    // Taken first, before anything here can change the thread's last error.
    const std::string reason = (flags & host::kMsgErrorType) != 0 ? platform::LastErrorText() : std::string();
    try {
        Host* host = Host::Current();
        if (host == nullptr) return -1;
        std::lock_guard<std::recursive_mutex> lock(host->Mutex());
        MessageRequest request;
        request.flags = flags;
        request.helpTopic = Text(helpTopic);
        if (buttonsNumber < 0) buttonsNumber = 0;
        if (buttonsNumber > itemsNumber) buttonsNumber = itemsNumber;
        const int firstButton = itemsNumber - buttonsNumber;
        for (int i = 0; i < itemsNumber; ++i) {
            const std::string line = Text(items[i]);
            if (i == 0 && i < firstButton)
                request.title = line;
            else if (i < firstButton)
                request.lines.push_back(line);
            else
                request.buttons.push_back(line);
        }
        // An error-type message names the OS's reason on its last line.
        if (!reason.empty()) request.lines.push_back(reason);
        return host->GetUi().Message(request);
    } catch (...) {
        return -1;
    }
}

const char* HOST_CALL HostGetMsg(int moduleNumber, int msgId) {
    try {
        Host* host = Host::Current();
        if (host == nullptr) return "";
        std::lock_guard<std::recursive_mutex> lock(host->Mutex());
        Plugin* plugin = host->PluginByNumber(moduleNumber);
        return plugin != nullptr ? plugin->Message(msgId) : "";
    } catch (...) {
        return "";
    }
}

int HOST_CALL HostControl(host::PanelHandle handle, int command, void* param) {
    try {
        Host* host = Host::Current();
        if (host == nullptr) return 0;
        std::lock_guard<std::recursive_mutex> lock(host->Mutex());
        Panel* panel = host->ResolvePanel(handle);
        if (panel == nullptr) return 0;
        switch (command) {
        case host::kCtlGetPanelState:
            return param != nullptr && panel->FillState(static_cast<host::PanelState*>(param));
        case host::kCtlGetPassivePanelState:
            return param != nullptr && host->OtherPanel(panel).FillState(static_cast<host::PanelState*>(param));
        case host::kCtlUpdatePanel:
            return panel->Update(param != nullptr);
        case host::kCtlUpdatePassivePanel:
            return host->OtherPanel(panel).Update(param != nullptr);
        case host::kCtlRedrawPanel:
            return panel->Redraw(static_cast<const host::PanelPosition*>(param));
        case host::kCtlRedrawPassivePanel:
            return host->OtherPanel(panel).Redraw(static_cast<const host::PanelPosition*>(param));
        case host::kCtlSetSelection:
            return param != nullptr && panel->ApplySelection(*static_cast<const host::PanelState*>(param));
        default:
            return 0;
        }
    } catch (...) {
        return 0;
    }
}

int HOST_CALL HostMatchName(const char* pattern, const char* name, int skipPath) {
    try {
        return MatchName(Text(pattern), Text(name), skipPath != 0) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

host::HostStartupInfo MakeStartupInfo(int moduleNumber, const std::string& modulePath) {
    host::HostStartupInfo info{};
    info.structSize = sizeof info;
    std::strncpy(info.moduleName, modulePath.c_str(), sizeof info.moduleName - 1);
    info.moduleNumber = moduleNumber;
    info.rootKey = kPluginsRootKey;
    info.menu = HostMenu;
    info.dialog = HostDialog;
    info.message = HostMessage;
    info.getMsg = HostGetMsg;
    info.control = HostControl;
    for (host::HostUnusedFn& fn : info.unused) fn = UnusedOperation;
    info.matchName = HostMatchName;
    return info;
}

}  // namespace plughost
