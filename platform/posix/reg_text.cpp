#include "reg_text.h"

#include <cctype>
#include <cstdio>
#include <string_view>

namespace platform {

namespace {

const char kRoot[] = "HKEY_CURRENT_USER";
const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// The key name of a section line "[...]", or nullopt.
std::optional<std::string> SectionName(const std::string& line) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return std::nullopt;
    return t.substr(1, t.size() - 2);
}

// Strips separators at both ends so "a\b\" and "\a\b" name the same key.
std::string NormalizeKey(const std::string& keyPath) {
    size_t b = 0, e = keyPath.size();
    while (b < e && keyPath[b] == '\\') ++b;
    while (e > b && keyPath[e - 1] == '\\') --e;
    return keyPath.substr(b, e - b);
}

// Splits a value line into its unquoted name and the data text after '='.
bool SplitValueLine(const std::string& line, std::string* name, std::string* data) {
    std::string t = Trim(line);
    if (t.size() < 3 || t[0] != '"') return false;
    std::string n;
    size_t i = 1;
    for (; i < t.size() && t[i] != '"'; ++i) {
        if (t[i] == '\\' && i + 1 < t.size()) ++i;
        n += t[i];
    }
    if (i >= t.size()) return false;
    std::string rest = Trim(t.substr(i + 1));
    if (rest.empty() || rest[0] != '=') return false;
    *name = n;
    *data = Trim(rest.substr(1));
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::vector<uint8_t>> ParseData(const std::string& data) {
    std::vector<uint8_t> bytes;
    if (StartsWithNoCase(data, "dword:")) {
        std::string digits = Trim(data.substr(6));
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        uint32_t v = 0;
        for (char c : digits) {
            int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            v = v * 16 + static_cast<uint32_t>(d);
        }
        for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<uint8_t>(v >> (8 * k)));
        return bytes;
    }
    if (StartsWithNoCase(data, "hex:")) {
        std::string list = data.substr(4);
        size_t i = 0;
        while (i < list.size()) {
            while (i < list.size() && (list[i] == ' ' || list[i] == ',')) ++i;
            if (i >= list.size()) break;
            if (i + 1 >= list.size()) return std::nullopt;
            int hi = HexDigit(list[i]), lo = HexDigit(list[i + 1]);
            if (hi < 0 || lo < 0) return std::nullopt;
            bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
            i += 2;
        }
        return bytes;
    }
    if (data.size() >= 2 && data.front() == '"' && data.back() == '"') {
        for (size_t i = 1; i + 1 < data.size(); ++i) {
            if (data[i] == '\\' && i + 2 < data.size()) ++i;
            bytes.push_back(static_cast<uint8_t>(data[i]));
        }
        bytes.push_back(0);
        return bytes;
    }
    return std::nullopt;
}

std::string QuoteName(const std::string& name) {
    std::string q = "\"";
    for (char c : name) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + "\"";
}

}  // namespace

std::string FullKeyName(const std::string& keyPath) {
    return std::string(kRoot) + "\\" + NormalizeKey(keyPath);
}

RegText::RegText(const std::string& text) {
    std::string line;
    size_t start = 0;
    if (text.rfind(kByteOrderMark, 0) == 0) {
        byteOrderMark_ = true;
        start = sizeof kByteOrderMark - 1;
    }
    for (char c : std::string_view(text).substr(start)) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines_.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        if (line.back() == '\r') line.pop_back();
        lines_.push_back(line);
    }
}

int RegText::FindSection(const std::string& keyPath) const {
    const std::string full = FullKeyName(keyPath);
    for (size_t i = 0; i < lines_.size(); ++i) {
        auto name = SectionName(lines_[i]);
        if (name && EqualNoCase(NormalizeKey(*name), full)) return static_cast<int>(i);
    }
    return -1;
}

size_t RegText::SectionEnd(size_t section) const {
    size_t i = section + 1;
    while (i < lines_.size() && !SectionName(lines_[i])) ++i;
    return i;
}

int RegText::FindValueLine(size_t section, const std::string& name) const {
    const size_t end = SectionEnd(section);
    for (size_t i = section + 1; i < end; ++i) {
        std::string n, data;
        if (SplitValueLine(lines_[i], &n, &data) && EqualNoCase(n, name)) return static_cast<int>(i);
    }
    return -1;
}

bool RegText::KeyExists(const std::string& keyPath) const {
    const std::string full = FullKeyName(keyPath);
    for (const std::string& line : lines_) {
        auto name = SectionName(line);
        if (!name) continue;
        std::string n = NormalizeKey(*name);
        if (EqualNoCase(n, full) || StartsWithNoCase(n, full + "\\")) return true;
    }
    return false;
}

std::optional<std::vector<uint8_t>> RegText::Value(const std::string& keyPath, const std::string& name) const {
    int section = FindSection(keyPath);
    if (section < 0) return std::nullopt;
    int line = FindValueLine(static_cast<size_t>(section), name);
    if (line < 0) return std::nullopt;
    std::string n, data;
    SplitValueLine(lines_[static_cast<size_t>(line)], &n, &data);
    return ParseData(data);
}

void RegText::CreateKey(const std::string& keyPath) {
    if (FindSection(keyPath) >= 0) return;
    if (lines_.empty()) lines_.push_back("REGEDIT4");
    if (!lines_.back().empty()) lines_.push_back("");
    std::string section = "[";
    section += FullKeyName(keyPath);
    section += ']';
    lines_.push_back(section);
}

void RegText::SetDword(const std::string& keyPath, const std::string& name, uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", value);
    SetValueLine(keyPath, name, text);
}

void RegText::SetString(const std::string& keyPath, const std::string& name, const std::string& value) {
    bool control = false;
    for (unsigned char c : value) control = control || c < 0x20 || c == 0x7F;
    if (!control) {
        SetValueLine(keyPath, name, QuoteName(value));
        return;
    }
    std::string data = "hex:";
    char byte[4];
    for (size_t i = 0; i <= value.size(); ++i) {
        std::snprintf(byte, sizeof byte, "%s%02x", i == 0 ? "" : ",", i < value.size() ? static_cast<unsigned char>(value[i]) : 0u);
        data += byte;
    }
    SetValueLine(keyPath, name, data);
}

void RegText::SetValueLine(const std::string& keyPath, const std::string& name, const std::string& data) {
    CreateKey(keyPath);
    std::string line = QuoteName(name) + "=" + data;
    size_t section = static_cast<size_t>(FindSection(keyPath));
    int existing = FindValueLine(section, name);
    if (existing >= 0) {
        lines_[static_cast<size_t>(existing)] = line;
        return;
    }
    // Insert after the section's last non-empty line.
    size_t at = SectionEnd(section);
    while (at > section + 1 && Trim(lines_[at - 1]).empty()) --at;
    lines_.insert(lines_.begin() + static_cast<long>(at), line);
}

std::string RegText::Serialize() const {
    std::string out = byteOrderMark_ ? kByteOrderMark : "";
    bool hasHeader = !lines_.empty() &&
                     (Trim(lines_[0]) == "REGEDIT4" || StartsWithNoCase(Trim(lines_[0]), "Windows Registry Editor"));
    if (!hasHeader) out += "REGEDIT4\r\n";
    for (const std::string& line : lines_) out += line + "\r\n";
    return out;
}

}  // namespace platform
