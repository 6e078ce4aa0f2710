#include "file_manager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/platform.h"
#include "platform/process_env.h"
#include "tui/dialog_view.h"
#include "tui/file_checks.h"
#include "tui/file_operations.h"
#include "tui/file_viewer.h"
#include "tui/help_file.h"
#include "tui/keys.h"
#include "tui/menu_view.h"
#include "tui/message_view.h"
#include "tui/text_codec.h"

namespace plughost::tui {

namespace fs = std::filesystem;

namespace {

// The host's operation mode of GetFiles for an extraction to view an item.
constexpr int kOpView = 0x4;

// How much of a file the plugins are offered when the user presses Enter on it.
constexpr size_t kOfferedBytes = 131072;
constexpr auto kIdleInterval = std::chrono::milliseconds(500);
// The open-from code of the plugins menu.
constexpr int kOpenFromPluginsMenu = 5;

bool IsValid(host::PanelHandle handle) { return handle != nullptr && handle != host::kInvalidHandle; }

std::u32string Ascii(const std::string& text) { return std::u32string(text.begin(), text.end()); }

// A menu label as plain text: "&Encode files" -> "Encode files".
std::string Decode8(const std::string& label) {
    std::string out;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size()) ++i;
        out += label[i];
    }
    return out;
}

host::DialogItem DialogItem(int type, int x1, int y1, int x2, int y2, const std::string& text, uint32_t flags = 0) {
    host::DialogItem item{};
    item.type = type;
    item.x1 = x1, item.y1 = y1, item.x2 = x2, item.y2 = y2;
    item.flags = flags;
    std::strncpy(item.data, text.c_str(), sizeof item.data - 1);
    return item;
}

// The questions of the file operations as dialogs and message boxes.
class ScreenFileOpsUi : public FileOpsUi {
public:
    explicit ScreenFileOpsUi(Screen& screen) : screen_(screen) {}

    bool AskPath(const std::string& title, const std::string& prompt, const std::string& button,
                 std::string* path) override {
        const int width = std::max(30, std::min(76, screen_.GetGrid().Width() - 4));
        std::vector<host::DialogItem> items = {
            DialogItem(host::kDiDoubleBox, 0, 0, width - 1, 5, title),
            DialogItem(host::kDiText, 2, 1, width - 3, 1, prompt),
            DialogItem(host::kDiEdit, 2, 2, width - 3, 2, *path),
            DialogItem(host::kDiText, 0, 3, 0, 3, "", host::kDifSeparator),
            DialogItem(host::kDiButton, 0, 4, 0, 4, button, host::kDifCenterGroup),
            DialogItem(host::kDiButton, 0, 4, 0, 4, "Cancel", host::kDifCenterGroup),
        };
        items[2].focus = 1;
        items[4].defaultButton = 1;
        DialogContent content;
        content.width = width;
        content.height = 6;
        content.items = items.data();
        content.count = static_cast<int>(items.size());
        if (RunDialog(screen_, content) != 4) return false;
        *path = items[2].data;
        return !path->empty();
    }

    bool Confirm(const std::string& title, const std::vector<std::string>& lines, const std::string& button) override {
        return Ask(title, lines, {button, "Cancel"}, true) == 0;
    }

    Existing AskExisting(const std::string& title, const std::string& target) override {
        switch (Ask(title, {"The file exists already:", target}, {"&Overwrite", "&Skip", "Overwrite &all",
                                                                  "S&kip all", "&Cancel"}, true)) {
        case 0: return Existing::kOverwrite;
        case 1: return Existing::kSkip;
        case 2: return Existing::kOverwriteAll;
        case 3: return Existing::kSkipAll;
        default: return Existing::kCancel;
        }
    }

    Failure AskFailure(const std::string& title, const std::string& what, const std::string& reason) override {
        std::vector<std::string> lines = {what + (reason.empty() ? "" : ":")};
        if (!reason.empty()) lines.push_back(reason);
        switch (Ask(title, lines, {"&Retry", "&Skip", "&Cancel"}, true)) {
        case 0: return Failure::kRetry;
        case 1: return Failure::kSkip;
        default: return Failure::kCancel;
        }
    }

private:
    int Ask(const std::string& title, std::vector<std::string> lines, std::vector<std::string> buttons, bool warning) {
        MessageContent content;
        content.flags = warning ? host::kMsgWarning : 0;
        content.title = title;
        content.lines = std::move(lines);
        content.buttons = std::move(buttons);
        return RunMessage(screen_, content);
    }

    Screen& screen_;
};

std::string Subject(const std::vector<host::PanelItem>& items) {
    if (items.size() == 1) return items[0].findData.fileName;
    return std::to_string(items.size()) + " items";
}

// The host's own settings, beside the plugins' ones.
constexpr char kHostSettingsKey[] = "Software\\plughost\\Host";
constexpr char kConfirmQuitValue[] = "ConfirmQuit";

