#include "vexil/encoding/encoding_job.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "vexil/frame/decimal_text.h"
#include "vexil/encoding/encoder.h"
#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "vexil/frame/path_parts.h"
#include "platform/platform.h"
#include "vexil/encoding/progress.h"

namespace vexil {

namespace {

constexpr int kItemAccept = 0;  // item 1, the close button, refreshes the panels only
constexpr int kItemSubject = 3;
constexpr int kItemTarget = 4;
constexpr int kItemType = 6, kItemSingle = 7, kItemSplit = 8, kItemLines = 9;  // brief form
constexpr int kItemSingleBox = 6, kItemSplitBox = 7, kItemLinesEdit = 9;      // detailed form
constexpr int kDialogItems = 11;
constexpr int kDialogWidth = 67, kDialogHeight = 11;
constexpr size_t kSubjectWidth = 30;

bool IsSeparator(char c) { return c == platform::kPathSeparator || c == '/'; }

// Formats into a dialog item's text field.
template <typename... Args>
void SetItemText(host::DialogItem& item, const char* format, Args... args) {
    std::snprintf(item.data, sizeof item.data, format, args...);
}

void CopyItemText(host::DialogItem& item, const std::string& text) {
    std::snprintf(item.data, sizeof item.data, "%s", text.c_str());
}

// The one panel state record of the encoding jobs.
host::PanelState& PanelStateBuffer() {
    static host::PanelState state;
    return state;
}

int Control(int command, void* param) {
    const host::HostStartupInfo& h = Module().host;
    return h.control(host::kInvalidHandle, command, param);
}

bool HasPlainFile(const host::PanelState& state) {
    for (int i = 0; i < state.selectedItemsNumber; ++i)
        if ((state.selectedItems[i].findData.attributes & host::kAttrDirectory) == 0) return true;
    return false;
}

std::string SubjectText(const host::PanelState& state) {
    char subject[512];
    if (state.selectedItemsNumber == 1) {
        const std::string name = ShortenTail(state.selectedItems[0].findData.fileName, kSubjectWidth);
        std::snprintf(subject, sizeof subject, "\"%s\"", name.c_str());
    } else {
        std::snprintf(subject, sizeof subject, "%d %s", state.selectedItemsNumber, GetMsgText(MFilesWord));
    }
    return subject;
}

std::string DefaultTarget(const std::string& passiveDir, const host::PanelState& state,
                          const EncodeSettings& settings) {
    if (settings.EnableSingleStorage == 0) return passiveDir;
    std::string dir = passiveDir;
    if (!dir.empty() && IsSeparator(dir.back())) dir.pop_back();
    return dir + platform::kPathSeparator + SplitPath(state.selectedItems[0].findData.fileName).name + ".uue";
}

void FillBriefTexts(host::DialogItem* items, const EncodeSettings& s) {
    SetItemText(items[kItemType], GetMsgText(MBriefType), GetMsgText(MTypeUU + s.EncodingType));
    SetItemText(items[kItemSingle], GetMsgText(MBriefSingle), GetMsgText(s.EnableSingleStorage ? MYes : MNo));
    // The split line names the opposite word: MNo when splitting is on.
    SetItemText(items[kItemSplit], GetMsgText(MBriefSplit), GetMsgText(s.SplitOutput ? MNo : MYes));
    SetItemText(items[kItemLines], GetMsgText(MBriefLines), s.LinesPerSection);
}

// A target typed as "." (blanks around it allowed) means the current directory.
std::string CorrectedTarget(const char* typed) {
    const char* p = typed;
    while (*p == ' ') ++p;
    if (*p == '.') {
        const char* rest = p + 1;
        while (*rest && static_cast<unsigned char>(*rest) < '!') ++rest;
        if (*rest == 0) return std::string(".") + platform::kPathSeparator;
    }
    return typed;
}

bool IsBlank(const std::string& text) {
    for (unsigned char c : text)
        if (c >= '!') return false;
    return true;
}

std::string SourcePath(char* currentDir, const char* fileName) {
    StripTrailingBackslash(currentDir);
    const PathParts parts = SplitPath(fileName);
    if (!parts.drive.empty() || !parts.dir.empty()) {
        std::string dir = parts.dir;
        if (!dir.empty() && IsSeparator(dir.back())) dir.pop_back();
        return parts.drive + dir + platform::kPathSeparator + parts.name + parts.ext;
    }
    return std::string(currentDir) + platform::kPathSeparator + fileName;
}

void UnselectPanelItem(host::PanelState& state, const char* fileName) {
    for (int i = 0; i < state.itemsNumber; ++i) {
        if (std::strcmp(state.panelItems[i].findData.fileName, fileName) == 0) {
            state.panelItems[i].flags = 0;
            return;
        }
    }
}

void RefreshPanels(host::PanelState& state) {
    Control(host::kCtlSetSelection, &state);
    host::PanelPosition active{state.currentItem, state.topPanelItem};
    Control(host::kCtlRedrawPanel, &active);
    Control(host::kCtlGetPassivePanelState, &state);
    Control(host::kCtlUpdatePassivePanel, reinterpret_cast<void*>(static_cast<intptr_t>(1)));
    host::PanelPosition passive{state.currentItem, state.topPanelItem};
    Control(host::kCtlRedrawPassivePanel, &passive);
}

void RunJob(host::PanelState& state, const std::string& target, const EncodeSettings& settings) {
    EncodeJobState job;
    for (int i = 0; i < state.selectedItemsNumber && job.cancelled == 0; ++i) {
        const char* fileName = state.selectedItems[i].findData.fileName;
        const std::string source = SourcePath(state.currentDir, fileName);
        // Files are numbered from 1 in the progress box.
        if (settings.SuppressOutput == 0) ShowEncodeProgress(source.c_str(), target.c_str(), i + 1, 0);
        if (EncodeFile(source, target, settings, job)) UnselectPanelItem(state, fileName);
        // With single storage every file after the first complete one joins its output.
        if (job.completed) job.appendToTarget = settings.EnableSingleStorage;
    }
    if (settings.SuppressOutput == 0) ShowEncodeProgress(nullptr, nullptr, kProgressClosing, 0);
}

}  // namespace

std::string ShortenTail(const std::string& text, size_t width) {
    if (text.size() <= width) return text;
    const size_t keep = width > 3 ? width - 3 : 0;
    return "..." + text.substr(text.size() - keep);
}

void StripTrailingBackslash(char* text) {
    const size_t n = std::strlen(text);
    if (n > 0 && IsSeparator(text[n - 1])) text[n - 1] = 0;
}

void RunEncodingDialog(EncodingDialogForm form, EncodeSettings& settings) {
    const bool brief = form == EncodingDialogForm::kBrief;
    ModuleState& module = Module();
    std::unique_ptr<host::DialogItem[]> items(
        CopyDialogWithTexts(brief ? module.briefEncoding : module.detailedEncoding));

    host::PanelState& state = PanelStateBuffer();
    Control(host::kCtlGetPassivePanelState, &state);
    const std::string passiveDir = state.currentDir;
    Control(host::kCtlGetPanelState, &state);
    if (state.selectedItemsNumber <= 0 || !HasPlainFile(state)) return;

    SetItemText(items[kItemSubject], GetMsgText(MEncodeSubject), SubjectText(state).c_str());
    CopyItemText(items[kItemTarget], DefaultTarget(passiveDir, state, settings));
    items[kItemTarget].history = "";  // the target field's history has an empty name
    if (brief) FillBriefTexts(items.get(), settings);

    const host::HostStartupInfo& h = module.host;
    const int closedBy = h.dialog(h.moduleNumber, -1, -1, kDialogWidth, kDialogHeight,
                                  brief ? "BriefEncodingDlg" : "DetailedEncodingDlg", items.get(), kDialogItems);
    if (closedBy < 0) return;
    if (closedBy == kItemAccept) {
        if (!brief) {
            settings.EnableSingleStorage = items[kItemSingleBox].selected ? 1 : 0;
            settings.SplitOutput = items[kItemSplitBox].selected ? 1 : 0;
            settings.LinesPerSection = LinesPerSectionFromText(items[kItemLinesEdit].data);
        }
        std::string target = CorrectedTarget(items[kItemTarget].data);
        // An emptied target field means the target the dialog offered.
        if (IsBlank(target)) target = DefaultTarget(passiveDir, state, settings);
        RunJob(state, target, settings);
    }
    RefreshPanels(state);
}

void ShowDetailedEncodingDialog() {
    EncodeSettings copy = Module().settings;
    PreparedDialog& dialog = Module().detailedEncoding;
    dialog.items[kItemSingleBox].selected = copy.EnableSingleStorage != 0;
    dialog.items[kItemSplitBox].selected = copy.SplitOutput != 0;
    SetItemText(dialog.items[kItemLinesEdit], "%d", copy.LinesPerSection);
    RunEncodingDialog(EncodingDialogForm::kDetailed, copy);
}

void StartEncoding() {
    if (Module().settings.AutoApply == 1) RunEncodingDialog(EncodingDialogForm::kBrief, Module().settings);
    else ShowDetailedEncodingDialog();
}

}  // namespace vexil
