// The host plugin interface: the records and operations that the host and
// its plugins exchange. One declaration serves both plugins and plughost.
//
// On the 32-bit Windows target these records have the host's binary layout
// (checked by static_asserts at the end); elsewhere they take natural sizes.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define HOST_CALL __stdcall
#define HOST_LAYOUT_CHECKED 1
#else
#define HOST_CALL
#define HOST_LAYOUT_CHECKED 0
#endif

#if defined(_WIN32)
#define HOST_EXPORT extern "C" __declspec(dllexport)
#else
#define HOST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace host {

constexpr int kMaxPath = 260;

// Panel handle passed between host and plugin; kInvalidHandle means "no panel".
using PanelHandle = void*;
inline PanelHandle const kInvalidHandle = reinterpret_cast<PanelHandle>(static_cast<intptr_t>(-1));

#if HOST_LAYOUT_CHECKED
#pragma pack(push, 2)
#endif

// 64-bit file time in 100 ns units since 1601-01-01, low half first.
struct FileTime {
    uint32_t low;
    uint32_t high;
};

// Directory-search record; the layout of the platform's find data.
struct FindData {
    uint32_t attributes;
    FileTime creationTime;
    FileTime lastAccessTime;
    FileTime lastWriteTime;
    uint32_t sizeHigh;
    uint32_t sizeLow;
    uint32_t reserved0;
    uint32_t reserved1;
    char fileName[kMaxPath];
    char alternateFileName[14];
};

constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;

// One item of a panel.
struct PanelItem {
    FindData findData;
    uint32_t packSizeHigh;
    uint32_t packSize;
    uint32_t flags;  // bit kItemSelected marks a selected item
    uint32_t numberOfLinks;
    char* description;
    char* owner;
    char** customColumnData;
    int customColumnNumber;
    uint32_t userData;
    uint32_t crc32;
    uint32_t reserved[2];
};

constexpr uint32_t kItemSelected = 0x40000000;

struct MenuItem {
    char text[128];
    int selected;
    int checked;
    int separator;
};

// Dialog item types.
enum DialogItemType : int {
    kDiText = 0,
    kDiVText = 1,
    kDiSingleBox = 2,
    kDiDoubleBox = 3,
    kDiEdit = 4,
    kDiButton = 7,
    kDiCheckBox = 8,
    kDiRadioButton = 9,
};

// Dialog item flags.
constexpr uint32_t kDifSetColor = 0x200;     // low byte holds a colour (calculator)
constexpr uint32_t kDifBoxColor = 0x800;
constexpr uint32_t kDifGroup = 0x400;        // first radio button of a group
constexpr uint32_t kDifCenterGroup = 0x4000; // buttons centred on their line
constexpr uint32_t kDifSeparator = 0x10000;  // horizontal separator line
constexpr uint32_t kDifHistory = 0x40000;    // edit with history; `history` names it

struct DialogItem {
    int type;
    int x1, y1, x2, y2;
    int focus;
    union {
        int selected;
        const char* history;
    };
    uint32_t flags;
    int defaultButton;
    char data[512];
};

// Message box flags.
constexpr uint32_t kMsgWarning = 0x1;
constexpr uint32_t kMsgErrorType = 0x2;
constexpr uint32_t kMsgLeftAlign = 0x10;
constexpr uint32_t kMsgKeepBackground = 0x4;

// Menu flags.
constexpr uint32_t kMenuWrapMode = 0x4;

// State of a panel as HostControl reports it.
struct PanelState {
    int panelType;
    int plugin;
    int panelRect[4];
    PanelItem* panelItems;
    int itemsNumber;
    PanelItem* selectedItems;
    int selectedItemsNumber;
    int currentItem;
    int topPanelItem;
    int visible;
    int focus;
    int viewMode;
    char colorTypes[80];
    char colorWidths[80];
    char currentDir[kMaxPath];
    int shortNames;
    int sortMode;
    uint32_t flags;
    uint32_t reserved;
};

struct PanelPosition {
    int currentItem;
    int topPanelItem;
};

struct PluginMenuInfo {
    int structSize;
    uint32_t flags;
    const char* const* diskMenuStrings;
    int* diskMenuNumbers;
    int diskMenuStringsNumber;
    const char* const* pluginMenuStrings;
    int pluginMenuStringsNumber;
    const char* const* pluginConfigStrings;
    int pluginConfigStringsNumber;
    const char* commandPrefix;
};

struct OpenPanelDescription {
    int structSize;
    uint32_t flags;
    const char* hostFile;
    const char* curDir;
    const char* format;
    const char* panelTitle;
    const void* infoLines;
    int infoLinesNumber;
    const char* const* descrFiles;
    int descrFilesNumber;
    const void* panelModesArray;
    int panelModesNumber;
    int startPanelMode;
    int startSortMode;
    int startSortOrder;
    const void* keyBar;
    const char* shortcutData;
};