uint32_t ReadHostSetting(const char* name, uint32_t fallback) {
    platform::Os& os = platform::os();
    platform::SettingsKey* key = os.OpenSettingsKey(kHostSettingsKey);
    if (key == nullptr) return fallback;
    uint32_t value = fallback, size = sizeof value;
    if (!os.QueryValue(key, name, &value, &size) || size != sizeof value) value = fallback;
    os.CloseSettingsKey(key);
    return value;
}

void WriteHostSetting(const char* name, uint32_t value) {
    platform::Os& os = platform::os();
    platform::SettingsKey* key = os.CreateSettingsKey(kHostSettingsKey);
    if (key == nullptr) return;
    os.SetDword(key, name, value);
    os.CloseSettingsKey(key);
}

// Each panel's folder and the name under its cursor, and which panel was
// active, kept from one run to the next.
constexpr const char* kPanelFolderValue[2] = {"LeftFolder", "RightFolder"};
constexpr const char* kPanelCurrentValue[2] = {"LeftCurrent", "RightCurrent"};
constexpr char kActivePanelValue[] = "ActivePanel";

std::string ReadHostText(const char* name) {
    platform::Os& os = platform::os();
    platform::SettingsKey* key = os.OpenSettingsKey(kHostSettingsKey);
    if (key == nullptr) return "";
    std::vector<char> buffer(32768);
    uint32_t size = static_cast<uint32_t>(buffer.size());
    std::string value;
    if (os.QueryValue(key, name, buffer.data(), &size) && size > 0 && buffer[size - 1] == '\0')
        value.assign(buffer.data(), size - 1);
    os.CloseSettingsKey(key);
    return value;
}

void WriteHostTexts(const std::vector<std::pair<const char*, std::string>>& values) {
    platform::Os& os = platform::os();
    platform::SettingsKey* key = os.CreateSettingsKey(kHostSettingsKey);
    if (key == nullptr) return;
    for (const auto& [name, value] : values) os.SetString(key, name, value);
    os.CloseSettingsKey(key);
}

}  // namespace

FileManager::FileManager(Host& host, Screen& screen, const std::string& folder) : host_(host), screen_(screen) {
    auto left = NewFolderPanel(folder);
    auto right = NewFolderPanel(folder);
    sides_[0] = left.get();
    sides_[1] = right.get();
    host_.SetActivePanel(std::move(left));
    host_.SetPassivePanel(std::move(right));
    screen_.SetBasePainter([this](Grid& grid) { Paint(grid); });
    screen_.SetHelpSource([this](const std::string& topic, HelpTopic* out) { return FindHelp(topic, out); });
    SyncCurrentDir();
}

FileManager::~FileManager() {
    for (int side = 0; side < 2; ++side)
        if (auto* panel = dynamic_cast<PluginPanel*>(sides_[side])) {
            panel->Close();
            host_.UnbindPanelHandle(panel->Handle());
        }
    screen_.SetBasePainter(nullptr);
    screen_.SetHelpSource(nullptr);
}

std::unique_ptr<FolderPanel> FileManager::NewFolderPanel(const std::string& folder) {
    return std::make_unique<FolderPanel>(folder, [this] { RepaintAll(); });
}

void FileManager::Replace(int side, std::unique_ptr<ViewPanel> panel) {
    ViewPanel* raw = panel.get();
    std::unique_ptr<Panel> old =
        side == active_ ? host_.SetActivePanel(std::move(panel)) : host_.SetPassivePanel(std::move(panel));
    sides_[side] = raw;
}

bool FileManager::FindHelp(const std::string& topic, HelpTopic* out) {
    if (current_ == nullptr) return false;
    fs::path help = current_->Path();
    help.replace_extension(".hlf");
    return ReadHelpTopic(help.string(), topic, out);
}

void FileManager::SyncCurrentDir() {
    // Plugins name files relative to the current directory: keep it on the active folder.
    for (int side : {active_, 1 - active_})
        if (auto* folder = dynamic_cast<FolderPanel*>(sides_[side])) {
            platform::os().SetCurrentDir(folder->Folder());
            return;
        }
}

void FileManager::Paint(Grid& grid) {
    const int width = grid.Width(), height = grid.Height();
    grid.Fill(0, 0, width, 1, Style::kTitleBar);
    grid.Text(0, 0, U" plughost  " + Decode(Active().Title()), Style::kTitleBar);
    const int half = width / 2;
    if (height > 2) {
        sides_[0]->Paint(grid, 0, 1, half, height - 2, active_ == 0);
        sides_[1]->Paint(grid, half, 1, width - half, height - 2, active_ == 1);
    }
    PaintKeyBar(grid);
    screen_.HideCursor();
}

