#include <string>

#include "encoder.h"
#include "encoding_job.h"
#include "module_state.h"
#include "path_parts.h"
#include "progress.h"
#include "storage.h"

namespace vexil {

int PutFiles(Storage& storage, const host::PanelItem* items, int count) {
    const SourceFile* source = storage.WritableSource();
    if (source == nullptr) return 0;  // no plain-text file: the storage is read-only

    // The storage file's own name and extension as patterns; "." for a file
    // without an extension keeps the encoder from adding ".uue".
    const PathParts parts = SplitPath(source->path);
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
