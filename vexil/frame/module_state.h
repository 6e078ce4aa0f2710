// Module-level state of vexil: created at load, filled by SetStartupInfo,
// kept until the library is unloaded.
#pragma once

#include <string>
#include <vector>

#include "host/host_interface.h"
#include "vexil/frame/encode_settings.h"

namespace vexil {

// Compact form of one dialog item as the plugin's data holds it.
struct DialogTemplate {
    int type, x1, y1, x2, y2, focus, selected;
    unsigned flags;
    int defaultButton;
    unsigned char message;  // 0..254 names a text, 255 none
};

// A prepared dialog: the expanded items plus the message number of each.
// Dialog code may set selected states and edit texts in `items` before a run
// takes its copy with CopyDialogWithTexts. The arrays own their memory, so a
// library unload (or a repeated SetStartupInfo) leaves nothing behind.
struct PreparedDialog {
    std::vector<host::DialogItem> items;
    std::vector<unsigned char> messages;
    int count = 0;
};

struct ModuleState {
    host::HostStartupInfo host{};
    char settingsKeyPath[80] = {};
    EncodeSettings settings;
    PreparedDialog generalOptions;    // 6 items
    PreparedDialog encodingOptions;   // 19 items
    PreparedDialog briefEncoding;     // 11 items
    PreparedDialog detailedEncoding;  // 11 items
    const char* menuString = nullptr;
};

// The one instance of the loaded library.
ModuleState& Module();

// Text of a message number; "" for NoMessage (255) without asking the host.
// The text belongs to the host and stays valid while the library is loaded.
const char* GetMsgText(int messageNumber);

// Expands `count` templates into a prepared dialog (texts not yet filled).
PreparedDialog PrepareDialogItems(const DialogTemplate* templates, int count);
// A fresh copy of a prepared dialog whose non-edit items carry their message
// texts. The caller owns the copy and frees it with `delete[]`.
host::DialogItem* CopyDialogWithTexts(const PreparedDialog& dialog);

void ShowAbout();

}  // namespace vexil
