#include "vexil/encoding/put_files.h"

#include <string>

#include "vexil/encoding/encoder.h"
#include "vexil/frame/module_state.h"
#include "vexil/frame/path_parts.h"
#include "vexil/encoding/progress.h"

namespace vexil {

int PutFilesInto(const char* storagePath, const host::PanelItem* items, int count) {
    if (storagePath == nullptr) return 0;  // a read-only storage

    // The storage file's own name and extension as patterns; "." for a file
    // without an extension keeps the encoder from adding ".uue".
    const PathParts parts = SplitPath(storagePath);
    const std::string target = parts.drive + parts.dir + parts.name + (parts.ext.empty() ? "." : parts.ext);

    EncodeJobState job;
    job.appendToTarget = 1;
    job.appending = 1;
    for (int i = 0; i < count && job.cancelled == 0; ++i) {
        const char* fileName = items[i].findData.fileName;
        ShowEncodeProgress(fileName, target.c_str(), count, 0);
        EncodeFile(fileName, target, Module().settings, job);
    }
    return 0;
}

}  // namespace vexil
