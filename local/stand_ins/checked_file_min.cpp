// Minimal CheckedFile for the temporary build: no buffering of its own.
#include "vexil/checked_file.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "vexil/messages.h"
#include "vexil/module_state.h"

namespace vexil {

CheckedFile::CheckedFile(EncodeJobState& job) : job_(job) {}
CheckedFile::~CheckedFile() { Close(); }

int CheckedFile::AskUser(int messageNumber) {
    const char* lines[6] = {GetMsgText(MPluginTitle), GetMsgText(messageNumber), path_.c_str(),
                            GetMsgText(MRetry), GetMsgText(MSkip), GetMsgText(MCancel)};
    const host::HostStartupInfo& h = Module().host;
    const int answer = h.message(h.moduleNumber, 3, nullptr, lines, 6, 3);
    if (answer == 1) throw FileFailure{kFailSkip};
    if (answer == 2) {
        job_.cancelled = 1;
        throw FileFailure{kFailCancel};
    }
    return answer;
}

void CheckedFile::Open(const std::string& path, const char* mode) {
    Close();
    path_ = path;
    hasPath_ = true;
    while (!(stream_ = platform::os().Open(path_, mode)))
        if (AskUser(MCannotOpen) != 0) return;
}

uint64_t CheckedFile::Length() {
    if (!stream_) throw FileFailure{kFailNoStream};
    return stream_->Length();
}

void CheckedFile::Read(void* buffer, uint64_t wanted, uint64_t* got) {
    if (!stream_) throw FileFailure{kFailNoStream};
    const uint64_t p = stream_->Tell(), l = stream_->Length();
    *got = std::min(l > p ? l - p : 0, wanted);
    for (;;) {
        stream_->ClearError();
        if (stream_->Seek(p)) stream_->Read(buffer, *got);
        if (!stream_->Error() || AskUser(MCannotRead) != 0) return;
    }
}

void CheckedFile::Write(const void* data, uint64_t length, uint64_t* written) {
    *written = length;
    if (!stream_) throw FileFailure{kFailNoStream};
    const uint64_t p = stream_->Tell();
    for (;;) {
        stream_->ClearError();
        if (stream_->Seek(p)) stream_->Write(data, length);
        if (!stream_->Error() || AskUser(MCannotWrite) != 0) return;
    }
}

void CheckedFile::WriteText(const char* text) {
    uint64_t written;
    Write(text, std::strlen(text), &written);
}

void CheckedFile::Close() {
    if (stream_) platform::os().Close(stream_);
    stream_ = nullptr;
    path_.clear();
    hasPath_ = false;
}

void CheckedFile::Delete() {
    if (!stream_ || !hasPath_) throw FileFailure{kFailNoStream};
    const std::string path = path_;
    Close();
    while (!platform::os().Remove(path)) {
        path_ = path;
        try {
            if (AskUser(MCannotDelete) != 0) break;
        } catch (FileFailure) {
            break;
        }
    }
    path_.clear();
}

void CheckedFile::Truncate(uint64_t length) {
    if (stream_) stream_->Truncate(length);
}

}  // namespace vexil
