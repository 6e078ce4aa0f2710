#include "plughost/host_operations.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <sstream>
#include <thread>

#include "platform/platform.h"
#include "platform/process_env.h"
#include "plughost/host.h"

namespace {

// Remembers the requests and notices overlapping calls.
class RecordingUi : public plughost::Ui {
public:
    int Menu(const plughost::MenuRequest& r) override {
        Enter();
        menus.push_back(r);
        return Leave(menuAnswer);
    }
    int Dialog(const plughost::DialogRequest& r) override {
        Enter();
        dialogs.push_back(r);
        if (r.count > 1) std::strcpy(r.items[1].data, "typed");
        return Leave(r.count - 1);
    }
    int Message(const plughost::MessageRequest& r) override {
        Enter();
        messages.push_back(r);
        return Leave(r.buttons.empty() ? -1 : 0);
    }
    void Enter() {
        if (inside.exchange(true)) overlapped = true;
    }
    int Leave(int answer) {
        inside = false;
        return answer;
    }

    std::vector<plughost::MenuRequest> menus;
    std::vector<plughost::DialogRequest> dialogs;
    std::vector<plughost::MessageRequest> messages;
    int menuAnswer = 1;
    std::atomic<bool> inside{false};
    bool overlapped = false;
};

class RecordingPanel : public plughost::Panel {
public:
    explicit RecordingPanel(std::string name) : name_(std::move(name)) {}
    bool FillState(host::PanelState* state) override {
        log.push_back("fill");
        *state = host::PanelState{};
        std::strcpy(state->currentDir, name_.c_str());
        return true;
    }
    bool ApplySelection(const host::PanelState& state) override {
        log.push_back("select " + std::to_string(state.itemsNumber));
        return true;
    }
    bool Update(bool keep) override {
        log.push_back(keep ? "update keep" : "update");
        return true;
    }
    bool Redraw(const host::PanelPosition* p) override {
        log.push_back(p ? "redraw " + std::to_string(p->currentItem) + "," + std::to_string(p->topPanelItem)
                        : "redraw");
        return true;
    }
    std::vector<std::string> log;

private:
    std::string name_;
};

class HostOperationsTest : public ::testing::Test {
protected:
    HostOperationsTest() : host(ui, log) {
        auto a = std::make_unique<RecordingPanel>("active");
        auto p = std::make_unique<RecordingPanel>("passive");
        active = a.get();
        passive = p.get();
        host.SetActivePanel(std::move(a));
        host.SetPassivePanel(std::move(p));
    }
    RecordingUi ui;
    std::ostringstream log;
    plughost::Host host;
    RecordingPanel* active = nullptr;
    RecordingPanel* passive = nullptr;
};

TEST_F(HostOperationsTest, MessageSplitsTitleLinesAndButtons) {
    const char* const items[] = {"Title", "line 1", "line 2", "Retry", "Skip"};
    EXPECT_EQ(plughost::HostMessage(0, host::kMsgWarning, nullptr, items, 5, 2), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Title");
    EXPECT_EQ(ui.messages[0].lines, (std::vector<std::string>{"line 1", "line 2"}));
    EXPECT_EQ(ui.messages[0].buttons, (std::vector<std::string>{"Retry", "Skip"}));
    EXPECT_EQ(ui.messages[0].flags, host::kMsgWarning);

    const char* const notice[] = {"VEXIL", "Reading"};
    EXPECT_EQ(plughost::HostMessage(0, 0, nullptr, notice, 2, 0), -1);
    EXPECT_TRUE(ui.messages[1].buttons.empty());
    EXPECT_EQ(ui.messages[1].lines, (std::vector<std::string>{"Reading"}));
}

TEST_F(HostOperationsTest, ErrorTypeMessageEndsInTheReasonOfTheFailure) {
    // A failing open, then the plugin's question about it.
    EXPECT_EQ(platform::os().Open("/no such folder/missing.uue", "rb"), nullptr);
    const std::string reason = platform::LastErrorText();
    EXPECT_FALSE(reason.empty());
    const char* const items[] = {"VEXIL", "Cannot open the file", "/no such folder/missing.uue", "Retry", "Skip"};
    EXPECT_EQ(plughost::HostMessage(0, host::kMsgWarning | host::kMsgErrorType, nullptr, items, 5, 2), 0);
    EXPECT_EQ(plughost::HostMessage(0, host::kMsgWarning, nullptr, items, 5, 2), 0);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].lines,
              (std::vector<std::string>{"Cannot open the file", "/no such folder/missing.uue", reason}));
    EXPECT_EQ(ui.messages[0].buttons, (std::vector<std::string>{"Retry", "Skip"}));
    EXPECT_EQ(ui.messages[1].lines.size(), 2u);  // no reason asked for, none added
}

