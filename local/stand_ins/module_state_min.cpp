// Minimal module state for the temporary build.
#include "vexil/module_state.h"

namespace vexil {

ModuleState& Module() {
    static ModuleState state;
    return state;
}

const char* GetMsgText(int messageNumber) {
    if (messageNumber == 255) return "";
    const host::HostStartupInfo& h = Module().host;
    return h.getMsg(h.moduleNumber, messageNumber);
}

}  // namespace vexil
