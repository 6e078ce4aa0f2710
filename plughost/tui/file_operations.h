// File operations of folder panels: copy, move or rename, make a folder,
// delete. Each asks through a FileOpsUi: the confirmation with the target,
// the existing-file question (never overwriting without asking), and on a
// failure whether to retry, skip the item or stop the job.
#pragma once

#include <string>
#include <vector>

namespace plughost::tui {

class FileOpsUi {
public:
    enum class Existing { kOverwrite, kSkip, kOverwriteAll, kSkipAll, kCancel };
    enum class Failure { kRetry, kSkip, kCancel };

    virtual ~FileOpsUi() = default;
    // An edit field with `path` filled in; false when cancelled.
    virtual bool AskPath(const std::string& title, const std::string& prompt, const std::string& button,
                         std::string* path) = 0;
    virtual bool Confirm(const std::string& title, const std::vector<std::string>& lines,
                         const std::string& button) = 0;
    virtual Existing AskExisting(const std::string& title, const std::string& target) = 0;
    // `what` names the item and the step ("Cannot copy a.txt"), `reason` the OS's words.
    virtual Failure AskFailure(const std::string& title, const std::string& what, const std::string& reason) = 0;
};

struct FileJobResult {
    std::vector<std::string> done;  // names handled (copied, moved, deleted)
    bool cancelled = false;
};

// Copies (or moves, with `move`) the named items of `folder` to `target`: an
// existing folder receives them under their names; any other target is the
// new path of a single item (a rename when moving). Folders go with their content.
FileJobResult CopyItems(FileOpsUi& ui, const std::string& folder, const std::vector<std::string>& names,
                        const std::string& target, bool move);

// Makes `path` (with any missing parents); false when it failed or was cancelled.
bool MakeFolder(FileOpsUi& ui, const std::string& path);

// Deletes the named items of `folder`, folders with everything in them.
FileJobResult DeleteItems(FileOpsUi& ui, const std::string& folder, const std::vector<std::string>& names);

}  // namespace plughost::tui