void FileManager::PaintKeyBar(Grid& grid) {
    // F1 to F11, then Ctrl+R in the last place (F12 does nothing). Ctrl+R
    // gets room for its whole label; the columns left over go to the F-keys
    // from F11 down, whose two-digit numbers need them most.
    static const char* const kLabels[12] = {"Help",   "", "View", "",     "Copy",    "RenMov",
                                            "MkFold", "Delete", "Config", "Quit", "Plugins", "Reread"};
    const int width = grid.Width();
    const int y = grid.Height() - 1;
    const int last = width >= 48 ? 8 : width / 12;
    const int base = std::max(1, (width - last) / 11);
    const int extra = std::max(0, width - last - 11 * base);
    grid.Fill(0, y, width, 1, Style::kKeyNumber);
    int x = 0;
    for (int k = 0; k < 12; ++k) {
        const int room = k < 11 ? base + (k >= 11 - extra ? 1 : 0) : std::max(0, width - x);
        const int gap = k < 11 ? 1 : 0;
        const std::u32string number = k < 11 ? Ascii(std::to_string(k + 1)) : U"^R";
        const int n = grid.Text(x, y, number, Style::kKeyNumber, room);
        grid.Fill(x + n, y, std::max(0, room - n - gap), 1, Style::kKeyLabel);
        grid.Text(x + n, y, Ascii(kLabels[k]), Style::kKeyLabel, std::max(0, room - n - gap));
        x += room;
    }
}

void FileManager::Notice(const std::string& title, const std::string& text) {
    MessageContent content;
    content.title = title;
    content.lines = {text};
    content.buttons = {"OK"};
    RunMessage(screen_, content);
}

void FileManager::Error(const std::string& title, const std::vector<std::string>& lines) {
    RepaintAll();
    MessageContent content;
    content.flags = host::kMsgWarning;
    content.title = title;
    content.lines = lines;
    content.buttons = {"OK"};
    RunMessage(screen_, content);
}

void FileManager::ShowKeys() {
    MessageContent content;
    content.flags = host::kMsgLeftAlign;
    content.title = "plughost keys";
    content.lines = {
        "Arrows, PgUp, PgDn, Home, End   move the cursor",
        "Insert or Space                 select the item under the cursor",
        "+, -, *                         select, deselect by wildcard; invert",
        "Alt+letters                     jump to a name",
        "Tab                             the other panel",
        "Enter                           open a folder or a file, \"..\" goes up",
        "Ctrl+PgUp                       leave a plugin panel, or go up",
        "Ctrl+R                          read the panel again",
        "F3                              view a file, or an item of a storage panel",
        "F5                              copy onto the plugin panel in the other panel, out of it, or to a folder",
        "F6                              move or rename; out of a plugin panel into a folder panel: move",
        "F7                              make a folder",
        "F8                              delete (on a plugin panel: the plugin deletes its items)",
        "F9, Alt+Shift+F9                configuration menu",
        "F11                             plugins menu",
        "F10                             quit",
        "Esc or Ctrl+C                   cancel a dialog, a menu or a plugin's job",
        "F1 in a plugin's dialog shows its help.",
    };
    content.buttons = {"OK"};
    RunMessage(screen_, content);
}

void FileManager::Enter() {
    ViewPanel& panel = Active();
    const int i = panel.Current();
    if (i < 0 || i >= panel.Count()) return;
    const std::string name = panel.Name(i);
    if (panel.IsPlugin()) {
        if (panel.IsUp(i)) {
            ClosePluginPanel(active_);
        } else if (!panel.IsFolder(i)) {
            // Items of plugins that give files out are viewed; others keep Enter to themselves.
            auto& plugin = static_cast<PluginPanel&>(panel);
            if (plugin.GetPlugin().Exports().getFiles != nullptr) ViewPluginItem(plugin, i);
        }
        return;
    }
    auto& folder = static_cast<FolderPanel&>(panel);
    if (panel.IsUp(i) || panel.IsFolder(i)) {
        if (!folder.Enter(name)) Error("Open", {"Cannot read the folder " + name + ":", folder.LastError()});
        SyncCurrentDir();
        return;
    }
    OpenFile(folder, name);
}

void FileManager::OpenFile(FolderPanel& folder, const std::string& name) {
    const std::string path = folder.PathOf(name);
    // Only regular files are read: opening a FIFO or a device could block for good.
    const std::string kind = NonRegularKind(path);
    if (!kind.empty()) {
        Error("Open", {name + " is " + kind + ".", "Only regular files are offered to the plugins."});
        return;
    }
    if (!FitsPluginRecord(path)) {
        Error("Open", {"Cannot offer " + name + " to the plugins:", TooLongMessage("its path", path) + "."});
        return;
    }
    std::vector<unsigned char> data;
    std::string reason;
    if (!ReadHead(path, kOfferedBytes, &data, &reason)) {
        Error("Open", {"Cannot read " + name + ":", reason});
        return;
    }
    for (const auto& plugin : host_.Plugins()) {
        const host::OpenFilePluginFn open = plugin->Exports().openFilePlugin;
        if (open == nullptr) continue;
        std::vector<char> nameBuffer(path.begin(), path.end());
        nameBuffer.push_back('\0');
        EnterPlugin(*plugin);
        const host::PanelHandle handle = open(nameBuffer.data(), data.data(), static_cast<int>(data.size()));
        SyncCurrentDir();
        if (!IsValid(handle)) continue;
        auto panel = std::make_unique<PluginPanel>(
            *plugin, handle, [this] { RepaintAll(); }, [this](Plugin& p) { EnterPlugin(p); });
        host_.BindPanelHandle(handle, panel.get());
        Replace(active_, std::move(panel));
        SyncCurrentDir();
        return;
    }
    RepaintAll();
    Notice("plughost", "No plugin opens " + name);
}

