#include "vexil/encoding/existing_output_question.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "platform/platform.h"

namespace vexil {

namespace {

constexpr size_t kMinRuleWidth = 46;
constexpr char kHorizontalLine = '\xC4';

// A figure line: the size and date laid out after `indent` blanks, then the
// label copied over its start.
std::string FigureLine(const char* indent, uint64_t size, const platform::DateTime& t, int labelMessage) {
    char line[128];
    std::snprintf(line, sizeof line, "%s%12llu %02d.%02d.%04d %02d:%02d:%02d", indent,
                  static_cast<unsigned long long>(size), t.day, t.month, t.year, t.hour, t.minute, t.second);
    std::string text = line;
    const char* label = GetMsgText(labelMessage);
    const size_t n = std::min(std::strlen(label), text.size());
    text.replace(0, n, label, n);
    return text;
}

}  // namespace

uint64_t EstimatedEncodedSize(uint64_t sourceSize, size_t encodedNameLength) {
    const uint64_t characters = (8 * sourceSize + 5) / 6;
    return 3 * encodedNameLength + characters + 3 * (characters / 60) + 77;
}

ExistingOutputAnswer AskAboutExistingOutput(const std::string& sourcePath, const std::string& outputPath,
                                            const std::string& encodedName) {
    platform::Os& os = platform::os();
    // Figures that cannot be had are shown as zeros.
    platform::FileInfo source, existing;
    if (!os.FindFile(sourcePath, &source)) source = {};
    const bool haveExisting = os.FindFile(outputPath, &existing);
    const platform::DateTime now = os.LocalNow();
    const platform::DateTime created = haveExisting ? os.FileTimeToLocal(existing.creationTime) : platform::DateTime{};

    const std::string rule(std::max(outputPath.size(), kMinRuleWidth), kHorizontalLine);
    const std::string newLine =
        FigureLine("           ~", EstimatedEncodedSize(source.size, encodedName.size()), now, MNewFile);
    const std::string oldLine = FigureLine("            ", haveExisting ? existing.size : 0, created, MExistingFile);

    const char* lines[11] = {GetMsgText(MPluginTitle), GetMsgText(MOutputExists), outputPath.c_str(),
                             rule.c_str(),             newLine.c_str(),           oldLine.c_str(),
                             rule.c_str(),             GetMsgText(MSkip),         GetMsgText(MReplace),
                             GetMsgText(MAppend),      GetMsgText(MCancel)};
    const host::HostStartupInfo& h = Module().host;
    switch (h.message(h.moduleNumber, host::kMsgWarning, nullptr, lines, 11, 4)) {
        case 0: return ExistingOutputAnswer::kSkip;
        case 1: return ExistingOutputAnswer::kReplace;
        case 2: return ExistingOutputAnswer::kAppend;
        default: return ExistingOutputAnswer::kCancel;
    }
}

}  // namespace vexil
