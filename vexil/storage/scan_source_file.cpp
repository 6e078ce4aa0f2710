#include "vexil/storage/scan_source_file.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "vexil/files/checked_file.h"
#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "platform/platform.h"
#include "vexil/storage/uue_scanner.h"

namespace vexil {

namespace {

constexpr uint64_t kUnknownSize = ~0ull;

// The file's bytes through a CheckedFile, up to the size the directory search
// reported. Restart moves to the wanted position: a paused scan goes on from
// its pause point without reading the text before it again.
class CheckedFileSource : public TextSource {
public:
    CheckedFileSource(CheckedFile& file, uint64_t size) : file_(file), size_(size) {}

    size_t Read(unsigned char* buffer, size_t wanted) override {
        if (pos_ >= size_) return 0;
        uint64_t got = 0;
        file_.Read(buffer, std::min<uint64_t>(wanted, size_ - pos_), &got);
        pos_ += got;
        return static_cast<size_t>(got);
    }

    void Restart(uint64_t position) override {
        pos_ = std::min(position, size_);
        file_.Seek(pos_);
    }

private:
    CheckedFile& file_;
    uint64_t size_;
    uint64_t pos_ = 0;
};

class StorageSink : public BlockSink {
public:
    explicit StorageSink(Storage& storage) : storage_(storage) {}
    void Accept(const SectionBlock& b) override {
        storage_.AddSection(b.name, b.number, b.total, b.dataChars);
        ++accepted_;
    }
    int accepted_ = 0;

private:
    Storage& storage_;
};

// The prompt shown while the file cannot be found; true to search again.
bool AskSearchAgain() {
    const host::HostStartupInfo& h = Module().host;
    const char* items[5] = {GetMsgText(MPluginTitle), GetMsgText(MCannotOpen), GetMsgText(MRetry),
                            GetMsgText(MSkip), GetMsgText(MCancel)};
    return h.message(h.moduleNumber, 0, nullptr, items, 5, 3) == 0;
}

}  // namespace

void ScanSourceFile(Storage& storage, const std::string& path) {
    platform::FileInfo info;
    bool found = platform::os().FindFile(path, &info);
    while (!found && AskSearchAgain()) found = platform::os().FindFile(path, &info);
    // A hidden or system file that the user chose to go on with: its size
    // and time come from a search that sees it.
    if (!found) found = platform::os().FindAnyFile(path, &info);
    // The last-write time recorded is the one found here, before reading: a
    // write that lands during the scan then shows as a change at the next
    // idle check, and the file is scanned again.
    const std::optional<uint64_t> lastWriteTime =
        found ? std::optional<uint64_t>(info.lastWriteTime) : std::nullopt;

    CheckedFile file(storage.jobState);
    try {
        file.Open(path, "rb");
        CheckedFileSource source(file, found ? info.size : kUnknownSize);
        TextScan scan(source);
        if (!scan.Detect()) return;
        StorageSink sink(storage);
        scan.ScanAll(sink);
        file.Close();
        if (sink.accepted_ > 0) storage.AddSourceFile(path, scan.PlainText(), lastWriteTime);
    } catch (FileFailure) {
        // The user gave up on the file: what was registered stays.
    }
}

}  // namespace vexil
