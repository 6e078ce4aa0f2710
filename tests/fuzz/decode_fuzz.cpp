// Fuzz target for extraction: any text, scanned as a storage and extracted in
// silent mode, writes only inside the destination folder, leaves no
// temporary file behind, and every file it writes under a listed name holds
// exactly the listed size. Plain blocks must be found alike whether the text
// arrives whole or in pieces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "support/fake_host.h"
#include "support/temp_dir.h"
#include "vexil/decoding/extract.h"
#include "vexil/frame/alphabets.h"
#include "vexil/frame/module_state.h"
#include "vexil/storage/plain_blocks.h"
#include "vexil/storage/scan_source_file.h"
#include "vexil/storage/storage_panel.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static test::FakeHost* host = [] {
        auto* h = new test::FakeHost;
        vexil::BuildAlphabets();
        vexil::Module().host = h->StartupInfo();
        return h;
    }();
    (void)host;
    if (size < 1) return 0;
    const size_t piece = 1 + data[0];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    // Plain blocks: whole and in pieces agree.
    vexil::PlainBlockScan whole, pieces;
    whole.Feed(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    whole.Finish();
    for (size_t i = 0; i < text.size(); i += piece)
        pieces.Feed(reinterpret_cast<const unsigned char*>(text.data()) + i, std::min(piece, text.size() - i));
    pieces.Finish();
    if (whole.Blocks().size() != pieces.Blocks().size()) abort();
    for (size_t i = 0; i < whole.Blocks().size(); ++i) {
        const vexil::SectionBlock &a = whole.Blocks()[i], &b = pieces.Blocks()[i];
        if (a.name != b.name || a.dataBytes != b.dataBytes || a.dataBegin != b.dataBegin || a.dataEnd != b.dataEnd)
            abort();
    }

    test::TempDir dir;
    const std::string storagePath = dir.Write("storage.txt", text);
    fs::create_directory(dir.File("out"));
    vexil::Storage storage;
    vexil::ScanSourceFile(storage, storagePath);
    host::PanelItem* listed = nullptr;
    int count = 0;
    vexil::ListStorage(storage, &listed, &count);
    std::vector<host::PanelItem> items(listed, listed + count);
    std::map<std::string, uint64_t> sizes;
    for (host::PanelItem& item : items) {
        item.flags |= host::kItemSelected;
        sizes[item.findData.fileName] = (static_cast<uint64_t>(item.findData.sizeHigh) << 32) | item.findData.sizeLow;
    }
    char dest[host::kMaxPath] = {};
    std::snprintf(dest, sizeof dest, "%s", dir.File("out").c_str());
    vexil::ExtractItems(storage, items.data(), count, false, dest, vexil::kOpSilent);

    // Only the storage and the out folder in the temporary folder; in out,
    // only listed names, each of its listed size when it was extracted.
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        const std::string name = entry.path().filename().string();
        if (name != "storage.txt" && name != "out") abort();
    }
    for (const auto& entry : fs::directory_iterator(dir.File("out"))) {
        const std::string name = entry.path().filename().string();
        auto it = sizes.find(name);
        if (it == sizes.end()) abort();  // a temporary file left, or a name never listed
        if (fs::file_size(entry.path()) != it->second) abort();
    }
    for (const host::PanelItem& item : items) {
        const bool extracted = (item.flags & host::kItemSelected) == 0;
        if (extracted != fs::exists(dir.File("out") + "/" + item.findData.fileName)) abort();
    }
    return 0;
}
