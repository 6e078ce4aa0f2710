// Temporary stand-in for CheckedFile until it lands on main (no questions asked).
#include "vexil/checked_file.h"
#include "platform/platform.h"
namespace vexil {
CheckedFile::CheckedFile(EncodeJobState& job) : job_(job) {}
CheckedFile::~CheckedFile() { Close(); }
void CheckedFile::Open(const std::string& path, const char* mode) {
    Close(); path_ = path; hasPath_ = true;
    stream_ = platform::os().Open(path, mode);
    if (!stream_) throw FileFailure{kFailSkip};
}
uint64_t CheckedFile::Length() { if (!stream_) throw FileFailure{kFailNoStream}; return stream_->Length(); }
void CheckedFile::Read(void* b, uint64_t wanted, uint64_t* got) {
    if (!stream_) throw FileFailure{kFailNoStream};
    uint64_t p = stream_->Tell(), l = stream_->Length();
    *got = l > p ? l - p : 0; if (wanted < *got) *got = wanted;
    stream_->ClearError(); stream_->Seek(p); stream_->Read(b, static_cast<size_t>(*got));
    if (stream_->Error()) throw FileFailure{kFailSkip};
}
void CheckedFile::Write(const void* d, uint64_t n, uint64_t* w) { *w = n; if (!stream_) throw FileFailure{kFailNoStream}; stream_->Write(d, static_cast<size_t>(n)); }
void CheckedFile::WriteText(const char* t) { uint64_t w; std::string s(t); Write(s.data(), s.size(), &w); }
void CheckedFile::Close() { if (stream_) platform::os().Close(stream_); stream_ = nullptr; path_.clear(); hasPath_ = false; }
void CheckedFile::Delete() { std::string p = path_; Close(); platform::os().Remove(p); }
void CheckedFile::Truncate(uint64_t l) { if (stream_) stream_->Truncate(l); }
int CheckedFile::AskUser(int) { return 1; }
}
