// The stand-in host: loads plugins, serves their host operations through a
// Ui and two panels, and lets commands drive the plugins' exports.
//
// One Host exists at a time (Host::Current()); the host operations handed to
// plugins reach it through that. Every host operation takes Mutex() for its
// whole run, so a plugin may call them from a second thread. Commands run on
// the thread that owns the Host and call plugin exports without the lock.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "panel.h"
#include "plugin.h"
#include "ui.h"

namespace plughost {

class Host {
public:
    // `log` receives diagnostics (load failures, missing language files).
    Host(Ui& ui, std::ostream& log);
    // Destroys the panels, then unloads the plugins, last loaded first.
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The Host the host operations serve; null when there is none.
    static Host* Current();

    Ui& GetUi() { return *ui_; }
    // Puts `ui` in force (for a command that answers some requests itself);
    // returns the Ui it replaces.
    Ui& ReplaceUi(Ui& ui);
    std::ostream& Log() { return log_; }
    std::recursive_mutex& Mutex() { return mutex_; }

    // Loads every plugin in `dir`: one subfolder per plugin, every .so (.dll
    // on Windows) in it, subfolders and files in name order; each is started
    // with SetStartupInfo at once. Returns the number loaded.
    int LoadPlugins(const std::string& dir);
    // Loads and starts one plugin library; null (reason logged) on failure.
    Plugin* LoadPlugin(const std::string& libraryPath);
    const std::vector<std::unique_ptr<Plugin>>& Plugins() const { return plugins_; }
    Plugin* PluginByNumber(int moduleNumber);
    // By name ("vexil") or file name ("vexil.so"); null when not loaded.
    Plugin* FindPlugin(const std::string& name);

    // The two panels. Until one is set, each is a DirectoryPanel over the
    // current directory. Setting one returns the panel it replaces.
    Panel& ActivePanel();
    Panel& PassivePanel();
    std::unique_ptr<Panel> SetActivePanel(std::unique_ptr<Panel> panel);
    std::unique_ptr<Panel> SetPassivePanel(std::unique_ptr<Panel> panel);
    void SwapPanels();

    // A panel handle a plugin returned (OpenFilePlugin) names the panel that
    // shows it; HostControl resolves handles through these.
    void BindPanelHandle(host::PanelHandle handle, Panel* panel);
    void UnbindPanelHandle(host::PanelHandle handle);
    // host::kInvalidHandle (-1): the active panel; a bound handle: its panel; else null.
    Panel* ResolvePanel(host::PanelHandle handle);
    // The passive side as seen from `panel`: the other of the two panels.
    Panel& OtherPanel(const Panel* panel);

    // Dialogs a plugin showed that were closed with their default button
    // after an item was changed (an option set and confirmed), so far.
    uint64_t ConfirmedChanges() const { return confirmedChanges_; }
    void NoteConfirmedChange() { ++confirmedChanges_; }

private:
    uint64_t confirmedChanges_ = 0;
    Ui* ui_;
    std::ostream& log_;
    std::recursive_mutex mutex_;
    std::vector<std::unique_ptr<Plugin>> plugins_;
    std::unique_ptr<Panel> active_;
    std::unique_ptr<Panel> passive_;
    std::map<host::PanelHandle, Panel*> handles_;
};

// The file name extension of plugin libraries on this platform.
extern const char kPluginExtension[];

}  // namespace plughost
