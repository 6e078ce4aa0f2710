// Temporary stand-in for the module state until the frame lands on main.
#include "vexil/module_state.h"
namespace vexil {
ModuleState& Module() { static ModuleState m; return m; }
const char* GetMsgText(int n) {
    if (n == 255) return "";
    auto& h = Module().host;
    return h.getMsg ? h.getMsg(h.moduleNumber, n) : "";
}
}
