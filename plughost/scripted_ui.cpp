#include "scripted_ui.h"

#include "box_chars.h"

#include <cstdio>
#include <istream>
#include <ostream>
#include <sstream>

namespace plughost {

namespace {

std::string Quoted(const char* text) { return "\"" + RenderBoxChars(text) + "\""; }

}  // namespace

std::string DescribeDialogItem(const host::DialogItem& item) {
    std::ostringstream s;
    const bool separator = (item.flags & host::kDifSeparator) != 0;
    switch (item.type) {
    case host::kDiText: s << (separator ? "separator " : "text ") << Quoted(item.data); break;
    case host::kDiVText: s << "vtext " << Quoted(item.data); break;
    case host::kDiSingleBox: s << "box " << Quoted(item.data); break;
    case host::kDiDoubleBox: s << "box2 " << Quoted(item.data); break;
    case host::kDiEdit: s << "edit " << Quoted(item.data); break;
    case host::kDiButton:
        s << "button " << Quoted(item.data);
        if (item.defaultButton) s << " (default)";
        break;
    case host::kDiCheckBox: s << "check [" << (item.selected ? 'x' : ' ') << "] " << Quoted(item.data); break;
    case host::kDiRadioButton: s << "radio (" << (item.selected ? '*' : ' ') << ") " << Quoted(item.data); break;
    default: s << "type " << item.type << " " << Quoted(item.data); break;
    }
    if (item.focus) s << " (focus)";
    return s.str();
}

ScriptedUi::ScriptedUi(std::ostream& log, std::istream* keyboard) : log_(log), keyboard_(keyboard) {}

namespace {

bool IsOn(const std::string& text) { return text == "x" || text == "X" || text == "1" || text == "on"; }

// Sets one item of a dialog as a user would: an edit field's text, a check
// box's state, or a radio button (which clears the others of its group).
void ApplyEdit(host::DialogItem* items, int count, int index, const std::string& text, std::ostream& log) {
    if (index < 0 || index >= count) {
        log << "  no item " << index << " to set\n";
        return;
    }
    host::DialogItem& item = items[index];
    if (item.type == host::kDiCheckBox) {
        item.selected = IsOn(text) ? 1 : 0;
    } else if (item.type == host::kDiRadioButton) {
        const bool on = IsOn(text);
        if (on) {
            int first = index;
            while (first > 0 && items[first - 1].type == host::kDiRadioButton && !(items[first].flags & host::kDifGroup))
                --first;
            for (int i = first; i < count && items[i].type == host::kDiRadioButton; ++i) {
                if (i > first && (items[i].flags & host::kDifGroup)) break;
                items[i].selected = 0;
            }
        }
        item.selected = on ? 1 : 0;
    } else {
        std::snprintf(item.data, sizeof item.data, "%s", text.c_str());
    }
    log << "  set [" << index << "] " << DescribeDialogItem(item) << "\n";
}

// "ITEM=TEXT" typed at the keyboard.
bool ParseEdit(const std::string& line, int* item, std::string* text) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    for (size_t i = 0; i < equals; ++i)
        if (line[i] < '0' || line[i] > '9') return false;
    *item = std::stoi(line.substr(0, equals));
    *text = line.substr(equals + 1);
    return true;
}

}  // namespace

int ScriptedUi::NextAnswer(int choices, host::DialogItem* items, int count) {
    int answer = -1;
    if (!answers_.empty()) {
        answer = answers_.front().answer;
        if (items != nullptr)
            for (const ItemEdit& edit : answers_.front().edits) ApplyEdit(items, count, edit.item, edit.text, log_);
        answers_.pop_front();
    } else if (keyboard_ != nullptr) {
        for (;;) {
            log_ << "  answer (0.." << choices - 1 << ", -1 for Esc" << (items ? "; ITEM=TEXT sets an item" : "")
                 << ")? " << std::flush;
            std::string line;
            if (!std::getline(*keyboard_, line)) {
                answer = -1;
                break;
            }
            int item = 0;
            std::string text;
            if (items != nullptr && ParseEdit(line, &item, &text)) {
                ApplyEdit(items, count, item, text, log_);
                continue;
            }
            std::istringstream in(line);
            if (in >> answer) break;
        }
    }
    if (answer < -1 || answer >= choices) {
        log_ << "  answer " << answer << " is out of range, taken as -1\n";
        answer = -1;
    }
    log_ << "  answer: " << answer << "\n" << std::flush;
    return answer;
}

int ScriptedUi::Menu(const MenuRequest& request) {
    log_ << "menu: " << RenderBoxChars(request.title) << "\n";
    for (size_t i = 0; i < request.items.size(); ++i) {
        const MenuEntry& e = request.items[i];
        log_ << "  [" << i << "] " << (e.separator ? "--------" : RenderBoxChars(e.text));
        if (e.checked) log_ << " (checked)";
        if (e.selected) log_ << " (selected)";
        log_ << "\n";
    }
    if (!request.bottom.empty()) log_ << "  bottom: " << request.bottom << "\n";
    return NextAnswer(static_cast<int>(request.items.size()));
}

int ScriptedUi::Dialog(const DialogRequest& request) {
    log_ << "dialog: " << (request.helpTopic.empty() ? "(no help topic)" : request.helpTopic) << " ("
         << request.x2 << "x" << request.y2 << ")\n";
    for (int i = 0; i < request.count; ++i)
        log_ << "  [" << i << "] " << DescribeDialogItem(request.items[i]) << "\n";
    return NextAnswer(request.count, request.items, request.count);
}

int ScriptedUi::Message(const MessageRequest& request) {
    // The box goes out in one write: a progress box is drawn a few hundred
    // times in a job, and the log is often unbuffered.
    std::string text = "message: " + RenderBoxChars(request.title) + "\n";
    for (const std::string& line : request.lines) text += "  | " + RenderBoxChars(line) + "\n";
    if (request.buttons.empty()) {
        log_ << text << "  (no buttons)\n" << std::flush;
        return -1;
    }
    text += "  buttons:";
    for (size_t i = 0; i < request.buttons.size(); ++i)
        text += " [" + std::to_string(i) + "] " + RenderBoxChars(request.buttons[i]);
    log_ << text << "\n";
    return NextAnswer(static_cast<int>(request.buttons.size()));
}

}  // namespace plughost