void FileManager::ClosePluginPanel(int side) {
    auto* panel = dynamic_cast<PluginPanel*>(sides_[side]);
    if (panel == nullptr) return;
    const fs::path hostFile = panel->HostFile();
    panel->Close();
    host_.UnbindPanelHandle(panel->Handle());
    std::string folder = hostFile.has_parent_path() ? hostFile.parent_path().string() : "";
    if (folder.empty()) {
        auto* other = dynamic_cast<FolderPanel*>(sides_[1 - side]);
        folder = other != nullptr ? other->Folder() : platform::os().GetCurrentDir();
    }
    auto replacement = NewFolderPanel(folder);
    replacement->MoveTo(hostFile.filename().string());
    Replace(side, std::move(replacement));
    SyncCurrentDir();
}

void FileManager::CopyToPlugin(bool move) {
    // From a plugin panel into a folder panel: the plugin gives the items out
    // (GetFiles into the folder; with `move` it also deletes them) and
    // unselects those it copied.
    auto* source = dynamic_cast<PluginPanel*>(&Active());
    auto* destFolder = dynamic_cast<FolderPanel*>(&Passive());
    if (source != nullptr && destFolder != nullptr && source->GetPlugin().Exports().getFiles != nullptr) {
        std::vector<host::PanelItem> items = Active().SelectedOrCurrent();
        if (items.empty()) return;
        for (host::PanelItem& item : items) item.flags |= host::kItemSelected;
        char dest[host::kMaxPath] = {};
        std::snprintf(dest, sizeof dest, "%s", destFolder->Directory().c_str());
        SyncCurrentDir();
        EnterPlugin(source->GetPlugin());
        source->GetPlugin().Exports().getFiles(source->Handle(), items.data(), static_cast<int>(items.size()),
                                               move ? 1 : 0, dest, 0);
        SyncCurrentDir();
        Active().ClearSelection();
        // A move changes the plugin's own listing too.
        if (move) Active().Update(true);
        destFolder->Update(true);
        RepaintAll();
        return;
    }
    if (move) {
        Notice("Move", "F6 moves items out of a plugin panel into a folder panel in the other panel.");
        return;
    }
    auto* target = dynamic_cast<PluginPanel*>(&Passive());
    if (Active().IsPlugin() || target == nullptr || target->GetPlugin().Exports().putFiles == nullptr) {
        Notice("Copy", "F5 copies files onto a plugin panel open in the other panel, or out of one into a folder.");
        return;
    }
    auto& folder = static_cast<FolderPanel&>(Active());
    std::vector<host::PanelItem> items;
    for (const host::PanelItem& item : Active().SelectedOrCurrent()) {
        if (item.findData.attributes & host::kAttrDirectory) continue;
        const std::string name = item.findData.fileName;
        const std::string path = folder.PathOf(name);
        const std::string kind = NonRegularKind(path);
        if (!kind.empty()) {
            Error("Copy", {name + " is " + kind + ".", "Only regular files are copied onto a plugin panel."});
            return;
        }
        if (!FitsPluginRecord(path)) {
            Error("Copy", {"Cannot copy " + name + ":", TooLongMessage("its path", path) + "."});
            return;
        }
        items.push_back(item);
    }
    if (items.empty()) return;
    // A storage file that cannot be written takes nothing: say so before the plugin tries.
    const std::string storage = target->HostFile();
    if (!storage.empty()) {
        std::string reason;
        if (!CanAppendTo(storage, &reason)) {
            Error("Copy", {"Cannot copy onto " + storage + ":", reason});
            return;
        }
    }
    const FileStamp before = StampOf(storage);
    SyncCurrentDir();
    EnterPlugin(target->GetPlugin());
    target->GetPlugin().Exports().putFiles(target->Handle(), items.data(), static_cast<int>(items.size()), 0, 0);
    SyncCurrentDir();
    // The selection goes only when something was copied.
    if (!storage.empty() && StampOf(storage) == before) {
        Notice("Copy", "Nothing was copied onto " + fs::path(storage).filename().string() + ".");
        return;
    }
    Active().ClearSelection();
}

