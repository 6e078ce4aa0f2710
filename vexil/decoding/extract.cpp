#include "vexil/decoding/extract.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "vexil/files/read_ahead.h"
#include "vexil/files/write_behind.h"
#include "vexil/decoding/line_decoder.h"
#include "vexil/storage/whole_lines.h"
#include "vexil/encoding/progress.h"
#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "vexil/frame/safe_name.h"
#include "vexil/storage/storage_panel.h"

namespace vexil {

namespace {

constexpr size_t kReadChunk = 1 << 20;        // bytes of text read at a time
constexpr size_t kMaxCarry = 1 << 16;         // longest line kept across reads
constexpr size_t kWriteBuffer = 1 << 20;      // decoded bytes collected before a write
constexpr uint64_t kProgressFrom = 1 << 20;   // jobs with this much text show the progress box

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    if (last == '/' || last == platform::kPathSeparator) return folder + name;
    return folder + platform::kPathSeparator + name;
}

// One file to write: a complete file, or the chosen sections of an incomplete one.
struct Job {
    const EncodedFile* file = nullptr;
    std::vector<const Section*> sections;  // in section-number order
    std::vector<host::PanelItem*> items;   // unselected when the job succeeds
    bool partial = false;
    std::string name;                      // the file name written
    uint64_t textBytes = 0;
};

enum class Outcome { kDone, kNotDone, kCancelled };

// The output file, written behind the decoding; failures are remembered.
class Output {
public:
    ~Output() { Close(); }
    // `expected` bytes are set aside for the file where the file system can.
    bool Open(const std::string& path, uint64_t expected) {
        stream_ = platform::os().Open(path, "wb");
        failed_ = stream_ == nullptr;
        if (failed_) return false;
        reserved_ = expected > 0 && stream_->Reserve(expected) ? expected : 0;
        writer_ = std::make_unique<WriteBehind>(*stream_, kWriteBuffer, kMaxCarry);
        return true;
    }
    // Room for at least kMaxCarry bytes; Commit(n) keeps the first n of them.
    unsigned char* Room() { return writer_->Room(); }
    void Commit(size_t n) { writer_->Commit(n); }
    // Closes the file; false when some write or the close failed.
    bool Close() {
        if (stream_ == nullptr) return !failed_;
        if (!writer_->Finish()) failed_ = true;
        // Space set aside beyond what was written goes back.
        if (!failed_ && reserved_ > writer_->Committed() && !stream_->Truncate(writer_->Committed())) failed_ = true;
        writer_.reset();
        if (!platform::os().Close(stream_)) failed_ = true;
        stream_ = nullptr;
        return !failed_;
    }
    bool Failed() const { return failed_ || (writer_ && writer_->Failed()); }

private:
    platform::Stream* stream_ = nullptr;
    std::unique_ptr<WriteBehind> writer_;
    uint64_t reserved_ = 0;
    bool failed_ = false;
};

class Extraction {
public:
    Extraction(Storage& storage, const std::string& dest, int opMode)
        : storage_(storage), dest_(dest), alphabets_(CodeAlphabets()), tables_(MakeDecodeTables(alphabets_)) {
        silent_ = (opMode & (kOpSilent | kOpFind)) != 0;
        forViewing_ = (opMode & (kOpView | kOpQuickView | kOpEdit)) != 0;
    }

    int Run(host::PanelItem* items, int count);

private:
    enum class ExistingAll { kAsk, kOverwrite, kSkip, kKeepBoth };
    enum class SectionResult { kOk, kEnded, kDamaged, kReadFailed, kCancelled };

    std::vector<Job> MakeJobs(host::PanelItem* items, int count, bool* unknown);
    Outcome RunJob(Job& job, int number);
    SectionResult DecodeSection(const Section& s, Output& out, int* badLine);
    bool WatchEsc();

    // Questions; each returns the button index (-1 for Esc).
    int Ask(uint32_t flags, std::vector<const char*> lines, int buttons);
    void Tell(int message, const std::string& name);
    // `path` is one of the text files the storage was read from.
    bool IsStorageText(const std::string& path) const;