TEST_F(HostOperationsTest, MenuPassesEntriesAndReturnsTheChoice) {
    host::MenuItem items[3] = {};
    std::strcpy(items[0].text, "one");
    items[1].separator = 1;
    std::memset(items[2].text, 'x', sizeof items[2].text);  // no terminating zero
    items[2].selected = 1;
    EXPECT_EQ(plughost::HostMenu(0, -1, -1, 0, host::kMenuWrapMode, "T", nullptr, nullptr, nullptr, nullptr,
                                 items, 3),
              1);
    ASSERT_EQ(ui.menus.size(), 1u);
    const plughost::MenuRequest& r = ui.menus[0];
    EXPECT_EQ(r.title, "T");
    ASSERT_EQ(r.items.size(), 3u);
    EXPECT_EQ(r.items[0].text, "one");
    EXPECT_TRUE(r.items[1].separator);
    EXPECT_EQ(r.items[2].text, std::string(sizeof items[2].text, 'x'));
    EXPECT_TRUE(r.items[2].selected);
}

TEST_F(HostOperationsTest, DialogWritesBackIntoThePluginsItems) {
    host::DialogItem items[2] = {};
    EXPECT_EQ(plughost::HostDialog(0, -1, -1, 39, 8, "GeneralOptions", items, 2), 1);
    EXPECT_STREQ(items[1].data, "typed");
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].helpTopic, "GeneralOptions");
    EXPECT_EQ(ui.dialogs[0].x2, 39);
    EXPECT_EQ(ui.dialogs[0].y2, 8);
}

