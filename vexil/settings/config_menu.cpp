#include "vexil/settings/config_menu.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "vexil/frame/decimal_text.h"
#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "vexil/settings/settings_store.h"

namespace vexil {

namespace {

enum MenuEntry { kGeneral = 0, kEncoding = 1, kSeparator = 2, kAbout = 3, kSave = 4, kMenuEntries = 5 };

constexpr int kAccept = 0;
// A T-junction, three vertical bars and an upturned T-junction: the rule
// between the columns of the encoding options, joining the separators.
constexpr char kVerticalRule[] = "\xC2\xB3\xB3\xB3\xC1";

void SetMenuText(host::MenuItem& item, int message) {
    std::snprintf(item.text, sizeof item.text, "%s", GetMsgText(message));
}

int RunDialog(const PreparedDialog& prepared, host::DialogItem* items, int width, int height, const char* help) {
    const host::HostStartupInfo& h = Module().host;
    return h.dialog(h.moduleNumber, -1, -1, width, height, help, items, prepared.count);
}

}  // namespace

void ShowGeneralOptions() {
    ModuleState& module = Module();
    EncodeSettings& s = module.settings;
    PreparedDialog& dialog = module.generalOptions;
    dialog.items[3].selected = s.SuppressOutput;
    dialog.items[4].selected = s.OnlyShortFilenames;
    std::unique_ptr<host::DialogItem[]> items(CopyDialogWithTexts(dialog));
    if (RunDialog(dialog, items.get(), 39, 8, "GeneralOptions") != kAccept) return;
    s.SuppressOutput = items[3].selected;
    s.OnlyShortFilenames = items[4].selected;
}

void ShowEncodingOptions() {
    ModuleState& module = Module();
    EncodeSettings& s = module.settings;
    PreparedDialog& dialog = module.encodingOptions;
    dialog.items[3].selected = s.EnableSingleStorage;
    dialog.items[4].selected = s.SplitOutput;
    dialog.items[8].selected = s.CharacterTable;
    dialog.items[9].selected = s.Checksums;
    dialog.items[10].selected = s.CRC;
    dialog.items[16].selected = s.AutoApply;
    std::snprintf(dialog.items[6].data, sizeof dialog.items[6].data, "%d", s.LinesPerSection);
    dialog.items[12].selected = s.EncodingType == 0;
    dialog.items[13].selected = s.EncodingType == 1;
    dialog.items[14].selected = s.EncodingType == 2;

    std::unique_ptr<host::DialogItem[]> items(CopyDialogWithTexts(dialog));
    std::snprintf(items[18].data, sizeof items[18].data, "%s", kVerticalRule);
    if (RunDialog(dialog, items.get(), 69, 14, "EncodingOptions") != kAccept) return;
    s.EnableSingleStorage = items[3].selected;
    s.SplitOutput = items[4].selected;
    s.CharacterTable = items[8].selected;
    s.Checksums = items[9].selected;
    s.CRC = items[10].selected;
    s.AutoApply = items[16].selected;
    s.LinesPerSection = LinesPerSectionFromText(items[6].data);
    // The third type shows but is never kept.
    s.EncodingType = items[13].selected ? 1 : 0;
}

int RunConfigureMenu() {
    host::MenuItem items[kMenuEntries] = {};
    SetMenuText(items[kGeneral], MCfgGeneral);
    SetMenuText(items[kEncoding], MCfgEncoding);
    items[kSeparator].separator = 1;
    SetMenuText(items[kAbout], MCfgAbout);
    SetMenuText(items[kSave], MCfgSave);

    int marked = -1;
    for (;;) {
        const host::HostStartupInfo& h = Module().host;
        const int chosen = h.menu(h.moduleNumber, -1, -1, 0, host::kMenuWrapMode, GetMsgText(MPluginTitle), nullptr,
                                  nullptr, nullptr, nullptr, items, kMenuEntries);
        switch (chosen) {
            case -1:
                return 1;
            case kSave:
                SaveSettings();
                return 1;
            case kGeneral:
                ShowGeneralOptions();
                break;
            case kEncoding:
                ShowEncodingOptions();
                break;
            case kAbout:
                ShowAbout();
                break;
            default:
                break;
        }
        // The menu reopens on the entry just used.
        if (chosen < 0 || chosen >= kMenuEntries) continue;
        if (marked >= 0) items[marked].selected = 0;
        items[chosen].selected = 1;
        marked = chosen;
    }
}

}  // namespace vexil
