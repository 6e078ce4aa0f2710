#include "uu_writer.h"

#include <vector>

namespace testenc {

namespace {

const char* Alphabet(int type) {
    static const char uu[] = "`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_";
    static const char xx[] = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return type == 0 ? uu : xx;
}

std::string Groups(const unsigned char* p, size_t n, int type) {
    const char* a = Alphabet(type);
    std::string out;
    for (size_t i = 0; i < n; i += 3) {
        const unsigned b0 = p[i], b1 = i + 1 < n ? p[i + 1] : 0, b2 = i + 2 < n ? p[i + 2] : 0;
        out += a[b0 >> 2];
        out += a[((b0 & 3) << 4) | (b1 >> 4)];
        out += a[((b1 & 15) << 2) | (b2 >> 6)];
        out += a[b2 & 63];
    }
    out.resize((8 * n + 5) / 6);
    return out;
}

std::string Line(const unsigned char* p, size_t n, int type) {
    std::string line(1, Alphabet(type)[n]);
    line += Groups(p, n, type);
    if (line.size() < 61) line += Alphabet(type)[0];
    return line;
}

}  // namespace

std::string DataLine(int bytes, int type, unsigned char fill) {
    std::vector<unsigned char> b(static_cast<size_t>(bytes), fill);
    return Line(b.data(), b.size(), type);
}

std::string UuEncode(const std::string& name, const std::string& data, const UuOptions& o) {
    std::vector<std::string> lines;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    for (size_t chunk = 0; chunk < data.size(); chunk += 65536) {
        const size_t n = std::min<size_t>(65536, data.size() - chunk);
        for (size_t i = 0; i < n; i += 45) lines.push_back(Line(bytes + chunk + i, std::min<size_t>(45, n - i), o.type));
    }
    const int h = o.table ? 4 : 2;
    const long long d = static_cast<long long>(lines.size());
    const long long L = o.linesPerSection;
    const long long total = L > 0 ? (d + h + L - 1) / L : 1;
    std::string out;
    auto sectionStart = [&](long long s) {
        out += o.eol;
        out += o.eol + "section " + std::to_string(s) + " of " + std::to_string(total) + " of file " + name +
               " (encoded by a test writer)" + o.eol;
        if (s == 1) {
            if (o.table) {
                const std::string a = Alphabet(o.type);
                out += "table" + o.eol + a.substr(0, 32) + o.eol + a.substr(32, 32) + o.eol;
            }
            out += "VEXILAttr 0000000000000000" + o.eol + "begin 644 " + name + o.eol;
        }
    };
    long long count = 0, bound = 0, section = 0;
    auto countLine = [&](long long add) {
        count += add;
        if (count > bound) {
            sectionStart(++section);
            if (section == 1) count += h;
            bound += L > 0 ? L : 1LL << 60;
        }
    };
    if (lines.empty()) {  // an empty file still gets its first section
        countLine(1);
        count -= 1;
    }
    for (const std::string& line : lines) {
        countLine(1);
        out += line + o.eol;
    }
    out += std::string(1, Alphabet(o.type)[0]) + o.eol + "end" + o.eol + o.eol;
    return out;
}

std::string RandomBytes(size_t n, uint32_t seed) {
    std::string s(n, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (char& c : s) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return s;
}

}  // namespace testenc
