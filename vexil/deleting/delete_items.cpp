#include "vexil/deleting/delete_items.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

#include "platform/platform.h"
#include "vexil/decoding/extract.h"
#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "vexil/storage/scan_source_file.h"
#include "vexil/storage/storage_panel.h"

namespace vexil {

namespace {

constexpr size_t kCopyChunk = 1 << 18;   // bytes copied at a time
constexpr uint64_t kLookBack = 512;      // bytes read before a header for its line start
constexpr size_t kMaxNamedItems = 5;     // more items are counted, not named

// Reads `n` bytes at `at`; false when they cannot all be read.
bool ReadAt(platform::Stream& in, uint64_t at, unsigned char* buffer, size_t n) {
    if (!in.Seek(at)) return false;
    return in.Read(buffer, n) == n && !in.Error();
}

// Length of the line end at `p` (CR LF, LF or CR), 0 when there is none.
size_t LineEndAt(const unsigned char* p, size_t n) {
    if (n == 0) return 0;
    if (p[0] == '\n') return 1;
    if (p[0] == '\r') return n > 1 && p[1] == '\n' ? 2 : 1;
    return 0;
}

// Widens a cut to whole lines (see RemoveBlocks); false on a read failure.
bool Widen(platform::Stream& in, uint64_t size, BlockCut& cut) {
    unsigned char buffer[kLookBack];
    const uint64_t from = cut.begin > kLookBack ? cut.begin - kLookBack : 0;
    size_t n = static_cast<size_t>(cut.begin - from);
    if (n > 0 && !ReadAt(in, from, buffer, n)) return false;
    size_t i = n;
    while (i > 0 && (buffer[i - 1] == ' ' || buffer[i - 1] == '\t')) --i;
    if ((i == 0 && from == 0) || (i > 0 && (buffer[i - 1] == '\n' || buffer[i - 1] == '\r'))) cut.begin = from + i;

    // After the last line: its line end, then (section blocks) one blank line.
    n = static_cast<size_t>(std::min<uint64_t>(4, size - cut.end));
    if (n > 0 && !ReadAt(in, cut.end, buffer, n)) return false;
    size_t at = LineEndAt(buffer, n);
    if (at > 0 && cut.section) at += LineEndAt(buffer + at, n - at);
    cut.end += at;
    return true;
}

bool SameState(const SourceFile& source, const std::string& path) {
    platform::FileInfo info;
    return platform::os().FindAnyFile(path, &info) && info.size == source.size &&
           info.lastWriteTime == source.lastWriteTime;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of(platform::kPathSeparator == '/' ? "/" : "/\\:");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A free name for the temporary file beside `target`.
std::string TemporaryPath(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string base = target.substr(folder.size());
    for (unsigned n = 1;; ++n) {
        const std::string candidate = folder + base + ".vexil-" + std::to_string(n) + ".tmp";
        if (!platform::os().Exists(candidate)) return candidate;
    }
}

// Copies [from, to) of `in` to `out`; false on any failure.
bool Copy(platform::Stream& in, platform::Stream& out, uint64_t from, uint64_t to, std::vector<unsigned char>& buffer) {
    if (from >= to) return true;
    if (!in.Seek(from)) return false;
    while (from < to) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), to - from));
        if (in.Read(buffer.data(), n) != n || in.Error()) return false;
        if (out.Write(buffer.data(), n) != n || out.Error()) return false;
        from += n;
    }
    return true;
}

// Writes the text without the cuts into `temp`; false on any failure.
bool WriteWithout(platform::Stream& in, uint64_t size, const std::vector<BlockCut>& cuts, const std::string& temp) {
    platform::Os& os = platform::os();
    platform::Stream* out = os.Open(temp, "wb");
    if (out == nullptr) return false;
    std::vector<unsigned char> buffer(kCopyChunk);
    bool ok = true;
    uint64_t pos = 0;
    for (const BlockCut& cut : cuts) {
        ok = ok && Copy(in, *out, pos, cut.begin, buffer);
        pos = std::max(pos, cut.end);
    }
    ok = ok && Copy(in, *out, pos, size, buffer);
    // Nothing past the recorded size: the file has not grown under us.
    unsigned char probe;
    ok = ok && in.Seek(size) && in.Read(&probe, 1) == 0;
    in.ClearError();
    ok = ok && out->Flush() && !out->Error();
    if (!os.Close(out)) ok = false;
    return ok;
}

