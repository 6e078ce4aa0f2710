#include "support/fake_host.h"

#include <algorithm>
#include <cstring>

#include "plughost/match_name.h"

namespace test {

namespace {

FakeHost* g_fake = nullptr;

int HOST_CALL OpMenu(int moduleNumber, int x, int y, int maxHeight, uint32_t flags, const char* title,
                     const char* bottom, const char* helpTopic, const int*, int*, const host::MenuItem* items,
                     int itemsNumber) {
    return g_fake->Menu(moduleNumber, x, y, maxHeight, flags, title, bottom, helpTopic, items, itemsNumber);
}
int HOST_CALL OpDialog(int moduleNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
                       host::DialogItem* items, int itemsNumber) {
    return g_fake->Dialog(moduleNumber, x1, y1, x2, y2, helpTopic, items, itemsNumber);
}
int HOST_CALL OpMessage(int moduleNumber, uint32_t flags, const char* helpTopic, const char* const* items,
                        int itemsNumber, int buttonsNumber) {
    return g_fake->Message(moduleNumber, flags, helpTopic, items, itemsNumber, buttonsNumber);
}
const char* HOST_CALL OpGetMsg(int moduleNumber, int msgId) { return g_fake->GetMsg(moduleNumber, msgId); }
int HOST_CALL OpControl(host::PanelHandle panel, int command, void* param) {
    return g_fake->Control(panel, command, param);
}
int HOST_CALL OpMatchName(const char* pattern, const char* name, int skipPath) {
    return g_fake->MatchName(pattern, name, skipPath);
}
void* HOST_CALL OpUnused() { return nullptr; }

std::string Str(const char* text) { return text ? text : ""; }

int Next(std::deque<int>& answers) {
    if (answers.empty()) return -1;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace

void FakePanel::Add(const std::string& name, uint32_t size, bool selected) {
    host::PanelItem item{};
    std::string plain = name;
    if (!plain.empty() && plain.back() == '/') {
        plain.pop_back();
        item.findData.attributes = host::kAttrDirectory;
    }
    std::strncpy(item.findData.fileName, plain.c_str(), sizeof item.findData.fileName - 1);
    item.findData.sizeLow = size;
    if (selected) item.flags = host::kItemSelected;
    items.push_back(item);
}

FakeHost::FakeHost() {
    g_fake = this;
    info_.structSize = sizeof info_;
    std::strcpy(info_.moduleName, "fake-plugin");
    info_.moduleNumber = kModuleNumber;
    info_.menu = OpMenu;
    info_.dialog = OpDialog;
    info_.message = OpMessage;
    info_.getMsg = OpGetMsg;
    info_.control = OpControl;
    for (host::HostUnusedFn& fn : info_.unused) fn = OpUnused;
    info_.matchName = OpMatchName;
    SetRootKey("Software\\plughost-test\\Plugins");
}

FakeHost::~FakeHost() {
    if (g_fake == this) g_fake = nullptr;
}

void FakeHost::SetRootKey(const std::string& rootKey) {
    rootKey_ = rootKey;
    info_.rootKey = rootKey_.c_str();
}

void FakeHost::SetMessage(int number, const std::string& text) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    textStore_.push_back(text);
    texts_[number] = textStore_.back().c_str();
}

int FakeHost::Menu(int moduleNumber, int x, int y, int maxHeight, uint32_t flags, const char* title,
                   const char* bottom, const char* helpTopic, const host::MenuItem* items, int itemsNumber) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    MenuCall call{moduleNumber, x, y, maxHeight, flags, Str(title), Str(bottom), Str(helpTopic),
                  std::vector<host::MenuItem>(items, items + itemsNumber), Next(menuAnswers)};
    menus.push_back(call);
    return call.answer;
}

int FakeHost::Dialog(int moduleNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
                     host::DialogItem* items, int itemsNumber) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    DialogCall call{moduleNumber, x1, y1, x2, y2, Str(helpTopic),
                    std::vector<host::DialogItem>(items, items + itemsNumber), 0};
    if (!dialogEdits.empty()) {
        dialogEdits.front()(items, itemsNumber);
        dialogEdits.pop_front();
    }
    call.answer = Next(dialogAnswers);
    dialogs.push_back(call);
    return call.answer;
}

int FakeHost::Message(int moduleNumber, uint32_t flags, const char* helpTopic, const char* const* items,
                      int itemsNumber, int buttonsNumber) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    MessageCall call{moduleNumber, flags, Str(helpTopic), {}, buttonsNumber, -1};
    for (int i = 0; i < itemsNumber; ++i) call.lines.push_back(Str(items[i]));
    if (buttonsNumber > 0) call.answer = Next(messageAnswers);
    messages.push_back(call);
    return call.answer;
}

const char* FakeHost::GetMsg(int /*moduleNumber*/, int msgId) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    getMsgCalls.push_back(msgId);
    auto it = texts_.find(msgId);
    if (it != texts_.end()) return it->second;
    SetMessage(msgId, "msg" + std::to_string(msgId));
    return texts_[msgId];
}

int FakeHost::FillState(const FakePanel& panel, host::PanelState* state) {
    const int side = &panel == &activePanel ? 0 : 1;
    stateItems_[side] = panel.items;
    stateSelected_[side].clear();
    for (const host::PanelItem& item : panel.items)
        if (item.flags & host::kItemSelected) stateSelected_[side].push_back(item);
    *state = host::PanelState{};
    state->panelItems = stateItems_[side].data();
    state->itemsNumber = static_cast<int>(stateItems_[side].size());
    state->selectedItems = stateSelected_[side].data();
    state->selectedItemsNumber = static_cast<int>(stateSelected_[side].size());
    state->currentItem = panel.currentItem;
    state->topPanelItem = panel.topItem;
    std::strncpy(state->currentDir, panel.currentDir.c_str(), sizeof state->currentDir - 1);
    return 1;
}

int FakeHost::Control(host::PanelHandle panel, int command, void* param) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ControlCall call{panel, command, param != nullptr, {}};
    if ((command == host::kCtlRedrawPanel || command == host::kCtlRedrawPassivePanel) && param != nullptr)
        call.position = *static_cast<const host::PanelPosition*>(param);
    controls.push_back(call);
    if (controlHandler) return controlHandler(panel, command, param);
    switch (command) {
    case host::kCtlGetPanelState: return FillState(activePanel, static_cast<host::PanelState*>(param));
    case host::kCtlGetPassivePanelState: return FillState(passivePanel, static_cast<host::PanelState*>(param));
    case host::kCtlSetSelection: {
        const auto* state = static_cast<const host::PanelState*>(param);
        const int n = std::min(state->itemsNumber, static_cast<int>(activePanel.items.size()));
        for (int i = 0; i < n; ++i) activePanel.items[static_cast<size_t>(i)].flags = state->panelItems[i].flags;
        return 1;
    }
    default: return 1;
    }
}

int FakeHost::MatchName(const char* pattern, const char* name, int skipPath) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    matches.push_back({Str(pattern), Str(name), skipPath});
    return plughost::MatchName(Str(pattern), Str(name), skipPath != 0) ? 1 : 0;
}

}  // namespace test