TEST_F(HostOperationsTest, ConfirmedChangesAreCounted) {
    // The recording Ui types into item 1 (when there is one) and presses the last item.
    struct Case {
        const char* what;
        int count;
        bool lastIsDefault, typedBefore;
        uint64_t counted;
    } cases[] = {
        {"changed, default button", 3, true, false, 1},
        {"changed, another button", 3, false, false, 0},
        {"nothing changed", 3, true, true, 0},
        {"a lone default button", 1, true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host::DialogItem items[3] = {};
        items[c.count - 1].defaultButton = c.lastIsDefault ? 1 : 0;
        if (c.typedBefore) std::strcpy(items[1].data, "typed");
        const uint64_t before = host.ConfirmedChanges();
        EXPECT_EQ(plughost::HostDialog(0, -1, -1, 43, 12, nullptr, items, c.count), c.count - 1);
        EXPECT_EQ(host.ConfirmedChanges() - before, c.counted);
    }
}

TEST_F(HostOperationsTest, InstalledDialogHandlerAnswersInPlaceOfTheUi) {
    host::DialogItem items[3] = {};
    int handled = 0;
    plughost::Ui::DialogHandler previous = ui.SetDialogHandler([&](const plughost::DialogRequest& r) {
        ++handled;
        std::strcpy(r.items[0].data, "by handler");
        return 7;
    });
    EXPECT_FALSE(previous);
    EXPECT_EQ(plughost::HostDialog(0, -1, -1, 43, 12, nullptr, items, 3), 7);
    EXPECT_EQ(handled, 1);
    EXPECT_STREQ(items[0].data, "by handler");
    EXPECT_TRUE(ui.dialogs.empty());

    EXPECT_TRUE(ui.SetDialogHandler(nullptr));  // removing returns the installed one
    EXPECT_EQ(plughost::HostDialog(0, -1, -1, 43, 12, nullptr, items, 3), 2);
    EXPECT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(handled, 1);
}

TEST_F(HostOperationsTest, ControlRoutesCommandsToTheActiveAndPassivePanels) {
    host::PanelState state{};
    host::PanelPosition position{4, 2};
    const host::PanelHandle h = host::kInvalidHandle;
    EXPECT_EQ(plughost::HostControl(h, host::kCtlGetPanelState, &state), 1);
    EXPECT_STREQ(state.currentDir, "active");
    EXPECT_EQ(plughost::HostControl(h, host::kCtlGetPassivePanelState, &state), 1);
    EXPECT_STREQ(state.currentDir, "passive");
    plughost::HostControl(h, host::kCtlUpdatePanel, reinterpret_cast<void*>(1));
    plughost::HostControl(h, host::kCtlUpdatePassivePanel, nullptr);
    plughost::HostControl(h, host::kCtlRedrawPanel, nullptr);
    plughost::HostControl(h, host::kCtlRedrawPassivePanel, &position);
    plughost::HostControl(h, host::kCtlSetSelection, &state);
    EXPECT_EQ(plughost::HostControl(h, 99, nullptr), 0);
    EXPECT_EQ(active->log, (std::vector<std::string>{"fill", "update keep", "redraw", "select 0"}));
    EXPECT_EQ(passive->log, (std::vector<std::string>{"fill", "update", "redraw 4,2"}));
}

TEST_F(HostOperationsTest, PluginHandlesMapToTheirPanel) {
    int storage = 0;
    host::PanelHandle handle = &storage;
    EXPECT_EQ(plughost::HostControl(handle, host::kCtlRedrawPanel, nullptr), 0);  // unknown handle
    host.BindPanelHandle(handle, passive);
    host::PanelState state{};
    EXPECT_EQ(plughost::HostControl(handle, host::kCtlUpdatePanel, reinterpret_cast<void*>(1)), 1);
    EXPECT_EQ(plughost::HostControl(handle, host::kCtlGetPassivePanelState, &state), 1);
    EXPECT_STREQ(state.currentDir, "active");  // the other side of the plugin's panel
    EXPECT_EQ(passive->log, (std::vector<std::string>{"update keep"}));
    host.UnbindPanelHandle(handle);
    EXPECT_EQ(plughost::HostControl(handle, host::kCtlUpdatePanel, nullptr), 0);
}

TEST_F(HostOperationsTest, StartupRecordNamesTheModuleAndTheRootKey) {
    const host::HostStartupInfo info = plughost::MakeStartupInfo(3, "/p/vexil.so");
    EXPECT_EQ(info.moduleNumber, 3);
    EXPECT_STREQ(info.moduleName, "/p/vexil.so");
    EXPECT_STREQ(info.rootKey, "Software\\plughost\\Plugins");
    EXPECT_EQ(info.structSize, static_cast<int>(sizeof info));
    EXPECT_EQ(info.getMsg(12345, 0), std::string());  // no such module
    EXPECT_EQ(info.matchName("*.UUE", "c/x.uue", 1), 1);
    for (host::HostUnusedFn fn : info.unused) EXPECT_NE(fn, nullptr);
}

TEST_F(HostOperationsTest, CallsFromTwoThreadsNeverOverlap) {
    const char* const notice[] = {"VEXIL", "Reading"};
    auto hammer = [&] {
        for (int i = 0; i < 2000; ++i) plughost::HostMessage(0, 0, nullptr, notice, 2, 0);
    };
    std::thread second(hammer);
    for (int i = 0; i < 2000; ++i) {
        host::MenuItem item{};
        plughost::HostMenu(0, -1, -1, 0, 0, "T", nullptr, nullptr, nullptr, nullptr, &item, 1);
    }
    second.join();
    EXPECT_FALSE(ui.overlapped);
    EXPECT_EQ(ui.messages.size(), 2000u);
    EXPECT_EQ(ui.menus.size(), 2000u);
}

TEST(HostOperationsWithoutHost, AnswerAsCancelled) {
    ASSERT_EQ(plughost::Host::Current(), nullptr);
    const char* const items[] = {"T", "OK"};
    EXPECT_EQ(plughost::HostMessage(0, 0, nullptr, items, 2, 1), -1);
    EXPECT_STREQ(plughost::HostGetMsg(0, 1), "");
    EXPECT_EQ(plughost::HostControl(host::kInvalidHandle, host::kCtlRedrawPanel, nullptr), 0);
}

}  // namespace