struct Place {
    EncodedFile* file;
    Section* section;  // null for a complete file
};

std::unordered_map<std::string, Place> PlacesByItemName(Storage& storage) {
    std::unordered_map<std::string, Place> byName;
    storage.files.ForEach([&](EncodedFile* f) {
        if (IsComplete(*f)) {
            byName.emplace(CompleteItemName(*f), Place{f, nullptr});
        } else {
            f->sections.ForEach([&](Section* s) { byName.emplace(SectionItemName(*s, *f), Place{f, s}); });
        }
    });
    return byName;
}

int Ask(uint32_t flags, std::vector<const char*> lines, int buttons) {
    lines.insert(lines.begin(), GetMsgText(MDeleteTitle));
    const host::HostStartupInfo& h = Module().host;
    return h.message(h.moduleNumber, flags, nullptr, lines.data(), static_cast<int>(lines.size()), buttons);
}

bool Confirm(const std::vector<std::string>& names) {
    std::vector<const char*> lines;
    char text[128];
    if (names.size() <= kMaxNamedItems) {
        lines.push_back(GetMsgText(MDeleteOne));
        for (const std::string& name : names) lines.push_back(name.c_str());
    } else {
        std::snprintf(text, sizeof text, GetMsgText(MDeleteMany), static_cast<int>(names.size()));
        lines.push_back(text);
    }
    lines.push_back(GetMsgText(MDelete));
    lines.push_back(GetMsgText(MCancel));
    return Ask(0, lines, 2) == 0;
}

bool Overlaps(const Section& a, const Section& b) { return a.blockBegin < b.blockEnd && b.blockBegin < a.blockEnd; }

}  // namespace

RewriteStatus RemoveBlocks(const SourceFile& source, const std::vector<BlockCut>& blocks) {
    platform::Os& os = platform::os();
    if (!SameState(source, source.path)) return RewriteStatus::kChanged;
    const std::string target = os.LinkTarget(source.path);
    platform::Stream* in = os.Open(target, "rb");
    if (in == nullptr) return RewriteStatus::kFailed;
    std::vector<BlockCut> cuts = blocks;
    bool ok = true;
    for (BlockCut& cut : cuts) {
        if (cut.begin >= cut.end || cut.end > source.size) ok = false;
        ok = ok && Widen(*in, source.size, cut);
    }
    std::sort(cuts.begin(), cuts.end(), [](const BlockCut& a, const BlockCut& b) { return a.begin < b.begin; });
    std::string temp;
    if (ok) {
        temp = TemporaryPath(target);
        ok = WriteWithout(*in, source.size, cuts, temp);
    }
    os.Close(in);
    RewriteStatus status = ok ? RewriteStatus::kDone : RewriteStatus::kFailed;
    // A write by another program while we copied: the copy is stale.
    if (ok && !SameState(source, source.path)) status = RewriteStatus::kChanged;
    if (status == RewriteStatus::kDone && !(os.CopyFileMode(target, temp) && os.Rename(temp, target))) {
        status = RewriteStatus::kFailed;
    }
    if (status != RewriteStatus::kDone && !temp.empty()) os.Remove(temp);
    return status;
}

