// A fake host for unit tests of plugin code: a HostStartupInfo whose
// operations record every call and answer from queues.
//
//   FakeHost fake;                          // becomes the one the operations serve
//   fake.menuAnswers = {0};                 // HostMenu answers 0, then -1
//   vexil::Module().host = fake.StartupInfo();
//   ... run plugin code ...
//   EXPECT_EQ(fake.menus.size(), 1u);
//
// Texts: HostGetMsg(n) answers "msg<n>" unless SetMessage(n, ...) gave another
// text; every call is recorded in getMsgCalls. HostControl fills PanelStates
// from `activePanel` / `passivePanel` (commands 1 and 2), applies selections
// to their items (10), and records every call; `controlHandler`, when set,
// answers instead. HostMatchName uses the host's wildcard rules. All
// operations are safe to call from several threads.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "host/host_interface.h"

namespace test {

// A panel as the fake host reports it.
struct FakePanel {
    std::string currentDir;
    std::vector<host::PanelItem> items;  // kItemSelected in flags marks the selected ones
    int currentItem = 0;
    int topItem = 0;

    // Adds an item; a name ending in '/' adds a directory.
    void Add(const std::string& name, uint32_t size = 0, bool selected = false);
};

class FakeHost {
public:
    static constexpr int kModuleNumber = 7;

    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    // Root key "Software\plughost-test\Plugins", module number kModuleNumber.
    const host::HostStartupInfo& StartupInfo() const { return info_; }
    void SetRootKey(const std::string& rootKey);
    void SetMessage(int number, const std::string& text);

    struct MenuCall {
        int moduleNumber, x, y, maxHeight;
        uint32_t flags;
        std::string title, bottom, helpTopic;
        std::vector<host::MenuItem> items;
        int answer;
    };
    struct DialogCall {
        int moduleNumber, x1, y1, x2, y2;
        std::string helpTopic;
        std::vector<host::DialogItem> items;  // as the plugin passed them in
        int answer;
    };
    struct MessageCall {
        int moduleNumber;
        uint32_t flags;
        std::string helpTopic;
        std::vector<std::string> lines;  // every item: title, lines, buttons
        int buttons;
        int answer;
    };
    struct ControlCall {
        host::PanelHandle panel;
        int command;
        bool hasParam;
        host::PanelPosition position;  // commands 5 and 6 with a position
    };
    struct MatchCall {
        std::string pattern, name;
        int skipPath;
    };

    // Answers, front first; an empty queue answers -1.
    std::deque<int> menuAnswers, dialogAnswers, messageAnswers;
    // Run on a dialog's items before it answers (to tick boxes, type texts), front first.
    std::deque<std::function<void(host::DialogItem* items, int count)>> dialogEdits;
    std::function<int(host::PanelHandle, int, void*)> controlHandler;
    FakePanel activePanel, passivePanel;

    std::vector<MenuCall> menus;
    std::vector<DialogCall> dialogs;
    std::vector<MessageCall> messages;
    std::vector<int> getMsgCalls;
    std::vector<ControlCall> controls;
    std::vector<MatchCall> matches;

    // The lock the operations take; hold it to read the records while another thread may call.
    std::recursive_mutex& Mutex() { return mutex_; }

    // Entry points of the operations (public so tests can also call them directly).
    int Menu(int moduleNumber, int x, int y, int maxHeight, uint32_t flags, const char* title, const char* bottom,
             const char* helpTopic, const host::MenuItem* items, int itemsNumber);
    int Dialog(int moduleNumber, int x1, int y1, int x2, int y2, const char* helpTopic, host::DialogItem* items,
               int itemsNumber);
    int Message(int moduleNumber, uint32_t flags, const char* helpTopic, const char* const* items, int itemsNumber,
                int buttonsNumber);
    const char* GetMsg(int moduleNumber, int msgId);
    int Control(host::PanelHandle panel, int command, void* param);
    int MatchName(const char* pattern, const char* name, int skipPath);

private:
    int FillState(const FakePanel& panel, host::PanelState* state);

    host::HostStartupInfo info_{};
    std::string rootKey_;
    std::map<int, const char*> texts_;
    std::deque<std::string> textStore_;  // every text handed out stays valid for the fake's life
    std::recursive_mutex mutex_;
    std::vector<host::PanelItem> stateItems_[2];
    std::vector<host::PanelItem> stateSelected_[2];
};

}  // namespace test