std::vector<std::string> FileManager::ChosenNames() {
    std::vector<std::string> names;
    for (const host::PanelItem& item : Active().SelectedOrCurrent()) names.push_back(item.findData.fileName);
    return names;
}

void FileManager::AfterFileJob(const std::vector<std::string>& done) {
    // Items handled leave the selection; those left undone stay selected.
    for (const std::string& name : done) Active().Deselect(name);
    for (int side = 0; side < 2; ++side)
        if (auto* folder = dynamic_cast<FolderPanel*>(sides_[side])) folder->Update(true);
}

void FileManager::CopyOrMove(bool move) {
    auto* source = dynamic_cast<FolderPanel*>(&Active());
    auto* destination = dynamic_cast<FolderPanel*>(&Passive());
    if (source == nullptr) {
        Notice(move ? "Move" : "Copy", "Files are copied and moved from folder panels.");
        return;
    }
    const std::vector<std::string> names = ChosenNames();
    if (names.empty()) return;
    ScreenFileOpsUi ui(screen_);
    std::string target = destination != nullptr ? destination->Folder() : source->Folder();
    const std::string what = names.size() == 1 ? names[0] : std::to_string(names.size()) + " items";
    if (!ui.AskPath(move ? "Move" : "Copy", (move ? "Move or rename " : "Copy ") + what + " to:",
                    move ? "&Move" : "&Copy", &target))
        return;
    const FileJobResult result = CopyItems(ui, source->Folder(), names, target, move);
    AfterFileJob(result.done);
    if (move && names.size() == 1 && !result.done.empty()) {
        // A rename in place: the cursor follows the new name.
        const std::filesystem::path renamed = target;
        if (renamed.parent_path() == source->Folder() || !renamed.has_parent_path())
            source->MoveTo(renamed.filename().string());
    }
}

void FileManager::ViewCurrent() {
    auto* folder = dynamic_cast<FolderPanel*>(&Active());
    const int i = Active().Current();
    if (folder == nullptr) {
        auto* plugin = dynamic_cast<PluginPanel*>(&Active());
        if (plugin != nullptr && i >= 0 && i < Active().Count() && !Active().IsUp(i) && !Active().IsFolder(i)) {
            ViewPluginItem(*plugin, i);
            return;
        }
        Notice("View", "F3 views the files of folder panels and the items of plugin panels.");
        return;
    }
    if (i < 0 || i >= Active().Count() || Active().IsFolder(i)) return;
    const std::string name = Active().Name(i);
    const std::string path = folder->PathOf(name);
    const std::string kind = NonRegularKind(path);
    if (!kind.empty()) {
        Error("View", {name + " is " + kind + ".", "Only regular files are viewed."});
        return;
    }
    std::string reason;
    if (!ViewFile(screen_, path, path, &reason)) Error("View", {"Cannot read " + name + ":", reason});
}

void FileManager::ViewPluginItem(PluginPanel& panel, int index) {
    const host::GetFilesFn getFiles = panel.GetPlugin().Exports().getFiles;
    const std::string name = panel.Name(index);
    if (getFiles == nullptr) {
        Notice("View", "The plugin of this panel does not give its items out.");
        return;
    }
    // A folder of our own under the system's temporary folder.
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    fs::path folder;
    for (unsigned n = 1; !ec && n < 10000; ++n) {
        const fs::path candidate = base / ("plughost-view-" + std::to_string(n));
        if (fs::create_directory(candidate, ec)) {
            folder = candidate;
            break;
        }
    }
    const std::string folderText = folder.string();
    if (folder.empty() || folderText.size() >= host::kMaxPath) {
        if (!folder.empty()) fs::remove_all(folder, ec);
        Error("View", {"Cannot make a temporary folder to view " + name + "."});
        return;
    }
    host::PanelItem item = panel.Items()[static_cast<size_t>(index)];
    item.flags |= host::kItemSelected;
    char dest[host::kMaxPath] = {};
    std::snprintf(dest, sizeof dest, "%s", folderText.c_str());
    SyncCurrentDir();
    EnterPlugin(panel.GetPlugin());
    const int result = getFiles(panel.Handle(), &item, 1, 0, dest, kOpView);
    SyncCurrentDir();
    RepaintAll();
    // The file the plugin wrote: its name may be a safe form of the item's.
    std::string extracted;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec)) {
            extracted = entry.path().string();
            break;
        }
    }
    if (result == 1 && !extracted.empty()) {
        std::string reason;
        if (!ViewFile(screen_, extracted, name, &reason)) Error("View", {"Cannot read " + name + ":", reason});
    } else if (result == 0) {
        Error("View", {"Cannot view " + name + ":", "the plugin did not extract it."});
    }
    fs::remove_all(folder, ec);
    RepaintAll();
}

