#include "vexil/storage/scan_source_file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "vexil/files/checked_file.h"
#include "vexil/files/read_ahead.h"
#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "platform/platform.h"
#include "vexil/storage/plain_blocks.h"
#include "vexil/storage/uue_scanner.h"

namespace vexil {

namespace {

constexpr uint64_t kUnknownSize = ~0ull;

// The file's bytes through a CheckedFile, up to the size the directory search
// reported. Restart moves to the wanted position: a paused scan goes on from
// its pause point without reading the text before it again.
//
// A long text is read a chunk ahead, on a second stream of the file, while
// the scan works on the chunk before (from the start only). Should that stream fail (or the file
// have become shorter), the CheckedFile takes over at that position, with
// its questions.
class CheckedFileSource : public TextSource {
public:
    CheckedFileSource(CheckedFile& file, const std::string& path, uint64_t size)
        : file_(file), path_(path), size_(size) {
        StartAhead();
    }
    ~CheckedFileSource() override { StopAhead(); }

    size_t Read(unsigned char* buffer, size_t wanted) override {
        if (pos_ >= size_) return 0;
        wanted = static_cast<size_t>(std::min<uint64_t>(wanted, size_ - pos_));
        size_t got = 0;
        while (ahead_ && got < wanted) {
            if (chunkUsed_ == chunkSize_) {
                if (ahead_->AtEnd()) break;
                chunk_ = ahead_->Next(nullptr, 0, &chunkSize_);
                chunkUsed_ = 0;
                if (ahead_->Failed()) {
                    StopAhead();
                    file_.Seek(pos_);
                    break;
                }
            }
            const size_t n = std::min(wanted - got, chunkSize_ - chunkUsed_);
            std::memcpy(buffer + got, chunk_ + chunkUsed_, n);
            chunkUsed_ += n;
            got += n;
            pos_ += n;
        }
        if (got < wanted && !ahead_) {
            uint64_t more = 0;
            file_.Read(buffer + got, wanted - got, &more);
            got += static_cast<size_t>(more);
            pos_ += more;
        }
        return got;
    }

    void Restart(uint64_t position) override {
        StopAhead();
        pos_ = std::min(position, size_);
        file_.Seek(pos_);
        // The scan after the detection reads the whole text again. A scan
        // that paused goes on from its pause point and may pause again soon:
        // it reads what it needs, where reading ahead could read megabytes
        // past it at every pause.
        if (pos_ == 0) StartAhead();
    }

private:
    static constexpr uint64_t kAheadFrom = 4 * TextScan::kWindow;  // shorter stretches are read directly
    static constexpr size_t kAheadChunk = 4 * TextScan::kWindow;    // a few windows of the scan at a time

    void StartAhead() {
        if (size_ == kUnknownSize || size_ - pos_ < kAheadFrom) return;
        stream_ = platform::os().Open(path_, "rb");
        if (stream_ == nullptr) return;
        if (!stream_->Seek(pos_)) {
            StopAhead();
            return;
        }
        ahead_ = std::make_unique<ReadAhead>(*stream_, size_ - pos_, kAheadChunk, 0);
    }
    void StopAhead() {
        ahead_.reset();
        if (stream_ != nullptr) platform::os().Close(stream_);
        stream_ = nullptr;
        chunk_ = nullptr;
        chunkSize_ = chunkUsed_ = 0;
    }

    CheckedFile& file_;
    std::string path_;
    uint64_t size_;
    uint64_t pos_ = 0;
    platform::Stream* stream_ = nullptr;
    std::unique_ptr<ReadAhead> ahead_;
    const unsigned char* chunk_ = nullptr;
    size_t chunkSize_ = 0;
    size_t chunkUsed_ = 0;
};

// Hands every byte read, once and in order, to the plain-block scan as well,
// which also tests it for control characters (the section scan does that
// only when it scans for blocks).
class TeeSource : public TextSource {
public:
    TeeSource(TextSource& inner, PlainBlockScan& plain) : inner_(inner), plain_(plain) {}
    size_t Read(unsigned char* buffer, size_t wanted) override {
        const size_t got = inner_.Read(buffer, wanted);
        const uint64_t end = pos_ + got;
        if (end > fed_) {
            const size_t skip = static_cast<size_t>(fed_ - pos_);
            plain_.Feed(buffer + skip, got - skip);
            fed_ = end;
        }
        pos_ = end;
        return got;
    }
    void Restart(uint64_t position) override {
        // The scans only go back to text already read; a jump past it would
        // leave bytes the plain-block scan never sees, so those are read first.
        if (position > fed_) {
            inner_.Restart(fed_);
            pos_ = fed_;
            unsigned char scratch[4096];
            while (pos_ < position) {
                if (Read(scratch, static_cast<size_t>(std::min<uint64_t>(sizeof scratch, position - pos_))) == 0) break;
            }
        }
        inner_.Restart(position);
        pos_ = position;
    }
    bool PlainText() const { return !plain_.SawControlByte(); }
    // The section scan will test the text itself: no need to go on here.
    void StopPlainTextTest() { plain_.StopControlTest(); }

private:
    TextSource& inner_;
    PlainBlockScan& plain_;
    uint64_t pos_ = 0;
    uint64_t fed_ = 0;
};

class StorageSink : public BlockSink {
public:
    explicit StorageSink(Storage& storage) : storage_(storage) {}
    void Accept(const SectionBlock& b) override {
        storage_.AddSection(b);
        ++accepted_;
    }
    int accepted_ = 0;

private:
    Storage& storage_;
};

// The prompt shown while the file cannot be found, naming it (and, as an
// error-type message, the OS's reason); true to search again.
bool AskSearchAgain(const std::string& path) {
    const host::HostStartupInfo& h = Module().host;
    const char* items[6] = {GetMsgText(MPluginTitle), GetMsgText(MCannotOpen), path.c_str(),
                            GetMsgText(MRetry),       GetMsgText(MSkip),       GetMsgText(MCancel)};
    return h.message(h.moduleNumber, host::kMsgErrorType, nullptr, items, 6, 3) == 0;
}

}  // namespace

void ScanSourceFile(Storage& storage, const std::string& path) {
    platform::FileInfo info;
    bool found = platform::os().FindFile(path, &info);
    while (!found && AskSearchAgain(path)) found = platform::os().FindFile(path, &info);
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
        CheckedFileSource fileSource(file, path, found ? info.size : kUnknownSize);
        PlainBlockScan plain;
        TeeSource source(fileSource, plain);
        TextScan scan(source);
        StorageSink sink(storage);
        // Detect reads the whole text when it finds no section block, so the
        // plain-block scan has seen every byte either way.
        const bool sections = scan.Detect();
        if (sections) {
            source.StopPlainTextTest();
            scan.ScanAll(sink);
        }
        plain.Finish();
        for (const SectionBlock& b : plain.Blocks()) sink.Accept(b);
        file.Close();
        if (sink.accepted_ > 0)
            storage.AddSourceFile(path, sections ? scan.PlainText() : source.PlainText(), lastWriteTime,
                                  found ? std::optional<uint64_t>(info.size) : std::nullopt);
    } catch (FileFailure) {
        // The user gave up on the file: what was registered stays.
    }
}

}  // namespace vexil
