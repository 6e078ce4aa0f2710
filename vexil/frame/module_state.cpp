#include "vexil/frame/module_state.h"

#include <cstring>
#include <iterator>

#include "vexil/frame/messages.h"

namespace vexil {

ModuleState& Module() {
    static ModuleState state;
    return state;
}

const char* GetMsgText(int messageNumber) {
    static const char kEmpty[] = "";
    if (messageNumber == NoMessage) return kEmpty;
    const host::HostStartupInfo& info = Module().host;
    if (info.getMsg == nullptr) return kEmpty;  // before SetStartupInfo
    const char* text = info.getMsg(info.moduleNumber, messageNumber);
    return text != nullptr ? text : kEmpty;
}

PreparedDialog PrepareDialogItems(const DialogTemplate* templates, int count) {
    static const char kNoHistoryName[] = "";
    PreparedDialog dialog;
    dialog.count = count;
    dialog.items.assign(static_cast<size_t>(count), host::DialogItem{});
    dialog.messages.assign(static_cast<size_t>(count), static_cast<unsigned char>(NoMessage));
    for (int i = 0; i < count; ++i) {
        const DialogTemplate& t = templates[i];
        host::DialogItem& item = dialog.items[static_cast<size_t>(i)];
        item.type = t.type;
        item.x1 = t.x1;
        item.y1 = t.y1;
        item.x2 = t.x2;
        item.y2 = t.y2;
        item.focus = t.focus;
        // An edit with a history carries the history name where others keep
        // their selected state; the templates ask for an unnamed history.
        if (t.type == host::kDiEdit && (t.flags & host::kDifHistory) != 0)
            item.history = kNoHistoryName;
        else
            item.selected = t.selected;
        item.flags = t.flags;
        item.defaultButton = t.defaultButton;
        dialog.messages[static_cast<size_t>(i)] = t.message;
    }
    return dialog;
}

host::DialogItem* CopyDialogWithTexts(const PreparedDialog& dialog) {
    auto* copy = new host::DialogItem[static_cast<size_t>(dialog.count)];
    for (int i = 0; i < dialog.count; ++i) {
        copy[i] = dialog.items[static_cast<size_t>(i)];
        if (copy[i].type == host::kDiEdit) continue;  // edit texts come from the dialog's code
        const char* text = GetMsgText(dialog.messages[static_cast<size_t>(i)]);
        std::strncpy(copy[i].data, text, sizeof copy[i].data - 1);
        copy[i].data[sizeof copy[i].data - 1] = '\0';
    }
    return copy;
}

void ShowAbout() {
    const char* const lines[] = {
        "About VEXIL",
        "VEXIL: uuencoded text as a browsable panel",
        "and an encoder of files into uuencoded text.",
        "",
        "Written by the plughost team.",
        "Reports and questions: see the project's README.",
        "Ok",
    };
    const host::HostStartupInfo& info = Module().host;
    if (info.message == nullptr) return;
    info.message(info.moduleNumber, 0, nullptr, lines, static_cast<int>(std::size(lines)), 1);
}

}  // namespace vexil
