// The settings store's text: a registry export file ("REGEDIT4", sections
// "[HKEY_CURRENT_USER\path]", lines "\"Name\"=dword:0000000a").
//
// Lines are kept as read so that a rewrite loses nothing, including lines this
// code does not understand. Key and value names compare ignoring ASCII case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class RegText {
public:
    // Parses text with CR LF or LF line ends. Never fails: unreadable lines are
    // kept. A UTF-8 byte-order mark at the start is set aside and written back.
    explicit RegText(const std::string& text = std::string());

    // True when the key, or a key below it, has a section.
    bool KeyExists(const std::string& keyPath) const;
    // The bytes of a value: a dword gives 4 little-endian bytes, hex: its
    // bytes, a string its characters and a terminating zero. Empty when the
    // key has no such value or the line cannot be read.
    std::optional<std::vector<uint8_t>> Value(const std::string& keyPath, const std::string& name) const;

    // Creates the key's section when missing.
    void CreateKey(const std::string& keyPath);
    // Sets (replaces or adds) a dword value, creating the key when missing.
    void SetDword(const std::string& keyPath, const std::string& name, uint32_t value);
    // Sets a string value: quoted, with '"' and '\\' escaped; a string holding
    // a control character (a line end would break the text) is written as
    // hex: bytes with the terminating zero, which Value reads the same.
    void SetString(const std::string& keyPath, const std::string& name, const std::string& value);

    // The whole text with CR LF line ends, starting with "REGEDIT4" when the
    // original had no header line (after the byte-order mark, if it had one).
    std::string Serialize() const;

private:
    // Index of the line "[HKEY_CURRENT_USER\keyPath]", or -1.
    int FindSection(const std::string& keyPath) const;
    // Index one past the last line of the section that starts at `section`.
    size_t SectionEnd(size_t section) const;
    // Index of the value line for `name` inside the section, or -1.
    int FindValueLine(size_t section, const std::string& name) const;
    // Sets the value line `"name"=data`, creating the key when missing.
    void SetValueLine(const std::string& keyPath, const std::string& name, const std::string& data);

    std::vector<std::string> lines_;
    bool byteOrderMark_ = false;
};

// The full key name of a path under the current user, as written in sections.
std::string FullKeyName(const std::string& keyPath);

}  // namespace platform
