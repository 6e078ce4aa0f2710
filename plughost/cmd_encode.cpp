// plughost encode [--target T] [--detailed] FILE...
//
// Encodes the FILEs as a user would: the active panel shows the FILEs'
// folder with them selected (in the order given), the passive panel the
// current directory; the command opens vexil's plugins menu, chooses its
// first entry and accepts the encoding dialog, with the target field set to
// T when given. --detailed first unticks AutoApply in the encoding options
// (not saved), so the detailed dialog comes up. Message boxes take their
// answers from --answer. Prints "encoded NAME" for each file that was
// encoded completely, "not encoded NAME" for the others.
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "commands.h"
#include "directory_panel.h"
#include "driven_ui.h"
#include "platform/platform.h"

namespace plughost {

namespace fs = std::filesystem;

namespace {

constexpr int kTargetItem = 4;
constexpr int kAutoApplyItem = 16;  // of the encoding options dialog

// A directory panel whose selected items are reported in a given order.
class OrderedSelectionPanel : public DirectoryPanel {
public:
    OrderedSelectionPanel(const std::string& directory, std::vector<std::string> order)
        : DirectoryPanel(directory), order_(std::move(order)) {
        for (const std::string& name : order_) Select(name);
    }

    bool FillState(host::PanelState* state) override {
        if (!DirectoryPanel::FillState(state)) return false;
        ordered_.clear();
        const host::PanelItem* begin = state->selectedItems;
        const host::PanelItem* end = begin + state->selectedItemsNumber;
        for (const std::string& name : order_)
            for (const host::PanelItem* item = begin; item != end; ++item)
                if (name == item->findData.fileName) ordered_.push_back(*item);
        for (const host::PanelItem* item = begin; item != end; ++item) {
            bool listed = false;
            for (const std::string& name : order_) listed = listed || name == item->findData.fileName;
            if (!listed) ordered_.push_back(*item);
        }
        state->selectedItems = ordered_.data();
        return true;
    }

private:
    std::vector<std::string> order_;
    std::vector<host::PanelItem> ordered_;
};

void SetText(host::DialogItem& item, const std::string& text) {
    std::snprintf(item.data, sizeof item.data, "%s", text.c_str());
}

}  // namespace

int RunEncode(Host& host, const std::vector<std::string>& args, std::ostream& out) {
    std::string target;
    bool haveTarget = false, detailed = false;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--target" && i + 1 < args.size()) {
            target = args[++i];
            haveTarget = true;
        } else if (args[i] == "--detailed") {
            detailed = true;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.empty()) {
        host.Log() << "plughost: encode needs at least one FILE\n";
        return 2;
    }
    Plugin* vexil = host.FindPlugin("vexil");
    if (vexil == nullptr || vexil->Exports().openPlugin == nullptr) {
        host.Log() << "plughost: the vexil plugin is not loaded\n";
        return 1;
    }

    std::string folder;
    std::vector<std::string> names;
    for (const std::string& file : files) {
        std::error_code ec;
        const fs::path path = fs::absolute(file, ec);
        if (ec || !fs::exists(path, ec)) {
            host.Log() << "plughost: no such file: " << file << "\n";
            return 2;
        }
        const std::string parent = path.parent_path().string();
        if (folder.empty()) folder = parent;
        if (parent != folder) {
            host.Log() << "plughost: the FILEs must share one folder\n";
            return 2;
        }
        names.push_back(path.filename().string());
    }

    auto* active = new OrderedSelectionPanel(folder, names);
    host.SetActivePanel(std::unique_ptr<Panel>(active));
    host.SetPassivePanel(std::make_unique<DirectoryPanel>(platform::os().GetCurrentDir()));

    if (detailed && vexil->Exports().configure != nullptr) {
        DrivenUi ui(host, {{DrivenStep::Kind::kMenu, 1, nullptr},
                           {DrivenStep::Kind::kDialog, 0,
                            [](host::DialogItem* items, int count) {
                                if (count > kAutoApplyItem) items[kAutoApplyItem].selected = 0;
                            }},
                           {DrivenStep::Kind::kMenu, -1, nullptr}});
        vexil->Exports().configure(0);
    }
    {
        DrivenUi ui(host, {{DrivenStep::Kind::kMenu, 0, nullptr},
                           {DrivenStep::Kind::kDialog, 0, [&](host::DialogItem* items, int count) {
                                if (haveTarget && count > kTargetItem) SetText(items[kTargetItem], target);
                            }}});
        vexil->Exports().openPlugin(0, 0);
    }

    int notEncoded = 0;
    for (const std::string& name : names) {
        const int index = active->IndexOf(name);
        const bool encoded = index >= 0 && !active->IsSelected(index);
        out << (encoded ? "encoded " : "not encoded ") << name << "\n";
        if (!encoded) ++notEncoded;
    }
    return notEncoded == 0 ? 0 : 1;
}

}  // namespace plughost