void FileManager::MakeFolderHere() {
    auto* folder = dynamic_cast<FolderPanel*>(&Active());
    if (folder == nullptr) {
        Notice("Make folder", "Folders are made in folder panels.");
        return;
    }
    ScreenFileOpsUi ui(screen_);
    std::string name;
    if (!ui.AskPath("Make folder", "Make the folder:", "&OK", &name)) return;
    const std::filesystem::path path = std::filesystem::path(name).is_absolute() ? name : folder->PathOf(name);
    if (MakeFolder(ui, path.string())) {
        AfterFileJob({});
        folder->MoveTo(std::filesystem::path(name).begin()->string());
    }
}

void FileManager::DeleteChosen() {
    auto* plugin = dynamic_cast<PluginPanel*>(&Active());
    if (plugin != nullptr && plugin->GetPlugin().Exports().deleteFiles != nullptr) {
        // The plugin asks and deletes; its panel is read again after.
        std::vector<host::PanelItem> items = Active().SelectedOrCurrent();
        if (items.empty()) return;
        for (host::PanelItem& item : items) item.flags |= host::kItemSelected;
        SyncCurrentDir();
        EnterPlugin(plugin->GetPlugin());
        plugin->GetPlugin().Exports().deleteFiles(plugin->Handle(), items.data(), static_cast<int>(items.size()), 0);
        SyncCurrentDir();
        Active().ClearSelection();
        Active().Update(true);
        RepaintAll();
        return;
    }
    auto* folder = dynamic_cast<FolderPanel*>(&Active());
    if (folder == nullptr) {
        Notice("Delete", "Files are deleted in folder panels.");
        return;
    }
    const std::vector<host::PanelItem> items = Active().SelectedOrCurrent();
    if (items.empty()) return;
    ScreenFileOpsUi ui(screen_);
    bool folders = false;
    for (const host::PanelItem& item : items) folders = folders || (item.findData.attributes & host::kAttrDirectory);
    std::vector<std::string> lines = {"Delete " + Subject(items) + "?"};
    if (folders) lines.push_back("Folders go with everything in them.");
    if (!ui.Confirm("Delete", lines, "&Delete")) return;
    const FileJobResult result = DeleteItems(ui, folder->Folder(), ChosenNames());
    AfterFileJob(result.done);
}

void FileManager::PluginsMenu() {
    MenuContent content;
    content.title = "Plugins";
    std::vector<std::pair<Plugin*, int>> choices;
    for (const auto& plugin : host_.Plugins()) {
        const PluginMenus menus = plugin->GetMenus();
        for (size_t i = 0; i < menus.pluginsMenu.size(); ++i) {
            content.items.push_back(MenuLine{menus.pluginsMenu[i]});
            choices.emplace_back(plugin.get(), static_cast<int>(i));
        }
    }
    if (choices.empty()) {
        Notice("Plugins", "No plugin offers a plugins menu entry.");
        return;
    }
    const int choice = RunMenu(screen_, content);
    if (choice < 0) return;
    Plugin& plugin = *choices[static_cast<size_t>(choice)].first;
    if (plugin.Exports().openPlugin == nullptr) return;
    const std::string tooLong = PathTooLongForPlugins();
    if (!tooLong.empty()) {
        Error("Plugins", {"Cannot start " + Decode8(content.items[static_cast<size_t>(choice)].text) + ":", tooLong});
        return;
    }
    // A plugin panel's items are not files on disk: a plugins-menu command
    // that asks for the active panel's files gets none, and the user is told.
    ViewPanel& active = Active();
    active.RefuseState(active.IsPlugin());
    active.ForgetLeftOut();
    SyncCurrentDir();
    EnterPlugin(plugin);
    const host::PanelHandle handle = plugin.Exports().openPlugin(kOpenFromPluginsMenu,
                                                                 choices[static_cast<size_t>(choice)].second);
    SyncCurrentDir();
    const bool refused = active.StateWasRefused();
    active.RefuseState(false);
    if (!active.LeftOut().empty()) {
        std::vector<std::string> lines = active.LeftOut();
        lines.push_back("Only regular files are handed to the plugins; these were left out.");
        Error("Plugins", lines);
        active.ForgetLeftOut();
    }
    if (refused)
        Notice("Plugins", Decode8(content.items[static_cast<size_t>(choice)].text) +
                              " works on the files of a folder panel; the active panel shows " + active.Title() +
                              ". Switch to a folder panel first.");
    if (IsValid(handle)) {
        auto panel = std::make_unique<PluginPanel>(
            plugin, handle, [this] { RepaintAll(); }, [this](Plugin& p) { EnterPlugin(p); });
        host_.BindPanelHandle(handle, panel.get());
        Replace(active_, std::move(panel));
    }
}

