#include "vexil/storage/storage.h"

#include <cstring>

#include "platform/platform.h"

namespace vexil {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string CutName(const std::string& name) {
    return name.size() > kMaxNameLength ? name.substr(0, kMaxNameLength) : name;
}

}  // namespace

EncodedFile::~EncodedFile() {
    sections.ForEach([](Section* s) { delete s; });
}

bool SameItem(const EncodedFile& a, const EncodedFile& b) { return std::strcmp(a.name, b.name) == 0; }
bool SameItem(const SourceFile& a, const SourceFile& b) { return a.path == b.path; }

bool EqualsIgnoreCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (Lower(*a) != Lower(*b)) return false;
        if (*a == 0) return true;
    }
}

std::string Storage::FoldKey(const std::string& name) {
    std::string key = name;
    for (char& c : key) c = Lower(c);
    return key;
}

Storage::~Storage() {
    files.ForEach([](EncodedFile* f) { delete f; });
    sources.ForEach([](SourceFile* s) { delete s; });
}

EncodedFile* Storage::FindFile(const std::string& name) const {
    auto it = byName_.find(FoldKey(CutName(name)));
    return it == byName_.end() ? nullptr : it->second;
}

void Storage::AddSection(const std::string& name, int32_t number, int32_t total, int64_t dataChars) {
    SectionBlock block;
    block.name = name;
    block.number = number;
    block.total = total;
    block.dataChars = dataChars;
    AddSection(block);
}

void Storage::AddSection(const SectionBlock& block) {
    const std::string name = CutName(block.name);
    const int32_t number = block.number;
    const int32_t total = block.total;
    EncodedFile* file = FindFile(name);
    if (file != nullptr) {
        if (!file->numbers.insert(number).second) return;  // number already present
        if (total > file->totalSections) file->totalSections = total;
    } else {
        file = new EncodedFile;
        std::memcpy(file->name, name.data(), name.size());
        file->name[name.size()] = 0;
        file->totalSections = total;
        file->numbers.insert(number);
        files.Add(file);
        byName_.emplace(FoldKey(name), file);
    }
    auto* section = new Section;
    section->name = name;
    section->number = number;
    section->dataChars = block.dataChars;
    section->dataBegin = block.dataBegin;
    section->dataEnd = block.dataEnd;
    section->dataBytes = block.dataBytes;
    section->mode = block.mode;
    section->ended = block.ended;
    section->blockBegin = block.blockBegin;
    section->blockEnd = block.blockEnd;
    section->plain = block.plain;
    section->base64 = block.base64;
    file->sections.Add(section);
}

int32_t Storage::AddSourceFile(const std::string& path, bool plainText, std::optional<uint64_t> lastWriteTime,
                               std::optional<uint64_t> size) {
    auto* source = new SourceFile;
    source->path = path;
    source->plainText = plainText ? 1 : 0;
    platform::FileInfo info;
    const bool found = (!lastWriteTime || !size) && platform::os().FindAnyFile(path, &info);
    if (lastWriteTime) {
        source->lastWriteTime = *lastWriteTime;
    } else if (found) {
        source->lastWriteTime = info.lastWriteTime;
    }
    if (size) {
        source->size = *size;
    } else if (found) {
        source->size = info.size;
    }
    const int32_t index = sources.Add(source);
    files.ForEach([source](EncodedFile* f) {
        if (f->sourcePath == nullptr) f->sourcePath = source->path.c_str();
        f->sections.ForEach([source](Section* s) {
            if (s->sourcePath.empty()) s->sourcePath = source->path;
        });
    });
    return index;
}

void Storage::RemoveSourceFile(int32_t index) {
    const std::string path = sources.At(index)->path;
    // Names are unique within a storage, so each matching file's own slot is
    // the first equal one: one pass removes them all as RemoveAt would.
    files.RemoveWhere(
        [&](const EncodedFile& f) { return f.sourcePath != nullptr && EqualsIgnoreCase(f.sourcePath, path.c_str()); },
        [&](EncodedFile* removed) {
            byName_.erase(FoldKey(removed->name));
            delete removed;
        });
    SourceFile* removed = nullptr;
    sources.RemoveAt(index, &removed);
    delete removed;
}

SourceFile* Storage::WritableSource() const {
    for (int32_t n = 0; n < sources.Count(); ++n) {
        if (sources.At(n)->plainText) return sources.At(n);
    }
    return nullptr;
}

}  // namespace vexil
