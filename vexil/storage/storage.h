// The in-memory model behind one open storage panel: the scanned text files,
// the encoded files found in them and the sections that carry their data.
// Only names, section numbers and character counts are kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "vexil/frame/encode_settings.h"
#include "vexil/storage/scan_types.h"
#include "vexil/storage/slot_array.h"

namespace vexil {

// Longest name kept for an encoded file or a section (a 260-byte field).
constexpr size_t kMaxNameLength = 259;

struct Section {
    std::string name;  // as spelled in this section's own header
    int32_t number = 0;
    int64_t dataChars = 0;
    // Where the decoder finds the data: the text file (empty until the scan
    // that found the section has recorded it), the byte range of the data
    // lines in it, the exact decoded size and the begin line's mode (-1: none).
    std::string sourcePath;
    uint64_t dataBegin = 0;
    uint64_t dataEnd = 0;
    int64_t dataBytes = 0;
    // The whole block (see SectionBlock), for deleting it from the text.
    uint64_t blockBegin = 0;
    uint64_t blockEnd = 0;
    int32_t mode = -1;
    bool plain = false;  // a plain begin ... end block
    bool ended = false;  // its data closed with an "end" line
    bool base64 = false; // the data lines are base64 (a plain "begin-base64" block)
};

struct EncodedFile {
    char name[kMaxNameLength + 1] = {};  // spelling of the first section found
    SlotArray<Section> sections;
    const char* sourcePath = nullptr;   // borrowed from a SourceFile; null until recorded
    int32_t totalSections = 1;
    int64_t dataCharsTotal = 0;          // working value of the listing
    std::unordered_set<int32_t> numbers;  // section numbers present, for the duplicate test

    ~EncodedFile();
};

struct SourceFile {
    uint64_t lastWriteTime = 0;  // 0 when the file was not found at recording time
    uint64_t size = 0;           // its length at recording time
    std::string path;
    int32_t plainText = 0;
};

// Equality of RemoveAt: names / paths equal byte for byte.
bool SameItem(const EncodedFile& a, const EncodedFile& b);
bool SameItem(const SourceFile& a, const SourceFile& b);

// ASCII case-insensitive equality.
bool EqualsIgnoreCase(const char* a, const char* b);

class Storage {
public:
    Storage() = default;
    ~Storage();
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;

    SlotArray<EncodedFile> files;
    SlotArray<SourceFile> sources;
    EncodeJobState jobState;

    // First encoded file whose name equals `name` ignoring ASCII case.
    EncodedFile* FindFile(const std::string& name) const;
    // Registers one accepted section block; names longer than 259 are cut.
    void AddSection(const std::string& name, int32_t number, int32_t total, int64_t dataChars);
    // The same with the block's data place, exact size and mode.
    void AddSection(const SectionBlock& block);
    // Records a scanned text file; returns its index in `sources`. Its
    // last-write time is `lastWriteTime` when given (the scan passes the one
    // it found before reading, so that a write during the scan shows as a
    // change), else that of a search made now (0 when none finds it).
    // `size` likewise.
    int32_t AddSourceFile(const std::string& path, bool plainText,
                          std::optional<uint64_t> lastWriteTime = std::nullopt,
                          std::optional<uint64_t> size = std::nullopt);
    // Drops the source file at logical `index` and the encoded files first found in it.
    void RemoveSourceFile(int32_t index);
    // The first plain-text source file (the one encodings are appended to), or null.
    SourceFile* WritableSource() const;

private:
    static std::string FoldKey(const std::string& name);
    std::unordered_map<std::string, EncodedFile*> byName_;  // keyed by the lower-cased name
};

}  // namespace vexil
