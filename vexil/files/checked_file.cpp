#include "vexil/files/checked_file.h"

#include <algorithm>
#include <cstring>

#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "platform/platform.h"

namespace vexil {

namespace {
constexpr int kAnswerRetry = 0;
constexpr int kAnswerSkip = 1;
constexpr int kAnswerCancel = 2;
}  // namespace

CheckedFile::CheckedFile(EncodeJobState& job) : job_(job) {}

CheckedFile::~CheckedFile() {
    pending_.clear();
    CloseStream();
}

int CheckedFile::AskUser(int messageNumber, bool osFailed) {
    const char* lines[6] = {GetMsgText(MPluginTitle), GetMsgText(messageNumber), path_.c_str(),
                            GetMsgText(MRetry),       GetMsgText(MSkip),         GetMsgText(MCancel)};
    const host::HostStartupInfo& h = Module().host;
    const uint32_t flags = host::kMsgWarning | (osFailed ? host::kMsgErrorType : 0u);
    return h.message(h.moduleNumber, flags, nullptr, lines, 6, 3);
}

bool CheckedFile::RetryOrThrow(int answer, bool* quiet) {
    switch (answer) {
        case kAnswerRetry:
            return true;
        case kAnswerSkip:
            throw FileFailure{kFailSkip};
        case kAnswerCancel:
            job_.cancelled = 1;
            throw FileFailure{kFailCancel};
        default:  // Esc: the operation ends quietly, or the file fails
            if (escapeEndsFile_) throw FileFailure{kFailEscape};
            *quiet = true;
            return false;
    }
}

void CheckedFile::CloseStream() {
    if (stream_) platform::os().Close(stream_);
    stream_ = nullptr;
}

void CheckedFile::Open(const std::string& path, const char* mode) {
    Close();
    path_ = path;
    hasPath_ = true;
    for (;;) {
        stream_ = platform::os().Open(path_, mode);
        if (stream_) {
            position_ = std::strchr(mode, 'a') ? stream_->Length() : 0;
            return;
        }
        bool quiet = false;
        if (!RetryOrThrow(AskUser(MCannotOpen), &quiet)) return;
    }
}

// The question shows `path` for as long as the object lives in this scope;
// the object's own path comes back afterwards.
class CheckedFile::ShownPath {
public:
    ShownPath(CheckedFile& file, const std::string& path) : file_(file), kept_(file.path_), hadPath_(file.hasPath_) {
        file_.path_ = path;
    }
    ~ShownPath() {
        file_.path_ = kept_;
        file_.hasPath_ = hadPath_;
    }

private:
    CheckedFile& file_;
    std::string kept_;
    bool hadPath_;
};

void CheckedFile::RefuseOpen(const std::string& path) {
    ShownPath shown(*this, path);
    bool quiet = false;
    while (RetryOrThrow(AskUser(MCannotOpen, false), &quiet)) {
    }
}

void CheckedFile::RemoveFile(const std::string& path) {
    ShownPath shown(*this, path);
    bool quiet = false;
    while (!platform::os().Remove(path)) {
        if (!RetryOrThrow(AskUser(MCannotDelete), &quiet)) return;
    }
}

uint64_t CheckedFile::Length() {
    if (!stream_) throw FileFailure{kFailNoStream};
    return stream_->Length();
}

void CheckedFile::Seek(uint64_t position) {
    if (!stream_) throw FileFailure{kFailNoStream};
    FlushPending();
    position_ = position;  // every Read and Write seeks to position_ first
}

void CheckedFile::Read(void* buffer, uint64_t wanted, uint64_t* got) {
    if (!stream_) throw FileFailure{kFailNoStream};
    FlushPending();
    const uint64_t start = position_;
    const uint64_t length = stream_->Length();
    const uint64_t available = length > start ? length - start : 0;
    const size_t count = static_cast<size_t>(std::min(available, wanted));
    *got = 0;
    for (;;) {
        stream_->ClearError();
        size_t moved = 0;
        bool failed = !stream_->Seek(start);
        if (!failed) {
            moved = count ? stream_->Read(buffer, count) : 0;
            failed = stream_->Error();
        }
        if (!failed) {
            // Only what really arrived counts: a file that shrank yields less.
            *got = moved;
            position_ = start + moved;
            return;
        }
        bool quiet = false;
        if (!RetryOrThrow(AskUser(MCannotRead), &quiet)) {
            *got = moved;
            position_ = start + moved;
            return;
        }
    }
}

void CheckedFile::Write(const void* data, uint64_t length, uint64_t* written) {
    *written = length;
    if (!stream_) throw FileFailure{kFailNoStream};
    if (pending_.empty()) pendingStart_ = position_;
    pending_.append(static_cast<const char*>(data), static_cast<size_t>(length));
    position_ += length;
    if (pending_.size() >= kWriteBufferSize) FlushPending();
}

void CheckedFile::WriteText(const char* text) {
    uint64_t written;
    Write(text, std::strlen(text), &written);
}

void CheckedFile::FlushPending() {
    if (pending_.empty() || !stream_) return;
    bool retrying = false;
    for (;;) {
        stream_->ClearError();
        // A retry starts over where this block began; bytes of a partial
        // transfer are cut off first so an appended block is never doubled.
        bool ok = !retrying || stream_->Truncate(pendingStart_) || stream_->Seek(pendingStart_);
        if (ok) ok = stream_->Write(pending_.data(), pending_.size()) == pending_.size();
        if (ok) ok = stream_->Flush();
        if (ok && !stream_->Error()) {
            pending_.clear();
            return;
        }
        bool quiet = false;
        if (!RetryOrThrow(AskUser(MCannotWrite), &quiet)) {
            pending_.clear();
            return;
        }
        retrying = true;
    }
}

void CheckedFile::Close() {
    FlushPending();
    CloseStream();
    path_.clear();
    hasPath_ = false;
}

void CheckedFile::Delete() {
    if (!stream_ || !hasPath_) throw FileFailure{kFailNoStream};
    const std::string path = path_;
    pending_.clear();
    CloseStream();
    path_.clear();
    hasPath_ = false;
    // The question shows the path being removed.
    path_ = path;
    while (!platform::os().Remove(path)) {
        if (AskUser(MCannotDelete) != kAnswerRetry) break;
    }
    path_.clear();
}

bool CheckedFile::Truncate(uint64_t length) {
    if (!stream_) return false;
    pending_.clear();
    if (!stream_->Truncate(length)) return false;
    position_ = length;
    return true;
}

}  // namespace vexil