    Storage& storage_;
    std::string dest_;
    const Alphabets& alphabets_;
    DecodeTables tables_;
    bool silent_ = false;
    bool forViewing_ = false;
    ExistingAll existingAll_ = ExistingAll::kAsk;
    bool showProgress_ = false;
    int shownPercent_ = -1;  // the bar last drawn; redrawn only when it moves
    uint64_t jobText_ = 0;
    uint64_t jobDone_ = 0;
};

int Extraction::Ask(uint32_t flags, std::vector<const char*> lines, int buttons) {
    lines.insert(lines.begin(), GetMsgText(MPluginTitle));
    const host::HostStartupInfo& h = Module().host;
    return h.message(h.moduleNumber, flags, nullptr, lines.data(), static_cast<int>(lines.size()), buttons);
}

void Extraction::Tell(int message, const std::string& name) {
    if (silent_) return;
    Ask(host::kMsgWarning, {GetMsgText(message), name.c_str(), GetMsgText(MOk)}, 1);
}

bool Extraction::IsStorageText(const std::string& path) const {
    bool found = false;
    storage_.sources.ForEach([&](SourceFile* source) {
        if (!found && platform::os().SameFile(source->path, path)) found = true;
    });
    return found;
}

std::vector<Job> Extraction::MakeJobs(host::PanelItem* items, int count, bool* unknown) {
    // The item names of the listing, back to what they stand for.
    struct Place {
        EncodedFile* file;
        const Section* section;  // null for a complete file
    };
    std::unordered_map<std::string, Place> byName;
    storage_.files.ForEach([&](EncodedFile* f) {
        if (IsComplete(*f)) {
            byName.emplace(CompleteItemName(*f), Place{f, nullptr});
        } else {
            f->sections.ForEach([&](Section* s) { byName.emplace(SectionItemName(*s, *f), Place{f, s}); });
        }
    });

    std::vector<Job> jobs;
    std::unordered_map<const EncodedFile*, size_t> jobOf;
    for (int i = 0; i < count; ++i) {
        char name[host::kMaxPath + 1] = {};
        std::memcpy(name, items[i].findData.fileName, host::kMaxPath);
        auto found = byName.find(name);
        if (found == byName.end()) {
            *unknown = true;
            continue;
        }
        const Place& place = found->second;
        auto [at, added] = jobOf.emplace(place.file, jobs.size());
        if (added) {
            jobs.emplace_back();
            jobs.back().file = place.file;
            jobs.back().partial = place.section != nullptr;
        }
        Job& job = jobs[at->second];
        job.items.push_back(&items[i]);
        if (place.section != nullptr) {
            if (std::find(job.sections.begin(), job.sections.end(), place.section) == job.sections.end()) {
                job.sections.push_back(place.section);
            }
        }
    }
    for (Job& job : jobs) {
        if (!job.partial) {
            job.file->sections.ForEach([&](Section* s) {
                if (s->number >= 1 && s->number <= job.file->totalSections) job.sections.push_back(s);
            });
        }
        std::sort(job.sections.begin(), job.sections.end(),
                  [](const Section* a, const Section* b) { return a->number < b->number; });
        job.name = CompleteItemName(*job.file);
        if (job.partial) {
            std::string part = ".part";
            for (const Section* s : job.sections) part += "-" + std::to_string(s->number);
            part += "-of-" + std::to_string(job.file->totalSections);
            job.name = SafeName(job.name + part);
        }
        for (const Section* s : job.sections) job.textBytes += s->dataEnd - s->dataBegin;
    }
    return jobs;
}

bool Extraction::WatchEsc() {
    const int percent = jobText_ == 0 ? 100 : static_cast<int>(jobDone_ * 100 / jobText_);
    const bool redraw = showProgress_ && percent != shownPercent_;
    if (redraw) shownPercent_ = percent;
    return CheckAbortKey(percent, redraw) == kAbortStop;
}

Extraction::SectionResult Extraction::DecodeSection(const Section& s, Output& out, int* badLine) {
    platform::Os& os = platform::os();
    if (s.dataEnd <= s.dataBegin) return SectionResult::kOk;
    platform::Stream* in = s.sourcePath.empty() ? nullptr : os.Open(s.sourcePath, "rb");
    if (in == nullptr) return SectionResult::kReadFailed;
    struct Closer {
        platform::Stream* stream;
        ~Closer() { platform::os().Close(stream); }
    } closer{in};
    if (!in->Seek(s.dataBegin)) return SectionResult::kReadFailed;

    // The text is read a chunk ahead of the decoding; a line cut by a
    // chunk's end comes again before the next chunk.
    ReadAhead reader(*in, s.dataEnd - s.dataBegin, kReadChunk, kMaxCarry);
    Base64Lines base64;
    const unsigned char* kept = nullptr;
    size_t held = 0;
    int line = 0;
    for (;;) {
        size_t size = 0;
        const unsigned char* p = reader.Next(kept, held, &size);
        // The text ends before the data the scan found: it was cut since.
        if (reader.Failed()) return SectionResult::kReadFailed;
        jobDone_ += size - held;
        const bool last = reader.AtEnd();
        const unsigned char* const end = p + size;
        const WholeLineKernels& whole = WholeLines();
        // Lines end in CR, LF or CR LF; a CR LF pair gives an empty line that is skipped.
        while (p < end) {
            // The whole UU line, checked and decoded 16 characters at a time.
            if (!s.base64 && p[0] == 'M' && end - p >= static_cast<ptrdiff_t>(kWholeLineReach) &&
                (p[kWholeLineChars + 1] == '\n' || (p[kWholeLineChars + 1] == '\r' && p[kWholeLineChars + 2] == '\n')) &&
                p[kWholeLineChars] > 32 && whole.check(p)) {
                whole.decode(p, out.Room());
                ++line;
                out.Commit(45);
                p += kWholeLineChars + (p[kWholeLineChars + 1] == '\n' ? 2 : 3);
                continue;
            }
            // The common full line ending in LF or CR LF, decoded without a search for its end.
            if (!s.base64 && end - p > static_cast<ptrdiff_t>(kFullLineChars + 1) && p[kFullLineChars] > 32) {
                const unsigned char* after = p + kFullLineChars + 1;
                size_t endLength = 0;
                if (after[0] == '\n') {
                    endLength = 1;
                } else if (after[0] == '\r' && after + 1 < end && after[1] == '\n') {
                    endLength = 2;
                }
                if (endLength > 0) {
                    const int n = DecodeFullLine(tables_, p, out.Room());
                    if (n >= 0) {
                        ++line;
                        out.Commit(static_cast<size_t>(n));
                        p = after + endLength;
                        continue;
                    }
                }
            }
            const auto* lf = static_cast<const unsigned char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            const unsigned char* stop = lf != nullptr ? lf : end;
            const auto* cr = static_cast<const unsigned char*>(std::memchr(p, '\r', static_cast<size_t>(stop - p)));
            const unsigned char* lineEnd = cr != nullptr ? cr : stop;
            if (lf == nullptr && cr == nullptr && !last) break;  // the line goes on in the next read
            size_t bytes = 0;
            ++line;
            const size_t length = static_cast<size_t>(lineEnd - p);
            // Decoded straight into the output buffer (a line gives at most 3/4 of its length).
            const LineKind kind = length > kMaxCarry ? LineKind::kDamaged  // no data line is this long
                                  : s.base64 ? base64.Decode(p, length, out.Room(), &bytes)
                                           : DecodeLine(alphabets_, tables_, p, length, out.Room(), &bytes);
            if (kind == LineKind::kDamaged) {
                *badLine = line;
                return SectionResult::kDamaged;
            }
            if (kind == LineKind::kEnd) return SectionResult::kEnded;
            out.Commit(bytes);
            p = lineEnd == end ? end : lineEnd + 1;
            if (cr != nullptr && cr + 1 == lf) p = lf + 1;  // CR LF is one line end
        }
        held = static_cast<size_t>(end - p);
        kept = p;
        if (held > kMaxCarry) {
            *badLine = line + 1;
            return SectionResult::kDamaged;  // no line is this long
        }
        if (WatchEsc()) return SectionResult::kCancelled;
        if (last) {
            *badLine = line + 1;  // where a missing "end" line would have been
            return SectionResult::kOk;
        }
    }
}

Outcome Extraction::RunJob(Job& job, int number) {
    platform::Os& os = platform::os();
    if (job.partial) {
        if (silent_) return Outcome::kNotDone;
        const int answer = Ask(0, {GetMsgText(MIncomplete), job.name.c_str(), GetMsgText(MDecode), GetMsgText(MSkip)}, 2);
        if (answer != 0) return Outcome::kNotDone;
    }

    std::string name = job.name;
    if (os.Exists(Join(dest_, name)) && !forViewing_ && IsStorageText(Join(dest_, name))) {
        // Replacing it would lose the text of every other item, and later
        // sections would be read from what was just written.
        if (existingAll_ == ExistingAll::kSkip) return Outcome::kNotDone;
        if (existingAll_ != ExistingAll::kKeepBoth) {
            if (silent_) return Outcome::kNotDone;
            const int answer = Ask(host::kMsgWarning,
                                   {GetMsgText(MTargetIsStorage), name.c_str(), GetMsgText(MKeepBoth), GetMsgText(MSkip),
                                    GetMsgText(MCancel)},
                                   3);
            if (answer == 1) return Outcome::kNotDone;
            if (answer != 0) return Outcome::kCancelled;
        }
        name = FreeName(dest_, name);
    }
    if (os.Exists(Join(dest_, name)) && !forViewing_) {
        ExistingAll choice = existingAll_;
        if (choice == ExistingAll::kAsk) {
            if (silent_) return Outcome::kNotDone;
            const int answer = Ask(host::kMsgWarning,
                                   {GetMsgText(MTargetExists), name.c_str(), GetMsgText(MOverwrite), GetMsgText(MSkip),
                                    GetMsgText(MKeepBoth), GetMsgText(MCancel), GetMsgText(MOverwriteAll),
                                    GetMsgText(MSkipAll), GetMsgText(MKeepBothAll)},
                                   7);
            switch (answer) {
                case 0: choice = ExistingAll::kOverwrite; break;
                case 1: choice = ExistingAll::kSkip; break;
                case 2: choice = ExistingAll::kKeepBoth; break;
                case 4: choice = existingAll_ = ExistingAll::kOverwrite; break;
                case 5: choice = existingAll_ = ExistingAll::kSkip; break;
                case 6: choice = existingAll_ = ExistingAll::kKeepBoth; break;
                default: return Outcome::kCancelled;
            }
        }
        if (choice == ExistingAll::kSkip) return Outcome::kNotDone;
        if (choice == ExistingAll::kKeepBoth) name = FreeName(dest_, name);
    }

    // A temporary file of a name no file has yet, in the destination folder.
    std::string temp;
    for (unsigned n = 1;; ++n) {
        temp = Join(dest_, "~vexil" + std::to_string(n) + ".tmp");
        if (!os.Exists(temp)) break;
    }
    uint64_t expected = 0;
    for (const Section* s : job.sections) expected += s->dataBytes > 0 ? static_cast<uint64_t>(s->dataBytes) : 0;
    Output out;
    if (!out.Open(temp, expected)) {
        Tell(MCannotExtract, name);
        return Outcome::kNotDone;
    }

    jobText_ = job.textBytes;
    jobDone_ = 0;
    shownPercent_ = 0;
    showProgress_ = job.textBytes >= kProgressFrom && !silent_ && Module().settings.SuppressOutput == 0;
    if (showProgress_) ShowEncodeProgress(name.c_str(), dest_.c_str(), number, 0);

    SectionResult result = SectionResult::kOk;
    int badSection = 0, badLine = 0;
    for (const Section* s : job.sections) {
        result = DecodeSection(*s, out, &badLine);
        if (result == SectionResult::kEnded) result = SectionResult::kOk;
        if (result != SectionResult::kOk) {
            badSection = s->number;
            break;
        }
        if (out.Failed()) break;
    }
    // A complete file whose last section has no "end" line was cut short:
    // its text ended, or a line the scanner does not take ended its block.
    if (result == SectionResult::kOk && !job.partial && !job.sections.empty() && !job.sections.back()->ended) {
        result = SectionResult::kDamaged;
        badSection = job.sections.back()->number;
    }
    if (showProgress_) ShowEncodeProgress(nullptr, nullptr, kProgressClosing, 100);
    const bool written = out.Close();

    if (result == SectionResult::kCancelled) {
        os.Remove(temp);
        return Outcome::kCancelled;
    }
    if (!written || result == SectionResult::kReadFailed) {
        os.Remove(temp);
        Tell(MCannotExtract, name);
        return Outcome::kNotDone;
    }
    bool keptPartial = false;
    if (result == SectionResult::kDamaged) {
        int answer = -1;
        if (!silent_) {
            char text[512];
            std::snprintf(text, sizeof text, GetMsgText(MDamaged), badSection, badLine);
            answer = Ask(host::kMsgWarning, {text, name.c_str(), GetMsgText(MSkip), GetMsgText(MKeepPartial)}, 2);
        }
        if (answer != 1) {
            os.Remove(temp);
            return Outcome::kNotDone;
        }
        name = FreeName(dest_, name + ".partial");
        keptPartial = true;
    }
    const Section* first = job.sections.empty() ? nullptr : job.sections.front();
    if (first != nullptr && first->number == 1 && first->mode >= 0) os.SetFileMode(temp, static_cast<unsigned>(first->mode));
    if (!os.Rename(temp, Join(dest_, name))) {
        os.Remove(temp);
        Tell(MCannotExtract, name);
        return Outcome::kNotDone;
    }
    return keptPartial ? Outcome::kNotDone : Outcome::kDone;
}

int Extraction::Run(host::PanelItem* items, int count) {
    bool unknown = false;
    std::vector<Job> jobs = MakeJobs(items, count, &unknown);
    bool all = !unknown;
    SetProgressMessages(MExtractTitle, MExtractAbort);
    int number = 0;
    Outcome outcome = Outcome::kDone;
    for (Job& job : jobs) {
        outcome = RunJob(job, ++number);
        if (outcome == Outcome::kCancelled) break;
        if (outcome == Outcome::kDone) {
            for (host::PanelItem* item : job.items) item->flags &= ~host::kItemSelected;
        } else {
            all = false;
        }
    }
    SetProgressMessages(MProgressTitle, MAbortQuestion);
    if (outcome == Outcome::kCancelled) return -1;
    return all ? 1 : 0;
}

}  // namespace