std::string FileManager::PathTooLongForPlugins() {
    for (int side : {active_, 1 - active_}) {
        const std::string dir = sides_[side]->Directory();
        if (!FitsPluginRecord(dir)) return TooLongMessage("The folder " + dir, dir) + ".";
    }
    if (auto* folder = dynamic_cast<FolderPanel*>(&Active()))
        for (const host::PanelItem& item : folder->SelectedOrCurrent()) {
            const std::string path = folder->PathOf(item.findData.fileName);
            if (!FitsPluginRecord(path)) return TooLongMessage(path, path) + ".";
        }
    return "";
}

void FileManager::ConfigMenu() {
    MenuContent content;
    content.title = "Plugins configuration";
    std::vector<std::pair<Plugin*, int>> choices;
    for (const auto& plugin : host_.Plugins()) {
        const PluginMenus menus = plugin->GetMenus();
        for (size_t i = 0; i < menus.configMenu.size(); ++i) {
            content.items.push_back(MenuLine{menus.configMenu[i]});
            choices.emplace_back(plugin.get(), static_cast<int>(i));
        }
    }
    if (choices.empty()) {
        Notice("Plugins configuration", "No plugin can be configured.");
        return;
    }
    const int choice = RunMenu(screen_, content);
    if (choice < 0) return;
    Plugin& plugin = *choices[static_cast<size_t>(choice)].first;
    if (plugin.Exports().configure == nullptr) return;
    EnterPlugin(plugin);
    // Options confirmed in the plugin's dialogs stay unsaved until the
    // plugin writes its settings store (its own "save" choice).
    const uint64_t changes = host_.ConfirmedChanges();
    const std::string store = platform::SettingsStoreSnapshot();
    plugin.Exports().configure(choices[static_cast<size_t>(choice)].second);
    const std::string name = content.items[static_cast<size_t>(choice)].text;
    if (host_.ConfirmedChanges() != changes) unsavedOptions_.insert(name);
    if (platform::SettingsStoreSnapshot() != store) unsavedOptions_.erase(name);
    SyncCurrentDir();
}

bool FileManager::ConfirmQuit() {
    std::vector<std::string> open;
    for (int side = 0; side < 2; ++side)
        if (sides_[side]->IsPlugin()) open.push_back(sides_[side]->Title());
    if ((open.empty() && unsavedOptions_.empty()) || ReadHostSetting(kConfirmQuitValue, 1) == 0) return true;
    const int width = 50;
    std::string reason = open.empty() ? "" : "A plugin panel is open: " + open[0];
    if (!unsavedOptions_.empty()) {
        const std::string options = "Options of " + Decode8(*unsavedOptions_.begin()) + " are not saved";
        reason = reason.empty() ? options : reason + "; " + options;
    }
    std::vector<host::DialogItem> items = {
        DialogItem(host::kDiDoubleBox, 0, 0, width - 1, 6, "Quit"),
        DialogItem(host::kDiText, 2, 1, width - 3, 1, reason),
        DialogItem(host::kDiText, 2, 2, width - 3, 2, "Quit plughost?"),
        DialogItem(host::kDiCheckBox, 2, 3, 0, 3, "&Do not ask again"),
        DialogItem(host::kDiText, 0, 4, 0, 4, "", host::kDifSeparator),
        DialogItem(host::kDiButton, 0, 5, 0, 5, "&Quit", host::kDifCenterGroup),
        DialogItem(host::kDiButton, 0, 5, 0, 5, "&Cancel", host::kDifCenterGroup),
    };
    items[5].focus = 1;
    items[5].defaultButton = 1;
    DialogContent content;
    content.width = width;
    content.height = 7;
    content.items = items.data();
    content.count = static_cast<int>(items.size());
    if (RunDialog(screen_, content) != 5) return false;
    if (items[3].selected) WriteHostSetting(kConfirmQuitValue, 0);
    return true;
}

void FileManager::Idle() {
    lastIdle_ = std::chrono::steady_clock::now();
    bool changed = false;
    for (int side = 0; side < 2; ++side) {
        if (auto* panel = dynamic_cast<PluginPanel*>(sides_[side])) panel->Idle();
        // Folder panels follow their folder: files other programs make or remove show up.
        if (auto* folder = dynamic_cast<FolderPanel*>(sides_[side])) changed = folder->RefreshIfChanged() || changed;
    }
    SyncCurrentDir();
    if (changed) RepaintAll();
}

void FileManager::SelectByPattern(bool select) {
    ScreenFileOpsUi ui(screen_);
    std::string pattern = "*";
    if (!ui.AskPath(select ? "Select" : "Deselect", select ? "Select the files matching:" : "Deselect the files matching:",
                    "&OK", &pattern))
        return;
    Active().SelectMatching(pattern, select);
}

bool FileManager::QuickSearch(int code) {
    const bool alt = (code & key::kAlt) != 0 && key::IsPrintable(code & ~key::kAlt);
    if (!alt) {
        search_.clear();
        return false;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastSearch_ > std::chrono::seconds(2)) search_.clear();
    lastSearch_ = now;
    const std::string typed = EncodeUtf8(static_cast<char32_t>(code & ~key::kAlt));
    if (Active().FindPrefix(search_ + typed)) search_ += typed;
    RepaintAll();
    return true;
}

