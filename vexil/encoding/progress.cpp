#include "vexil/encoding/progress.h"

#include <cstdio>

#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "vexil/frame/path_parts.h"
#include "platform/platform.h"

namespace vexil {

namespace {

constexpr int kBarWidth = 25;
constexpr char kFullBlock = '\xDB';
constexpr char kLightShade = '\xB0';
constexpr char kHorizontalLine = '\xC4';
constexpr int kVirtualKeyEscape = 27;

// The texts of the last announcement, kept for the updates that follow it.
struct ProgressTexts {
    std::string fileName;  // line 2
    std::string target;    // line 4
    std::string bar;       // line 5
    std::string number;    // line 7
};

struct ProgressMessages {
    int title = MProgressTitle;
    int abortQuestion = MAbortQuestion;
};
ProgressMessages g_messages;

ProgressTexts& Texts() {
    static ProgressTexts texts;
    return texts;
}

// "..." and the last 20 characters once a text reaches `limit` characters.
std::string ShortenedFromEnd(const std::string& text, size_t limit) {
    if (text.size() < limit) return text;
    return "..." + text.substr(text.size() - 20);
}

void DrawBox(unsigned flags) {
    static const std::string rule(kBarWidth, kHorizontalLine);
    const ProgressTexts& t = Texts();
    const char* lines[7] = {GetMsgText(g_messages.title), t.fileName.c_str(), GetMsgText(MProgressTo),
                            t.target.c_str(),           t.bar.c_str(),      rule.c_str(),
                            t.number.c_str()};
    const host::HostStartupInfo& h = Module().host;
    if (h.message) h.message(h.moduleNumber, flags, nullptr, lines, 7, 0);
}

}  // namespace

void SetProgressMessages(int title, int abortQuestion) {
    g_messages.title = title;
    g_messages.abortQuestion = abortQuestion;
}

std::string ProgressBar(int percent) {
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    const int full = percent / 4;
    return std::string(full, kFullBlock) + std::string(kBarWidth - full, kLightShade);
}

void ShowEncodeProgress(const char* sourcePath, const char* target, int number, int percent) {
    ProgressTexts& t = Texts();
    t.bar = ProgressBar(percent);
    if (sourcePath) {
        const PathParts parts = SplitPath(sourcePath);
        t.fileName = ShortenedFromEnd(parts.name + parts.ext, 20);
        t.target = ShortenedFromEnd(target ? target : "", 24);
        char line[512];
        std::snprintf(line, sizeof line, GetMsgText(MProgressNumber), number);
        t.number = line;
        DrawBox(host::kMsgLeftAlign);
        return;
    }
    DrawBox(host::kMsgLeftAlign | host::kMsgKeepBackground);
    if (number == kProgressClosing) t = ProgressTexts{};
}

int CheckAbortKey(int percent, bool display) {
    if (Module().settings.SuppressOutput == 0 && display) ShowEncodeProgress(nullptr, nullptr, 0, percent);
    platform::Os& os = platform::os();
    while (os.PendingConsoleEvents() > 0) {
        platform::ConsoleEvent event;
        if (!os.ReadConsoleEvent(&event)) return kAbortGoOn;
        if (!event.isKey || event.virtualKey != kVirtualKeyEscape) continue;
        const char* lines[4] = {GetMsgText(MPluginTitle), GetMsgText(g_messages.abortQuestion), GetMsgText(MContinue),
                                GetMsgText(MCancel)};
        const host::HostStartupInfo& h = Module().host;
        const int answer = h.message(h.moduleNumber, host::kMsgWarning, nullptr, lines, 4, 2);
        if (answer == 0) return kAbortGoOn;
        if (answer == 1) return kAbortStop;
        // Esc on the question itself: keep reading what is pending.
    }
    return kAbortGoOn;
}

}  // namespace vexil