std::string FreeName(const std::string& folder, const std::string& name) {
    if (!platform::os().Exists(Join(folder, name))) return name;
    size_t dot = name.rfind('.');
    if (dot == 0 || dot == std::string::npos) dot = name.size();
    const std::string stem = name.substr(0, dot), ext = name.substr(dot);
    for (unsigned n = 2;; ++n) {
        const std::string candidate = stem + " (" + std::to_string(n) + ")" + ext;
        if (!platform::os().Exists(Join(folder, candidate))) return candidate;
    }
}

int ExtractItems(Storage& storage, host::PanelItem* items, int count, bool move, const char* destPath, int opMode) {
    const host::HostStartupInfo& h = Module().host;
    if (move) {
        if ((opMode & kOpSilent) == 0) {
            const char* lines[3] = {GetMsgText(MPluginTitle), GetMsgText(MCannotMove), GetMsgText(MOk)};
            h.message(h.moduleNumber, host::kMsgWarning, nullptr, lines, 3, 1);
        }
        return 0;
    }
    if (items == nullptr || count <= 0) return 0;
    std::string dest = destPath != nullptr ? std::string(destPath, strnlen(destPath, host::kMaxPath)) : std::string();
    if (dest.empty()) dest = platform::os().GetCurrentDir();
    if (!platform::os().IsDirectory(dest)) {
        if ((opMode & kOpSilent) == 0) {
            const char* lines[4] = {GetMsgText(MPluginTitle), GetMsgText(MNoFolder), dest.c_str(), GetMsgText(MOk)};
            h.message(h.moduleNumber, host::kMsgWarning, nullptr, lines, 4, 1);
        }
        return 0;
    }
    Extraction extraction(storage, dest, opMode);
    return extraction.Run(items, count);
}

}  // namespace vexil