bool FileManager::HandleKey(int code) {
    // Alt+letters jump to the first name starting with what was typed so far.
    if (QuickSearch(code)) return true;
    ViewPanel& panel = Active();
    if (panel.Cursor().Handle(code, panel.Count(), panel.PageRows())) {
        RepaintAll();
        return true;
    }
    switch (code) {
    case key::kInsert:
    case U' ':
        panel.ToggleCurrent();
        break;
    case key::kTab:
        host_.SwapPanels();
        active_ = 1 - active_;
        SyncCurrentDir();
        break;
    case key::kEnter:
        Enter();
        break;
    case key::kCtrlPageUp:
        if (panel.IsPlugin())
            ClosePluginPanel(active_);
        else if (panel.Count() > 0 && panel.IsUp(0))
            static_cast<FolderPanel&>(panel).Enter("..");
        SyncCurrentDir();
        break;
    case U'+':
        SelectByPattern(true);
        break;
    case U'-':
        SelectByPattern(false);
        break;
    case U'*':
        panel.InvertSelection();
        break;
    case key::kCtrlR:
        panel.Update(true);
        break;
    case key::F(1):
        ShowKeys();
        break;
    case key::F(5):
        // Onto a plugin panel the plugin takes the files; between folders the host copies.
        if (Passive().IsPlugin() || Active().IsPlugin())
            CopyToPlugin();
        else
            CopyOrMove(false);
        break;
    case key::F(3):
        ViewCurrent();
        break;
    case key::F(6):
        // Out of a plugin panel the plugin moves its items; between folders the host does.
        if (Active().IsPlugin())
            CopyToPlugin(true);
        else
            CopyOrMove(true);
        break;
    case key::F(7):
        MakeFolderHere();
        break;
    case key::F(8):
        DeleteChosen();
        break;
    case key::F(9):
    case key::kAltShiftF9:
        ConfigMenu();
        break;
    case key::F(10):
        if (ConfirmQuit()) return false;
        break;
    case key::F(11):
        PluginsMenu();
        break;
    default:
        return true;
    }
    RepaintAll();
    return true;
}

void FileManager::RestorePanels(bool folderGiven) {
    // A folder named on the command line stays in the left, active panel.
    const int active = !folderGiven && ReadHostSetting(kActivePanelValue, 0) == 1 ? 1 : 0;
    for (int side = 0; side < 2; ++side) {
        if (folderGiven && side == 0) continue;
        const std::string folder = ReadHostText(kPanelFolderValue[side]);
        // A folder that is gone or cannot be read leaves the start folder.
        if (folder.empty() || !platform::os().IsDirectory(folder)) continue;
        auto panel = NewFolderPanel(folder);
        if (!panel->LastError().empty()) continue;
        panel->MoveTo(ReadHostText(kPanelCurrentValue[side]));
        Replace(side, std::move(panel));
    }
    if (active != active_) {
        host_.SwapPanels();
        active_ = active;
    }
    SyncCurrentDir();
}

void FileManager::SavePanels() {
    std::vector<std::pair<const char*, std::string>> values;
    for (int side = 0; side < 2; ++side) {
        std::string folder, current;
        if (auto* panel = dynamic_cast<FolderPanel*>(sides_[side])) {
            folder = panel->Folder();
            if (panel->Count() > 0 && !panel->IsUp(panel->Current())) current = panel->Name(panel->Current());
        } else if (auto* plugin = dynamic_cast<PluginPanel*>(sides_[side])) {
            // A storage panel: its file's folder, with the cursor on the file.
            const fs::path file = plugin->HostFile();
            if (!file.has_parent_path()) continue;
            folder = file.parent_path().string();
            current = file.filename().string();
        }
        values.emplace_back(kPanelFolderValue[side], folder);
        values.emplace_back(kPanelCurrentValue[side], current);
    }
    WriteHostTexts(values);
    WriteHostSetting(kActivePanelValue, static_cast<uint32_t>(active_));
}

int FileManager::Run() {
    RepaintAll();
    lastIdle_ = std::chrono::steady_clock::now();
    for (;;) {
        // A quit signal ends the program here, between jobs, never inside one.
        if (const int signal = screen_.QuitSignal()) {
            SavePanels();
            return 128 + signal;
        }
        const auto elapsed = std::chrono::steady_clock::now() - lastIdle_;
        if (elapsed >= kIdleInterval) {
            Idle();
            continue;
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kIdleInterval - elapsed);
        const int code = screen_.ReadKey(static_cast<int>(wait.count()) + 1);
        if (code == key::kNone || code == key::kResize) continue;
        if (!HandleKey(code)) {
            SavePanels();
            return 0;
        }
    }
}

}  // namespace plughost::tui
