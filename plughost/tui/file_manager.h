// The interactive host: two panels side by side, a title line and a key
// bar, with the plugins reached through the keys
//   Enter   open a folder, go up on "..", offer a file to the plugins
//   Ins/Space select, Tab other panel, Ctrl+PgUp leave a plugin panel
//   F5      copy onto the plugin panel in the other panel (PutFiles), or
//           between folder panels; F6 move/rename, F7 make folder, F8 delete
//   F9, Alt+Shift+F9 configuration menu, F11 plugins menu, F10 quit
// Open plugin panels get the idle event about twice a second.
#pragma once

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "host.h"
#include "tui/folder_panel.h"
#include "tui/plugin_panel.h"
#include "tui/screen.h"

namespace plughost::tui {

class FileManager {
public:
    // The Host must serve its Ui on `screen`. Both panels start in `folder`.
    FileManager(Host& host, Screen& screen, const std::string& folder);
    ~FileManager();
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    // Runs until F10; returns the exit code.
    int Run();
    // Opens each panel on the folder it showed when the program last quit,
    // with the cursor on the same name; with `folderGiven`, the left panel
    // keeps the folder it was made with and is the active one.
    void RestorePanels(bool folderGiven);
    // Remembers each panel's folder and cursor, and the active panel, in the
    // settings store (Software\plughost\Host); Run does it on quitting.
    void SavePanels();
    // Handles one key; false when it asks to quit.
    bool HandleKey(int code);
    // The idle event to every open plugin panel.
    void Idle();
    void RepaintAll() { screen_.RepaintAll(); }

    ViewPanel& Side(int side) { return *sides_[side]; }
    int ActiveSide() const { return active_; }

private:
    ViewPanel& Active() { return *sides_[active_]; }
    ViewPanel& Passive() { return *sides_[1 - active_]; }
    void Paint(Grid& grid);
    void PaintKeyBar(Grid& grid);
    void Replace(int side, std::unique_ptr<ViewPanel> panel);
    std::unique_ptr<FolderPanel> NewFolderPanel(const std::string& folder);
    void Enter();
    void OpenFile(FolderPanel& folder, const std::string& name);
    void ClosePluginPanel(int side);
    void CopyToPlugin(bool move = false);
    // File operations of folder panels (file_operations.h).
    void CopyOrMove(bool move);
    void MakeFolderHere();
    void ViewCurrent();
    // F3 or Enter on an item of a plugin panel: the plugin extracts it for
    // viewing into a temporary folder, which goes when the viewer closes.
    void ViewPluginItem(PluginPanel& panel, int index);
    void DeleteChosen();
    std::vector<std::string> ChosenNames();
    void AfterFileJob(const std::vector<std::string>& done);
    void PluginsMenu();
    void ConfigMenu();
    // Why a plugin cannot be given the panels' folders or the selected files
    // (a path longer than its records hold); empty when all fit.
    std::string PathTooLongForPlugins();
    void ShowKeys();
    // F10: asks first while a plugin panel is open, unless the host's
    // setting ConfirmQuit (Software\plughost\Host) is 0; true to quit.
    bool ConfirmQuit();
    // Gray +/-: select or deselect by wildcard; Alt+letters: jump by name.
    void SelectByPattern(bool select);
    bool QuickSearch(int code);
    void Notice(const std::string& title, const std::string& text);
    // A warning box: what failed, then why.
    void Error(const std::string& title, const std::vector<std::string>& lines);
    void SyncCurrentDir();
    void EnterPlugin(Plugin& plugin) { current_ = &plugin; }
    bool FindHelp(const std::string& topic, HelpTopic* out);

    Host& host_;
    Screen& screen_;
    ViewPanel* sides_[2] = {nullptr, nullptr};
    int active_ = 0;
    Plugin* current_ = nullptr;
    std::chrono::steady_clock::time_point lastIdle_;
    // Configuration menu entries whose options were confirmed but not saved.
    std::set<std::string> unsavedOptions_;
    std::string search_;  // what Alt+letters typed so far
    std::chrono::steady_clock::time_point lastSearch_;
};

}  // namespace plughost::tui