int DeleteItems(Storage& storage, host::PanelItem* items, int count, int opMode) {
    if (items == nullptr || count <= 0) return 0;
    const bool silent = (opMode & kOpSilent) != 0;
    const auto byName = PlacesByItemName(storage);

    // Each known item with the sections it removes.
    std::vector<std::pair<int, std::vector<Section*>>> chosen;
    std::vector<std::string> names;
    bool all = true;
    for (int i = 0; i < count; ++i) {
        char name[host::kMaxPath + 1] = {};
        std::memcpy(name, items[i].findData.fileName, host::kMaxPath);
        auto found = byName.find(name);
        if (found == byName.end()) {
            all = false;
            continue;
        }
        std::vector<Section*> sections;
        if (found->second.section != nullptr) {
            sections.push_back(found->second.section);
        } else {
            found->second.file->sections.ForEach([&](Section* s) { sections.push_back(s); });
        }
        chosen.emplace_back(i, std::move(sections));
        names.emplace_back(name);
    }
    if (chosen.empty()) return 0;
    if (!silent && !Confirm(names)) return 0;

    // The sections of every block in each text file, for the overlap test.
    std::map<std::string, std::vector<const Section*>> inSource;
    storage.files.ForEach([&](EncodedFile* f) {
        f->sections.ForEach([&](Section* s) { inSource[s->sourcePath].push_back(s); });
    });

    // The cuts per text file; a file refused or failed fails every item with a block in it.
    std::map<std::string, std::vector<BlockCut>> cuts;
    std::set<std::string> seen;
    for (auto& [index, sections] : chosen) {
        for (Section* s : sections) {
            const std::string key = s->sourcePath + '\n' + std::to_string(s->blockBegin);
            if (!seen.insert(key).second) continue;
            cuts[s->sourcePath].push_back(BlockCut{s->blockBegin, s->blockEnd, !s->plain});
        }
    }
    std::set<std::string> failed, rewritten;
    for (auto& [path, list] : cuts) {
        const SourceFile* source = nullptr;
        for (int32_t n = 0; n < storage.sources.Count(); ++n) {
            if (storage.sources.At(n)->path == path) source = storage.sources.At(n);
        }
        int refusal = NoMessage;
        if (source == nullptr || path.empty()) {
            refusal = MCannotRewrite;
        } else if (!source->plainText) {
            refusal = MNotPlainText;
        } else {
            for (const BlockCut& cut : list) {
                if (cut.end <= cut.begin) refusal = MBlocksOverlap;
                for (const Section* other : inSource[path]) {
                    Section self;
                    self.blockBegin = cut.begin;
                    self.blockEnd = cut.end;
                    if ((other->blockBegin != cut.begin || other->blockEnd != cut.end) && Overlaps(self, *other))
                        refusal = MBlocksOverlap;
                }
            }
        }
        if (refusal == NoMessage) {
            const RewriteStatus status = RemoveBlocks(*source, list);
            if (status == RewriteStatus::kChanged) {
                refusal = MFileChanged;
                rewritten.insert(path);  // read again all the same
            } else if (status == RewriteStatus::kFailed) {
                refusal = MCannotRewrite;
            } else {
                rewritten.insert(path);
            }
        }
        if (refusal != NoMessage) {
            failed.insert(path);
            if (!silent) Ask(host::kMsgWarning, {GetMsgText(refusal), path.c_str(), GetMsgText(MOk)}, 1);
        }
    }

    for (auto& [index, sections] : chosen) {
        bool deleted = true;
        for (const Section* s : sections) deleted = deleted && failed.count(s->sourcePath) == 0;
        if (deleted) {
            items[index].flags &= ~host::kItemSelected;
        } else {
            all = false;
        }
    }
    // The model goes stale with the text: the rewritten files are read again.
    for (const std::string& path : rewritten) {
        for (int32_t n = 0; n < storage.sources.Count(); ++n) {
            if (storage.sources.At(n)->path != path) continue;
            storage.RemoveSourceFile(n);
            ScanSourceFile(storage, path);
            break;
        }
    }
    return all ? 1 : 0;
}

int MoveItems(Storage& storage, host::PanelItem* items, int count, const char* destPath, int opMode) {
    if (items == nullptr || count <= 0) return 0;
    // Extraction unselects what it extracted whole: those are the ones to delete.
    for (int i = 0; i < count; ++i) items[i].flags |= host::kItemSelected;
    const int extracted = ExtractItems(storage, items, count, false, destPath, opMode);
    std::vector<host::PanelItem> done;
    std::vector<int> doneAt;
    for (int i = 0; i < count; ++i) {
        if ((items[i].flags & host::kItemSelected) != 0) continue;
        done.push_back(items[i]);
        done.back().flags |= host::kItemSelected;
        doneAt.push_back(i);
    }
    int deleted = 1;
    if (!done.empty()) {
        deleted = DeleteItems(storage, done.data(), static_cast<int>(done.size()), opMode | kOpSilent);
        // An item copied out but left in the text was not moved.
        for (size_t k = 0; k < done.size(); ++k) {
            if ((done[k].flags & host::kItemSelected) != 0) items[doneAt[k]].flags |= host::kItemSelected;
        }
    }
    if (extracted == -1) return -1;
    return extracted == 1 && deleted == 1 ? 1 : 0;
}

}  // namespace vexil
