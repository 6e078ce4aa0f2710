#include "settings_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "reg_text.h"

namespace platform {

struct SettingsKey {
    std::string path;
};

namespace SettingsFile {

namespace {

bool ReadAll(const std::string& file, std::string* text, bool* exists) {
    text->clear();
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) {
        *exists = false;
        return errno == ENOENT;
    }
    *exists = true;
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text->append(buffer, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// Creates every missing directory above `file`.
void MakeParentDirs(const std::string& file) {
    for (size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1))
        mkdir(file.substr(0, slash).c_str(), 0700);
}

// The file that `path` finally names: symbolic links are followed (also a
// dangling one, whose target is then created), so that a rewrite replaces the
// target and leaves the link in place. Gives `path` itself for a link loop.
std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        ssize_t n = readlink(current.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<size_t>(n) >= target.size()) return path;
        target.resize(static_cast<size_t>(n));
        if (target.empty()) return path;
        if (target[0] != '/') {
            size_t slash = current.rfind('/');
            if (slash != std::string::npos) target = current.substr(0, slash + 1) + target;
        }
        current = target;
    }
    return path;
}

bool WriteAtomically(const std::string& path, const std::string& text) {
    const std::string file = FollowLinks(path);
    MakeParentDirs(file);
    // A rewrite keeps the permission bits of the file it replaces.
    struct stat old;
    const bool keepMode = stat(file.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    std::string temp = file + ".tmp" + std::to_string(static_cast<long>(getpid()));
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = !keepMode || fchmod(fileno(f), old.st_mode & 07777) == 0;
    ok = std::fwrite(text.data(), 1, text.size(), f) == text.size() && ok;
    ok = std::fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok && std::rename(temp.c_str(), file.c_str()) == 0) return true;
    std::remove(temp.c_str());
    return false;
}

}  // namespace

std::string StorePath() {
    if (const char* p = std::getenv("PLUGHOST_REGISTRY"); p && *p) return p;
    std::string base;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) {
        base = x;
    } else if (const char* h = std::getenv("HOME"); h && *h) {
        base = std::string(h) + "/.config";
    } else {
        base = ".config";
    }
    return base + "/plughost/registry.reg";
}

SettingsKey* Open(const std::string& keyPath, bool create) {
    const std::string file = StorePath();
    std::string text;
    bool exists = false;
    if (!ReadAll(file, &text, &exists)) return nullptr;
    RegText reg(text);
    if (!reg.KeyExists(keyPath)) {
        if (!create) return nullptr;
        reg.CreateKey(keyPath);
        if (!WriteAtomically(file, reg.Serialize())) return nullptr;
    }
    return new (std::nothrow) SettingsKey{keyPath};
}

bool Query(SettingsKey* key, const std::string& name, void* buffer, uint32_t* size) {
    if (!key) return false;
    std::string text;
    bool exists = false;
    if (!ReadAll(StorePath(), &text, &exists)) return false;
    auto value = RegText(text).Value(key->path, name);
    if (!value || value->size() > *size) return false;
    if (!value->empty()) std::memcpy(buffer, value->data(), value->size());
    *size = static_cast<uint32_t>(value->size());
    return true;
}

namespace {

// Reads the store, changes it with `change`, and writes it back whole.
template <class Change>
bool Rewrite(SettingsKey* key, Change change) {
    if (!key) return false;
    const std::string file = StorePath();
    std::string text;
    bool exists = false;
    if (!ReadAll(file, &text, &exists)) return false;
    RegText reg(text);
    change(reg);
    return WriteAtomically(file, reg.Serialize());
}

}  // namespace

bool SetDword(SettingsKey* key, const std::string& name, uint32_t value) {
    return Rewrite(key, [&](RegText& reg) { reg.SetDword(key->path, name, value); });
}

bool SetString(SettingsKey* key, const std::string& name, const std::string& value) {
    return Rewrite(key, [&](RegText& reg) { reg.SetString(key->path, name, value); });
}

void Close(SettingsKey* key) { delete key; }

}  // namespace SettingsFile

}  // namespace platform
