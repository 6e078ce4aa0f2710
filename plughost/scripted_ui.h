// A Ui for scripts and tests: prints every menu, dialog and message box to a
// log stream and answers each question with the next queued answer (an item
// or button index, -1 for Esc). When the queue is empty it reads the answer
// from the keyboard stream if there is one, else answers -1.
//
// Log format (one block per request):
//   message: <title>            menu: <title>          dialog: <help topic> (<w>x<h>)
//     | <line>                    [0] <entry>             [0] button "OK" (default)
//     buttons: [0] Retry ...      ...                     [3] check [x] "..."
//     answer: <n>                 answer: <n>             answer: <n>
// A message box without buttons logs "(no buttons)" and consumes no answer.
// A dialog's answer may carry item changes (QueueDialogEdit; at the keyboard
// a line "ITEM=TEXT"), applied before the dialog closes and logged as
// "  set [ITEM] <item>".
#pragma once

#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

#include "ui.h"

namespace plughost {

class ScriptedUi : public Ui {
public:
    // `keyboard` (may be null) is read line by line once the queue is empty.
    explicit ScriptedUi(std::ostream& log, std::istream* keyboard = nullptr);

    void QueueAnswer(int answer) { answers_.push_back({answer, std::move(pendingEdits_)}); pendingEdits_.clear(); }
    // A change to item `item` of the dialog that the next queued answer
    // closes: an edit field's text, or a check box's or radio button's state
    // ("x", "1", "on" set it; anything else clears it).
    void QueueDialogEdit(int item, std::string text) { pendingEdits_.push_back({item, std::move(text)}); }
    size_t PendingAnswers() const { return answers_.size(); }

    int Menu(const MenuRequest& request) override;
    int Dialog(const DialogRequest& request) override;
    int Message(const MessageRequest& request) override;

private:
    struct ItemEdit {
        int item;
        std::string text;
    };
    struct Answer {
        int answer;
        std::vector<ItemEdit> edits;
    };
    // `items` (a dialog's) receives the edits of the answer taken or typed.
    int NextAnswer(int choices, host::DialogItem* items = nullptr, int count = 0);

    std::ostream& log_;
    std::istream* keyboard_;
    std::deque<Answer> answers_;
    std::vector<ItemEdit> pendingEdits_;
};

// One dialog item as the log shows it, e.g. `check [x] "Split output"`.
std::string DescribeDialogItem(const host::DialogItem& item);

}  // namespace plughost
