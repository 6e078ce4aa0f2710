#include "vexil/encoding/put_files.h"

#include <string>

#include "vexil/encoding/encoder.h"
#include "vexil/frame/module_state.h"
#include "vexil/encoding/progress.h"

namespace vexil {

int PutFilesInto(const char* storagePath, const host::PanelItem* items, int count) {
    if (storagePath == nullptr) return 0;  // a read-only storage

    // Every file, and every section of it, goes into the storage's own text
    // file: its path is the output itself, not a pattern.
    const std::string target = storagePath;
    EncodeJobState job;
    job.appendToTarget = 1;
    job.appending = 1;
    for (int i = 0; i < count && job.cancelled == 0; ++i) {
        const char* fileName = items[i].findData.fileName;
        ShowEncodeProgress(fileName, target.c_str(), i + 1, 0);
        EncodeFileInto(fileName, target, Module().settings, job);
    }
    return 0;
}

}  // namespace vexil