// HostControl commands.
enum ControlCommand : int {
    kCtlGetPanelState = 1,
    kCtlGetPassivePanelState = 2,
    kCtlUpdatePanel = 3,
    kCtlUpdatePassivePanel = 4,
    kCtlRedrawPanel = 5,
    kCtlRedrawPassivePanel = 6,
    kCtlSetSelection = 10,
};

// Idle event of ProcessEvent.
constexpr int kEventIdle = 2;

using HostMenuFn = int(HOST_CALL*)(int moduleNumber, int x, int y, int maxHeight, uint32_t flags,
                                   const char* title, const char* bottom, const char* helpTopic,
                                   const int* breakKeys, int* breakCode, const MenuItem* items,
                                   int itemsNumber);
using HostDialogFn = int(HOST_CALL*)(int moduleNumber, int x1, int y1, int x2, int y2,
                                     const char* helpTopic, DialogItem* items, int itemsNumber);
using HostMessageFn = int(HOST_CALL*)(int moduleNumber, uint32_t flags, const char* helpTopic,
                                      const char* const* items, int itemsNumber, int buttonsNumber);
using HostGetMsgFn = const char*(HOST_CALL*)(int moduleNumber, int msgId);
using HostControlFn = int(HOST_CALL*)(PanelHandle panel, int command, void* param);
using HostMatchNameFn = int(HOST_CALL*)(const char* pattern, const char* name, int skipPath);
using HostUnusedFn = void*(HOST_CALL*)();

// What the host hands to SetStartupInfo. Plugins copy the first
// kStartupInfoCopySize bytes (the whole record where layouts are natural).
struct HostStartupInfo {
    int structSize;
    char moduleName[kMaxPath];
    int moduleNumber;
    const char* rootKey;
    HostMenuFn menu;
    HostDialogFn dialog;
    HostMessageFn message;
    HostGetMsgFn getMsg;
    HostControlFn control;
    HostUnusedFn unused[7];
    HostMatchNameFn matchName;
};

#if HOST_LAYOUT_CHECKED
#pragma pack(pop)
constexpr std::size_t kStartupInfoCopySize = 324;
static_assert(sizeof(FindData) == 318, "find data layout");
static_assert(sizeof(PanelItem) == 366, "PanelItem layout");
static_assert(sizeof(MenuItem) == 140, "MenuItem layout");
static_assert(sizeof(DialogItem) == 548, "DialogItem layout");
static_assert(sizeof(PluginMenuInfo) == 40, "PluginMenuInfo layout");
static_assert(sizeof(OpenPanelDescription) == 68, "OpenPanelDescription layout");
static_assert(sizeof(PanelPosition) == 8, "PanelPosition layout");
static_assert(offsetof(HostStartupInfo, moduleNumber) == 264, "startup layout");
static_assert(offsetof(HostStartupInfo, menu) == 272, "startup layout");
static_assert(offsetof(HostStartupInfo, matchName) == 320, "startup layout");
static_assert(sizeof(HostStartupInfo) == kStartupInfoCopySize, "startup layout");
#else
constexpr std::size_t kStartupInfoCopySize = sizeof(HostStartupInfo);
#endif

// Signatures of the plugin exports, for the host's loader.
using SetStartupInfoFn = void(HOST_CALL*)(const HostStartupInfo* info);
using GetPluginInfoFn = void(HOST_CALL*)(PluginMenuInfo* info);
using OpenPluginFn = PanelHandle(HOST_CALL*)(int openFrom, intptr_t item);
using ClosePluginFn = void(HOST_CALL*)(PanelHandle panel);
using OpenFilePluginFn = PanelHandle(HOST_CALL*)(char* name, const unsigned char* data, int dataSize);
using GetOpenPluginInfoFn = void(HOST_CALL*)(PanelHandle panel, OpenPanelDescription* info);
using GetFindDataFn = int(HOST_CALL*)(PanelHandle panel, PanelItem** items, int* itemsNumber, int opMode);
using ProcessEventFn = int(HOST_CALL*)(PanelHandle panel, int event, void* param);
using PutFilesFn = int(HOST_CALL*)(PanelHandle panel, PanelItem* items, int itemsNumber, int move, int opMode);
using ConfigureFn = int(HOST_CALL*)(int itemNumber);
// Copies panel items out into the folder `destPath` (a buffer of kMaxPath
// bytes): 1 on success, 0 on failure, -1 when the user cancelled.
using GetFilesFn = int(HOST_CALL*)(PanelHandle panel, PanelItem* items, int itemsNumber, int move, char* destPath,
                                   int opMode);
// Deletes panel items: 1 on success, 0 on failure or cancel.
using DeleteFilesFn = int(HOST_CALL*)(PanelHandle panel, PanelItem* items, int itemsNumber, int opMode);

}  // namespace host
