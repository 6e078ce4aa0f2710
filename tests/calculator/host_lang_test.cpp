#include "calculator/host_lang.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace calc {
namespace {

struct MessageCall {
    int module;
    uint32_t flags;
    std::string helpTopic;
    std::vector<std::string> lines;
    int buttons;
};
std::vector<MessageCall> g_messages;

int HOST_CALL FakeMessage(int module, uint32_t flags, const char* helpTopic, const char* const* items,
                          int count, int buttons) {
    g_messages.push_back({module, flags, helpTopic ? helpTopic : "", {items, items + count}, buttons});
    return 0;
}

const char* HOST_CALL FakeGetMsg(int /*module*/, int number) { return number == 0 ? "OK" : "?"; }

TEST(HostLang, DescribesTheCurrentException) {
    try {
        throw std::runtime_error("Out of luck");
    } catch (...) {
        EXPECT_EQ(DescribeCurrentException("/opt/plugins/calculator/calculator.so"),
                  "Exception std::runtime_error in module calculator.so at 00000000.\nOut of luck.");
    }
    try {
        throw std::logic_error("Ends with a period.");
    } catch (...) {
        EXPECT_EQ(DescribeCurrentException("C:\\plugins\\calculator.dll"),
                  "Exception std::logic_error in module calculator.dll at 00000000.\nEnds with a period.");
    }
    try {
        throw 42;
    } catch (...) {
        EXPECT_EQ(DescribeCurrentException("calculator.so"), "Exception int in module calculator.so at 00000000.\n");
    }
}

TEST(HostLang, DescriptionIsCutAt1023Characters) {
    try {
        throw std::runtime_error(std::string(2000, 'x'));
    } catch (...) {
        EXPECT_EQ(DescribeCurrentException("calculator.so").size(), 1023u);
    }
}

TEST(HostLang, NoticeLinesOnePerSentence) {
    EXPECT_EQ(ExceptionNoticeLines("Exception E in module m.so at 00000000.\nFirst. Second.", "OK"),
              (std::vector<std::string>{"Application Error", "Exception E in module m.so at 00000000", "First",
                                        "Second.", "OK"}));
    EXPECT_EQ(ExceptionNoticeLines("One.\nTwo", "OK"),
              (std::vector<std::string>{"Application Error", "One", "Two", "OK"}));
    EXPECT_EQ(ExceptionNoticeLines("No period", "OK"),
              (std::vector<std::string>{"Application Error", "No period", "OK"}));
    EXPECT_EQ(ExceptionNoticeLines("Trailing. ", "OK"),
              (std::vector<std::string>{"Application Error", "Trailing", "", "OK"}));
}

TEST(HostLang, ShowExceptionNoticeCallsTheHostMessageBox) {
    host::HostStartupInfo info{};
    std::strcpy(info.moduleName, "/plugins/calculator/calculator.so");
    info.moduleNumber = 7;
    info.message = FakeMessage;
    info.getMsg = FakeGetMsg;
    g_messages.clear();
    try {
        throw std::bad_alloc();
    } catch (...) {
        ShowExceptionNotice(info);
    }
    ASSERT_EQ(g_messages.size(), 1u);
    const MessageCall& call = g_messages[0];
    EXPECT_EQ(call.module, 7);
    EXPECT_EQ(call.flags, 1u);
    EXPECT_EQ(call.helpTopic, "Exception");
    EXPECT_EQ(call.buttons, 1);
    ASSERT_EQ(call.lines.size(), 4u);
    EXPECT_EQ(call.lines[0], "Application Error");
    EXPECT_EQ(call.lines[1], "Exception std::bad_alloc in module calculator.so at 00000000");
    EXPECT_EQ(call.lines[2], "std::bad_alloc.");
    EXPECT_EQ(call.lines[3], "OK");
}

}  // namespace
}  // namespace calc
