#include "vexil/storage/storage_panel.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <string>
#include <unordered_map>
#include <vector>

#include "vexil/files/checked_file.h"
#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "vexil/frame/path_parts.h"
#include "vexil/frame/safe_name.h"
#include "platform/platform.h"
#include "vexil/storage/scan_source_file.h"
#include "vexil/storage/uue_scanner.h"

namespace vexil {

namespace {

constexpr unsigned kNoticeDelayMs = 750;
// The notice thread looks this often whether the scan is over, so that it
// ends (and the host may unload the plugin) soon after a quick scan.
constexpr unsigned kNoticeStepMs = 2;
constexpr uint32_t kAllPanelFlags = 15;

char g_panelTitle[256] = {};
char g_noticeTitle[32] = "                               ";
char g_noticeText[32] = "                               ";

// The item array of the last listing of each open storage.
std::unordered_map<const Storage*, std::unique_ptr<host::PanelItem[]>>& Listings() {
    static std::unordered_map<const Storage*, std::unique_ptr<host::PanelItem[]>> listings;
    return listings;
}

ScanState g_scanState;  // constant-initialised: usable from any static destructor

// Keeps the library from being unloaded under a notice thread: the host may
// close the panel and unload the plugin before the thread's wait is over.
// (Standard sleeps only: the platform layer may already be gone here.)
struct NoticeThreadsGuard {
    ~NoticeThreadsGuard() {
        if (g_scanState.liveNotices.load() == 0) return;
        for (int waited = 0; g_scanState.liveNotices.load() > 0 && waited < 2000; ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the thread's last instructions
    }
};
NoticeThreadsGuard g_noticeGuard;

void CopyText(char* buffer, size_t size, const char* text) { std::snprintf(buffer, size, "%s", text); }

// Creates an empty file when none of that name exists; false when the user
// gave up on the creation.
bool EnsureFileExists(const char* name) {
    platform::FileInfo info;
    if (platform::os().FindFile(name, &info)) return true;
    EncodeJobState job;
    CheckedFile file(job);
    try {
        file.Open(name, "wb");
        file.Close();
    } catch (FileFailure) {
        return false;
    }
    return true;
}

bool ScanIsOver(uint32_t serial) {
    return Scanning().scanFinished.load() != 0 || Scanning().scanSerial.load() != serial;
}

void StartNotice() {
    ScanState& s = Scanning();
    const uint32_t serial = s.scanSerial.fetch_add(1) + 1;
    s.scanFinished.store(0);
    if (Module().settings.SuppressOutput != 0) return;
    s.liveNotices.fetch_add(1);
    if (!platform::os().StartThread(WaitNotice, reinterpret_cast<void*>(static_cast<uintptr_t>(serial)))) {
        s.liveNotices.fetch_sub(1);
    }
}

// Size estimate of a single section of an incomplete file (6 bits per data character).
uint64_t SectionSize(int64_t dataChars) { return static_cast<uint64_t>(dataChars * 6 / 8); }

void SetItem(host::PanelItem& item, const char* name, uint64_t size) {
    std::snprintf(item.findData.fileName, sizeof item.findData.fileName, "%s", name);
    item.findData.sizeLow = static_cast<uint32_t>(size);
    item.findData.sizeHigh = static_cast<uint32_t>(size >> 32);
}

bool InRange(const Section& s, const EncodedFile& f) { return s.number >= 1 && s.number <= f.totalSections; }

}  // namespace

ScanState& Scanning() { return g_scanState; }

bool IsComplete(const EncodedFile& file) {
    int32_t inRange = 0;
    file.sections.ForEach([&](Section* s) { inRange += InRange(*s, file) ? 1 : 0; });
    return inRange == file.totalSections;
}

std::string CompleteItemName(const EncodedFile& file) {
    std::string name = SafeName(file.name);
    if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
    return name;
}

std::string SectionItemName(const Section& section, const EncodedFile& file) {
    char name[host::kMaxPath];
    std::snprintf(name, sizeof name, "%s %02d/%02d", section.name.c_str(), section.number, file.totalSections);
    return name;
}

const char* PanelTitle() { return g_panelTitle; }

void WaitNotice(void* argument) {
    const auto serial = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(argument));
    // Timed by the clock: a sleep may last longer than asked (Windows sleeps
    // in steps of its timer tick).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kNoticeDelayMs);
    while (std::chrono::steady_clock::now() < deadline && !ScanIsOver(serial)) {
        platform::os().Sleep(kNoticeStepMs);
    }
    if (!ScanIsOver(serial)) {
        CopyText(g_noticeTitle, sizeof g_noticeTitle, GetMsgText(MPluginTitle));
        CopyText(g_noticeText, sizeof g_noticeText, GetMsgText(MScanning));
        const char* items[2] = {g_noticeTitle, g_noticeText};
        const host::HostStartupInfo& h = Module().host;
        h.message(h.moduleNumber, 0, nullptr, items, 2, 0);
    }
    Scanning().liveNotices.fetch_sub(1);
}

Storage* OpenStorage(const char* name, const unsigned char* data, int dataSize) {
    if (name == nullptr || !EnsureFileExists(name)) return nullptr;
    auto storage = std::make_unique<Storage>();
    if (dataSize <= 0 || !DetectUue(data, static_cast<size_t>(dataSize))) return nullptr;

    StartNotice();
    try {
        ScanSourceFile(*storage, name);
    } catch (...) {
        Scanning().scanFinished.store(1);
        throw;
    }
    const bool writable = storage->WritableSource() != nullptr;
    const PathParts parts = SplitPath(name);
    std::snprintf(g_panelTitle, sizeof g_panelTitle, " VEXIL: %s%s%s", parts.name.c_str(), parts.ext.c_str(),
                  writable ? " " : " (r/o) ");
    Scanning().scanFinished.store(1);
    return storage.release();
}

void DescribeStorage(const Storage& storage, host::OpenPanelDescription* info) {
    info->structSize = static_cast<int>(sizeof(host::OpenPanelDescription));
    info->flags = kAllPanelFlags;
    info->hostFile = storage.sources.Count() > 0 ? storage.sources.At(0)->path.c_str() : nullptr;
    info->format = GetMsgText(MPluginTitle);
    info->panelTitle = g_panelTitle;
}

void ListStorage(Storage& storage, host::PanelItem** items, int* count) {
    // First pass: a complete file has every number from 1 to its total once
    // (numbers are unique within a file, so counting the in-range ones suffices).
    int n = 0;
    std::vector<bool> complete;
    storage.files.ForEach([&](EncodedFile* f) {
        complete.push_back(IsComplete(*f));
        n += complete.back() ? 1 : f->sections.Count();
    });

    auto array = std::make_unique<host::PanelItem[]>(static_cast<size_t>(n > 0 ? n : 1));
    std::memset(array.get(), 0, sizeof(host::PanelItem) * static_cast<size_t>(n > 0 ? n : 1));
    int at = 0;
    size_t fileIndex = 0;
    storage.files.ForEach([&](EncodedFile* f) {
        f->dataCharsTotal = 0;
        int64_t exactBytes = 0;
        f->sections.ForEach([&](Section* s) {
            if (!InRange(*s, *f)) return;
            f->dataCharsTotal += s->dataChars;
            exactBytes += s->dataBytes;
        });
        if (complete[fileIndex++]) {
            // The exact decoded size from the lines' length characters, under
            // the name that extraction writes.
            SetItem(array[at++], CompleteItemName(*f).c_str(), static_cast<uint64_t>(exactBytes));
            return;
        }
        f->sections.ForEach([&](Section* s) {
            SetItem(array[at++], SectionItemName(*s, *f).c_str(), SectionSize(s->dataChars));
        });
    });
    *items = array.get();
    *count = n;
    Listings()[&storage] = std::move(array);
}

void StorageEvent(Storage& storage, host::PanelHandle handle, int event) {
    if (event != host::kEventIdle) return;
    for (int32_t i = 0; i < storage.sources.Count(); ++i) {
        const SourceFile* source = storage.sources.At(i);
        platform::FileInfo info;
        // Hidden and system files count as found: a storage of that kind is
        // re-scanned only when it changes, not on every idle event.
        if (platform::os().FindAnyFile(source->path, &info) && info.lastWriteTime == source->lastWriteTime) continue;
        const std::string path = source->path;
        storage.RemoveSourceFile(i);
        ScanSourceFile(storage, path);
        const host::HostStartupInfo& h = Module().host;
        h.control(handle, host::kCtlUpdatePanel, reinterpret_cast<void*>(1));
        h.control(handle, host::kCtlRedrawPanel, nullptr);
        return;
    }
}

void DestroyStorage(Storage* storage) {
    if (storage == nullptr || storage == host::kInvalidHandle) return;
    Listings().erase(storage);
    delete storage;
}

}  // namespace vexil
